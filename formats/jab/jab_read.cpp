// JAB recognition and decoding: the JPEG part through the JPEG reader from memory, then the alpha
// plane from the compressed block behind it.
#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "base/bytes.h"
#include "base/file_io.h"
#include "formats/jab/jab.h"
#include "formats/jab/jab_internal.h"
#include "formats/jpeg/jpeg.h"

namespace tesmo::jab {
namespace {

struct JabState final : ReaderState {
  JabState() = default;
  JabState(const JabState&) = delete;  // `data` may point into `owned`
  JabState& operator=(const JabState&) = delete;

  FileBytes owned;                // the file form's bytes
  std::span<const uint8_t> data;  // the whole file image: `owned` or the caller's memory
  int32_t width = 0;
  int32_t height = 0;
  uint32_t jpeg_length = 0;  // as recorded; may pass the end of a damaged file
  uint32_t alpha_size = 0;
};

bool recognise(std::span<const uint8_t> head, JabState& s, ImageInfo& info, bool want_text) {
  if (head.size() <= kHeaderBytes) return false;
  ByteReader r(head);
  std::array<uint8_t, kSignature.size()> signature{};
  r.bytes(signature.data(), signature.size());
  const uint32_t version = r.u32le();
  const int32_t width = r.i32le();
  const int32_t height = r.i32le();
  const uint32_t must_be_zero = r.u32le();
  r.seek(kJpegLengthAt);
  s.jpeg_length = r.u32le();
  s.alpha_size = r.u32le();
  if (!r.ok() || signature != kSignature || version != kVersion || must_be_zero != 0) return false;
  if (width < 1 || width > kMaxImageSide || height < 1 || height > kMaxImageSide) return false;

  s.width = width;
  s.height = height;
  info.pixel_format = 0;
  info.colour_model = kModelRgb;
  info.width = width;
  info.height = height;
  info.bits = 32;
  info.channels = 4;
  info.has_alpha = 1;
  if (want_text) info.pixel_text = "8:8:8:8 RGB (32 bit)";
  return true;
}

const std::string kNotJpeg = "not a JPEG stream";

// `length` bytes from `at`, cut at the end of `data` (empty when `at` lies beyond it).
std::span<const uint8_t> part(std::span<const uint8_t> data, uint64_t at, uint32_t length) {
  if (at >= data.size()) return {};
  return data.subspan(static_cast<size_t>(at), std::min<uint64_t>(length, data.size() - at));
}

// The JPEG part into `pixels` with alpha 255; the fault when it is unreadable, damaged or cut, or
// its size is not the header's (nothing written in the first and last case).
ReadFault decode_colour(const JabState& s, std::span<uint32_t> pixels) {
  ImageSource source;
  source.memory = part(s.data, kHeaderBytes, s.jpeg_length);
  ImageInfo jpeg_info;
  ProbeResult jpeg_part = jpeg::probe(source, jpeg_info, false);
  if (!jpeg_part) return "JPEG part: " + (jpeg_part.reason.empty() ? kNotJpeg : jpeg_part.reason);
  if (jpeg_info.width != s.width || jpeg_info.height != s.height) return "JPEG part: size differs from the header";
  ReadFault fault = jpeg::decode(*jpeg_part.state, pixels);
  return fault.empty() ? fault : "JPEG part: " + fault;
}

// Alpha bytes from the block, only when it gives exactly one byte per pixel.
void apply_alpha(const JabState& s, std::span<uint32_t> pixels) {
  const std::span<const uint8_t> block = part(s.data, uint64_t{kHeaderBytes} + s.jpeg_length, s.alpha_size);
  if (block.size() < kBlockHeaderSize) return;
  std::vector<uint8_t> plane(pixels.size());
  BlockStream stream;
  const int32_t got = block_expand(stream, plane, block);
  if (got < 0 || static_cast<size_t>(got) != plane.size()) return;
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (pixels[i] & 0x00FFFFFFu) | uint32_t{plane[i]} << 24;
}

// The JPEG part's coding has no useful bound on its expansion (see kUnboundedExpansion).
bool data_holds_picture(const JabState& s) {
  const uint64_t stored = uint64_t(s.width) * uint64_t(s.height) * 3;
  return picture_within_data(s.width, s.height, stored, bytes_from(s.data, kHeaderBytes),
                             kUnboundedExpansion);
}

}  // namespace

// The file form: the header decides before the whole file is read.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text) {
  const FileForm<JabState> file{.head_bytes = kHeaderBytes + 1, .signature = kSignature};
  return probe_source<JabState>(source, info, want_text, file, recognise);
}

ReadFault decode(ReaderState& reader, std::span<uint32_t> pixels) {
  auto* s = dynamic_cast<JabState*>(&reader);
  const size_t count = s ? static_cast<size_t>(s->width) * static_cast<size_t>(s->height) : 0;
  if (!s || pixels.size() < count) return "no room for the picture";
  pixels = pixels.first(count);
  if (ReadFault fault = decode_colour(*s, pixels); !fault.empty()) return fault;
  apply_alpha(*s, pixels);
  return {};
}

}  // namespace tesmo::jab
