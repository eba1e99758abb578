// PCX decoding: rows from the top, each row the planes one after the other (red, green, blue, or
// the palette indices), each plane bytes-per-line bytes. Run-length data is one stream over all rows
// and planes, expanded one row at a time into a small buffer.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "formats/pcx/pcx.h"
#include "formats/pcx/pcx_internal.h"

namespace tesmo::pcx {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
// A byte with both top bits set is a count (low six bits) for the value byte that follows.
constexpr uint8_t kRunMark = 0xC0;
constexpr uint8_t kCountMask = 0x3F;

using Palette = std::array<uint32_t, 256>;

// The palette is the last 768 bytes of the file image (the marker byte before it is not checked).
Palette read_palette(std::span<const uint8_t> d) {
  Palette p{};
  const int64_t start = static_cast<int64_t>(d.size()) - static_cast<int64_t>(kPaletteBytes);
  auto at = [&](int64_t i) -> uint32_t { return start + i >= 0 ? d[static_cast<size_t>(start + i)] : 0; };
  for (int64_t i = 0; i < 256; ++i) {
    p[static_cast<size_t>(i)] = kOpaque | at(3 * i) << 16 | at(3 * i + 1) << 8 | at(3 * i + 2);
  }
  return p;
}

// Expands the run-length stream into consecutive rows. A run may carry over from one row into the
// next; the stream ending early leaves zeros.
class RunExpander {
 public:
  explicit RunExpander(std::span<const uint8_t> stream) : src_(stream) {}

  // The stream is used up: every later row comes out all zero.
  bool exhausted() const { return pending_ == 0 && pos_ >= src_.size(); }

  // `pos` is a local: stores through `dst` could otherwise alias the member.
  void row(uint8_t* dst, size_t n) {
    size_t o = std::min(pending_, n);
    std::memset(dst, pending_value_, o);
    pending_ -= o;
    const uint8_t* s = src_.data();
    const size_t end = src_.size();
    size_t pos = pos_;
    while (o < n && pos < end) {
      const uint8_t b = s[pos++];
      if (b < kRunMark) {
        dst[o++] = b;
        continue;
      }
      if (pos >= end) break;
      const uint8_t v = s[pos++];
      const size_t count = b & kCountMask;  // 0: the pair writes nothing
      const size_t take = std::min(count, n - o);
      std::memset(dst + o, v, take);
      o += take;
      pending_ = count - take;
      pending_value_ = v;
    }
    pos_ = pos;
    if (o < n) std::memset(dst + o, 0, n - o);
  }

 private:
  std::span<const uint8_t> src_;
  size_t pos_ = 0;
  size_t pending_ = 0;
  uint8_t pending_value_ = 0;
};

// One row's planes into pixels. Pixels past the bytes per line read as zero bytes.
void row_rgb(const uint8_t* row, size_t stride, uint32_t* dst, size_t width) {
  const size_t n = std::min(width, stride);
  const uint8_t* r = row;
  const uint8_t* g = row + stride;
  const uint8_t* b = row + 2 * stride;
  for (size_t x = 0; x < n; ++x) dst[x] = kOpaque | uint32_t{r[x]} << 16 | uint32_t{g[x]} << 8 | b[x];
  std::fill(dst + n, dst + width, kOpaque);
}

void row_indexed(const uint8_t* row, size_t stride, uint32_t* dst, size_t width, const Palette& palette) {
  const size_t n = std::min(width, stride);
  for (size_t x = 0; x < n; ++x) dst[x] = palette[row[x]];
  std::fill(dst + n, dst + width, palette[0]);
}

}  // namespace

void decode(ReaderState& reader, std::span<uint32_t> pixels) {
  auto* s = dynamic_cast<PcxState*>(&reader);
  const size_t width = size_t(s ? s->width : 0);
  if (!s || pixels.size() < width * size_t(s->height)) return;
  const size_t stride = s->bytes_per_line;
  const size_t row_bytes = stride * s->planes;
  const Palette palette = s->planes == 1 ? read_palette(s->data) : Palette{};
  std::span<const uint8_t> stream;
  if (kHeaderBytes < s->data.size()) stream = s->data.subspan(kHeaderBytes);
  RunExpander runs(stream);
  std::vector<uint8_t> scratch(row_bytes);
  // Once the data is used up, the scratch row holds zeros for every later row. Rows can be far
  // longer than the picture is wide (bytes per line is the header's word), so clearing them again
  // row after row would cost time the file never paid for.
  bool zero_rows = false;
  for (size_t y = 0; y < size_t(s->height); ++y) {
    const uint8_t* row = scratch.data();
    const uint64_t at = uint64_t{y} * row_bytes;
    if (zero_rows) {
      // the scratch row is already all zero
    } else if (s->run_length) {
      zero_rows = runs.exhausted();
      runs.row(scratch.data(), row_bytes);
    } else if (at + row_bytes <= stream.size()) {
      row = stream.data() + at;
    } else {  // the data ends inside or before this row
      std::fill(scratch.begin(), scratch.end(), 0);
      if (at < stream.size()) {
        std::copy(stream.begin() + static_cast<ptrdiff_t>(at), stream.end(), scratch.begin());
      } else {
        zero_rows = true;
      }
    }
    uint32_t* dst = pixels.data() + y * width;
    if (s->planes == 3) {
      row_rgb(row, stride, dst, width);
    } else {
      row_indexed(row, stride, dst, width, palette);
    }
  }
}

}  // namespace tesmo::pcx
