// Bicubic, Lanczos-2 and Lanczos-3 scaling: a radial kernel over a square window around each
// sample position, with 12-bit weights.
//
// Destination pixel (j, i) samples the source rectangle at x = j / DW × SW, y = i / DH × SH (double
// precision, no half-pixel offset). Window columns and rows run from floor − (radius − 1) to
// floor + radius and are cut, not padded, at the rectangle's left and top and the source's right
// and bottom. A tap at distance d = sqrt((c − x)² + (r − y)²) weighs truncate(4096 · K(d)), 0
// outside the kernel's support. Each byte is the weighted sum divided by the sum of the weights
// (rounding towards zero), clamped to 0–255; a pixel whose weights sum to 0 is 0.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <iterator>
#include <numbers>
#include <unordered_map>
#include <vector>

#include "surface/pixel_rows.h"

namespace tesmo {
namespace {

// ---- kernels -----------------------------------------------------------------------------------

// 4096 · K(d) before truncation, evaluated exactly as the weights are defined; 0 outside the
// support.
double bicubic_value(double d) {
  // Cubic convolution with a = −0.75.
  if (d <= 1.0) return (1.25 * d * d * d - 2.25 * d * d + 1.0) * 4096.0;
  if (d <= 2.0) return (-0.75 * d * d * d + 3.75 * d * d - 6.0 * d + 3.0) * 4096.0;
  return 0.0;
}

template <int N>
double lanczos_value(double d) {
  if (d == 0.0) return 4096.0;
  if (d > N) return 0.0;
  const double pd = std::numbers::pi * d;
  return (4096.0 * std::sin(pd) / pd) * (std::sin(pd / N) / (pd / N));
}

struct Kernel {
  double (*value)(double d);
  int32_t radius;  // support radius; the window is floor − (radius − 1) … floor + radius
};

// One row per filter operation, in op-code order from OpScaleBicubic.
constexpr Kernel kKernels[] = {
    {bicubic_value, 2},     // OpScaleBicubic
    {lanczos_value<2>, 2},  // OpScaleLanczos2
    {lanczos_value<3>, 3},  // OpScaleLanczos3
};
static_assert(std::size(kKernels) == kOpScaleLanczos3 - kOpScaleBicubic + 1);

constexpr const Kernel& kernel_of(OpCode op) { return kKernels[op - kOpScaleBicubic]; }

int32_t weight_at(const Kernel& k, double dx, double dy) {
  return static_cast<int32_t>(k.value(std::sqrt(dx * dx + dy * dy)));
}

// ---- the geometry of one blit ------------------------------------------------------------------

struct Resampling {
  const Surface* src;
  Surface* dst;
  int32_t sx, sy, sw, sh, dx, dy, dw, dh;
  int32_t last_c, last_r;  // the last window column and row the source holds, from (sx, sy)
  int32_t radius;
};

Resampling resampling_of(const OpArgs& o, const Kernel& k) {
  const BlitArgs& a = o.a;
  return {o.src, o.dst, a.src_x, a.src_y, a.width, a.height, a.dst_x, a.dst_y, a.param1, a.param2,
          o.src->width - 1 - a.src_x, o.src->height - 1 - a.src_y, k.radius};
}

double sample_position(int32_t j, int32_t dn, int32_t sn) {
  return static_cast<double>(j) / static_cast<double>(dn) * static_cast<double>(sn);
}

struct Sums {
  int32_t acc[4] = {0, 0, 0, 0};  // blue, green, red, alpha
  int32_t weight = 0;

