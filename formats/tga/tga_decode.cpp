// TGA decoding: stored rows and run-length packets of every layout, straight into the pixel buffer.
//
// Stored rows run from the bottom of the picture up unless descriptor bit 5 is set; bit 4
// (right-to-left) is not honoured. Bytes the data does not hold read as zero: a missing 32-bit pixel
// is transparent black, any other missing pixel opaque black (or colour-map entry 0).
#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <vector>

#include "formats/tga/tga.h"
#include "formats/tga/tga_internal.h"

namespace tesmo::tga {
namespace {

static_assert(std::endian::native == std::endian::little, "32-bit pixels are copied as stored");

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint8_t kRunBit = 0x80;
constexpr uint8_t kCountMask = 0x7F;

// 5-bit channels scale by 255 / 31, rounded down.
constexpr std::array<uint32_t, 32> kExpand5 = [] {
  std::array<uint32_t, 32> t{};
  for (uint32_t v = 0; v < 32; ++v) t[v] = v * 255 / 31;
  return t;
}();
static_assert(kExpand5[1] == 8 && kExpand5[31] == 255);

using Palette = std::array<uint32_t, 256>;

// One stored pixel of each layout: its size and its value in the pixel buffer.
struct Grey {
  static constexpr size_t kBytes = 1;
  uint32_t operator()(const uint8_t* p) const { return kOpaque | p[0] * 0x010101u; }
};
struct Mapped {
  static constexpr size_t kBytes = 1;
  const Palette* palette;
  uint32_t operator()(const uint8_t* p) const { return (*palette)[p[0]]; }
};
// Bit 15 is not an alpha bit here: every 16-bit pixel is opaque.
struct Rgb16 {
  static constexpr size_t kBytes = 2;
  uint32_t operator()(const uint8_t* p) const {
    uint32_t v = p[0] | uint32_t{p[1]} << 8;
    return kOpaque | kExpand5[(v >> 10) & 31] << 16 | kExpand5[(v >> 5) & 31] << 8 | kExpand5[v & 31];
  }
};
struct Rgb24 {
  static constexpr size_t kBytes = 3;
  uint32_t operator()(const uint8_t* p) const {
    return kOpaque | uint32_t{p[2]} << 16 | uint32_t{p[1]} << 8 | p[0];
  }
};
// Blue, green, red, alpha: already the buffer's byte order.
struct Rgba32 {
  static constexpr size_t kBytes = 4;
  uint32_t operator()(const uint8_t* p) const {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
  }
};

template <class Px>
void convert(const Px& px, const uint8_t* src, uint32_t* dst, size_t n) {
  if constexpr (Px::kBytes == 4) {
    std::memcpy(dst, src, n * 4);
  } else {
    for (size_t i = 0; i < n; ++i, src += Px::kBytes) dst[i] = px(src);
  }
}

// The value of a pixel whose bytes lie partly or wholly past the end of the data.
template <class Px>
uint32_t padded_pixel(const Px& px, std::span<const uint8_t> data, uint64_t at) {
  uint8_t bytes[4] = {};
  for (size_t i = 0; i < Px::kBytes && at + i < data.size(); ++i) {
    bytes[i] = data[static_cast<size_t>(at + i)];
  }
  return px(bytes);
}

// Colour-map entries as finished pixels. Entries past the stored map, or past the data, read as
// zero bytes; the first-entry field plays no part, so index 0 is the first stored entry.
Palette read_palette(const TgaState& s) {
  Palette p{};
  const std::span<const uint8_t> d = s.data;
  const uint32_t alpha_default = s.entry_bytes == 3 ? kOpaque : 0;
  for (uint32_t i = 0; i < 256; ++i) {
    uint8_t e[4] = {};
    if (i < s.map_length) {
      const uint64_t at = s.map_at + uint64_t{i} * s.entry_bytes;
      for (uint32_t k = 0; k < s.entry_bytes && at + k < d.size(); ++k) e[k] = d[static_cast<size_t>(at + k)];
    }
    uint32_t v = uint32_t{e[2]} << 16 | uint32_t{e[1]} << 8 | e[0];
    p[i] = s.entry_bytes == 4 ? v | uint32_t{e[3]} << 24 : v | alpha_default;
  }
  return p;
}

// Writes pixels in stored order: stored row r lands in output row r (top-down) or height - 1 - r.
class Cursor {
 public:
  Cursor(const TgaState& s, std::span<uint32_t> out)
      : out_(out), width_(size_t(s.width)), height_(size_t(s.height)), top_down_(s.top_down) {}

