// PSD PackBits composites: a table of 16-bit byte counts, one per row of each channel in channel
// order, then the rows in the same order. A header byte h ≥ 0 is followed by h + 1 literal bytes,
// −127 … −1 by one byte repeated 1 − h times, and −128 is a one-byte no-op.
//
// A row must use exactly its byte count and give exactly one row of samples; the first row that
// does not stops the whole decode before any pixel is written, so every row is checked first.
#include <algorithm>

#include "base/bytes.h"
#include "formats/psd/psd_internal.h"

namespace tesmo::psd {
namespace {

constexpr int8_t kNoOp = -128;

// Walks one row's packets; writes them into `out` when Write is set (the row is known to be good).
template <bool Write>
bool walk_row(std::span<const uint8_t> row, size_t width, std::span<uint8_t> out) {
  const size_t count = row.size();
  size_t in = 0;
  size_t done = 0;
  while (done < width && in < count) {
    const auto h = static_cast<int8_t>(row[in++]);
    if (h >= 0) {
      const size_t n = static_cast<size_t>(h) + 1;
      if (n > count - in || n > width - done) return false;
      if constexpr (Write) std::copy_n(row.begin() + static_cast<ptrdiff_t>(in), n, out.begin() + static_cast<ptrdiff_t>(done));
      in += n;
      done += n;
    } else if (h != kNoOp) {
      const size_t n = static_cast<size_t>(1 - h);
      if (in >= count || n > width - done) return false;
      if constexpr (Write) std::fill_n(out.begin() + static_cast<ptrdiff_t>(done), n, row[in]);
      ++in;
      done += n;
    }
  }
  return in == count && done == width;
}

}  // namespace

bool check_packed_rows(const PsdState& s, uint32_t wanted, PackedRows& rows) {
  const std::span<const uint8_t> data = s.data;
  const uint64_t height = static_cast<uint64_t>(s.height);
  const uint64_t row_count = height * s.channels;
  if (s.image_at > data.size() || (data.size() - s.image_at) / 2 < row_count) return false;
  ByteReader table(data.subspan(static_cast<size_t>(s.image_at), static_cast<size_t>(row_count * 2)));
  const size_t width = static_cast<size_t>(s.width);
  const uint64_t kept = std::min<uint64_t>(wanted, s.channels) * height;
  rows.starts.assign(static_cast<size_t>(kept), 0);
  rows.counts.assign(static_cast<size_t>(kept), 0);
  uint64_t at = s.image_at + row_count * 2;
  for (uint64_t r = 0; r < row_count; ++r) {
    const uint16_t count = table.u16be();
    if (count > data.size() - at) return false;
    if (!walk_row<false>(data.subspan(static_cast<size_t>(at), count), width, {})) return false;
    if (r < kept) {
      rows.starts[static_cast<size_t>(r)] = at;
      rows.counts[static_cast<size_t>(r)] = count;
    }
    at += count;
  }
  return true;
}

void expand_packed_row(std::span<const uint8_t> row, std::span<uint8_t> out) {
  walk_row<true>(row, out.size(), out);
}

}  // namespace tesmo::psd
