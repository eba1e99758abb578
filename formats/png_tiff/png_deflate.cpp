// The PNG writer's compression: the whole-buffer deflate in bands, then zlib at level 9 on very
// redundant or small data only, kept when it is shorter.
#include "formats/png_tiff/png_deflate.h"

#include <zlib.h>

#include <limits>

#include "formats/png_tiff/png_bands.h"

namespace tesmo::png {
namespace {

// The whole-buffer compressor's level: on photographs it already gives files smaller than or
// within a percent of zlib's level 9 at a small fraction of the time; higher levels cost more
// time than they save bytes.
constexpr int kFastLevel = 3;

// Data that the fast pass shrank to this fraction or less is flat enough for zlib's level 9 to be
// cheap, and there its longer searches can beat the fast pass by a few percent.
constexpr size_t kRedundantRatio = 8;
// Data this small costs zlib little whatever it holds; the fast pass can lose a few bytes there.
constexpr size_t kSmallData = size_t{64} << 10;

// zlib's settings for PNG data: level 9, a 32 KiB window, the default memory level, and the
// strategy for filtered rows.
constexpr int kZlibLevel = 9;
constexpr int kZlibWindowBits = 15;
constexpr int kZlibMemLevel = 8;

uint8_t* bytes_of(const AlignedBlock& block) { return reinterpret_cast<uint8_t*>(block.data()); }

// zlib's stream of `data` when it is shorter than `limit` bytes; nothing otherwise. zlib stops as
// soon as its output reaches the limit, so a losing try costs no more than it must.
std::optional<ZlibStream> zlib9_stream_below(std::span<const uint8_t> data, size_t limit) {
  if (data.size() > std::numeric_limits<uInt>::max()) return std::nullopt;  // one call takes it all
  z_stream z{};
  if (deflateInit2(&z, kZlibLevel, Z_DEFLATED, kZlibWindowBits, kZlibMemLevel, Z_FILTERED) != Z_OK) {
    return std::nullopt;
  }
  ZlibStream out{AlignedBlock::allocate(limit - 1)};
  if (!out.block) {
    deflateEnd(&z);
    return std::nullopt;
  }
  z.next_in = const_cast<Bytef*>(data.data());
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = bytes_of(out.block);
  z.avail_out = static_cast<uInt>(limit - 1);
  const int result = deflate(&z, Z_FINISH);
  out.size = z.total_out;
  deflateEnd(&z);
  if (result != Z_STREAM_END) return std::nullopt;
  return out;
}

}  // namespace

std::optional<ZlibStream> zlib_stream(std::span<const uint8_t> data) {
  std::optional<ZlibStream> fast = banded_zlib_stream(data, kFastLevel);
  const bool redundant = fast && fast->size * kRedundantRatio <= data.size();
  if (!fast || (!redundant && data.size() > kSmallData)) return fast;
  std::optional<ZlibStream> thorough = zlib9_stream_below(data, fast->size);
  return thorough ? std::move(thorough) : std::move(fast);
}

}  // namespace tesmo::png