  bool done() const { return row_ >= height_; }

  void fill(uint32_t v, size_t n) {
    while (n > 0 && row_ < height_) {
      const size_t take = std::min(n, width_ - col_);
      std::fill_n(row_start() + col_, take, v);
      advance(take);
      n -= take;
    }
  }

  template <class Px>
  void copy(const Px& px, const uint8_t* src, size_t n) {
    while (n > 0 && row_ < height_) {
      const size_t take = std::min(n, width_ - col_);
      convert(px, src, row_start() + col_, take);
      src += take * Px::kBytes;
      advance(take);
      n -= take;
    }
  }

  // Everything not yet written.
  void fill_rest(uint32_t v) {
    while (row_ < height_) fill(v, width_ - col_);
  }

 private:
  uint32_t* row_start() const { return out_.data() + (top_down_ ? row_ : height_ - 1 - row_) * width_; }
  void advance(size_t n) {
    col_ += n;
    if (col_ == width_) {
      col_ = 0;
      ++row_;
    }
  }

  std::span<uint32_t> out_;
  size_t width_, height_;
  bool top_down_;
  size_t row_ = 0, col_ = 0;
};

// Uncompressed rows: the whole stored block, then a zero-padded tail for rows the data cuts short.
template <class Px>
void decode_rows(const TgaState& s, const Px& px, std::span<uint32_t> out) {
  Cursor cursor(s, out);
  const uint64_t total = uint64_t(s.width) * uint64_t(s.height);
  const uint64_t have = s.pixels_at < s.data.size() ? (s.data.size() - s.pixels_at) / Px::kBytes : 0;
  const size_t whole = static_cast<size_t>(std::min(total, have));
  if (whole > 0) cursor.copy(px, s.data.data() + s.pixels_at, whole);
  if (whole < total) cursor.fill(padded_pixel(px, s.data, s.pixels_at + whole * Px::kBytes), 1);
  cursor.fill_rest(padded_pixel(px, {}, 0));
}

// Packets: a head byte with bit 7 set repeats the one pixel that follows (low 7 bits) + 1 times;
// otherwise (value + 1) pixels follow as they are. The last packet is cut at the end of the picture.
template <class Px>
void decode_packets(const TgaState& s, const Px& px, std::span<uint32_t> out) {
  Cursor cursor(s, out);
  const std::span<const uint8_t> d = s.data;
  const uint64_t end = d.size();
  uint64_t pos = s.pixels_at;
  while (!cursor.done() && pos < end) {
    const uint8_t head = d[static_cast<size_t>(pos++)];
    const size_t n = (head & kCountMask) + 1u;
    if (head & kRunBit) {
      cursor.fill(padded_pixel(px, d, pos), n);
      pos += Px::kBytes;
      continue;
    }
    const size_t whole = static_cast<size_t>(std::min<uint64_t>(n, (end - pos) / Px::kBytes));
    cursor.copy(px, d.data() + pos, whole);
    pos += whole * Px::kBytes;
    if (whole < n) {  // the data ends inside this packet
      if (pos < end) cursor.fill(padded_pixel(px, d, pos), 1);
      break;
    }
  }
  cursor.fill_rest(padded_pixel(px, {}, 0));
}

template <class Px>
void decode_as(const TgaState& s, const Px& px, std::span<uint32_t> out) {
  if (s.run_length) {
    decode_packets(s, px, out);
  } else {
    decode_rows(s, px, out);
  }
}

}  // namespace

void decode(ReaderState& reader, std::span<uint32_t> pixels) {
  auto* s = dynamic_cast<TgaState*>(&reader);
  if (!s || pixels.size() < size_t(s->width) * size_t(s->height)) return;
  switch (s->kind) {
    case PixelKind::kGrey: decode_as(*s, Grey{}, pixels); break;
    case PixelKind::kMapped: {
      const Palette palette = read_palette(*s);
      decode_as(*s, Mapped{&palette}, pixels);
      break;
    }
    case PixelKind::kRgb16: decode_as(*s, Rgb16{}, pixels); break;
    case PixelKind::kRgb24: decode_as(*s, Rgb24{}, pixels); break;
    case PixelKind::kRgba32: decode_as(*s, Rgba32{}, pixels); break;
  }
}

}  // namespace tesmo::tga
