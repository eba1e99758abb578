// Draws the program's icon with the system's own code (a surface per size, the PNG writer): a framed
// picture, a sky fading to the horizon with a low sun over two hills, in the quiet blue-grey of the
// dialog skins. Every size is drawn for itself (not scaled from a larger one), its frame lines
// snapped to whole pixels, so that the small sizes stay sharp; edges are smoothed by sampling each
// pixel on a grid of points.
//   tesmo_make_icon SIZE PATH [SIZE PATH ...]   writes a SIZE × SIZE PNG file (RGBA) to each PATH
//
// The files depend only on this code, so the build is deterministic.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <vector>

#include "base/file_io.h"
#include "base/text.h"
#include "formats/png_tiff/png_tiff.h"
#include "surface/surface.h"

namespace {

constexpr int32_t kIcon = 1;          // the surface being drawn
constexpr int32_t kPngRgba = 1;       // PNG writer pixel format with alpha
constexpr int32_t kSmallIcon = 32;    // up to this size, more samples per pixel and no shadow
constexpr int32_t kLargestIcon = 1024;

struct Colour {  // straight (not premultiplied) components, 0–1
  double r, g, b, a;
};

constexpr Colour rgb(int r, int g, int b) { return {r / 255.0, g / 255.0, b / 255.0, 1.0}; }
constexpr Colour kTransparent{0, 0, 0, 0};

// The skins' palette, a little deeper so that the frame still reads at 16 pixels.
constexpr Colour kFrameEdge = rgb(84, 99, 120);
constexpr Colour kMatTop = rgb(244, 246, 249), kMatBottom = rgb(222, 229, 239);
constexpr Colour kSkyTop = rgb(92, 142, 210), kSkyBottom = rgb(200, 221, 242);
constexpr Colour kSun = rgb(255, 206, 64), kSunRim = rgb(238, 168, 40);
constexpr Colour kFarHill = rgb(132, 168, 180), kNearHill = rgb(78, 128, 114);
constexpr Colour kShadow = rgb(40, 52, 70);
constexpr double kShadowOpacity = 0.32;

Colour mix(Colour a, Colour b, double t) {
  t = std::clamp(t, 0.0, 1.0);
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

struct Box {
  double left, top, right, bottom;
  Box inset(double d) const { return {left + d, top + d, right - d, bottom - d}; }
  double width() const { return right - left; }
  double height() const { return bottom - top; }
};

// Signed distance from (x, y) to a box with rounded corners (negative inside).
double rounded_box_distance(const Box& b, double radius, double x, double y) {
  const double cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2;
  const double qx = std::abs(x - cx) - (b.width() / 2 - radius);
  const double qy = std::abs(y - cy) - (b.height() / 2 - radius);
  const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0));
  return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

bool inside_circle(double cx, double cy, double radius, double x, double y) {
  return std::hypot(x - cx, y - cy) <= radius;
}

// The icon's layout at one size, in pixels: the frame's outer box, its edge line, the mat and the
// picture inside. Line widths are whole pixels and grow with the size.
struct Layout {
  Box frame, mat, picture;
  double radius;
  double shadow_offset, shadow_blur;  // 0: no shadow

