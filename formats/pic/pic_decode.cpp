// PIC decoding: scanlines from the top, each the colour packet's data (red, green, blue per pixel;
// red, green, blue, alpha when one packet names all four channels) and then, with a second packet,
// one alpha byte per pixel.
//
// Mixed run-length packets, per part of a scanline, a count byte c and then: c < 128, c + 1
// literal pixels; c = 128, a 16-bit count n and one pixel repeated n times; c > 128, one pixel
// repeated c − 127 times. A part ends once it holds width pixels: runs and literals that would
// pass it are cut there, and a cut literal uses only the pixels it keeps.
//
// Bytes the data does not hold (a short file, codes that lead past the end) read as zero: colour
// 0, and alpha 0 where the image has alpha.
#include <algorithm>
#include <vector>

#include "formats/pic/pic.h"
#include "formats/pic/pic_internal.h"

namespace tesmo::pic {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint8_t kLongRun = 128;

// A position in the data; reads past its end give zeros.
class Cursor {
 public:
  Cursor(std::span<const uint8_t> data, uint64_t pos) : data_(data), pos_(pos) {}

  bool at_end() const { return pos_ >= data_.size(); }
  uint8_t u8() { return pos_ < data_.size() ? data_[static_cast<size_t>(pos_++)] : (++pos_, 0); }
  // Copies `n` bytes into `out`, the part past the end of the data as zeros.
  void take(uint8_t* out, size_t n) {
    const uint64_t have = pos_ < data_.size() ? std::min<uint64_t>(n, data_.size() - pos_) : 0;
    std::copy_n(data_.begin() + static_cast<ptrdiff_t>(have ? pos_ : 0), have, out);
    std::fill(out + have, out + n, uint8_t{0});
    pos_ += n;
  }
  // The next `n` bytes in place when the data holds them all; null otherwise (nothing consumed).
  const uint8_t* view(size_t n) {
    if (pos_ > data_.size() || data_.size() - pos_ < n) return nullptr;
    const uint8_t* p = data_.data() + pos_;
    pos_ += n;
    return p;
  }

 private:
  std::span<const uint8_t> data_;
  uint64_t pos_;
};

// Expands one part of a scanline: `width` pixels of Size bytes into `out`.
template <size_t Size>
void expand_part(Cursor& in, uint8_t* out, size_t width) {
  constexpr size_t size = Size;
  size_t done = 0;
  while (done < width) {
    if (in.at_end()) {
      std::fill(out + done * size, out + width * size, uint8_t{0});
      return;
    }
    const uint8_t c = in.u8();
    if (c < kLongRun) {
      const size_t n = std::min<size_t>(c + 1u, width - done);
      in.take(out + done * size, n * size);
      done += n;
      continue;
    }
    size_t n = c - 127u;
    if (c == kLongRun) n = size_t{in.u8()} << 8 | in.u8();
    n = std::min(n, width - done);
    uint8_t pixel[4];
    in.take(pixel, size);
    for (size_t i = 0; i < n; ++i, ++done) std::copy_n(pixel, size, out + done * size);
  }
}

void combine_rgb(const uint8_t* colour, const uint8_t*, uint32_t* dst, size_t width) {
  for (size_t x = 0; x < width; ++x, colour += 3) {
    dst[x] = kOpaque | uint32_t{colour[0]} << 16 | uint32_t{colour[1]} << 8 | colour[2];
  }
}

void combine_rgb_alpha(const uint8_t* colour, const uint8_t* alpha, uint32_t* dst, size_t width) {
  for (size_t x = 0; x < width; ++x, colour += 3) {
    dst[x] = uint32_t{alpha[x]} << 24 | uint32_t{colour[0]} << 16 | uint32_t{colour[1]} << 8 | colour[2];
  }
}

void combine_rgba(const uint8_t* colour, const uint8_t*, uint32_t* dst, size_t width) {
  for (size_t x = 0; x < width; ++x, colour += 4) {
    dst[x] = uint32_t{colour[3]} << 24 | uint32_t{colour[0]} << 16 | uint32_t{colour[1]} << 8 | colour[2];
  }
}

using ExpandFn = void (*)(Cursor& in, uint8_t* out, size_t width);

struct Parts {
  size_t colour_size;  // bytes per pixel of the colour packet
  ExpandFn expand_colour;
  bool alpha_part;     // a second packet of one byte per pixel follows
  void (*combine)(const uint8_t* colour, const uint8_t* alpha, uint32_t* dst, size_t width);
};

Parts parts_of(Layout layout) {
  switch (layout) {
    case Layout::kRgbAlpha: return {3, expand_part<3>, true, combine_rgb_alpha};
    case Layout::kRgba: return {4, expand_part<4>, false, combine_rgba};
    default: return {3, expand_part<3>, false, combine_rgb};
  }
}

}  // namespace

void decode(ReaderState& reader, std::span<uint32_t> pixels) {
  auto* s = dynamic_cast<PicState*>(&reader);
  const size_t width = s ? static_cast<size_t>(s->width) : 0;
  const size_t height = s ? static_cast<size_t>(s->height) : 0;
  if (!s || pixels.size() < width * height) return;
  const Parts parts = parts_of(s->layout);
  const size_t colour_bytes = width * parts.colour_size;
  const size_t line_bytes = colour_bytes + (parts.alpha_part ? width : 0);
  std::vector<uint8_t> line(line_bytes);
  Cursor in(s->data, s->pixels_at);
  for (size_t y = 0; y < height; ++y) {
    const uint8_t* colour = line.data();
    if (s->type == kTypeMixedRunLength) {
      parts.expand_colour(in, line.data(), width);
      if (parts.alpha_part) expand_part<1>(in, line.data() + colour_bytes, width);
    } else if (const uint8_t* stored = in.view(line_bytes)) {
      colour = stored;
    } else {
      in.take(line.data(), line_bytes);
    }
    parts.combine(colour, colour + colour_bytes, pixels.data() + y * width, width);
  }
}

}  // namespace tesmo::pic
