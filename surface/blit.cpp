// The compositor entry: size check, clipping, the bounds guard and the dispatch by op code.
#include <algorithm>
#include <atomic>
#include <limits>
#include <utility>

#include "surface/compositor.h"

namespace tesmo {
namespace {

std::atomic<bool> fast_paths_on{true};

// Clipping works on 64-bit copies, so that no sum of 32-bit coordinates can overflow; a result
// that does not fit back into 32 bits is treated as clipped away.
struct Box {
  int64_t x, y, w, h;
};

bool fits(int64_t v) {
  return v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max();
}

bool outside(const Box& b, const Rect& c) {
  return b.x + b.w <= c.x || b.x >= int64_t{c.x} + c.width || b.y + b.h <= c.y || b.y >= int64_t{c.y} + c.height;
}

// Cuts `b` to the clip rectangle (which it overlaps) and returns the columns and rows cut at the
// left and top.
std::pair<int64_t, int64_t> cut(Box& b, const Rect& c) {
  int64_t left = 0, top = 0;
  if (b.x < c.x) {
    left = c.x - b.x;
    b.w -= left;
    b.x = c.x;
  }
  b.w = std::min(b.w, int64_t{c.x} + c.width - b.x);
  if (b.y < c.y) {
    top = c.y - b.y;
    b.h -= top;
    b.y = c.y;
  }
  b.h = std::min(b.h, int64_t{c.y} + c.height - b.y);
  return {left, top};
}

bool store(int32_t& out, int64_t v) {
  out = static_cast<int32_t>(v);
  return fits(v);
}

bool within(int64_t x, int64_t y, int64_t w, int64_t h, const Surface& s) {
  return x >= 0 && y >= 0 && w >= 0 && h >= 0 && x + w <= s.width && y + h <= s.height;
}

// The operation's rectangles lie inside its surfaces (the row's flags say which apply). A scaling
// operation always reads the source rectangle's corner, so it needs one column and row there.
bool inside(const BlitArgs& a, uint32_t flags, const Surface& dst, const Surface* src) {
  const bool scaled = flags & kOpScaled;
  if ((flags & kOpSourceRect) && !within(a.src_x, a.src_y, std::max(a.width, int32_t{scaled}),
                                         std::max(a.height, int32_t{scaled}), *src)) {
    return false;
  }
  if (!(flags & kOpDestRect)) return true;
  if (scaled) return a.param1 > 0 && a.param2 > 0 && within(a.dst_x, a.dst_y, a.param1, a.param2, dst);
  return within(a.dst_x, a.dst_y, a.width, a.height, dst);
}

}  // namespace

void set_fast_paths(bool on) { fast_paths_on.store(on, std::memory_order_relaxed); }
bool fast_paths() { return fast_paths_on.load(std::memory_order_relaxed); }

bool clip_plain(BlitArgs& a, const Rect& clip) {
  Box b{a.dst_x, a.dst_y, a.width, a.height};
  if (outside(b, clip)) return false;
  const auto [left, top] = cut(b, clip);
  return store(a.dst_x, b.x) && store(a.dst_y, b.y) && store(a.width, b.w) && store(a.height, b.h) &&
         store(a.src_x, a.src_x + left) && store(a.src_y, a.src_y + top);
}

// The destination size param1 × param2 is fitted first (keep aspect: only the width ever shrinks;
// centre: sizes rounded down to even numbers, the picture centred where an unscaled copy at
// (dst_x, dst_y) would be), then clipped; the source rectangle shrinks in proportion with
// truncating divisions, so a clipped blit samples with a slightly different step.
bool clip_scaled(BlitArgs& a, const Rect& clip) {
  int64_t dw = a.param1, dh = a.param2;
  const int64_t sw = a.width, sh = a.height;
  if (sw <= 0 || sh <= 0) return false;
  if (a.param4 & kScaleKeepAspect) {
    const int64_t v = dh * 4096 / sh, h = dw * 4096 / sw;
    if (h > v) dw = sw * v / 4096;
  }
  Box b{a.dst_x, a.dst_y, dw, dh};
  if (a.param4 & kScaleCentre) {
    auto even = [](int64_t n) { return 2 * static_cast<int64_t>((static_cast<float>(n) + 0.5f) * 0.5f); };
    b.w = even(b.w);
    b.h = even(b.h);
    b.x -= (b.w - sw) >> 1;
    b.y -= (b.h - sh) >> 1;
  }
  if (b.w <= 0 || b.h <= 0 || outside(b, clip)) return false;
  const Box before = b;
  cut(b, clip);
  return store(a.dst_x, b.x) && store(a.dst_y, b.y) && store(a.param1, b.w) && store(a.param2, b.h) &&
         store(a.src_x, a.src_x + sw * (b.x - before.x) / before.w) &&
         store(a.src_y, a.src_y + sh * (b.y - before.y) / before.h) && store(a.width, sw * b.w / before.w) &&
         store(a.height, sh * b.h / before.h);
}

void blit(SurfaceTable& t, int32_t dst_key, int32_t src_key, uint32_t op_word, BlitArgs a) {
  if (a.width <= 0 || a.height <= 0) return;
  const uint32_t code = op_word & kOpCodeMask;
  if (code >= static_cast<uint32_t>(kOpCount)) return;
  const OpRow& row = t.ops[code];
  a.op = static_cast<int32_t>(code);
  a.marker = kPlainMarker;
  if ((op_word & kOpClipFlag) && !(row.flags & kOpNoClip)) {
    const bool kept = (row.flags & kOpScaledClip) ? clip_scaled(a, t.clip) : clip_plain(a, t.clip);
    if (!kept) return;
  }
  const Surface* src = t.find(src_key);
  Surface* dst = t.find(dst_key);
  // Callers are meant to pass existing keys and rectangles inside the surfaces; one that does not
  // would read or write past a pixel block, so such a blit does nothing.
  if (!dst || ((row.flags & kOpSource) && !src)) return;
  if (!inside(a, row.flags, *dst, src)) return;
  row.fn({&t, dst, src, a});
}

}  // namespace tesmo
