// Banded deflate for the PNG writer: compression of the bands on threads, then the joints.
#include "formats/png_tiff/png_bands.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <memory>
#include <system_error>
#include <thread>
#include <vector>

namespace tesmo::png {
namespace {

constexpr size_t kBandBytes = size_t{512} << 10;  // at least this much data per band
constexpr size_t kMaxBands = 4;
constexpr uint8_t kZlibHeader[] = {0x78, 0x5E};  // deflate, 32 KiB window, "fast" level, check bits
constexpr size_t kAdlerBytes = 4;
// Inflate's Z_BLOCK report in data_type: unused bits of the last byte read, the last block flag,
// and "stopped between blocks".
constexpr int kUnusedBitsMask = 63;
constexpr int kInLastBlock = 64;
constexpr int kBetweenBlocks = 128;
constexpr size_t kWalkBuffer = size_t{64} << 10;
// A non-final stored block of length 0: three zero header bits, zero padding to the byte, then
// LEN 0 and its complement.
constexpr uint8_t kEmptyStoredTail[] = {0x00, 0x00, 0xFF, 0xFF};
constexpr size_t kHeaderBits = 3;

struct CompressorDeleter {
  void operator()(libdeflate_compressor* c) const { libdeflate_free_compressor(c); }
};

struct Band {
  std::span<const uint8_t> data;
  AlignedBlock block;  // raw deflate data, room for the joint after it
  size_t size = 0;     // 0: failed
  uint32_t adler = 1;  // of `data`
};

uint8_t* bytes_of(const AlignedBlock& block) { return reinterpret_cast<uint8_t*>(block.data()); }

// Where the last block's header starts and where that block ends, in bits from the start.
struct LastBlock {
  size_t header_bit = 0;
  size_t end_bit = 0;
};

// Walks the blocks of a raw deflate stream with zlib's inflate stopping between blocks.
std::optional<LastBlock> find_last_block(std::span<const uint8_t> raw) {
  if (raw.size() > std::numeric_limits<uInt>::max()) return std::nullopt;
  AlignedBlock out = AlignedBlock::allocate(kWalkBuffer);
  z_stream z{};
  if (!out || inflateInit2(&z, -MAX_WBITS) != Z_OK) return std::nullopt;
  z.next_in = const_cast<Bytef*>(raw.data());
  z.avail_in = static_cast<uInt>(raw.size());
  LastBlock last;
  bool ended = false;
  while (!ended) {
    z.next_out = bytes_of(out);
    z.avail_out = static_cast<uInt>(kWalkBuffer);
    if (inflate(&z, Z_BLOCK) != Z_OK) break;
    if (!(z.data_type & kBetweenBlocks)) continue;
    const size_t bit = static_cast<size_t>(z.total_in) * 8 - static_cast<size_t>(z.data_type & kUnusedBitsMask);
    ended = (z.data_type & kInLastBlock) != 0;
    (ended ? last.end_bit : last.header_bit) = bit;
  }
  inflateEnd(&z);
  if (!ended || (last.end_bit + 7) / 8 != raw.size()) return std::nullopt;
  return last;
}

// Turns the band's final block into an ordinary one and appends an empty stored block after it.
bool open_band_end(Band& band) {
  uint8_t* raw = bytes_of(band.block);
  const std::optional<LastBlock> last = find_last_block({raw, band.size});
  if (!last) return false;
  raw[last->header_bit / 8] &= static_cast<uint8_t>(~(1u << (last->header_bit % 8)));
  const size_t padding = band.size * 8 - last->end_bit;
  raw[band.size - 1] &= static_cast<uint8_t>(0xFFu >> padding);  // padding bits read as zeros
  if (padding < kHeaderBits) raw[band.size++] = 0;  // the stored block's header needs the next byte
  std::memcpy(raw + band.size, kEmptyStoredTail, sizeof kEmptyStoredTail);
  band.size += sizeof kEmptyStoredTail;
  return true;
}

void compress_band(Band& band, int level, bool last) {
  std::unique_ptr<libdeflate_compressor, CompressorDeleter> c(libdeflate_alloc_compressor(level));
  if (!c) return;
  const size_t bound = libdeflate_deflate_compress_bound(c.get(), band.data.size()) + 1 + sizeof kEmptyStoredTail;
  band.block = AlignedBlock::allocate(bound);
  if (!band.block) return;
  band.size = libdeflate_deflate_compress(c.get(), band.data.data(), band.data.size(), bytes_of(band.block), bound);
  band.adler = libdeflate_adler32(1, band.data.data(), band.data.size());
  if (band.size != 0 && !last && !open_band_end(band)) band.size = 0;
}

// Compresses every band, the first on this thread and the others on threads of their own (on
// this thread as well when no thread can be started).
void compress_bands(std::vector<Band>& bands, int level) {
  std::vector<std::thread> threads;
  for (size_t i = 1; i < bands.size(); ++i) {
    const bool last = i + 1 == bands.size();
    try {
      threads.emplace_back(compress_band, std::ref(bands[i]), level, last);
    } catch (const std::system_error&) {
      compress_band(bands[i], level, last);
    }
  }
  compress_band(bands[0], level, bands.size() == 1);
  for (std::thread& t : threads) t.join();
}

std::optional<ZlibStream> join(const std::vector<Band>& bands) {
  size_t total = sizeof kZlibHeader + kAdlerBytes;
  for (const Band& band : bands) {
    if (band.size == 0) return std::nullopt;
    total += band.size;
  }
  ZlibStream out{AlignedBlock::allocate(total), total};
  if (!out.block) return std::nullopt;
  uint8_t* at = bytes_of(out.block);
  at = std::copy(std::begin(kZlibHeader), std::end(kZlibHeader), at);
  uLong adler = bands[0].adler;
  for (size_t i = 0; i < bands.size(); ++i) {
    at = std::copy_n(bytes_of(bands[i].block), bands[i].size, at);
    if (i > 0) adler = adler32_combine(adler, bands[i].adler, static_cast<z_off_t>(bands[i].data.size()));
  }
  for (int shift = 24; shift >= 0; shift -= 8) *at++ = static_cast<uint8_t>(adler >> shift);
  return out;
}

}  // namespace

std::optional<ZlibStream> banded_zlib_stream(std::span<const uint8_t> data, int level) {
  const size_t count = std::clamp<size_t>(data.size() / kBandBytes, 1, kMaxBands);
  std::vector<Band> bands(count);
  const size_t step = data.size() / count;
  for (size_t i = 0; i < count; ++i) {
    const size_t end = i + 1 == count ? data.size() : (i + 1) * step;
    bands[i].data = data.subspan(i * step, end - i * step);
  }
  compress_bands(bands, level);
  return join(bands);
}

}  // namespace tesmo::png
