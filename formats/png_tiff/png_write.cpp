// The PNG writer: 8-bit RGB or RGBA rows from the top, every row filter allowed (chosen per row as
// the PNG library chooses), no chunks besides the header, the data and the end. The file is put
// together here: the rows are filtered and compressed as one zlib stream, which is cut into IDAT
// chunks.
#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string_view>

#include <libdeflate.h>

#include "base/file_io.h"
#include "formats/png_tiff/png_deflate.h"
#include "formats/png_tiff/png_filter.h"
#include "formats/png_tiff/png_tiff.h"

namespace tesmo::png {
namespace {

constexpr std::array<uint8_t, 8> kSignature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr size_t kChunkOverhead = 12;       // length, type, then the CRC after the data
constexpr size_t kIdatBytes = size_t{1} << 18;  // data bytes per IDAT chunk
constexpr uint8_t kBitDepth = 8;
constexpr uint8_t kColourRgb = 2;
constexpr uint8_t kColourRgba = 6;
constexpr size_t kHeaderBytes = 13;  // width, height, depth, colour type, compression, filter, interlace

void put_u32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

// One chunk: big-endian length, type, data, and the CRC of type and data.
void put_chunk(std::vector<uint8_t>& out, std::string_view type, std::span<const uint8_t> data) {
  put_u32(out, static_cast<uint32_t>(data.size()));
  const size_t type_at = out.size();
  out.resize(type_at + type.size() + data.size());
  std::memcpy(out.data() + type_at, type.data(), type.size());
  if (!data.empty()) std::memcpy(out.data() + type_at + type.size(), data.data(), data.size());
  put_u32(out, libdeflate_crc32(0, out.data() + type_at, type.size() + data.size()));
}

std::array<uint8_t, kHeaderBytes> header(uint32_t width, uint32_t height, bool alpha) {
  // Compression method 0, filter method 0, no interlacing.
  return {static_cast<uint8_t>(width >> 24),  static_cast<uint8_t>(width >> 16),
          static_cast<uint8_t>(width >> 8),   static_cast<uint8_t>(width),
          static_cast<uint8_t>(height >> 24), static_cast<uint8_t>(height >> 16),
          static_cast<uint8_t>(height >> 8),  static_cast<uint8_t>(height),
          kBitDepth,                          alpha ? kColourRgba : kColourRgb,
          0,                                  0,
          0};
}

std::vector<uint8_t> assemble(uint32_t width, uint32_t height, bool alpha, std::span<const uint8_t> stream) {
  const size_t chunks = stream.size() / kIdatBytes + 1;
  std::vector<uint8_t> out(kSignature.begin(), kSignature.end());
  out.reserve(kSignature.size() + (chunks + 2) * kChunkOverhead + kHeaderBytes + stream.size());
  put_chunk(out, "IHDR", header(width, height, alpha));
  for (size_t at = 0; at < stream.size(); at += kIdatBytes) {
    put_chunk(out, "IDAT", stream.subspan(at, std::min(kIdatBytes, stream.size() - at)));
  }
  put_chunk(out, "IEND", {});
  return out;
}

}  // namespace

std::optional<std::vector<uint8_t>> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                                           int32_t pixel_format) {
  if (pixel_format != 0 && pixel_format != 1) return std::nullopt;
  if (width < 1 || height < 1) return std::nullopt;
  if (pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return std::nullopt;
  const bool alpha = pixel_format == 1;
  const auto w = static_cast<uint32_t>(width);
  const auto h = static_cast<uint32_t>(height);
  try {
    const AlignedBlock scanlines = filtered_scanlines(pixels, w, h, alpha);
    if (!scanlines) return std::nullopt;
    std::optional<ZlibStream> stream =
        zlib_stream({reinterpret_cast<const uint8_t*>(scanlines.data()), scanlines_size(w, h, alpha)});
    if (!stream) return std::nullopt;
    return assemble(w, h, alpha, stream->bytes());
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request) {
  if (request.path.empty()) return 1;
  std::optional<std::vector<uint8_t>> bytes = encode(pixels, width, height, request.pixel_format);
  if (!bytes) return 1;
  return write_image_file(request.path, *bytes);
}

}  // namespace tesmo::png
