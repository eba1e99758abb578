// The geometric effects: displacement mapping, the spherical lens, polar coordinates, the sine-wave
// raster, and the raster and rotation that blend by the source's alpha.
//
// The lens and polar maps are built once per parameter set into the source surface's auxiliary
// block, so that the live preview redraws with one table look-up per pixel. A map is trusted only
// as far as the pixels it can reach: every look-up is bounded by the picture, so a map built for
// other parameters can give wrong pixels but never a read outside the surface.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "surface/colour_math.h"
#include "surface/pixel_rows.h"
#include "surface/rotation.h"

namespace tesmo {
namespace {

constexpr float kDegree = 0.017453292f;

// ---- lens ----------------------------------------------------------------------------------

// The lens map: the distance it was built for, then one entry per source pixel (row stride = the
// source width): a source pixel index counted from the rectangle's corner, or −1 for "not written".
size_t lens_words(const Surface& s) { return s.pixel_count() + 1; }

bool lens_map_fits(const Surface& s, int32_t distance) {
  if (s.aux.size() != lens_words(s) * sizeof(int32_t)) return false;
  int32_t built_for;
  std::memcpy(&built_for, s.aux.data(), sizeof built_for);
  return built_for == distance;
}

// Offsets (l, i) from the centre of the 2R × 2R square with l² + i² < gr² look through a sphere of
// radius R seen from distance D; every other entry is −1. Rows past the source's height (a
// rectangle wider than the source is high) have no entries.
void build_lens(const Surface& s, int32_t* entries, int32_t radius, int32_t distance) {
  const int64_t r = radius, dd = distance;
  const int64_t w_src = s.width;
  std::fill_n(entries, s.pixel_count(), -1);
  const double inside = static_cast<double>(r * r - dd * dd);
  if (inside < 0) return;
  const auto gr = static_cast<int64_t>(std::sqrt(inside));
  for (int64_t i = -r; i < r && i + r < s.height; ++i) {
    for (int64_t l = -r; l < r; ++l) {
      if (l * l + i * i >= gr * gr) continue;
      const auto w = static_cast<int64_t>(std::sqrt(static_cast<double>(r * r - l * l - i * i)));
      const int64_t row = i + r - i * (w - dd) / w;
      const int64_t col = l + r - l * (w - dd) / w;
      entries[(i + r) * w_src + l + r] = row < s.height ? static_cast<int32_t>(row * w_src + col) : -1;
    }
  }
}

// ---- polar coordinates ---------------------------------------------------------------------

// The polar map: a header of width, height and centre as 16-bit values, then one entry per pixel of
// the rectangle, the source x in the low 16 bits and y in the high 16 bits.
constexpr size_t kPolarHeader = 8;

std::array<uint16_t, 4> polar_header(const BlitArgs& a) {
  return {static_cast<uint16_t>(a.width), static_cast<uint16_t>(a.height), static_cast<uint16_t>(a.param1),
          static_cast<uint16_t>(a.param2)};
}

// The header holds the centre in 16 bits; a centre outside them could match a map built for
// another centre, so such maps are rebuilt on every call.
bool fits_16(int32_t v) { return v >= -32768 && v <= 65535; }

bool polar_map_fits(const Surface& s, const BlitArgs& a, size_t bytes) {
  if (s.aux.size() != bytes || !fits_16(a.param1) || !fits_16(a.param2)) return false;
  std::array<uint16_t, 4> built_for;
  std::memcpy(built_for.data(), s.aux.data(), kPolarHeader);
  return built_for == polar_header(a);
}

// Angle round from straight down, as a fraction of the width; distance from the centre, wrapped at
// the height. Single precision throughout.
uint32_t polar_entry(int32_t j, int32_t i, const BlitArgs& a) {
  const float dx = static_cast<float>(j) - static_cast<float>(a.param1);
  const float dy = static_cast<float>(i) - static_cast<float>(a.param2);
  const float w = static_cast<float>(a.width), h = static_cast<float>(a.height);
  float x = std::fmod((4.712389f - std::atan2(dy, dx)) / 6.283185f * w, w);
  if (x < 0) x += w;
  const float y = std::fmod(std::hypot(dx, dy), h);
  return static_cast<uint32_t>(static_cast<int32_t>(y)) << 16 | static_cast<uint32_t>(static_cast<int32_t>(x));
}

void build_polar(uint32_t* entries, const BlitArgs& a) {
  for (int32_t i = 0; i < a.height; ++i) {
    for (int32_t j = 0; j < a.width; ++j) entries[static_cast<size_t>(i) * static_cast<size_t>(a.width) + j] = polar_entry(j, i, a);
  }
}

// ---- raster ----------------------------------------------------------------------------------

// The shift of row or column `index` for the wave of amplitude p2 and phase p3, or no value when
// it reaches `length` either way (that line is not written).
bool wave_shift(int64_t degrees, int32_t amplitude, int32_t length, int32_t& t) {
  const float v = std::sin(static_cast<float>(degrees) * kDegree) * static_cast<float>(amplitude);
  if (!(std::fabs(v) < static_cast<float>(length))) return false;
  t = static_cast<int32_t>(v);
  return true;
}

// Rows (axis 0, rows counted from 1 in the angle) or columns (axis 1, counted from 0) shifted along
// the wave; store(destination, source pixel) writes one covered pixel. Lines are walked from the
// end they move towards, so a raster within one surface reads each pixel before it is overwritten.
template <typename Store>
void raster_walk(const OpArgs& o, Store store) {
  const BlitArgs& a = o.a;
  const bool rows = a.param1 == 0;
  if (!rows && a.param1 != 1) return;
  const int32_t lines = rows ? a.height : a.width, length = rows ? a.width : a.height;
  const size_t src_step = rows ? 1 : static_cast<size_t>(o.src->width);
  const size_t dst_step = rows ? 1 : static_cast<size_t>(o.dst->width);
  for (int32_t n = 0; n < lines; ++n) {
    int32_t t;
    if (!wave_shift(int64_t{n} + (rows ? 1 : 0) + a.param3, a.param2, length, t)) continue;
    const uint32_t* s = rows ? pixel_at(*o.src, a.src_x, a.src_y + n) : pixel_at(*o.src, a.src_x + n, a.src_y);
    uint32_t* d = rows ? pixel_at(*o.dst, a.dst_x, a.dst_y + n) : pixel_at(*o.dst, a.dst_x + n, a.dst_y);
    const int32_t count = length - std::abs(t);
    if (t >= 0) {
      d += static_cast<size_t>(t) * dst_step;
    } else {
      s += static_cast<size_t>(-t) * src_step;
    }
    if (t >= 0) {
      for (int32_t k = count - 1; k >= 0; --k) store(d[k * dst_step], s[k * src_step]);
    } else {
      for (int32_t k = 0; k < count; ++k) store(d[k * dst_step], s[k * src_step]);
    }
  }
}

// mix of every colour channel by the effective alpha α = C(k + source A).
uint32_t blend_colour(uint32_t s, uint32_t d, int32_t k) {
  const int32_t alpha = clamp_byte(k + alpha_of(s));
  return pixel_of(0, mix(red_of(s), red_of(d), alpha), mix(green_of(s), green_of(d), alpha),
                  mix(blue_of(s), blue_of(d), alpha));
}

int32_t alpha_offset(int32_t k) { return std::clamp(k, -255, 255); }

// One row of the alpha rotation: where the mask is set, the gathered source pixel blended over the
// destination (keeping its alpha); elsewhere the destination stays.
TESMO_WIDE_VECTORS void alpha_rotate_row(uint32_t* d, const uint32_t* gathered, const uint32_t* inside, int32_t n,
                                         int32_t k) {
  for (int32_t j = 0; j < n; ++j) {
    const uint32_t dp = d[j];
    const uint32_t blended = (dp & kAlphaMask) | blend_colour(gathered[j], dp, k);
    d[j] = (blended & inside[j]) | (dp & ~inside[j]);
  }
}

}  // namespace

// Each destination pixel takes the snapshot pixel displaced by the source's alpha (128 = none)
// times param1 / 100 across and param2 / 100 down, held inside the snapshot. The snapshot is
// surface −2: kept from an earlier displacement when it has the destination's size, else made as a
// copy of the destination; it stays afterwards. When the source is that surface and would have to
// be replaced, nothing is written.
void OpDisplace(const OpArgs& o) {
  const BlitArgs& a = o.a;
  SurfaceTable& t = *o.table;
  Surface* snap = surface_find(t, kKeyTrimTemporary);
  if (!snap || snap->width != o.dst->width || snap->height != o.dst->height) {
    if (o.src->key == kKeyTrimTemporary) return;
    if (surface_duplicate(t, kKeyTrimTemporary, o.dst->key) != 0) return;
    snap = surface_find(t, kKeyTrimTemporary);
  }
  const int64_t last_x = snap->width - 1, last_y = snap->height - 1;
  std::array<int64_t, 256> dx, dy;  // the displacement of each alpha value
  for (int64_t v = 0; v < 256; ++v) {
    dx[static_cast<size_t>(v)] = (v - 128) * a.param1 / 100;
    dy[static_cast<size_t>(v)] = (v - 128) * a.param2 / 100;
  }
  for (int32_t i = 0; i < a.height; ++i) {
    const uint32_t* s = pixel_at(*o.src, a.src_x, a.src_y + i);
    uint32_t* d = pixel_at(*o.dst, a.dst_x, a.dst_y + i);
    for (int32_t j = 0; j < a.width; ++j) {
      const auto v = static_cast<size_t>(alpha_of(s[j]));
      const int64_t x = std::clamp<int64_t>(dx[v] + a.dst_x + j, 0, last_x);
      const int64_t y = std::clamp<int64_t>(dy[v] + a.dst_y + i, 0, last_y);
      d[j] = *pixel_at(*snap, static_cast<int32_t>(x), static_cast<int32_t>(y));
    }
  }
}

// param1: projection distance D. A sphere of radius R = width / 2 seen from D inside the circle of
// the rectangle; pixels outside it (all of them when |D| ≥ R) are not written. The map is kept in
// the source's auxiliary block and rebuilt when D or the source's size changes.
void OpLens(const OpArgs& o) {
  const BlitArgs& a = o.a;
  Surface& src = const_cast<Surface&>(*o.src);  // the map belongs to the source
  if (!lens_map_fits(src, a.param1)) {
    std::span<uint8_t> block = ensure_aux(src, lens_words(src) * sizeof(int32_t));
    if (block.empty()) return;
    auto* words = reinterpret_cast<int32_t*>(block.data());
    words[0] = a.param1;
    build_lens(src, words + 1, a.width / 2, a.param1);
  }
  // Entries index the source from the rectangle's corner with the source's row stride; writing
  // the surface the lens reads takes those rows from a copy of the same layout.
  const auto w_src = static_cast<size_t>(src.width);
  const uint32_t* base = pixel_at(src, a.src_x, a.src_y);
  size_t limit = src.pixel_count() - (static_cast<size_t>(a.src_y) * w_src + static_cast<size_t>(a.src_x));
  std::vector<uint32_t> copy;
  if (o.src == o.dst) {
    const uint32_t* from = pixel_at(src, 0, a.src_y);
    copy.assign(from, from + static_cast<size_t>(a.height) * w_src);
    base = copy.data() + a.src_x;
    limit = copy.size() - static_cast<size_t>(a.src_x);
  }
  const int32_t* entries = reinterpret_cast<const int32_t*>(src.aux.data()) + 1;
  for (int32_t i = 0; i < a.height; ++i) {
    const int32_t* e = entries + static_cast<size_t>(i) * w_src;
    uint32_t* d = pixel_at(*o.dst, a.dst_x, a.dst_y + i);
    for (int32_t j = 0; j < a.width; ++j) {
      const auto v = static_cast<size_t>(static_cast<uint32_t>(e[j]));  // −1 becomes the largest value
      if (v < limit) d[j] = base[v];
    }
  }
}

// param1, param2: the centre in pixels of the rectangle. Each destination pixel takes the source
// pixel whose column is its angle round the centre and whose row is its distance from it. Pictures
// wider or higher than 65535 pixels cannot be mapped in 16-bit entries and are left unwritten.
void OpPolar(const OpArgs& o) {
  const BlitArgs& a = o.a;
  if (a.width > 65535 || a.height > 65535) return;
  Surface& src = const_cast<Surface&>(*o.src);  // the map belongs to the source
  const size_t bytes = kPolarHeader + static_cast<size_t>(a.width) * static_cast<size_t>(a.height) * 4;
  if (!polar_map_fits(src, a, bytes)) {
    std::span<uint8_t> block = ensure_aux(src, bytes);
    if (block.empty()) return;
    const std::array<uint16_t, 4> header = polar_header(a);
    std::memcpy(block.data(), header.data(), kPolarHeader);
    build_polar(reinterpret_cast<uint32_t*>(block.data() + kPolarHeader), a);
  }
  const SourceRows rows(o);
  const auto* entries = reinterpret_cast<const uint32_t*>(src.aux.data() + kPolarHeader);
  for (int32_t i = 0; i < a.height; ++i) {
    const uint32_t* e = entries + static_cast<size_t>(i) * static_cast<size_t>(a.width);
    uint32_t* d = pixel_at(*o.dst, a.dst_x, a.dst_y + i);
    for (int32_t j = 0; j < a.width; ++j) {
      const uint32_t x = e[j] & 0xFFFFu, y = e[j] >> 16;
      if (x < static_cast<uint32_t>(a.width) && y < static_cast<uint32_t>(a.height)) d[j] = rows.row(static_cast<int32_t>(y))[x];
    }
  }
}

// param1: axis (0 rows, 1 columns; others write nothing); param2: amplitude; param3: phase in
// degrees. Uncovered pixels, and lines shifted by their length or more, are not written.
void OpRaster(const OpArgs& o) {
  raster_walk(o, [](uint32_t& d, uint32_t s) { d = s; });
}

// OpRaster's geometry; each covered pixel is the source blended over the destination by
// C(param4 + source A); alpha 0.
void OpAlphaRaster(const OpArgs& o) {
  const int32_t k = alpha_offset(o.a.param4);
  raster_walk(o, [k](uint32_t& d, uint32_t s) { d = blend_colour(s, d, k); });
}

// OpRotate's geometry; each destination pixel whose source lies inside is the source blended over
// it by C(param4 + source A); keeps the destination's alpha.
void OpAlphaRotate(const OpArgs& o) {
  const int32_t k = alpha_offset(o.a.param4);
  Surface& d = *o.dst;
  rotate_rows(o, [&](int32_t y, const uint32_t* gathered, const uint32_t* inside) {
    alpha_rotate_row(pixel_at(d, 0, y), gathered, inside, d.width, k);
  });
}

}  // namespace tesmo
