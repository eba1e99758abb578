// The blend family: translucent, additive and subtractive blends, the alpha blends and their
// variants, and the tint that dims the picture behind an overlay.
//
// Parameters are held to their ranges once per call (weights −256–256, transparencies 0–256, colours
// 0–255, alpha offsets −255–255), so that no per-pixel product can overflow. An alpha offset beyond
// ±255 already saturates the effective alpha, so holding it there changes nothing.
#include <algorithm>

#include "surface/colour_math.h"
#include "surface/pixel_rows.h"

namespace tesmo {
namespace {

struct Triple {
  int32_t r, g, b;
};

Triple held(const BlitArgs& a, int32_t lo, int32_t hi) {
  return {std::clamp(a.param1, lo, hi), std::clamp(a.param2, lo, hi), std::clamp(a.param3, lo, hi)};
}

// Applies f(source byte, destination byte, per-channel parameter) to red, green and blue.
template <typename F>
uint32_t per_channel(uint32_t s, uint32_t d, const Triple& p, F f) {
  return static_cast<uint32_t>(f(red_of(s), red_of(d), p.r)) << 16 |
         static_cast<uint32_t>(f(green_of(s), green_of(d), p.g)) << 8 |
         static_cast<uint32_t>(f(blue_of(s), blue_of(d), p.b));
}

// Source weights −256–256 become factors 0–512 (0 to twice the source).
Triple weights(const BlitArgs& a) {
  const Triple p = held(a, -256, 256);
  return {p.r + 256, p.g + 256, p.b + 256};
}

int32_t alpha_offset(int32_t k) { return std::clamp(k, -255, 255); }

TESMO_WIDE_VECTORS void tint_row(uint32_t* d, int32_t n, int32_t r, int32_t g, int32_t b, int32_t keep) {
  for (int32_t j = 0; j < n; ++j) {
    const uint32_t p = d[j];
    d[j] = pixel_of(0, r + scale_by(keep, red_of(p) - r), g + scale_by(keep, green_of(p) - g),
                    b + scale_by(keep, blue_of(p) - b));
  }
}

}  // namespace

void OpTranslucent(const OpArgs& o) {
  const Triple t = held(o.a, 0, 256);
  map_rect(o, [t](uint32_t s, uint32_t d) {
    return per_channel(s, d, t, [](int32_t sc, int32_t dc, int32_t k) { return sc + scale_by(k, dc - sc); });
  });
}

void OpAddTranslucent(const OpArgs& o) {
  const Triple w = weights(o.a);
  map_rect(o, [w](uint32_t s, uint32_t d) {
    return (d & kAlphaMask) |
           per_channel(s, d, w, [](int32_t sc, int32_t dc, int32_t k) { return saturate_byte(dc + ((k * sc) >> 8)); });
  });
}

void OpSubtractTranslucent(const OpArgs& o) {
  const Triple w = weights(o.a);
  map_rect(o, [w](uint32_t s, uint32_t d) {
    return per_channel(s, d, w, [](int32_t sc, int32_t dc, int32_t k) { return std::max(0, dc - k * sc / 256); });
  });
}

// One row of the alpha blend; the viewer's overlays run it every frame.
TESMO_WIDE_VECTORS void alpha_blend_row(uint32_t* d, const uint32_t* s, int32_t n, int32_t k, int32_t mode) {
  for (int32_t j = 0; j < n; ++j) {
    const uint32_t sp = s[j], dp = d[j];
    const int32_t keep = 255 - clamp_byte(k + alpha_of(sp));
    const int32_t r = red_of(sp) + scale_by(keep, red_of(dp) - red_of(sp));
    const int32_t g = green_of(sp) + scale_by(keep, green_of(dp) - green_of(sp));
    const int32_t b = blue_of(sp) + scale_by(keep, blue_of(dp) - blue_of(sp));
    d[j] = alpha_by_mode(mode, sp, dp) | pixel_of(0, r, g, b);
  }
}

void OpAlphaBlend(const OpArgs& o) {
  const BlitArgs& a = o.a;
  const int32_t k = alpha_offset(a.param1);
  for (int32_t i = 0; i < a.height; ++i) {
    alpha_blend_row(pixel_at(*o.dst, a.dst_x, a.dst_y + i), pixel_at(*o.src, a.src_x, a.src_y + i), a.width, k,
                    a.param2);
  }
}

namespace {

// The weight of each channel is scaled by the source's alpha first: k = (weight × A) >> 8; the
// channel then moves by (k × s) >> 8. The addition keeps the destination's alpha, the subtraction
// leaves 0.
TESMO_WIDE_VECTORS void alpha_add_row(uint32_t* d, const uint32_t* s, int32_t n, int32_t wr, int32_t wg, int32_t wb) {
  for (int32_t j = 0; j < n; ++j) {
    const uint32_t sp = s[j], dp = d[j];
    const int32_t a = alpha_of(sp);
    const int32_t r = red_of(dp) + (((wr * a) >> 8) * red_of(sp) >> 8);
    const int32_t g = green_of(dp) + (((wg * a) >> 8) * green_of(sp) >> 8);
    const int32_t b = blue_of(dp) + (((wb * a) >> 8) * blue_of(sp) >> 8);
    d[j] = (dp & kAlphaMask) | pixel_of(0, saturate_byte(r), saturate_byte(g), saturate_byte(b));
  }
}

TESMO_WIDE_VECTORS void alpha_subtract_row(uint32_t* d, const uint32_t* s, int32_t n, int32_t wr, int32_t wg,
                                           int32_t wb) {
  for (int32_t j = 0; j < n; ++j) {
    const uint32_t sp = s[j], dp = d[j];
    const int32_t a = alpha_of(sp);
    const int32_t r = red_of(dp) - (((wr * a) >> 8) * red_of(sp) >> 8);
    const int32_t g = green_of(dp) - (((wg * a) >> 8) * green_of(sp) >> 8);
    const int32_t b = blue_of(dp) - (((wb * a) >> 8) * blue_of(sp) >> 8);
    d[j] = pixel_of(0, std::max(0, r), std::max(0, g), std::max(0, b));
  }
}

void alpha_add_rect(const OpArgs& o, bool add) {
  const BlitArgs& a = o.a;
  const Triple w = weights(a);
  for (int32_t i = 0; i < a.height; ++i) {
    uint32_t* d = pixel_at(*o.dst, a.dst_x, a.dst_y + i);
    const uint32_t* s = pixel_at(*o.src, a.src_x, a.src_y + i);
    if (add) alpha_add_row(d, s, a.width, w.r, w.g, w.b);
    else alpha_subtract_row(d, s, a.width, w.r, w.g, w.b);
  }
}

}  // namespace

void OpAlphaAdd(const OpArgs& o) { alpha_add_rect(o, true); }
void OpAlphaSubtract(const OpArgs& o) { alpha_add_rect(o, false); }

void OpAlphaCopy(const OpArgs& o) {
  const int32_t k = alpha_offset(o.a.param1);
  map_rect(o, [k](uint32_t s, uint32_t d) { return clamp_byte(k + alpha_of(s)) != 0 ? s : d; });
}

namespace {

// The source colour is inverted before it is blended; its alpha is the source's own.
TESMO_WIDE_VECTORS void alpha_inverse_row(uint32_t* d, const uint32_t* s, int32_t n, int32_t k, int32_t mode) {
  for (int32_t j = 0; j < n; ++j) {
    const uint32_t sp = s[j], dp = d[j];
    const int32_t alpha = clamp_byte(k + alpha_of(sp));
    const uint32_t inv = sp ^ kColourMask;
    d[j] = alpha_by_mode(mode, sp, dp) | pixel_of(0, mix(red_of(inv), red_of(dp), alpha),
                                                  mix(green_of(inv), green_of(dp), alpha),
                                                  mix(blue_of(inv), blue_of(dp), alpha));
  }
}

}  // namespace

void OpAlphaInverse(const OpArgs& o) {
  const BlitArgs& a = o.a;
  const int32_t k = alpha_offset(a.param1);
  for (int32_t i = 0; i < a.height; ++i) {
    alpha_inverse_row(pixel_at(*o.dst, a.dst_x, a.dst_y + i), pixel_at(*o.src, a.src_x, a.src_y + i), a.width, k,
                      a.param2);
  }
}

// In place on the destination; the source is not read. param4 is the share of the old colour that
// remains (256 keeps it, 0 paints the tint colour).
void OpTint(const OpArgs& o) {
  const BlitArgs& a = o.a;
  const Triple c = held(a, 0, 255);
  const int32_t keep = std::clamp(a.param4, 0, 256);
  for (int32_t i = 0; i < a.height; ++i) tint_row(pixel_at(*o.dst, a.dst_x, a.dst_y + i), a.width, c.r, c.g, c.b, keep);
}

}  // namespace tesmo
