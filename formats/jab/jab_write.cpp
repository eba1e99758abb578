// The JAB writer: a JPEG file copied byte for byte, and the alpha plane of a BMP file deflated into
// a compressed block behind it.
#include <algorithm>
#include <optional>
#include <vector>

#include "base/bytes.h"
#include "base/file_io.h"
#include "formats/bmp/bmp.h"
#include "formats/jab/jab.h"
#include "formats/jab/jab_internal.h"

namespace tesmo::jab {
namespace {

constexpr uint8_t kOpaque = 0xFF;

// The BMP's alpha plane (32-bit: the stored alpha; 24-bit: all 255) with its sides; nothing for a
// file the BMP reader declines or another depth.
struct AlphaPlane {
  std::vector<uint8_t> bytes;
  int32_t width = 0;
  int32_t height = 0;
};

std::optional<AlphaPlane> alpha_of_bmp(const std::u16string& path) {
  ImageSource source;
  source.path = &path;
  ImageInfo info;
  std::unique_ptr<ReaderState> state = bmp::probe(source, info, false).state;
  if (!state || (info.bits != 24 && info.bits != 32)) return std::nullopt;
  if (info.width < 1 || info.width > kMaxImageSide || info.height < 1 || info.height > kMaxImageSide) {
    return std::nullopt;
  }
  AlphaPlane plane{std::vector<uint8_t>(size_t(info.width) * size_t(info.height), kOpaque), info.width,
                   info.height};
  if (info.bits == 32) bmp::decode_alpha(*state, plane.bytes);
  return plane;
}

bool has_bytes(const std::u16string& path) {
  std::optional<std::vector<uint8_t>> head = read_file_prefix(path, 1);
  return head && !head->empty();
}

}  // namespace

std::optional<std::vector<uint8_t>> encode(std::span<const uint8_t> jpeg, std::span<const uint8_t> alpha,
                                           int32_t width, int32_t height) {
  if (jpeg.empty() || jpeg.size() > UINT32_MAX - kHeaderBytes) return std::nullopt;
  if (width < 1 || width > kMaxImageSide || height < 1 || height > kMaxImageSide) return std::nullopt;
  const size_t count = size_t(width) * size_t(height);
  if (alpha.size() < count) return std::nullopt;

  std::vector<uint8_t> out;
  out.reserve(kHeaderBytes + jpeg.size() + kBlockHeaderSize + count);
  ByteWriter w(out);
  w.bytes(kSignature.data(), kSignature.size());
  w.u32le(kVersion);
  w.u32le(static_cast<uint32_t>(width));
  w.u32le(static_cast<uint32_t>(height));
  w.zeros(kJpegLengthAt - kMustBeZeroAt);
  w.u32le(static_cast<uint32_t>(jpeg.size()));
  w.u32le(0);  // the block size, known once the block is made
  w.zeros(kHeaderBytes - w.size());
  w.bytes(jpeg.data(), jpeg.size());

  const size_t block_at = out.size();
  out.resize(block_at + kBlockHeaderSize + count);
  BlockStream stream;
  const int32_t block_size =
      block_deflate(stream, std::span(out).subspan(block_at), alpha.first(count), kAlphaLevel);
  if (block_size < 0) return std::nullopt;
  out.resize(block_at + static_cast<size_t>(block_size));
  store_u32le(out, kAlphaSizeAt, static_cast<uint32_t>(block_size));
  return out;
}

int save(std::span<const uint32_t>, int32_t, int32_t, const SaveRequest& request) {
  if (request.path.empty() || !has_bytes(request.jab_jpeg_path) || !has_bytes(request.jab_alpha_path)) {
    return 1;
  }
  std::optional<std::vector<uint8_t>> jpeg = read_file(request.jab_jpeg_path);
  std::optional<AlphaPlane> plane = alpha_of_bmp(request.jab_alpha_path);
  if (!jpeg || !plane) return 1;
  std::optional<std::vector<uint8_t>> bytes = encode(*jpeg, plane->bytes, plane->width, plane->height);
  if (!bytes) return 1;
  return write_image_file(request.path, *bytes);
}

int write_from_bmp(const std::u16string& bmp_path, const std::u16string& jpeg_path,
                   const std::u16string& jab_path) {
  SaveRequest request;
  request.path = jab_path;
  request.format = kFormatJab;
  request.jab_jpeg_path = jpeg_path;
  request.jab_alpha_path = bmp_path;
  return save({}, 0, 0, request);
}

}  // namespace tesmo::jab
