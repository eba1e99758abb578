// PIC writer: 24-bit (one colour packet) or 32-bit (a colour packet chained to an alpha packet),
// uncompressed or as mixed run-length packets.
//
// Run-length grouping, per part of a scanline (pixels compared on all their bytes): one group is
// pending, a literal list of 1–128 pixels or a repeat run of 2 or more. The first pixel, and the
// one after a flushed 128-pixel literal, start a literal of 1. An equal pixel turns a literal of 1
// into a run of 2, takes the last pixel off a longer literal (which is emitted) to form a run of
// 2, or grows a run. A different pixel ends a run (emitted) and starts a literal of 1, or grows a
// literal, which is emitted when it reaches 128. So A A B gives 129 A 0 B, and A B B C gives
// 0 A 129 B 0 C.

#include "base/bytes.h"
#include "formats/pic/pic.h"
#include "formats/pic/pic_internal.h"

namespace tesmo::pic {
namespace {

constexpr size_t kMaxLiteral = 128;
constexpr size_t kMaxShortRun = 127;  // longer runs take the 16-bit count form
constexpr uint8_t kLongRunCode = 128;
constexpr uint32_t kMaxSide = 0xFFFF;  // the header's 16-bit fields

// The colour part of a pixel: red, green, blue bytes.
struct Colour {
  static constexpr size_t kBytes = 3;
  static uint32_t key(uint32_t p) { return p & 0xFFFFFF; }
  static void put(uint32_t p, std::vector<uint8_t>& out) {
    out.push_back(static_cast<uint8_t>(p >> 16));
    out.push_back(static_cast<uint8_t>(p >> 8));
    out.push_back(static_cast<uint8_t>(p));
  }
};

struct Alpha {
  static constexpr size_t kBytes = 1;
  static uint32_t key(uint32_t p) { return p >> 24; }
  static void put(uint32_t p, std::vector<uint8_t>& out) { out.push_back(static_cast<uint8_t>(p >> 24)); }
};

template <class Part>
void put_plain(const uint32_t* row, size_t width, std::vector<uint8_t>& out) {
  for (size_t x = 0; x < width; ++x) Part::put(row[x], out);
}

template <class Part>
void emit_literal(const uint32_t* first, size_t count, std::vector<uint8_t>& out) {
  out.push_back(static_cast<uint8_t>(count - 1));
  put_plain<Part>(first, count, out);
}

template <class Part>
void emit_run(uint32_t pixel, size_t count, std::vector<uint8_t>& out) {
  if (count <= kMaxShortRun) {
    out.push_back(static_cast<uint8_t>(count + 127));
  } else {
    out.push_back(kLongRunCode);
    out.push_back(static_cast<uint8_t>(count >> 8));
    out.push_back(static_cast<uint8_t>(count));
  }
  Part::put(pixel, out);
}

template <class Part>
void put_packed(const uint32_t* row, size_t width, std::vector<uint8_t>& out) {
  size_t start = 0;  // first pixel of the pending group
  size_t count = 0;  // pixels in it; 0 when none is pending
  bool run = false;
  for (size_t x = 0; x < width; ++x) {
    if (count == 0) {
      start = x;
      count = 1;
      run = false;
    } else if (Part::key(row[x]) == Part::key(row[x - 1])) {
      if (run) {
        ++count;
      } else {
        if (count > 1) emit_literal<Part>(row + start, count - 1, out);
        start = x - 1;
        count = 2;
        run = true;
      }
    } else if (run) {
      emit_run<Part>(row[start], count, out);
      start = x;
      count = 1;
      run = false;
    } else if (++count == kMaxLiteral) {
      emit_literal<Part>(row + start, count, out);
      count = 0;
    }
  }
  if (count == 0) return;
  if (run) {
    emit_run<Part>(row[start], count, out);
  } else {
    emit_literal<Part>(row + start, count, out);
  }
}

void put_header(uint32_t width, uint32_t height, bool alpha, uint8_t type, std::vector<uint8_t>& out) {
  ByteWriter w(out);
  w.bytes(kMagic, sizeof kMagic);
  w.zeros(kCommentAndVersionBytes);
  w.bytes(kPictId, sizeof kPictId);
  w.u16be(static_cast<uint16_t>(width));
  w.u16be(static_cast<uint16_t>(height));
  w.u32be(0);  // aspect ratio
  w.u16be(kFullFrame);
  w.u16be(0);  // padding
  const uint8_t packets[2][4] = {{alpha ? uint8_t{1} : uint8_t{0}, kChannelBits, type, kMaskRgb},
                                 {0, kChannelBits, type, kMaskAlpha}};
  w.bytes(packets[0], 4);
  if (alpha) w.bytes(packets[1], 4);
}

}  // namespace

std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            int32_t pixel_format, bool compress) {
  if (pixel_format != 0 && pixel_format != 1) return {};
  if (width < 0 || height < 0 || uint32_t(width) > kMaxSide || uint32_t(height) > kMaxSide) return {};
  const size_t w = static_cast<size_t>(width);
  const size_t h = static_cast<size_t>(height);
  if (pixels.size() < w * h) return {};
  const bool alpha = pixel_format == 1;
  std::vector<uint8_t> out;
  // The uncompressed size; run-length data can exceed it (a lone literal pixel costs 4 bytes).
  out.reserve((alpha ? kTwoPacketHeader : kOnePacketHeader) + w * h * (alpha ? 4 : 3));
  put_header(static_cast<uint32_t>(w), static_cast<uint32_t>(h), alpha,
             compress ? kTypeMixedRunLength : kTypeUncompressed, out);
  for (size_t y = 0; y < h; ++y) {
    const uint32_t* row = pixels.data() + y * w;
    if (compress) {
      put_packed<Colour>(row, w, out);
      if (alpha) put_packed<Alpha>(row, w, out);
    } else {
      put_plain<Colour>(row, w, out);
      if (alpha) put_plain<Alpha>(row, w, out);
    }
  }
  return out;
}

int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request) {
  if (request.path.empty()) return 1;
  std::vector<uint8_t> bytes = encode(pixels, width, height, request.pixel_format, request.compress != 0);
  if (bytes.empty()) return 1;
  return write_image_file(request.path, bytes);
}

}  // namespace tesmo::pic
