// BMP 8-bit and 4-bit run-length data, expanded straight into the pixel buffer.
//
// The codes address a buffer of height × stride bytes in stored row order, and a run that passes
// the end of a row carries on into the row padding and the next stored row; only what falls
// outside that buffer is dropped. Positions here are counted in pixels of that buffer (two per
// byte for 4 bits), and a pixel lands in the output only when it is not row padding. Pixels the
// codes never set keep colour-table entry 0. The codes end at an end-of-image code, at the end of
// the data, or once the position has left the last stored row.
#include <algorithm>

#include "base/bytes.h"
#include "formats/bmp/bmp_internal.h"

namespace tesmo::bmp {
namespace {

// The second byte of a zero-count pair.
constexpr uint8_t kEndOfLine = 0;
constexpr uint8_t kEndOfImage = 1;
constexpr uint8_t kDelta = 2;  // followed by dx, dy

// Writes pixels at a position of the stored-order buffer and moves on.
class RowCursor {
 public:
  RowCursor(const BmpState& s, std::span<uint32_t> pixels)
      : s_(s),
        out_(pixels),
        width_(static_cast<uint64_t>(s.width)),
        height_(static_cast<uint64_t>(s.height)),
        row_pixels_(s.stride * 8 / static_cast<uint64_t>(s.bits)) {}

  void move_to(uint64_t y, uint64_t x) {
    uint64_t q = y * row_pixels_ + x;
    row_ = q / row_pixels_;
    col_ = q % row_pixels_;
  }

  void put(uint32_t colour) {
    if (row_ >= height_) return;
    if (col_ < width_) out_[output_row(s_, row_) * width_ + col_] = colour;
    advance(1);
  }

  void fill(uint32_t colour, uint64_t n) {
    while (n > 0 && row_ < height_) {
      uint64_t step = std::min(n, row_pixels_ - col_);
      if (col_ < width_) {
        uint32_t* row = out_.data() + output_row(s_, row_) * width_;
        std::fill(row + col_, row + std::min(col_ + step, width_), colour);
      }
      advance(step);
      n -= step;
    }
  }

 private:
  void advance(uint64_t n) {
    col_ += n;
    if (col_ == row_pixels_) {
      col_ = 0;
      ++row_;
    }
  }

  const BmpState& s_;
  std::span<uint32_t> out_;
  uint64_t width_, height_, row_pixels_;
  uint64_t row_ = 0, col_ = 0;
};

// One run of n pixels of the index pair in `v`: 8 bits repeat v, 4 bits alternate its nibbles.
void put_run(RowCursor& out, const Palette& palette, int bits, uint8_t n, uint8_t v) {
  if (bits == 8 || (v >> 4) == (v & 0x0F)) {
    out.fill(palette[bits == 8 ? v : (v & 0x0F)], n);
    return;
  }
  for (uint8_t i = 0; i < n; ++i) out.put(palette[(i & 1) ? (v & 0x0F) : (v >> 4)]);
}

// A literal of `count` pixels in whole bytes, padded to an even byte count. False when the
// data ended inside it (the pixels that were there are still written).
bool put_literal(ByteReader& in, RowCursor& out, const Palette& palette, int bits, uint8_t count) {
  const size_t bytes = bits == 8 ? count : (count + 1u) / 2;
  std::span<const uint8_t> src = in.view(std::min(bytes, in.remaining()));
  for (size_t i = 0; i < count; ++i) {
    size_t byte = bits == 8 ? i : i / 2;
    if (byte >= src.size()) return false;
    uint8_t v = src[byte];
    out.put(palette[bits == 8 ? v : (i & 1) ? (v & 0x0F) : (v >> 4)]);
  }
  if (bytes % 2 == 1) in.skip(1);
  return src.size() == bytes;
}

}  // namespace

void decode_run_length(const BmpState& s, const Palette& palette, std::span<uint32_t> pixels) {
  std::fill(pixels.begin(), pixels.begin() + static_cast<ptrdiff_t>(s.width) * s.height, palette[0]);
  std::span<const uint8_t> codes;
  if (s.pixels_at < s.data.size()) codes = s.data.subspan(static_cast<size_t>(s.pixels_at));
  ByteReader in(codes);
  RowCursor out(s, pixels);
  const uint64_t width = static_cast<uint64_t>(s.width);
  const uint64_t height = static_cast<uint64_t>(s.height);
  uint64_t y = 0;
  uint64_t x = 0;
  while (y < height && in.remaining() >= 2) {
    uint8_t n = in.u8();
    uint8_t v = in.u8();
    out.move_to(y, x);
    if (n > 0 || v > kDelta) {  // a run, or a literal of v pixels
      if (n > 0) {
        put_run(out, palette, s.bits, n, v);
      } else if (!put_literal(in, out, palette, s.bits, v)) {
        return;
      }
      x += n > 0 ? n : v;
      // A row also ends once more than its width has been produced in it.
      if (x > width) {
        ++y;
        x = 0;
      }
      continue;
    }
    switch (v) {
      case kEndOfImage: return;
      case kEndOfLine:
        ++y;
        x = 0;
        break;
      case kDelta:
        if (in.remaining() < 2) return;
        x += in.u8();
        y += in.u8();
        break;
    }
  }
}

}  // namespace tesmo::bmp
