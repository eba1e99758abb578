// The grid: green cell lines every `spacing` image pixels and grey sub-lines dividing each cell,
// growing with the strength (horizontal lines first, then vertical ones).
#include <algorithm>

#include "document/view_state.h"
#include "surface/compositor.h"
#include "viewer/overlays/overlays.h"

namespace tesmo {
namespace {

constexpr uint32_t kCellLine = 0x004AFF84u;  // 74, 255, 132
constexpr uint32_t kSubLine = 0x00808080u;

void line(SurfaceTable& t, int32_t target, int64_t x, int64_t y, int64_t w, int64_t h, uint32_t c) {
  if (w <= 0 || h <= 0 || x > INT32_MAX || y > INT32_MAX) return;
  blit(t, target, target, kOpFill | kOpClipFlag,
       {.dst_x = static_cast<int32_t>(x), .dst_y = static_cast<int32_t>(y),
        .width = static_cast<int32_t>(std::min<int64_t>(w, INT32_MAX)),
        .height = static_cast<int32_t>(std::min<int64_t>(h, INT32_MAX)), .param1 = (c >> 16) & 0xFF,
        .param2 = (c >> 8) & 0xFF, .param3 = c & 0xFF});
}

// One direction: `count` cells of `cell` pixels from `start`, sub-lines every `sub` / 4096 pixels
// while inside `extent`; each line `length` long across from `across`.
void lines(SurfaceTable& t, int32_t target, bool vertical, int64_t start, int64_t across, int64_t count,
           int64_t cell, int32_t divisions, int64_t sub, int64_t extent, int64_t length) {
  // Cells under a pixel would stack every line on the first column: nothing to show.
  if (cell < 1 || length <= 0) return;
  for (int64_t k = 0; k < count; ++k) {
    const int64_t at = k * cell;
    if (sub > 0) {
      for (int32_t j = 1; j < divisions; ++j) {
        const int64_t p = at + (j * sub >> 12);
        if (p >= extent) break;
        if (vertical) line(t, target, start + p, across, 1, length, kSubLine);
        else line(t, target, across, start + p, length, 1, kSubLine);
      }
    }
    if (k >= 1) {
      if (vertical) line(t, target, start + at, across, 1, length, kCellLine);
      else line(t, target, across, start + at, length, 1, kCellLine);
    }
  }
}

}  // namespace

void draw_grid(SurfaceTable& t, int32_t target, platform::Point origin, int32_t w, int32_t h, int32_t zoom_x,
               int32_t zoom_y, int32_t spacing, int32_t divisions, int32_t strength) {
  if (spacing < 1) return;
  const int64_t c = spacing, n = divisions;
  const int64_t columns = w / c + (n >= 2 ? 1 : 0), rows = h / c + (n >= 2 ? 1 : 0);
  const int64_t cw = c * zoom_x / kZoomActual, ch = c * zoom_y / kZoomActual;
  const int64_t zw = int64_t{w} * zoom_x / kZoomActual, zh = int64_t{h} * zoom_y / kZoomActual;
  const int64_t sub_x = n >= 2 && n < cw ? cw * 4096 / n : 0;
  const int64_t sub_y = n >= 2 && n < ch ? ch * 4096 / n : 0;
  const int64_t s = std::clamp(strength, 0, 100);
  int64_t vertical_length = 0, horizontal_length = zw;
  if (s == 100) vertical_length = zh;
  else if (s > 50) vertical_length = zh * (s - 50) * 2 / 100;
  else horizontal_length = zw * s / 50;
  lines(t, target, true, origin.x, origin.y, columns, cw, divisions, sub_x, zw, vertical_length);
  lines(t, target, false, origin.y, origin.x, rows, ch, divisions, sub_y, zh, horizontal_length);
}

}  // namespace tesmo
