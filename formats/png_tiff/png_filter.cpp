// Row filtering for the PNG writer. Rows are kept with `bpp` zero bytes in front, so the byte to
// the left of the first pixel reads as 0 without a branch, and each filter is one plain loop the
// compiler turns into vector code.
#include "formats/png_tiff/png_filter.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace tesmo::png {
namespace {

constexpr size_t kRgbBytes = 3;
constexpr size_t kRgbaBytes = 4;
constexpr size_t kFilterCount = 5;  // none, sub, up, average, Paeth: the filter type byte
constexpr size_t kScorePiece = 512;  // bytes filtered between looks at a candidate's magnitude

// One pixel row into red, green, blue (and alpha) bytes.
void row_samples(const uint32_t* src, uint8_t* dst, size_t width, bool alpha) {
  if (alpha) {
    for (size_t x = 0; x < width; ++x, dst += kRgbaBytes) {
      dst[0] = static_cast<uint8_t>(src[x] >> 16);
      dst[1] = static_cast<uint8_t>(src[x] >> 8);
      dst[2] = static_cast<uint8_t>(src[x]);
      dst[3] = static_cast<uint8_t>(src[x] >> 24);
    }
    return;
  }
  for (size_t x = 0; x < width; ++x, dst += kRgbBytes) {
    dst[0] = static_cast<uint8_t>(src[x] >> 16);
    dst[1] = static_cast<uint8_t>(src[x] >> 8);
    dst[2] = static_cast<uint8_t>(src[x]);
  }
}

// The filters over `n` bytes: `cur` and `prev` point into this row and the row above (zeros for
// the first row), each preceded by the `bpp` bytes to its left (zeros left of the first pixel).
using FilterFn = void (*)(const uint8_t* cur, const uint8_t* prev, uint8_t* out, size_t n, size_t bpp);

void filter_none(const uint8_t* cur, const uint8_t*, uint8_t* out, size_t n, size_t) { std::memcpy(out, cur, n); }

void filter_sub(const uint8_t* cur, const uint8_t*, uint8_t* out, size_t n, size_t bpp) {
  const uint8_t* left = cur - bpp;
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(cur[i] - left[i]);
}

void filter_up(const uint8_t* cur, const uint8_t* prev, uint8_t* out, size_t n, size_t) {
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(cur[i] - prev[i]);
}

void filter_average(const uint8_t* cur, const uint8_t* prev, uint8_t* out, size_t n, size_t bpp) {
  const uint8_t* left = cur - bpp;
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<uint8_t>(cur[i] - ((left[i] + prev[i]) >> 1));
}

// Of left a, above b and upper left c, the one nearest to a + b − c (a, then b, on a tie).
inline int paeth_predictor(int a, int b, int c) {
  const int pa = std::abs(b - c);
  const int pb = std::abs(a - c);
  const int pc = std::abs(a + b - 2 * c);
  return pa <= pb && pa <= pc ? a : (pb <= pc ? b : c);
}

void filter_paeth(const uint8_t* cur, const uint8_t* prev, uint8_t* out, size_t n, size_t bpp) {
  const uint8_t* left = cur - bpp;
  const uint8_t* upper_left = prev - bpp;
  for (size_t i = 0; i < n; ++i) {
    out[i] = static_cast<uint8_t>(cur[i] - paeth_predictor(left[i], prev[i], upper_left[i]));
  }
}

constexpr std::array<FilterFn, kFilterCount> kFilters = {filter_none, filter_sub, filter_up, filter_average,
                                                         filter_paeth};

// The sum of the bytes read as signed magnitudes (0x01 and 0xFF both count 1).
uint64_t magnitude(const uint8_t* row, size_t n) {
  uint64_t sum = 0;
  for (size_t i = 0; i < n; ++i) sum += static_cast<uint64_t>(std::abs(static_cast<int8_t>(row[i])));
  return sum;
}

// Two sample rows with their zero lead-ins, and one candidate output per filter.
struct RowWork {
  RowWork(size_t row_bytes, size_t bpp)
      : bpp(bpp), row_bytes(row_bytes), rows(2 * (bpp + row_bytes)), candidates(kFilterCount * row_bytes) {}
  uint8_t* cur() { return rows.data() + (flip ? bpp + row_bytes : 0) + bpp; }
  uint8_t* prev() { return rows.data() + (flip ? 0 : bpp + row_bytes) + bpp; }
  uint8_t* candidate(size_t filter) { return candidates.data() + filter * row_bytes; }
  size_t bpp;
  size_t row_bytes;
  bool flip = false;
  std::vector<uint8_t> rows;
  std::vector<uint8_t> candidates;
};

// Filter `f`'s output for the current row of `work` and its magnitude, piece by piece; given up
// as soon as the magnitude reaches `limit` (the candidate cannot win then), which on flat rows
// spares most of the work.
uint64_t filter_and_score(RowWork& work, size_t f, uint64_t limit) {
  uint64_t sum = 0;
  for (size_t at = 0; at < work.row_bytes && sum < limit; at += kScorePiece) {
    const size_t n = std::min(kScorePiece, work.row_bytes - at);
    kFilters[f](work.cur() + at, work.prev() + at, work.candidate(f) + at, n, work.bpp);
    sum += magnitude(work.candidate(f) + at, n);
  }
  return sum;
}

// Filters the current row of `work` into `out` (type byte, then the samples).
void filter_row(RowWork& work, uint8_t* out) {
  size_t best = 0;
  uint64_t best_sum = UINT64_MAX;
  for (size_t f = 0; f < kFilterCount; ++f) {
    const uint64_t sum = filter_and_score(work, f, best_sum);
    if (sum < best_sum) {
      best_sum = sum;
      best = f;
    }
  }
  out[0] = static_cast<uint8_t>(best);
  std::memcpy(out + 1, work.candidate(best), work.row_bytes);
}

}  // namespace

size_t scanlines_size(uint32_t width, uint32_t height, bool alpha) {
  return (static_cast<size_t>(width) * (alpha ? kRgbaBytes : kRgbBytes) + 1) * height;
}

AlignedBlock filtered_scanlines(std::span<const uint32_t> pixels, uint32_t width, uint32_t height, bool alpha) {
  const size_t bpp = alpha ? kRgbaBytes : kRgbBytes;
  const size_t row_bytes = static_cast<size_t>(width) * bpp;
  AlignedBlock block = AlignedBlock::allocate(scanlines_size(width, height, alpha));
  if (!block) return block;
  auto* out = reinterpret_cast<uint8_t*>(block.data());
  RowWork work(row_bytes, bpp);
  for (size_t y = 0; y < height; ++y) {
    work.flip = !work.flip;
    row_samples(pixels.data() + y * width, work.cur(), width, alpha);
    filter_row(work, out + y * (row_bytes + 1));
  }
  return block;
}

}  // namespace tesmo::png