  void add(int32_t w, uint32_t p) {
    weight += w;
    for (int ch = 0; ch < 4; ++ch) acc[ch] += w * static_cast<int32_t>((p >> (8 * ch)) & 255u);
  }
  uint32_t pixel() const {
    if (weight == 0) return 0;
    uint32_t out = 0;
    for (int ch = 0; ch < 4; ++ch) out |= static_cast<uint32_t>(std::clamp(acc[ch] / weight, 0, 255)) << (8 * ch);
    return out;
  }
};

// ---- reference path: every weight from the formula ---------------------------------------------

void resample_reference(const Resampling& g, const Kernel& k) {
  for (int32_t i = 0; i < g.dh; ++i) {
    const double y = sample_position(i, g.dh, g.sh);
    const auto fy = static_cast<int32_t>(y);
    uint32_t* out = pixel_at(*g.dst, g.dx, g.dy + i);
    for (int32_t j = 0; j < g.dw; ++j) {
      const double x = sample_position(j, g.dw, g.sw);
      const auto fx = static_cast<int32_t>(x);
      Sums s;
      for (int32_t r = std::max(fy - g.radius + 1, 0); r <= std::min(fy + g.radius, g.last_r); ++r) {
        for (int32_t c = std::max(fx - g.radius + 1, 0); c <= std::min(fx + g.radius, g.last_c); ++c) {
          s.add(weight_at(k, c - x, r - y), *pixel_at(*g.src, g.sx + c, g.sy + r));
        }
      }
      out[j] = s.pixel();
    }
  }
}

// ---- fast path: weights once per distinct fraction pair ----------------------------------------
//
// A tap's weight depends only on the sample's fractions: c − x = k − (x − floor) exactly, since
// x − floor is exact and both differences round the same real number. Destination indices with the
// same fraction (as a double) form an exact class. Exact classes whose positions j·SW / DW have
// the same remainder modulo DW form a group: their fractions differ only by rounding, far less than
// a weight can notice unless 4096 · K(d) lies within `margin` of a whole number. Weights are
// computed once per group pair; the rare taps within the margin are recomputed per exact pair.

struct Axis {
  std::vector<int32_t> floor;   // per destination index
  std::vector<uint32_t> exact;  // per destination index: its exact class
  std::vector<double> frac;     // per exact class: the fraction
  std::vector<uint32_t> group;  // per exact class: its group
  std::vector<uint32_t> lead;   // per group: the exact class whose fraction stands for it
  int32_t inner_begin = 0, inner_end = 0;  // indices whose window the source holds whole
};

// Grouping needs positions whose rounding error stays below 1 / DW: sides up to 2^20.
constexpr int32_t kMaxGroupedSide = 1 << 20;

uint32_t class_of(std::unordered_map<uint64_t, uint32_t>& seen, uint64_t key, size_t next) {
  return seen.try_emplace(key, static_cast<uint32_t>(next)).first->second;
}

Axis make_axis(int32_t dn, int32_t sn, int32_t last, int32_t radius, bool grouped) {
  Axis a;
  a.floor.resize(static_cast<size_t>(dn));
  a.exact.resize(static_cast<size_t>(dn));
  std::unordered_map<uint64_t, uint32_t> exact_of, group_of;
  a.inner_begin = dn;
  for (int32_t j = 0; j < dn; ++j) {
    const double x = sample_position(j, dn, sn);
    const auto f = static_cast<int32_t>(x);
    const double fr = x - f;
    const uint32_t e = class_of(exact_of, std::bit_cast<uint64_t>(fr), a.frac.size());
    if (e == a.frac.size()) {
      // A whole-number position rounded down to just below itself has a fraction near 1 and
      // another floor: it gets a group of its own.
      const int64_t num = int64_t{j} * sn;
      const int64_t q = num % dn;
      const bool below = q == 0 && f < num / dn;
      const uint64_t key = grouped ? static_cast<uint64_t>(q) * 2 + below : (uint64_t{1} << 63) + e;
      const uint32_t gi = class_of(group_of, key, a.lead.size());
      if (gi == a.lead.size()) a.lead.push_back(e);
      a.frac.push_back(fr);
      a.group.push_back(gi);
    }
    a.floor[static_cast<size_t>(j)] = f;
    a.exact[static_cast<size_t>(j)] = e;
    // Floors never decrease along the axis, so the whole windows form one run.
    if (f - radius + 1 >= 0 && f + radius <= last) {
      a.inner_begin = std::min(a.inner_begin, j);
      a.inner_end = j + 1;
    }
  }
  if (a.inner_end <= a.inner_begin) a.inner_begin = a.inner_end = 0;
  return a;
}

// How far d and 4096 · K(d) can move between two members of a group pair: their fractions differ
// by at most 4 · side · 2^−52 per axis, d by that plus its own rounding, K by at most 8 per unit of d.
struct Margin {
  double d, v;
};

Margin grouping_margin(const Resampling& g) {
  const double dd = 4.0 * (g.sw + g.sh) * std::ldexp(1.0, -52) + std::ldexp(1.0, -46);
  return {dd, 4096.0 * 8.0 * dd + std::ldexp(1.0, -30)};
}

// One window's weights, T × T row-major; `wide` holds each weight four times over (one per channel),
// so that a window row is one run of 4T products. Products of a weight (|w| ≤ 4096) and a byte are
// exact in single precision, and so is every partial sum while Σ|w| · 255 stays below 2^24: the
// float sums are then the integer sums, in any order.
//
// The quotient: with 0 < sum < 2^16, q = acc · (1 / sum) in double precision is within 2^−44 of
// acc / sum below 256; adding 2^−20 lifts exact quotients above their whole number while keeping
// every other one below the next (its distance to it is at least 1 / sum > 2^−16), so truncating
// gives the integer division, and clamping to 0–255 the clamped byte.
struct Weights {
  const int32_t* w;
  const float* wide;
  int32_t sum;
  double inverse;  // 1 / sum
  bool exact_in_float;  // the float sums and the quotient are exact (see above)
};

constexpr int64_t kFloatExactSums = int64_t{1} << 24;
constexpr double kQuotientLift = 0x1p-20;
constexpr size_t kMaxFloatRows = size_t{64} << 20;  // bytes of source rows held as floats at once

// The destination pixels j0 … j1 − 1 of one row whose windows lie wholly inside the source, from
// the window rows held as floats (`rows`, T rows of `stride` floats, columns from the rectangle's).
// Windows not exact in floats are left to the caller. Built for wide vectors too, chosen at load
// time by the processor.
template <int T>
TESMO_WIDE_VECTORS void convolve_span(uint32_t* out, int32_t j0, int32_t j1, const float* rows, size_t stride,
                                      const int32_t* floor, const uint32_t* exact, const Weights* windows) {
  constexpr int kRow = 4 * T;
  for (int32_t j = j0; j < j1; ++j) {
    const Weights& k = windows[exact[j]];
    if (!k.exact_in_float) continue;
    const float* base = rows + static_cast<size_t>(floor[j] - T / 2 + 1) * 4;
    float acc[kRow] = {};
    for (int ty = 0; ty < T; ++ty) {
      const float* p = base + static_cast<size_t>(ty) * stride;
      const float* w = k.wide + ty * kRow;
      for (int i = 0; i < kRow; ++i) acc[i] += w[i] * p[i];
    }
    float sum[4] = {};
    for (int tx = 0; tx < T; ++tx) {
      for (int ch = 0; ch < 4; ++ch) sum[ch] += acc[4 * tx + ch];
    }
    double q[4];
    for (int ch = 0; ch < 4; ++ch) q[ch] = static_cast<double>(sum[ch]) * k.inverse + kQuotientLift;
    for (int ch = 0; ch < 4; ++ch) q[ch] = q[ch] > 0.0 ? q[ch] : 0.0;
    for (int ch = 0; ch < 4; ++ch) q[ch] = q[ch] < 255.0 ? q[ch] : 255.0;
    uint32_t v[4];
    for (int ch = 0; ch < 4; ++ch) v[ch] = static_cast<uint32_t>(q[ch]);
    out[j] = v[0] | v[1] << 8 | v[2] << 16 | v[3] << 24;
  }
}

// The window's taps the source holds (all of them inside the picture, some cut at its edges).
uint32_t convolve_cut(const Resampling& g, int32_t fx, int32_t fy, const int32_t* w) {
  const int32_t t = 2 * g.radius;
  Sums s;
  for (int32_t ty = 0; ty < t; ++ty) {
    const int32_t r = fy - g.radius + 1 + ty;
    if (r < 0 || r > g.last_r) continue;
    for (int32_t tx = 0; tx < t; ++tx) {
      const int32_t c = fx - g.radius + 1 + tx;
      if (c < 0 || c > g.last_c) continue;
      s.add(w[ty * t + tx], *pixel_at(*g.src, g.sx + c, g.sy + r));
    }
  }
  return s.pixel();
}

class FastResampler {
 public:
  FastResampler(const Resampling& g, const Kernel& k)
      : g_(g), k_(k), taps_(2 * g.radius), margin_(grouping_margin(g)) {
    const bool grouped = std::max({g.sw, g.sh, g.dw, g.dh}) <= kMaxGroupedSide;
    ax_ = make_axis(g.dw, g.sw, g.last_c, g.radius, grouped);
    ay_ = make_axis(g.dh, g.sh, g.last_r, g.radius, grouped);
    // Whole windows read columns up to the last floor + radius.
    span_ = ax_.inner_end > ax_.inner_begin ? ax_.floor[static_cast<size_t>(ax_.inner_end - 1)] + g.radius + 1 : 0;
  }

