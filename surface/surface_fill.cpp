// Whole-picture colour writes and the back-buffer pixel read.
#include <algorithm>

#include "surface/surface.h"

namespace tesmo {

void surface_fill(SurfaceTable& t, int32_t key, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha) {
  Surface* s = t.find(key);
  if (!s) return;
  const uint32_t colour = uint32_t{alpha} << 24 | uint32_t{red} << 16 | uint32_t{green} << 8 | blue;
  std::span<uint32_t> p = s->picture();
  std::fill(p.begin(), p.end(), colour);
}

void surface_set_alpha(SurfaceTable& t, int32_t key, uint8_t alpha) {
  Surface* s = t.find(key);
  if (!s) return;
  const uint32_t a = uint32_t{alpha} << 24;
  uint32_t* p = s->pixels();
  const size_t n = s->pixel_count();
  for (size_t i = 0; i < n; ++i) p[i] = (p[i] & 0x00FFFFFFu) | a;
}

int64_t back_buffer_pixel(const SurfaceTable& t, int32_t x, int32_t y) {
  const Surface* s = t.find(kKeyBackBuffer);
  // The cursor can leave the window while the mouse is captured: never read outside the picture.
  if (!s || x < 0 || y < 0 || x >= s->width || y >= s->height) return -1;
  return s->pixels()[static_cast<size_t>(y) * static_cast<size_t>(s->width) + static_cast<size_t>(x)];
}

}  // namespace tesmo
