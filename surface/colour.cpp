// The colour family: brightness, contrast, hue/saturation/lightness, gamma and colour-balance
// curves, grey scale, sepia, binarize, posterize, histogram equalisation, tone mapping and noise.
//
// The curves are single-precision tables in the SurfaceTable, built on first use and kept across
// frames of the live preview. Parameters are held to their ranges once per call, so that no table
// is read outside its rows and no product overflows.
#include <algorithm>
#include <array>
#include <cmath>

#include "surface/colour_math.h"
#include "surface/pixel_rows.h"

namespace tesmo {
namespace {

constexpr int32_t kBalanceRows = 201;  // levels −100–100
constexpr int32_t kGammaRows = 1000;   // gamma ×100, 1–1000
constexpr float kDegree = 0.017453292f;

// A table entry from a single-precision curve value: truncated, never above 255.
uint8_t curve_byte(float v) { return static_cast<uint8_t>(static_cast<int32_t>(std::min(255.0f, v))); }

void build_balance(std::vector<uint8_t>& t) {
  for (int32_t r = 0; r < kBalanceRows; ++r) {
    const float e = std::pow(0.5f, static_cast<float>(r - 100) / 100.0f);
    for (int32_t v = 0; v < 256; ++v) t[r * 256 + v] = curve_byte(std::pow(static_cast<float>(v) / 255.0f, e) * 255.0f);
  }
}

void build_gamma(std::vector<uint8_t>& t) {
  for (int32_t r = 0; r < kGammaRows; ++r) {
    const float g = static_cast<float>(r + 1) / 100.0f;
    for (int32_t v = 0; v < 256; ++v) {
      t[r * 256 + v] = curve_byte(std::pow(static_cast<float>(v) / 255.0f, 1.0f / g) * 255.0f);
    }
  }
}

// Maps red, green and blue through three 256-byte tables; the alpha byte comes from `alpha`.
template <typename Alpha>
void map_curves(const OpArgs& o, const uint8_t* r, const uint8_t* g, const uint8_t* b, Alpha alpha) {
  map_rect(o, [=](uint32_t s, uint32_t d) {
    return alpha(s, d) | pixel_of(0, r[red_of(s)], g[green_of(s)], b[blue_of(s)]);
  });
}

uint32_t source_alpha(uint32_t s, uint32_t) { return s & kAlphaMask; }
uint32_t no_alpha(uint32_t, uint32_t) { return 0; }

// The alpha modes of grey scale and sepia: 0 → 0, 1 → the destination's, 2 → source | destination.
bool grey_alpha_mode(int32_t mode) { return mode >= 0 && mode <= 2; }

// Posterize: level i covers bytes floor(i × 256 / n) up to the next level's start and maps them to
// i × 255 / (n − 1), all in single precision. The last level always reaches byte 255 and is white:
// for some counts (41, 47, 55, 61, 82, ...) its single-precision bound stops at 255, which would
// leave byte 255 to an earlier count's value, and for others (8, 15, 29, ...) its value rounds to
// 254, so that white would not stay white.
void build_posterize(std::array<uint8_t, 256>& t, int32_t n) {
  const float step = 256.0f / static_cast<float>(n);
  const float value = 255.0f / static_cast<float>(n - 1);
  for (int32_t i = 0; i < n; ++i) {
    const bool last = i == n - 1;
    const int32_t lo = static_cast<int32_t>(std::floor(static_cast<float>(i) * step));
    const int32_t hi = last ? 256 : static_cast<int32_t>(std::floor(static_cast<float>(i + 1) * step));
    const int32_t out = last ? 255 : static_cast<int32_t>(static_cast<float>(i) * value);
    for (int32_t v = lo; v < hi; ++v) t[v] = static_cast<uint8_t>(out);
  }
}

void build_exposure(std::array<uint8_t, 256>& t, int32_t exposure) {
  const float e = static_cast<float>(std::clamp(exposure, 0, 1000));
  for (int32_t i = 0; i < 256; ++i) {
    t[i] = static_cast<uint8_t>(static_cast<int32_t>((1.0f - std::exp(static_cast<float>(i) * -1.0f * e / 25500.0f)) * 255.0f));
  }
}

void build_sine(std::array<uint8_t, 256>& t) {
  for (int32_t i = 0; i < 256; ++i) {
    t[i] = static_cast<uint8_t>(static_cast<int32_t>(std::sin(static_cast<float>(i) * 90.0f / 255.0f * kDegree) * 255.0f));
  }
}

// HSL from a pixel, in single precision: hue 0–360 (degrees), saturation and lightness 0–1.
struct Hsl {
  float h, s, l;
};

Hsl to_hsl(int32_t red, int32_t green, int32_t blue) {
  const float r = static_cast<float>(red) / 255.0f, g = static_cast<float>(green) / 255.0f;
  const float b = static_cast<float>(blue) / 255.0f;
  const float mx = std::max({r, g, b}), mn = std::min({r, g, b});
  const float l = (mx + mn) / 2.0f;
  if (mx == mn) return {0.0f, 0.0f, l};
  const float span = mx - mn;
  const float s = l <= 0.5f ? span / (mx + mn) : span / (2.0f - mx - mn);
  // Later rules override earlier ones when two channels share the maximum.
  float h = 0.0f;
  if (r == mx) h = (g - b) / span;
  if (g == mx) h = (b - r) / span + 2.0f;
  if (b == mx) h = (r - g) / span + 4.0f;
  h *= 60.0f;
  if (h < 0.0f) h += 360.0f;
  return {h, s, l};
}

// One channel of the colour at integer hue angle `h` between the bounds p and q.
int32_t hue_channel(float p, float q, int32_t h) {
  float v;
  if (h < 60) {
    v = p + (q - p) * static_cast<float>(h) / 60.0f;
  } else if (h < 180) {
    v = q;
  } else if (h < 240) {
    v = p + (q - p) * static_cast<float>(240 - h) / 60.0f;
  } else {
    v = p;
  }
  return static_cast<int32_t>(v * 255.0f);
}

uint32_t shift_hsl(uint32_t px, int32_t dh, int32_t ds, int32_t dl) {
  const Hsl c = to_hsl(red_of(px), green_of(px), blue_of(px));
  const int32_t hue = std::clamp(static_cast<int32_t>(c.h) + dh, 0, 360);
  const int32_t sat = std::clamp(static_cast<int32_t>(c.s * 100.0f) + ds, 0, 100);
  const int32_t light = std::clamp(static_cast<int32_t>(c.l * 100.0f) + dl, 0, 100);
  const float l = static_cast<float>(light) / 100.0f, s = static_cast<float>(sat) / 100.0f;
  float p, q;
  if (light > 50) {
    q = (1.0f - s) * l + s;
    p = 2.0f * l - q;
  } else {
    p = (1.0f - s) * l;
    q = 2.0f * l - p;
  }
  const int32_t blue_hue = hue - 120 < 0 ? hue - 120 + 360 : hue - 120;
  return pixel_of(0, hue_channel(p, q, (hue + 120) % 360), hue_channel(p, q, hue), hue_channel(p, q, blue_hue));
}

}  // namespace

// White where the lightness in percent is above the threshold, else black; alpha 0.
void OpBinarize(const OpArgs& o) {
  const int32_t threshold = o.a.param1;
  map_rect(o, [threshold](uint32_t s, uint32_t) {
    const int32_t r = red_of(s), g = green_of(s), b = blue_of(s);
    const int32_t l = (std::min({r, g, b}) + std::max({r, g, b})) * 100 / 255 / 2;
    return threshold < l ? kColourMask : 0u;
  });
}

// Levels −100–100 per channel; positive levels brighten.
void OpColourBalance(const OpArgs& o) {
  std::vector<uint8_t>& t = o.table->tables.colour_balance;
  if (t[0] == 255) build_balance(t);
  auto row = [&t](int32_t level) { return t.data() + (std::clamp(level, -100, 100) + 100) * 256; };
  map_curves(o, row(o.a.param1), row(o.a.param2), row(o.a.param3), no_alpha);
}

// Stretches about 128 by 65536 / (hi − lo + 1) / 256 and clamps to lo … hi; alpha 0.
void OpContrast(const OpArgs& o) {
  const int64_t hi = o.a.param2, lo = std::min<int64_t>(o.a.param1, hi);
  const int64_t k = 65536 / (hi - lo + 1);
  std::array<uint8_t, 256> t;
  for (int32_t c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(clamp_byte(std::clamp(((k * (c - 128)) >> 8) + 128, lo, hi)));
  map_curves(o, t.data(), t.data(), t.data(), no_alpha);
}

// Splits the luminance histogram at its median m (shifted by param1) and stretches 0 … m − 1 onto
// 0 … 127 and m … 255 onto 128 … 255; source alpha.
void OpEqualize(const OpArgs& o) {
  const BlitArgs& a = o.a;
  std::array<int64_t, 256> bins{};
  for (int32_t i = 0; i < a.height; ++i) {
    const uint32_t* s = pixel_at(*o.src, a.src_x, a.src_y + i);
    for (int32_t j = 0; j < a.width; ++j) ++bins[(77 * red_of(s[j]) + 150 * green_of(s[j]) + 29 * blue_of(s[j])) >> 8];
  }
  const int64_t half = int64_t{a.width} * a.height / 2;
  int64_t sum = 0;
  int32_t m0 = 0;
  for (; m0 < 255; ++m0) {
    sum += bins[m0];
    if (sum > half) break;
  }
  if (m0 == 255) sum += bins[255];
  // An offset beyond ±255 pushes m to its bounds either way.
  int32_t m = m0 + std::clamp(a.param1, -255, 255) - (sum - half >= bins[m0] / 2 ? 1 : 0);
  m = std::clamp(m, 2, 254);
  const int32_t lo_k = 520192 / (m - 1), hi_k = 520192 / (255 - m);  // 520192 = 127 × 4096
  std::array<uint8_t, 256> t;
  for (int32_t c = 0; c < 256; ++c) t[c] = static_cast<uint8_t>(c < m ? (lo_k * c) >> 12 : (((c - m) * hi_k) >> 12) + 128);
  map_curves(o, t.data(), t.data(), t.data(), source_alpha);
}

// Offsets for red, green, blue and alpha; an offset beyond ±255 saturates as ±255 does.
void OpBrightness(const OpArgs& o) {
  const int32_t r = std::clamp(o.a.param1, -255, 255), g = std::clamp(o.a.param2, -255, 255);
  const int32_t b = std::clamp(o.a.param3, -255, 255), al = std::clamp(o.a.param4, -255, 255);
  map_rect(o, [=](uint32_t s, uint32_t) {
    return pixel_of(clamp_byte(alpha_of(s) + al), clamp_byte(red_of(s) + r), clamp_byte(green_of(s) + g),
                    clamp_byte(blue_of(s) + b));
  });
}

// Gamma ×100 (10–1000) per channel; the corrected colour is blended over the destination by the
// source's alpha; keeps the destination's alpha.
void OpGamma(const OpArgs& o) {
  std::vector<uint8_t>& t = o.table->tables.gamma;
  if (t[0] == 255) build_gamma(t);
  auto row = [&t](int32_t gamma) { return t.data() + (std::clamp(gamma, 1, kGammaRows) - 1) * 256; };
  const uint8_t *gr = row(o.a.param1), *gg = row(o.a.param2), *gb = row(o.a.param3);
  map_rect(o, [=](uint32_t s, uint32_t d) {
    const int32_t al = alpha_of(s);
    return (d & kAlphaMask) | pixel_of(0, mix(gr[red_of(s)], red_of(d), al), mix(gg[green_of(s)], green_of(d), al),
                                       mix(gb[blue_of(s)], blue_of(d), al));
  });
}

// Grey from red 151, green 77, blue 28 (out of 256).
void OpGreyScale(const OpArgs& o) {
  const int32_t mode = o.a.param1;
  if (o.a.marker != kPlainMarker || !grey_alpha_mode(mode)) return;
  map_rect(o, [mode](uint32_t s, uint32_t d) {
    const int32_t y = (151 * red_of(s) + 77 * green_of(s) + 28 * blue_of(s)) >> 8;
    return alpha_by_mode(mode, s, d) | pixel_of(0, y, y, y);
  });
}

void OpHueSaturation(const OpArgs& o) {
  // Each result is clamped, so offsets beyond these bounds act as the bounds do.
  const int32_t dh = std::clamp(o.a.param1, -720, 720);
  const int32_t ds = std::clamp(o.a.param2, -200, 200), dl = std::clamp(o.a.param3, -200, 200);
  map_rect(o, [=](uint32_t s, uint32_t) { return shift_hsl(s, dh, ds, dl); });
}

// One random byte per pixel mixed into every channel by the channel's transparency; alpha 0. All
// three transparencies 256 copy the source and draw nothing.
void OpNoise(const OpArgs& o) {
  const BlitArgs& a = o.a;
  if (a.param1 == 256 && a.param2 == 256 && a.param3 == 256) return OpCopy(o);
  ColourTables& tables = o.table->tables;
  if (tables.noise_palette[0] == 0xFFFFFFFFu) {
    for (uint32_t i = 0; i < 256; ++i) tables.noise_palette[i] = i * 0x010101u;
  }
  PseudoRandom& random = o.table->random;
  if (a.param1 == 0 && a.param2 == 0 && a.param3 == 0) {
    const auto& palette = tables.noise_palette;
    return map_rect(o, [&](uint32_t, uint32_t) { return palette[random.next() & 0xFF]; });
  }
  const int32_t tr = std::clamp(a.param1, 0, 256), tg = std::clamp(a.param2, 0, 256);
  const int32_t tb = std::clamp(a.param3, 0, 256);
  map_rect(o, [&](uint32_t s, uint32_t) {
    const int32_t r = random.next() & 0xFF;
    return pixel_of(0, r + scale_by(tr, red_of(s) - r), r + scale_by(tg, green_of(s) - r), r + scale_by(tb, blue_of(s) - r));
  });
}

void OpPosterize(const OpArgs& o) {
  const int32_t levels = o.a.param1;
  if (levels < 2 || levels > 255) return;
  ColourTables& tables = o.table->tables;
  if (tables.posterize_levels != levels) {
    build_posterize(tables.posterize, levels);
    tables.posterize_levels = levels;
  }
  const uint8_t* t = tables.posterize.data();
  map_curves(o, t, t, t, source_alpha);
}

namespace {

TESMO_WIDE_VECTORS void sepia_row(uint32_t* d, const uint32_t* s, int32_t n, uint32_t r, uint32_t g, uint32_t b,
                                  int32_t mode) {
  for (int32_t j = 0; j < n; ++j) {
    const uint32_t sp = s[j];
    const auto l = static_cast<uint32_t>(30 * red_of(sp) + 59 * green_of(sp) + 11 * blue_of(sp));
    d[j] = alpha_by_mode(mode, sp, d[j]) | (r * l / 25500) << 16 | (g * l / 25500) << 8 | (b * l / 25500);
  }
}

}  // namespace

// Toning: the lightness (0–25500) scales the base colour, so white becomes the base colour.
void OpSepia(const OpArgs& o) {
  const BlitArgs& a = o.a;
  if (a.marker != kPlainMarker || !grey_alpha_mode(a.param4)) return;
  const uint32_t r = static_cast<uint32_t>(std::clamp(a.param1, 0, 255));
  const uint32_t g = static_cast<uint32_t>(std::clamp(a.param2, 0, 255));
  const uint32_t b = static_cast<uint32_t>(std::clamp(a.param3, 0, 255));
  for (int32_t i = 0; i < a.height; ++i) {
    sepia_row(pixel_at(*o.dst, a.dst_x, a.dst_y + i), pixel_at(*o.src, a.src_x, a.src_y + i), a.width, r, g, b,
              a.param4);
  }
}

// Curve type 0: exposure curves per channel (only a changed exposure's table is rebuilt); 1: one
// sine curve; others keep the colours. A change of type rebuilds all three tables, so that no curve
// of the old type survives it.
void OpToneMap(const OpArgs& o) {
  const BlitArgs& a = o.a;
  ColourTables& tables = o.table->tables;
  const std::array<int32_t, 3> exposure{a.param2, a.param3, a.param4};
  const bool type_changed = tables.tone_curve != a.param1;
  for (size_t c = 0; c < 3; ++c) {
    const bool changed = type_changed || tables.tone_exposure[c] != exposure[c];
    if (a.param1 == 0 && changed) build_exposure(tables.tone[c], exposure[c]);
    if (a.param1 == 1 && type_changed) build_sine(tables.tone[c]);
  }
  tables.tone_curve = a.param1;
  tables.tone_exposure = exposure;
  if (a.param1 != 0 && a.param1 != 1) {
    return map_rect(o, [](uint32_t s, uint32_t) { return s; });
  }
  map_curves(o, tables.tone[0].data(), tables.tone[1].data(), tables.tone[2].data(), source_alpha);
}

}  // namespace tesmo
