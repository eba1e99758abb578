// PSD composite decoding by colour model and bit count, from raw planes or from PackBits rows.
//
// Raw data is stored channel after channel. 8-bit samples are read from their planes; 16-bit
// planes contribute the first (most significant) byte of each sample. PackBits data gives one row
// of 8-bit samples per channel row. Bitmap rows start on a byte, bits from the most significant,
// 0 white and 1 black; bitmap bytes that the file does not hold read as 0 (white).
#include <algorithm>
#include <array>
#include <vector>

#include "formats/psd/psd.h"
#include "formats/psd/psd_internal.h"

namespace tesmo::psd {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
constexpr uint32_t kWhite = 0xFFFFFFFFu;
constexpr uint32_t kBlack = 0xFF000000u;
constexpr uint32_t kMaxChannelsRead = 5;  // CMYK with alpha reads channels 0, 1, 2 and 4

using Palette = std::array<uint32_t, 256>;

// The channel rows of the current line; sample x of channel c is c[c][x × Step].
struct Lines {
  std::array<const uint8_t*, kMaxChannelsRead> c{};
};

using RowFn = void (*)(const Lines& lines, uint32_t* dst, size_t width, const Palette& palette);

template <size_t Step>
void row_grey(const Lines& l, uint32_t* dst, size_t width, const Palette&) {
  for (size_t x = 0; x < width; ++x) dst[x] = kOpaque | uint32_t{l.c[0][x * Step]} * 0x010101u;
}

template <size_t Step>
void row_grey_alpha(const Lines& l, uint32_t* dst, size_t width, const Palette&) {
  for (size_t x = 0; x < width; ++x) {
    dst[x] = uint32_t{l.c[1][x * Step]} << 24 | uint32_t{l.c[0][x * Step]} * 0x010101u;
  }
}

template <size_t Step>
void row_indexed(const Lines& l, uint32_t* dst, size_t width, const Palette& palette) {
  for (size_t x = 0; x < width; ++x) dst[x] = palette[l.c[0][x * Step]];
}

// Red, green, blue from channels 0, 1, 2 (CMYK documents give their cyan, magenta and yellow bytes
// as they are); alpha from channel Alpha, or opaque when Alpha is 0.
template <size_t Step, size_t Alpha>
void row_rgb(const Lines& l, uint32_t* dst, size_t width, const Palette&) {
  const uint8_t* r = l.c[0];
  const uint8_t* g = l.c[1];
  const uint8_t* b = l.c[2];
  const uint8_t* a = l.c[Alpha];
  for (size_t x = 0; x < width; ++x) {
    const uint32_t alpha = Alpha ? uint32_t{a[x * Step]} << 24 : kOpaque;
    dst[x] = alpha | uint32_t{r[x * Step]} << 16 | uint32_t{g[x * Step]} << 8 | b[x * Step];
  }
}

enum class Kind { kNone, kBitmap, kGrey, kGreyAlpha, kIndexed, kRgb, kRgba, kCmykAlpha };

struct Plan {
  Kind kind = Kind::kNone;
  uint32_t channels = 0;  // leading channels read
};

// What the model and the bit count decode to; grey depths other than 1, 8 and 16 write nothing.
Plan plan_for(const PsdState& s) {
  switch (s.colour_model) {
    case kModelGrey:
      if (s.bits == 1) return {Kind::kBitmap, 1};
      if (s.bits == 8) return {Kind::kGrey, 1};
      if (s.bits == 16 && s.channels == 2) return {Kind::kGreyAlpha, 2};
      if (s.bits == 16 && s.channels == 1) return {Kind::kGrey, 1};  // the high byte of each sample
      return {};
    case kModelPalette: return {Kind::kIndexed, 1};
    case kModelRgb: return s.channels == 4 ? Plan{Kind::kRgba, 4} : Plan{Kind::kRgb, 3};
    case kModelCmyk: return s.bits == 40 ? Plan{Kind::kCmykAlpha, 5} : Plan{Kind::kRgb, 3};
    default: return {};
  }
}

template <size_t Step>
RowFn row_function(Kind kind) {
  switch (kind) {
    case Kind::kGrey: return row_grey<Step>;
    case Kind::kGreyAlpha: return row_grey_alpha<Step>;
    case Kind::kIndexed: return row_indexed<Step>;
    case Kind::kRgb: return row_rgb<Step, 0>;
    case Kind::kRgba: return row_rgb<Step, 3>;
    case Kind::kCmykAlpha: return row_rgb<Step, 4>;
    default: return nullptr;
  }
}

uint8_t byte_at(std::span<const uint8_t> data, uint64_t offset) {
  return offset < data.size() ? data[static_cast<size_t>(offset)] : 0;
}

// The indexed document's three 256-byte tables as finished pixels.
Palette read_palette(const PsdState& s) {
  Palette p{};
  if (s.colour_model != kModelPalette) return p;
  for (uint32_t i = 0; i < 256; ++i) {
    p[i] = kOpaque | uint32_t{byte_at(s.data, kColourDataAt + i)} << 16 |
           uint32_t{byte_at(s.data, kColourDataAt + 256 + i)} << 8 | byte_at(s.data, kColourDataAt + 512 + i);
  }
  return p;
}

void decode_bitmap(const PsdState& s, std::span<uint32_t> pixels) {
  const size_t width = static_cast<size_t>(s.width);
  const uint64_t stride = (width + 7) / 8;
  for (uint64_t y = 0; y < static_cast<uint64_t>(s.height); ++y) {
    const uint64_t row = s.image_at + y * stride;
    uint32_t* dst = pixels.data() + y * width;
    for (size_t x = 0; x < width; ++x) {
      dst[x] = (byte_at(s.data, row + x / 8) >> (7 - x % 8)) & 1 ? kBlack : kWhite;
    }
  }
}

// Raw planes: 16-bit samples are read through their first byte, everything else as bytes. Planes
// the data does not wholly hold (possible only for depths the format does not define) write nothing.
void decode_raw(const PsdState& s, const Plan& plan, const Palette& palette, std::span<uint32_t> pixels) {
  const bool wide = s.depth == 16;
  const RowFn row = wide ? row_function<2>(plan.kind) : row_function<1>(plan.kind);
  const uint64_t step = wide ? 2 : 1;
  const uint64_t width = static_cast<uint64_t>(s.width);
  const uint64_t plane = width * static_cast<uint64_t>(s.height) * step;
  if (!row || s.data.size() - s.image_at < plan.channels * plane) return;
  const uint8_t* base = s.data.data() + s.image_at;
  Lines lines;
  for (uint64_t y = 0; y < static_cast<uint64_t>(s.height); ++y) {
    for (uint32_t c = 0; c < plan.channels; ++c) lines.c[c] = base + c * plane + y * width * step;
    row(lines, pixels.data() + y * width, static_cast<size_t>(width), palette);
  }
}

// PackBits rows give 8-bit samples. Samples narrower than a byte would not fit the buffer the
// rows expand into, so such documents write nothing.
void decode_packed(const PsdState& s, const Plan& plan, const Palette& palette, std::span<uint32_t> pixels) {
  const RowFn row = row_function<1>(plan.kind);
  PackedRows rows;
  if (!row || s.depth < 8 || !check_packed_rows(s, plan.channels, rows)) return;
  const size_t width = static_cast<size_t>(s.width);
  const size_t height = static_cast<size_t>(s.height);
  std::vector<uint8_t> lines_buffer(plan.channels * width);
  Lines lines;
  for (uint32_t c = 0; c < plan.channels; ++c) lines.c[c] = lines_buffer.data() + c * width;
  for (size_t y = 0; y < height; ++y) {
    for (uint32_t c = 0; c < plan.channels; ++c) {
      const size_t r = c * height + y;
      expand_packed_row(s.data.subspan(static_cast<size_t>(rows.starts[r]), rows.counts[r]),
                        std::span<uint8_t>(lines_buffer).subspan(c * width, width));
    }
    row(lines, pixels.data() + y * width, width, palette);
  }
}

}  // namespace

void decode(ReaderState& reader, std::span<uint32_t> pixels) {
  auto* s = dynamic_cast<PsdState*>(&reader);
  if (!s || pixels.size() < static_cast<size_t>(s->width) * static_cast<size_t>(s->height)) return;
  const Plan plan = plan_for(*s);
  if (plan.kind == Kind::kNone || plan.channels > s->channels) return;
  if (plan.kind == Kind::kBitmap) {
    if (s->compression == kCompressionRaw) decode_bitmap(*s, pixels);
    return;
  }
  const Palette palette = read_palette(*s);
  if (s->compression == kCompressionRaw) {
    decode_raw(*s, plan, palette, pixels);
  } else {
    decode_packed(*s, plan, palette, pixels);
  }
}

}  // namespace tesmo::psd
