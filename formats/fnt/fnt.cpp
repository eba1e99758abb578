// FNT pictures: recognition, decoding of the 8-bit pixels, the header text and the writer.
#include "formats/fnt/fnt.h"

#include <algorithm>
#include <cstdio>
#include <optional>

#include "base/bytes.h"
#include "base/file_io.h"
#include "base/zuk.h"

namespace tesmo::fnt {
namespace {

constexpr size_t kHeaderBytes = 32;
constexpr uint32_t kVersion = 0x01000000;  // stored bytes 00 00 00 01
constexpr size_t kReservedTailBytes = 8;
constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kMaxSide = 0xFFFF;  // the width and height fields
// Where the save finds the three numbers in the header text. "%03d" gives value 1 more than three
// digits from 1000 on, which pushes value 2 to the right: it is read after value 1's last digit and
// the space that follows, never before 15.
constexpr size_t kCodeAt = 0, kValue1At = 11, kValue2At = 15;

struct FntState final : ReaderState {
  FntState() = default;
  FntState(const FntState&) = delete;  // `data` may point into `owned`
  FntState& operator=(const FntState&) = delete;

  FileBytes owned;                // the file form's bytes
  std::span<const uint8_t> data;  // the whole file image: `owned` or the caller's memory
  int32_t width = 0;
  int32_t height = 0;
};

// Recognises the header; fills the state and `info`, or returns false to decline.
bool recognise(std::span<const uint8_t> head, FntState& s, ImageInfo& info, bool want_text) {
  if (head.size() < kHeaderBytes || !has_zuk_signature(head)) return false;
  ByteReader r(head);
  r.skip(kZukSignature.size());
  const uint32_t version = r.u32le();
  Header h;
  h.code = r.u32le();
  r.skip(4);  // reserved
  const uint16_t width = r.u16le();
  const uint16_t height = r.u16le();
  h.value1 = r.u16le();
  h.value2 = r.u16le();
  if (version != kVersion) return false;
  if (width < 1 || width > kMaxImageSide || height < 1 || height > kMaxImageSide) return false;

  s.width = width;
  s.height = height;
  info.pixel_format = 0;
  info.colour_model = kModelGrey;
  info.width = width;
  info.height = height;
  info.bits = 8;
  info.channels = 1;
  info.has_alpha = 0;
  if (want_text) {
    info.pixel_text = "Gray (256 colors)";
    info.extra_text = header_text(h);
  }
  return true;
}

// The bytes the decoder reads: the header and the pixels it announces.
uint64_t bytes_needed(const FntState& s, const ImageInfo&) {
  return kHeaderBytes + uint64_t(s.width) * uint64_t(s.height);
}

struct Number {
  uint32_t value;
  size_t end;  // the position after its last character
};

// One number of the header text; `limit` is the largest its field holds. Nothing past the limit.
std::optional<Number> number_at(std::string_view text, size_t at, uint32_t limit) {
  std::string_view rest = at < text.size() ? text.substr(at) : std::string_view();
  const bool hex = rest.size() >= 3 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X');
  if (hex) rest.remove_prefix(2);
  const uint64_t base = hex ? 16 : 10;
  uint64_t value = 0;
  size_t used = hex ? 2 : 0;
  for (char c : rest) {
    uint64_t digit;
    if (c >= '0' && c <= '9') {
      digit = uint64_t(c - '0');
    } else if (hex && c >= 'a' && c <= 'f') {
      digit = uint64_t(c - 'a' + 10);
    } else if (hex && c >= 'A' && c <= 'F') {
      digit = uint64_t(c - 'A' + 10);
    } else {
      break;
    }
    value = value * base + digit;
    if (value > limit) return std::nullopt;
    ++used;
  }
  return Number{static_cast<uint32_t>(value), at + used};
}

// One stored byte per pixel.
bool data_holds_picture(const FntState& s) {
  const uint64_t stored = uint64_t(s.width) * uint64_t(s.height);
  return picture_within_data(s.width, s.height, stored, bytes_from(s.data, kHeaderBytes), 1);
}

}  // namespace

std::string header_text(const Header& h) {
  char text[32];
  std::snprintf(text, sizeof text, "0x%08X %03d %03d", h.code, int{h.value1}, int{h.value2});
  return text;
}

std::optional<Header> parse_header_text(std::string_view text) {
  const std::optional<Number> code = number_at(text, kCodeAt, UINT32_MAX);
  const std::optional<Number> value1 = number_at(text, kValue1At, UINT16_MAX);
  if (!code || !value1) return std::nullopt;
  const std::optional<Number> value2 = number_at(text, std::max(kValue2At, value1->end + 1), UINT16_MAX);
  if (!value2 || code->value == 0 || value1->value == 0 || value2->value == 0) return std::nullopt;
  return Header{code->value, static_cast<uint16_t>(value1->value), static_cast<uint16_t>(value2->value)};
}


// The file form: a file of more than 32 bytes; the header and the pixels it announces are read
// (fewer when the file is shorter).
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text) {
  const FileForm<FntState> file{.head_bytes = kHeaderBytes + 1, .kept = bytes_needed};
  return probe_source<FntState>(source, info, want_text, file, recognise);
}

void decode(ReaderState& reader, std::span<uint32_t> pixels) {
  auto* s = dynamic_cast<FntState*>(&reader);
  if (!s) return;
  const size_t count = size_t(s->width) * size_t(s->height);
  if (pixels.size() < count) return;
  const std::span<const uint8_t> stored =
      s->data.size() > kHeaderBytes ? s->data.subspan(kHeaderBytes) : std::span<const uint8_t>();
  const size_t have = std::min(count, stored.size());
  for (size_t i = 0; i < have; ++i) pixels[i] = kOpaque | stored[i] * 0x010101u;
  std::fill(pixels.begin() + static_cast<ptrdiff_t>(have), pixels.begin() + static_cast<ptrdiff_t>(count),
            kOpaque);
}

std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            const Header& header) {
  if (width < 1 || height < 1 || uint32_t(width) > kMaxSide || uint32_t(height) > kMaxSide) return {};
  const size_t count = size_t(width) * size_t(height);
  if (pixels.size() < count) return {};
  std::vector<uint8_t> out;
  out.reserve(kHeaderBytes + count);
  ByteWriter w(out);
  w.bytes(kZukSignature.data(), kZukSignature.size());
  w.u32le(kVersion);
  w.u32le(header.code);
  w.u32le(0);  // reserved
  w.u16le(static_cast<uint16_t>(width));
  w.u16le(static_cast<uint16_t>(height));
  w.u16le(header.value1);
  w.u16le(header.value2);
  w.zeros(kReservedTailBytes);
  out.resize(kHeaderBytes + count);
  for (size_t i = 0; i < count; ++i) out[kHeaderBytes + i] = grey_of(pixels[i]);
  return out;
}

int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request) {
  if (request.path.empty() || request.pixel_format != 0) return 1;
  const std::optional<Header> header = parse_header_text(request.fnt_header_text);
  if (!header) return 1;
  std::vector<uint8_t> bytes = encode(pixels, width, height, *header);
  if (bytes.empty()) return 1;
  return write_image_file(request.path, bytes);
}

}  // namespace tesmo::fnt
