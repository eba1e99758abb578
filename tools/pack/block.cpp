// Compressed blocks: header, zlib deflate with the stored fallback, expand, and key scrambling.
#include "tools/pack/block.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <cstring>

#include "base/bytes.h"
#include "base/zuk.h"
#include "tools/pack/lzss.h"

namespace tesmo {
namespace {

// zlib's largest expansion: one 258-byte match per two bits of a fixed-code block, 1032 : 1.
constexpr uint64_t kZlibMaxRatio = 1032;
// An LZSS reference is two code bytes for at most 18 output bytes.
constexpr uint64_t kLzssMaxRatio = 9;

uInt chunk_of(int32_t chunk) { return static_cast<uInt>(chunk > 0 ? chunk : kBlockChunk); }

// The stored fallback: the header and the raw bytes.
int32_t store_block(std::span<uint8_t> out, std::span<const uint8_t> in) {
  block_write_header(out, BlockMethod::Stored, static_cast<uint32_t>(in.size()));
  if (!in.empty()) std::memcpy(out.data() + kBlockHeaderSize, in.data(), in.size());
  return static_cast<int32_t>(kBlockHeaderSize + in.size());
}

// Runs the compressor over `in` with its output limited to `room` bytes at `out`. Returns the
// stream length, 0 when the stream would not fit in `room`, or −1 on a zlib failure.
int64_t deflate_into(const BlockStream& s, uint8_t* out, size_t room, std::span<const uint8_t> in,
                     int level) {
  z_stream z{};
  if (deflateInit2(&z, level, Z_DEFLATED, MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK) return -1;
  size_t fed = 0;
  size_t given = 0;
  int rc = Z_OK;
  for (;;) {
    if (z.avail_in == 0 && fed < in.size()) {
      uInt piece = static_cast<uInt>(std::min<size_t>(chunk_of(s.input_chunk), in.size() - fed));
      z.next_in = const_cast<Bytef*>(in.data() + fed);
      z.avail_in = piece;
      fed += piece;
    }
    if (z.avail_out == 0) {
      if (given == room) break;  // a stream longer than `room` cannot win against storing
      uInt piece = static_cast<uInt>(std::min<size_t>(chunk_of(s.output_chunk), room - given));
      z.next_out = out + given;
      z.avail_out = piece;
      given += piece;
    }
    rc = deflate(&z, fed == in.size() ? Z_FINISH : Z_NO_FLUSH);
    if (rc != Z_OK) break;
  }
  int end = deflateEnd(&z);
  if (rc == Z_STREAM_END) return end == Z_OK ? static_cast<int64_t>(given - z.avail_out) : -1;
  return rc == Z_OK ? 0 : -1;  // Z_OK here means the room ran out
}

int32_t expand_stored(std::span<uint8_t> out, std::span<const uint8_t> payload, uint32_t raw) {
  if (raw > payload.size() || raw > out.size() || raw > INT32_MAX) return -1;
  if (raw) std::memcpy(out.data(), payload.data(), raw);
  return static_cast<int32_t>(raw);
}

int32_t expand_zlib(const BlockStream& s, std::span<uint8_t> out, std::span<const uint8_t> payload) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return -1;
  uint8_t no_room = 0;  // zlib refuses a null output pointer even with no room
  z.next_out = &no_room;
  size_t fed = 0;
  size_t given = 0;
  int rc = Z_OK;
  for (;;) {
    if (z.avail_in == 0 && fed < payload.size()) {
      uInt piece = static_cast<uInt>(std::min<size_t>(chunk_of(s.input_chunk), payload.size() - fed));
      z.next_in = const_cast<Bytef*>(payload.data() + fed);
      z.avail_in = piece;
      fed += piece;
    }
    if (z.avail_out == 0 && given < out.size()) {
      uInt piece = static_cast<uInt>(std::min<size_t>(chunk_of(s.output_chunk), out.size() - given));
      z.next_out = out.data() + given;
      z.avail_out = piece;
      given += piece;
    }
    rc = inflate(&z, Z_NO_FLUSH);
    if (rc == Z_OK) continue;
    if (rc == Z_DATA_ERROR && inflateSync(&z) == Z_OK) continue;
    break;
  }
  size_t written = given - z.avail_out;
  int end = inflateEnd(&z);
  if (rc != Z_STREAM_END || end != Z_OK || written > INT32_MAX) return -1;
  return static_cast<int32_t>(written);
}

}  // namespace

std::optional<BlockHeader> block_header(std::span<const uint8_t> block) {
  if (block.size() < kBlockHeaderSize || !has_zuk_signature(block)) return std::nullopt;
  return BlockHeader{load_u32le(block, kBlockMethodOffset), load_u32le(block, kBlockRawLengthOffset)};
}

void block_write_header(std::span<uint8_t> out, BlockMethod method, uint32_t raw_length) {
  std::memcpy(out.data(), kZukSignature.data(), kZukSignature.size());
  store_u32le(out, kBlockMethodOffset, static_cast<uint32_t>(method));
  store_u32le(out, kBlockRawLengthOffset, raw_length);
  store_u32le(out, kBlockReservedOffset, 0);
}

int32_t block_deflate(BlockStream& stream, std::span<uint8_t> out, std::span<const uint8_t> in,
                      int level) {
  if (level < 0 || level > 9 || in.size() > INT32_MAX - kBlockHeaderSize) return -1;
  if (out.size() < kBlockHeaderSize + in.size()) return -1;
  // The stream is kept only when the whole block is smaller than the raw length, so at most
  // in.size() − 17 stream bytes are worth producing.
  size_t room = in.size() > kBlockHeaderSize ? in.size() - kBlockHeaderSize - 1 : 0;
  int64_t stream_size = deflate_into(stream, out.data() + kBlockHeaderSize, room, in, level == 9 ? 8 : level);
  if (stream_size < 0) return -1;
  if (stream_size == 0) return store_block(out, in);
  block_write_header(out, BlockMethod::Deflate, static_cast<uint32_t>(in.size()));
  return static_cast<int32_t>(kBlockHeaderSize + static_cast<size_t>(stream_size));
}

int32_t block_expand(BlockStream& stream, std::span<uint8_t> out, std::span<const uint8_t> block) {
  if (block.size() < kBlockHeaderSize) return -1;
  uint32_t method = load_u32le(block, kBlockMethodOffset);
  auto payload = block.subspan(kBlockHeaderSize);
  if ((method & 2) == 0) return expand_stored(out, payload, load_u32le(block, kBlockRawLengthOffset));
  return expand_zlib(stream, out, payload);
}

std::optional<std::vector<uint8_t>> block_decode(std::span<const uint8_t> block) {
  auto header = block_header(block);
  if (!header) return std::nullopt;
  auto payload = block.subspan(kBlockHeaderSize);
  uint64_t most = payload.size();
  if (header->method == static_cast<uint32_t>(BlockMethod::Lzss)) most *= kLzssMaxRatio;
  else if (header->method & 2) most = most * kZlibMaxRatio + kZlibMaxRatio;
  if (header->raw_length > most || header->raw_length > INT32_MAX) return std::nullopt;

  std::vector<uint8_t> data(header->raw_length);
  BlockStream stream;
  int64_t written = header->method == static_cast<uint32_t>(BlockMethod::Lzss)
                        ? lzss_decode(payload, data)
                        : block_expand(stream, data, block);
  if (written < 0) return std::nullopt;
  data.resize(static_cast<size_t>(written));
  return data;
}

int scramble_xor(std::span<uint8_t> data, uint32_t key) {
  const uint8_t k[4] = {static_cast<uint8_t>(key), static_cast<uint8_t>(key >> 8),
                        static_cast<uint8_t>(key >> 16), static_cast<uint8_t>(key >> 24)};
  for (size_t j = 0; j < data.size(); ++j) data[j] ^= k[j & 3];
  return 0;
}

}  // namespace tesmo