  template <int T>
  void run() {
    const size_t n = static_cast<size_t>(taps_ * taps_);
    group_w_.resize(ax_.lead.size() * n);
    near_.resize(ax_.lead.size() * n);
    exact_w_.resize(ax_.frac.size() * n);
    wide_w_.resize(ax_.frac.size() * n * 4);
    windows_.resize(ax_.frac.size());
    prepare_rows(T);
    for (uint32_t gy = 0; gy < ay_.lead.size(); ++gy) {
      weigh_groups(gy);
      for (uint32_t ey : exact_classes_of(gy)) {
        weigh_exact(ey);
        for (int32_t i : rows_of(ey)) draw_row<T>(i);
      }
    }
  }

 private:
  // The distance of one tap for one fraction pair; the tap's offset from the floor minus the
  // fraction is what the reference path computes as c − x.
  double tap_distance(size_t tap, double fx, double fy) const {
    const int32_t tx = static_cast<int32_t>(tap) % taps_, ty = static_cast<int32_t>(tap) / taps_;
    const double dx = (tx - g_.radius + 1) - fx, dy = (ty - g_.radius + 1) - fy;
    return std::sqrt(dx * dx + dy * dy);
  }

  void weigh_groups(uint32_t gy) {
    const size_t n = static_cast<size_t>(taps_ * taps_);
    const double fy = ay_.frac[ay_.lead[gy]];
    for (size_t gx = 0; gx < ax_.lead.size(); ++gx) {
      const double fx = ax_.frac[ax_.lead[gx]];
      for (size_t t = 0; t < n; ++t) {
        // Taps clearly past the support weigh 0 for every member.
        const double d = tap_distance(t, fx, fy);
        const double v = k_.value(d);
        group_w_[gx * n + t] = static_cast<int32_t>(v);
        near_[gx * n + t] = d <= g_.radius + margin_.d && std::abs(v - std::nearbyint(v)) <= margin_.v;
      }
    }
    current_gy_ = gy;
  }

