// Automatic trim: cuts the margins of one colour from the flagged sides of a picture.
#include <algorithm>

#include "surface/compositor.h"
#include "surface/surface.h"

namespace tesmo {
namespace {

// Kept rows [top, keep_h) and columns [left, keep_w) of the picture.
struct Margins {
  int32_t top = 0, keep_h = 0, left = 0, keep_w = 0;
};

int32_t leading_run(const uint32_t* row, int32_t w, uint32_t colour) {
  int32_t i = 0;
  while (i < w && row[i] == colour) ++i;
  return i;
}

int32_t trailing_run(const uint32_t* row, int32_t w, uint32_t colour) {
  int32_t i = 0;
  while (i < w && row[w - 1 - i] == colour) ++i;
  return i;
}

const uint32_t* row_of(const Surface& s, int32_t y) {
  return s.pixels() + static_cast<size_t>(y) * static_cast<size_t>(s.width);
}

// Rows first: when every row is the colour, the whole picture is margin (top = height, keep_h = 0),
// whatever the flags.
void find_row_margins(const Surface& s, uint32_t flags, uint32_t colour, Margins& m) {
  int32_t first = 0;
  while (first < s.height && leading_run(row_of(s, first), s.width, colour) == s.width) ++first;
  if (first == s.height) {
    m.top = s.height;
    m.keep_h = 0;
    return;
  }
  int32_t last = s.height - 1;
  while (leading_run(row_of(s, last), s.width, colour) == s.width) --last;
  m.top = (flags & kTrimTop) ? first : 0;
  m.keep_h = (flags & kTrimBottom) ? last + 1 : s.height;
}

// Columns over all rows: a column is margin only when it is the colour in every row.
void find_column_margins(const Surface& s, uint32_t flags, uint32_t colour, Margins& m) {
  int32_t left = s.width, right = s.width;
  for (int32_t y = 0; y < s.height; ++y) {
    if (flags & kTrimLeft) left = std::min(left, leading_run(row_of(s, y), s.width, colour));
    if (flags & kTrimRight) right = std::min(right, trailing_run(row_of(s, y), s.width, colour));
  }
  if (left == s.width && right == s.width && (flags & (kTrimLeft | kTrimRight))) {
    m.left = s.width;
    m.keep_w = 0;
    return;
  }
  m.left = (flags & kTrimLeft) ? left : 0;
  m.keep_w = s.width - ((flags & kTrimRight) ? right : 0);
}

// Both margins of a direction become the smaller one.
void equalise(int32_t size, int32_t& start, int32_t& keep) {
  const int32_t end = size - keep;
  if (end < start) {
    start = end;
  } else if (start < end) {
    keep = size - start;
  }
}

}  // namespace

int surface_auto_trim(SurfaceTable& t, int32_t key, uint32_t flags, uint32_t colour, Rect& out) {
  Surface* s = t.find(key);
  // The result is built in −2, which would replace the picture itself.
  if (!s || key == kKeyTrimTemporary) return 1;
  Margins m;
  find_row_margins(*s, flags, colour, m);
  find_column_margins(*s, flags, colour, m);
  constexpr uint32_t kEqualColumns = kTrimEqualMargins | kTrimLeft | kTrimRight;
  constexpr uint32_t kEqualRows = kTrimEqualMargins | kTrimTop | kTrimBottom;
  if ((flags & kEqualColumns) == kEqualColumns) equalise(s->width, m.left, m.keep_w);
  if ((flags & kEqualRows) == kEqualRows) equalise(s->height, m.top, m.keep_h);

  const Rect kept{m.left, m.top, m.keep_w - m.left, m.keep_h - m.top};
  if (kept.width < 0 || kept.height < 0) return 2;
  if (kept.x == 0 && kept.y == 0 && kept.width == s->width && kept.height == s->height) return 2;

  if (surface_create(t, kKeyTrimTemporary, kept.width, kept.height) != 0) return 1;
  Surface& result = *t.find(kKeyTrimTemporary);
  if (kept.width > 0 && kept.height > 0) {
    const BlitArgs copy{.src_x = kept.x, .src_y = kept.y, .width = kept.width, .height = kept.height, .op = kOpCopy};
    OpCopy({&t, &result, s, copy});
  }
  surface_swap_pixels(t, kKeyTrimTemporary, key);
  surface_remove(t, kKeyTrimTemporary);
  out = kept;
  return 0;
}

}  // namespace tesmo