  explicit Layout(int32_t size) {
    const double s = size;
    const double side = std::round(s / 16), top = std::round(s * 0.14);
    const double edge = std::max(1.0, std::round(s / 32)), mat_width = std::max(1.0, std::round(s / 16));
    frame = {side, top, s - side, s - top};
    mat = frame.inset(edge);
    picture = mat.inset(mat_width);
    radius = std::max(1.0, s / 20);
    shadow_offset = size > kSmallIcon ? s / 48 : 0;
    shadow_blur = s / 20;
  }
};

// The colour of the picture inside the mat at (x, y): sky, sun, the far hill, then the near hill.
Colour landscape(const Box& p, double x, double y) {
  const double h = p.height(), w = p.width();
  if (inside_circle(p.left + 0.30 * w, p.top + 1.55 * h, 1.02 * h, x, y)) return kNearHill;
  if (inside_circle(p.left + 0.80 * w, p.top + 1.40 * h, 0.88 * h, x, y)) return kFarHill;
  const double sun_radius = 0.14 * h;
  const double sun_distance = std::hypot(x - (p.left + 0.72 * w), y - (p.top + 0.32 * h));
  if (sun_distance <= sun_radius) return mix(kSun, kSunRim, (sun_distance / sun_radius - 0.6) / 0.4);
  return mix(kSkyTop, kSkyBottom, (y - p.top) / h);
}

// The colour of the framed picture at one sample point (transparent outside the frame).
Colour frame_sample(const Layout& l, double x, double y) {
  if (rounded_box_distance(l.frame, l.radius, x, y) > 0) return kTransparent;
  if (rounded_box_distance(l.mat, std::max(l.radius - 1, 0.0), x, y) > 0) return kFrameEdge;
  const Box& p = l.picture;
  if (x < p.left || x >= p.right || y < p.top || y >= p.bottom) {
    return mix(kMatTop, kMatBottom, (y - l.mat.top) / l.mat.height());
  }
  return landscape(p, x, y);
}

// The soft shadow under the frame at (x, y), as an alpha (0–1).
double shadow_alpha(const Layout& l, double x, double y) {
  if (l.shadow_offset <= 0) return 0;
  const double d = rounded_box_distance(l.frame, l.radius, x, y - l.shadow_offset);
  const double fade = std::clamp(1 - d / l.shadow_blur, 0.0, 1.0);
  return kShadowOpacity * fade * fade;
}

uint32_t to_pixel(Colour c) {
  auto byte = [](double v) { return static_cast<uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
  return byte(c.a) << 24 | byte(c.r) << 16 | byte(c.g) << 8 | byte(c.b);
}

// One pixel: the frame averaged over a grid of samples, over the shadow.
uint32_t icon_pixel(const Layout& l, int32_t size, int32_t px, int32_t py) {
  const int samples = size <= kSmallIcon ? 8 : 4;
  double r = 0, g = 0, b = 0, a = 0;  // premultiplied sums
  for (int sy = 0; sy < samples; ++sy) {
    for (int sx = 0; sx < samples; ++sx) {
      const Colour c = frame_sample(l, px + (sx + 0.5) / samples, py + (sy + 0.5) / samples);
      r += c.r * c.a, g += c.g * c.a, b += c.b * c.a, a += c.a;
    }
  }
  const double n = samples * samples;
  r /= n, g /= n, b /= n, a /= n;
  const double shadow = shadow_alpha(l, px + 0.5, py + 0.5) * (1 - a);
  const double alpha = a + shadow;
  if (alpha <= 0) return 0;
  return to_pixel({(r + kShadow.r * shadow) / alpha, (g + kShadow.g * shadow) / alpha,
                   (b + kShadow.b * shadow) / alpha, alpha});
}

std::optional<std::vector<uint8_t>> draw_icon(tesmo::SurfaceTable& t, int32_t size) {
  if (tesmo::surface_create(t, kIcon, size, size) != 0) return std::nullopt;
  const tesmo::Surface& s = *tesmo::surface_find(t, kIcon);
  const Layout layout(size);
  for (int32_t y = 0; y < size; ++y) {
    for (int32_t x = 0; x < size; ++x) s.pixels()[y * size + x] = icon_pixel(layout, size, x, y);
  }
  return tesmo::png::encode(s.picture(), size, size, kPngRgba);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3 || argc % 2 != 1) {
    std::fprintf(stderr, "usage: tesmo_make_icon SIZE PATH [SIZE PATH ...]\n");
    return 2;
  }
  tesmo::SurfaceTable table(0);
  for (int i = 1; i + 1 < argc; i += 2) {
    const int32_t size = std::atoi(argv[i]);
    if (size < 1 || size > kLargestIcon) {
      std::fprintf(stderr, "tesmo_make_icon: %s is not an icon size\n", argv[i]);
      return 2;
    }
    const auto png = draw_icon(table, size);
    if (!png || tesmo::file_replace(tesmo::utf8_to_utf16(argv[i + 1]), *png) != 0) {
      std::fprintf(stderr, "tesmo_make_icon: cannot write %s\n", argv[i + 1]);
      return 1;
    }
  }
  return 0;
}
