// SGI decoding: channel planes (red, green, blue, alpha, or one grey plane) whose rows run from the
// bottom of the picture up. For each output row, the stored row of each channel is found (in place,
// or expanded from its run-length packets into a small buffer) and the channels are interleaved.
#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "base/bytes.h"
#include "formats/sgi/sgi.h"
#include "formats/sgi/sgi_internal.h"

namespace tesmo::sgi {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;
// Packet byte: low 7 bits a count (0 ends the row); bit 7 set: that many literal bytes follow,
// clear: the next byte repeats that many times.
constexpr uint8_t kLiteralBit = 0x80;
constexpr uint8_t kCountMask = 0x7F;

// Stored row `stored` of channel `c` of a verbatim file: a view into the data, or `scratch`
// zero-padded where the data ends.
const uint8_t* verbatim_row(const SgiState& s, uint32_t c, uint64_t stored, uint8_t* scratch) {
  const uint64_t w = uint64_t(s.width);
  const uint64_t at = kHeaderBytes + (uint64_t{c} * uint64_t(s.height) + stored) * w;
  const uint64_t size = s.data.size();
  if (at <= size && size - at >= w) return s.data.data() + at;
  const uint64_t have = at < size ? size - at : 0;
  if (have > 0) std::memcpy(scratch, s.data.data() + at, static_cast<size_t>(have));
  std::memset(scratch + have, 0, static_cast<size_t>(w - have));
  return scratch;
}

// A packet writes at most 127 bytes. Run-length rows are expanded into buffers with this much room
// past the width, so that a packet can be stored whole with one fixed-size copy or fill (which the
// compiler turns into a few vector stores) and then cut at the width by the position alone.
constexpr size_t kPacketRoom = 128;

// Stored row `stored` of channel `c` of a run-length file, expanded from the offset its row-start
// entry gives into `dst` (width + kPacketRoom bytes). Packets are cut at the width; the row ends at a
// zero count or the end of the data.
void expand_row(const SgiState& s, uint32_t c, uint64_t stored, uint8_t* dst) {
  const size_t w = size_t(s.width);
  const std::span<const uint8_t> d = s.data;
  const uint64_t entry_at = kHeaderBytes + 4 * (uint64_t{c} * uint64_t(s.height) + stored);
  size_t x = 0;
  if (entry_at + 4 <= d.size()) {
    ByteReader table(d.subspan(static_cast<size_t>(entry_at), 4));
    size_t pos = table.u32be();
    const size_t end = d.size();
    const uint8_t* src = d.data();
    while (x < w && pos < end) {
      const uint8_t p = src[pos++];
      const size_t n = p & kCountMask;
      if (n == 0) break;
      const size_t take = std::min(n, w - x);
      if (!(p & kLiteralBit)) {
        if (pos >= end) break;
        std::memset(dst + x, src[pos++], kPacketRoom);
      } else if (end - pos >= kPacketRoom) {
        std::memcpy(dst + x, src + pos, kPacketRoom);
        pos += n;
      } else {  // near the end of the data: copy only what is there
        const size_t have = std::min(take, end - pos);
        std::memcpy(dst + x, src + pos, have);
        x += have;
        if (have < take) break;
        pos += n;
        continue;
      }
      x += take;
    }
  }
  std::memset(dst + x, 0, w - x);
}

// Interleaves the channel rows of one output row.
void interleave(const std::array<const uint8_t*, 4>& ch, uint32_t channels, uint32_t* dst, size_t width) {
  const uint8_t* r = ch[0];
  if (channels == 1) {
    for (size_t x = 0; x < width; ++x) dst[x] = kOpaque | r[x] * 0x010101u;
    return;
  }
  const uint8_t* g = ch[1];
  const uint8_t* b = ch[2];
  if (channels == 3) {
    for (size_t x = 0; x < width; ++x) dst[x] = kOpaque | uint32_t{r[x]} << 16 | uint32_t{g[x]} << 8 | b[x];
    return;
  }
  const uint8_t* a = ch[3];
  for (size_t x = 0; x < width; ++x) {
    dst[x] = uint32_t{a[x]} << 24 | uint32_t{r[x]} << 16 | uint32_t{g[x]} << 8 | b[x];
  }
}

}  // namespace

void decode(ReaderState& reader, std::span<uint32_t> pixels) {
  auto* s = dynamic_cast<SgiState*>(&reader);
  const size_t width = size_t(s ? s->width : 0);
  if (!s || pixels.size() < width * size_t(s->height)) return;
  const size_t row_room = width + kPacketRoom;
  std::vector<uint8_t> rows(row_room * s->channels);
  std::array<const uint8_t*, 4> ch{};
  const uint64_t height = uint64_t(s->height);
  for (uint64_t y = 0; y < height; ++y) {
    const uint64_t stored = height - 1 - y;
    for (uint32_t c = 0; c < s->channels; ++c) {
      uint8_t* scratch = rows.data() + c * row_room;
      if (s->run_length) {
        expand_row(*s, c, stored, scratch);
        ch[c] = scratch;
      } else {
        ch[c] = verbatim_row(*s, c, stored, scratch);
      }
    }
    interleave(ch, s->channels, pixels.data() + y * width, width);
  }
}

}  // namespace tesmo::sgi
