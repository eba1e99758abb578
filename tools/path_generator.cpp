// The path generator's tables. The arithmetic is double precision except where single precision is
// written out (the stored values and the figure eight's fixed-point step), so that the tables come
// out digit for digit as the game code expects them.
#include "tools/path_generator.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <functional>
#include <initializer_list>

namespace tesmo {
namespace {

constexpr double kPi = 3.14159265358979;                // the sine arch's π, as the tables were made
constexpr double kRadiansPerDegree = 0.01745329238474369;  // π / 180 rounded to single precision
constexpr int32_t kBicubicLast = 8192;
constexpr float kFixedOne = 4096.0f;

constexpr std::array<PathTypeRow, kPathTypeCount> kTypes{{
    {u"Line (float)", {u"0", u"100", u"60", u"0"}},
    {u"Line (int)", {u"0", u"100", u"60", u"0"}},
    {u"Sin (0 to 180 deg.)", {u"0", u"100", u"60", u"0"}},
    {u"Lemniscate of Gerono", {u"0", u"360", u"1.0", u"1.0"}},
    {u"Bi-Cubic", {u"0", u"360", u"1.0", u"1.0"}},
}};

// Truncation toward zero as the processor does it: a value outside the 32-bit range (or not a
// number) becomes the lowest integer, never undefined behaviour.
int32_t truncate_to_int(double v) {
  if (!(v > -2147483649.0 && v < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(v);
}

// The text under construction; refuses the line that would pass the limit.
class TableText {
 public:
  bool add(std::string_view line) {
    if (text_.size() + line.size() + 2 > kPathTextLimit) {
      full_ = true;
      return false;
    }
    text_.append(line);
    text_.append("\r\n");
    return true;
  }
  bool full() const { return full_; }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
  bool full_ = false;
};

std::string decimal(int64_t v) { return std::to_string(v); }

std::string join(std::initializer_list<std::string_view> parts) {
  std::string line;
  for (std::string_view p : parts) line += p;
  return line;
}

// printf's "%f" of a single-precision value, whatever the process locale.
std::string fixed6(float v) {
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, static_cast<double>(v), std::chars_format::fixed, 6);
  return std::string(buf, r.ptr);
}

bool add_float(TableText& t, double v) { return t.add(join({"\t{", fixed6(static_cast<float>(v)), "f},"})); }
bool add_int(TableText& t, double v) { return t.add(join({"\t{", decimal(truncate_to_int(v + 0.5)), "},"})); }

// Sample k of N (k counted from 0) and the stretch m = N / (N − 1) that makes the last sample
// reach the end of the range.
struct Sample {
  double k, n, m;
};
using ValueOf = double (*)(double low, double span, const Sample& s);
using Emit = std::function<bool(double)>;

// N values from A to B, or from the higher end down when A ≥ B. With `single_is_first` a single
// value is A (the range's first value) whichever end is higher.
void count_values(const PathRequest& r, ValueOf value, const Emit& emit, bool single_is_first) {
  const int32_t n = truncate_to_int(r.scale);
  if (n < 1) return;
  if (n == 1 && single_is_first) {
    emit(r.from);
    return;
  }
  const double m = n == 1 ? 0.0 : static_cast<double>(n) / (n - 1);
  const double a = r.from, b = r.to;
  if (a < b) {
    for (int32_t k = 0; k < n; ++k) {
      if (!emit(value(a, b - a, {static_cast<double>(k), static_cast<double>(n), m}))) return;
    }
  } else {
    for (int32_t k = n - 1; k >= 0; --k) {
      if (!emit(value(b, a - b, {static_cast<double>(k), static_cast<double>(n), m}))) return;
    }
  }
}

double straight(double low, double span, const Sample& s) { return low + span * (s.k / s.n * s.m); }

// The arch rises from the lower end to the higher one at the middle sample and falls back.
double arch(double low, double span, const Sample& s) {
  return low + span * std::sin(180.0 * s.k / s.n * s.m * kPi / 180.0);
}

void line_table(TableText& t, const PathRequest& r, bool as_float) {
  count_values(r, straight, [&](double v) { return as_float ? add_float(t, v) : add_int(t, v); }, true);
}

void sine_table(TableText& t, const PathRequest& r) {
  count_values(r, arch, [&](double v) { return add_float(t, v); }, false);
}

// 4096 per unit, rounded half away from zero in single precision.
int32_t fixed_point(float v) {
  const float scaled = v * kFixedOne;
  return truncate_to_int(v > 0 ? scaled + 0.5f : scaled - 0.5f);
}

// One line per whole degree from A to B inclusive, counting down when A ≥ B.
void figure_eight_table(TableText& t, const PathRequest& r) {
  const int64_t step = r.from < r.to ? 1 : -1;
  for (int64_t d = r.from;; d += step) {
    const double rad = static_cast<double>(d) * kRadiansPerDegree;
    const float x = static_cast<float>(r.scale * std::sin(rad));
    const float y = static_cast<float>(r.scale2 * std::sin(rad) * std::cos(rad));
    if (!t.add(join({"\t{", decimal(fixed_point(x)), ", ", decimal(fixed_point(y)), "},"}))) return;
    if (d == r.to) return;
  }
}

// The bicubic kernel (a = −0.75) sampled at x = 2 / j, j = 0 … 8192 (x = 0 for j = 0).
double bicubic(double x) {
  if (x <= 1) return 1.25 * x * x * x - 2.25 * x * x + 1;
  if (x <= 2) return -0.75 * x * x * x + 3.75 * x * x - 6 * x + 3;
  return 0;
}

void bicubic_table(TableText& t) {
  for (int32_t j = 0; j <= kBicubicLast; ++j) {
    const double x = j == 0 ? 0.0 : 2.0 / j;
    if (!t.add(join({"\t", decimal(truncate_to_int(bicubic(x) * 4096)), ","}))) return;
  }
}

}  // namespace

const std::array<PathTypeRow, kPathTypeCount>& path_types() { return kTypes; }

std::optional<std::string> path_table_text(const PathRequest& request) {
  TableText t;
  switch (static_cast<PathType>(request.type)) {
    case PathType::LineFloat: line_table(t, request, true); break;
    case PathType::LineInt: line_table(t, request, false); break;
    case PathType::SineArch: sine_table(t, request); break;
    case PathType::FigureEight: figure_eight_table(t, request); break;
    case PathType::Bicubic: bicubic_table(t); break;
  }
  if (t.full()) return std::nullopt;
  return t.take();
}

}  // namespace tesmo
