// Mirrored and turned copies: flips, rotation by any angle about a centre, quarter turns.
#include "surface/pixel_rows.h"
#include "surface/rotation.h"

namespace tesmo {

// param1: 0 reverses each row, 1 the order of the rows, 2 both (a half turn).
void OpFlip(const OpArgs& o) {
  const BlitArgs& a = o.a;
  const int32_t mode = a.param1;
  if (mode < 0 || mode > 2) return;
  const bool mirror_rows = mode != 1;
  const bool mirror_columns = mode != 0;
  for (int32_t i = 0; i < a.height; ++i) {
    const uint32_t* s = pixel_at(*o.src, a.src_x, a.src_y + (mirror_columns ? a.height - 1 - i : i));
    uint32_t* d = pixel_at(*o.dst, a.dst_x, a.dst_y + i);
    if (mirror_rows) {
      for (int32_t j = 0; j < a.width; ++j) d[j] = s[a.width - 1 - j];
    } else {
      for (int32_t j = 0; j < a.width; ++j) d[j] = s[j];
    }
  }
}

// Nearest-neighbour rotation by param1 / 100 degrees about (param2, param3) of the source, shifted
// by (dst_x, dst_y); destination pixels whose source falls outside keep their value.
void OpRotate(const OpArgs& o) {
  rotate_walk(o, [](uint32_t s, uint32_t) { return s; });
}

// The source rectangle turned a quarter into the destination, which must be at least as wide as the
// rectangle is tall and as tall as it is wide. param1 90: a quarter turn to the left, source (j, i)
// to (i, H − 1 − j); 270: to the right, to (W − 1 − i, j); W × H the destination's size.
void OpRotateRight(const OpArgs& o) {
  const BlitArgs& a = o.a;
  Surface& d = *o.dst;
  if (a.param1 != 90 && a.param1 != 270) return;
  if (d.width < a.height || d.height < a.width) return;
  const bool left = a.param1 == 90;
  for (int32_t i = 0; i < a.height; ++i) {
    const uint32_t* s = pixel_at(*o.src, a.src_x, a.src_y + i);
    for (int32_t j = 0; j < a.width; ++j) {
      uint32_t* out = left ? pixel_at(d, i, d.height - 1 - j) : pixel_at(d, d.width - 1 - i, j);
      *out = s[j];
    }
  }
}

}  // namespace tesmo