  // The weights of every exact x class with exact y class `ey`: the group's, with the taps near a
  // whole number recomputed from the exact fractions.
  void weigh_exact(uint32_t ey) {
    const size_t n = static_cast<size_t>(taps_ * taps_);
    all_float_ = true;
    const bool y_lead = ay_.lead[current_gy_] == ey;
    for (size_t ex = 0; ex < ax_.frac.size(); ++ex) {
      const size_t gx = ax_.group[ex];
      const int32_t* w = &group_w_[gx * n];
      if (!(y_lead && ax_.lead[gx] == ex)) {
        int32_t* own = &exact_w_[ex * n];
        bool changed = false;
        for (size_t t = 0; t < n; ++t) {
          const bool exact = near_[gx * n + t];
          own[t] = exact ? static_cast<int32_t>(k_.value(tap_distance(t, ax_.frac[ex], ay_.frac[ey]))) : w[t];
          changed |= own[t] != w[t];
        }
        if (changed) w = own;
      }
      float* wide = &wide_w_[ex * n * 4];
      int32_t sum = 0;
      int64_t magnitude = 0;
      for (size_t t = 0; t < n; ++t) {
        std::fill_n(wide + 4 * t, 4, static_cast<float>(w[t]));
        sum += w[t];
        magnitude += std::abs(w[t]);
      }
      const bool exact = sum > 0 && sum < (1 << 16) && magnitude * 255 < kFloatExactSums;
      windows_[ex] = {w, wide, sum, sum > 0 ? 1.0 / sum : 0.0, exact};
      all_float_ = all_float_ && windows_[ex].exact_in_float;
    }
  }

  std::vector<uint32_t> exact_classes_of(uint32_t gy) const {
    std::vector<uint32_t> out;
    for (uint32_t e = 0; e < ay_.frac.size(); ++e) {
      if (ay_.group[e] == gy) out.push_back(e);
    }
    return out;
  }

  std::vector<int32_t> rows_of(uint32_t ey) const {
    std::vector<int32_t> out;
    for (int32_t i = 0; i < g_.dh; ++i) {
      if (ay_.exact[static_cast<size_t>(i)] == ey) out.push_back(i);
    }
    return out;
  }

  // The source rows as floats, columns 0 … span − 1 from the rectangle's: all rows whole windows
  // read, each converted when first needed, when they fit in kMaxFloatRows bytes; else the T rows of
  // the current window row, converted for each destination row.
  void prepare_rows(int32_t t) {
    const size_t stride = static_cast<size_t>(span_) * 4;
    const int32_t rows = ay_.inner_end > ay_.inner_begin ? ay_.floor[static_cast<size_t>(ay_.inner_end - 1)] + g_.radius + 1 : 0;
    const size_t all = static_cast<size_t>(rows) * stride * sizeof(float);
    if (all > 0 && all <= kMaxFloatRows) floats_ = AlignedBlock::allocate(all);
    if (floats_) {
      converted_.assign(static_cast<size_t>(rows), 0);
    } else {
      rows_.resize(static_cast<size_t>(t) * stride);
    }
  }

  void convert_row(int32_t r, float* out) const {
    const auto* p = reinterpret_cast<const uint8_t*>(pixel_at(*g_.src, g_.sx, g_.sy + r));
    const size_t n = static_cast<size_t>(span_) * 4;
    for (size_t k = 0; k < n; ++k) out[k] = p[k];
  }

  const float* window_rows(int32_t first, int32_t t) {
    const size_t stride = static_cast<size_t>(span_) * 4;
    if (!floats_) {
      for (int32_t ty = 0; ty < t; ++ty) convert_row(first + ty, rows_.data() + static_cast<size_t>(ty) * stride);
      return rows_.data();
    }
    auto* all = reinterpret_cast<float*>(floats_.data());
    for (int32_t r = first; r < first + t; ++r) {
      if (converted_[static_cast<size_t>(r)]) continue;
      convert_row(r, all + static_cast<size_t>(r) * stride);
      converted_[static_cast<size_t>(r)] = 1;
    }
    return all + static_cast<size_t>(first) * stride;
  }

  // Whole windows through the float rows; cut windows, and any whose sums floats cannot hold
  // exactly, tap by tap in integers.
  template <int T>
  void draw_row(int32_t i) {
    const int32_t fy = ay_.floor[static_cast<size_t>(i)];
    uint32_t* out = pixel_at(*g_.dst, g_.dx, g_.dy + i);
    const bool whole_row = i >= ay_.inner_begin && i < ay_.inner_end;
    if (whole_row) {
      convolve_span<T>(out, ax_.inner_begin, ax_.inner_end, window_rows(fy - g_.radius + 1, T),
                       static_cast<size_t>(span_) * 4, ax_.floor.data(), ax_.exact.data(), windows_.data());
    }
    const bool skip_inner = whole_row && all_float_;
    for (int32_t j = 0; j < g_.dw; ++j) {
      if (skip_inner && j == ax_.inner_begin) j = ax_.inner_end;
      if (j >= g_.dw) break;
      const Weights& k = windows_[ax_.exact[static_cast<size_t>(j)]];
      if (whole_row && j >= ax_.inner_begin && j < ax_.inner_end && k.exact_in_float) continue;
      out[j] = convolve_cut(g_, ax_.floor[static_cast<size_t>(j)], fy, k.w);
    }
  }

  Resampling g_;
  Kernel k_;
  int32_t taps_;
  Margin margin_;
  Axis ax_, ay_;
  int32_t span_ = 0;
  uint32_t current_gy_ = 0;
  std::vector<int32_t> group_w_;  // per x group: T × T weights of the current y group
  std::vector<uint8_t> near_;     // per x group and tap: within the margin of a whole number
  std::vector<int32_t> exact_w_;  // per exact x class: its own weights where they differ
  std::vector<float> wide_w_;     // per exact x class: the weights it uses, four floats each
  std::vector<Weights> windows_;  // per exact x class: the weights for the current exact y class
  bool all_float_ = true;         // every window of the current exact y class sums exactly in floats
  AlignedBlock floats_;           // all source rows whole windows read, as floats, when they fit
  std::vector<uint8_t> converted_;  // per source row of `floats_`: converted yet
  std::vector<float> rows_;       // otherwise the source rows of the current window row
};

void resample(const OpArgs& o, const Kernel& k) {
  if (o.a.param1 <= 0 || o.a.param2 <= 0) return;
  const Resampling g = resampling_of(o, k);
  if (!fast_paths()) return resample_reference(g, k);
  FastResampler f(g, k);
  if (k.radius == 2) {
    f.run<4>();
  } else {
    f.run<6>();
  }
}

}  // namespace

void OpScaleBicubic(const OpArgs& o) { resample(o, kernel_of(kOpScaleBicubic)); }
void OpScaleLanczos2(const OpArgs& o) { resample(o, kernel_of(kOpScaleLanczos2)); }
void OpScaleLanczos3(const OpArgs& o) { resample(o, kernel_of(kOpScaleLanczos3)); }

}  // namespace tesmo
