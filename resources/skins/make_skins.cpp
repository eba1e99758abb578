// Draws the 69 user-interface pictures of the embedded resource archive with the system's own
// code (surfaces and compositor, the glyph text renderer for the labels, the BMP writer) and packs
// them with the system's own packing run into an independent archive at level 6, without a time
// table.
//   tesmo_make_skins OUTPUT_FOLDER      writes OUTPUT_FOLDER/skins.lst, skin_NN.bmp and skins.dat
//
// The look is quiet on purpose, for a tool used for hours: soft blue-grey gradients, a thin frame,
// a title band; buttons with a clear accent frame when focused and a darker, inverted face with the
// label moved down and right by one pixel when pressed.
//
// The archive is deterministic: the pictures depend only on this code and the font, and the list's
// last-write time recorded in the archive header is pinned to a fixed instant read in UTC.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>

#include "base/file_io.h"
#include "base/text.h"
#include "formats/bmp/bmp.h"
#include "platform/freetype/freetype_glyphs.h"
#include "resources/skin_pictures.h"
#include "surface/compositor.h"
#include "surface/surface.h"
#include "text/fonts.h"
#include "text/glyph_text.h"
#include "tools/pack/pack.h"

namespace {

using tesmo::resources::SkinPicture;
using tesmo::resources::SkinRole;

constexpr int32_t kPicture = 1;  // the picture being drawn
constexpr int32_t kLabel = 2;    // a label rendered with its own alpha before it is blended in
constexpr int32_t kLevel = 6;
constexpr int32_t kBmp24 = 5;  // BMP writer pixel formats
constexpr int32_t kBmp32 = 6;
constexpr time_t kListTime = 946684800;  // 2000-01-01 00:00:00 UTC
constexpr int32_t kButtonFont = 1;       // "ＭＳ Ｐゴシック" 10 pt
constexpr int32_t kTitleFont = tesmo::resources::kSkinTitleFont;  // "ＭＳ Ｐゴシック" 11 pt bold

struct Fonts {
  std::unique_ptr<tesmo::platform::GlyphFont> button, title;
};
Fonts g_fonts;

struct Rgb {
  int32_t r, g, b;
};

Rgb mix(Rgb a, Rgb b, int32_t k, int32_t n) {  // a + (b − a) × k / n
  if (n <= 0) return a;
  return {a.r + (b.r - a.r) * k / n, a.g + (b.g - a.g) * k / n, a.b + (b.b - a.b) * k / n};
}

class Painter {
 public:
  explicit Painter(tesmo::SurfaceTable& t) : t_(t) {}

  void fill(int32_t x, int32_t y, int32_t w, int32_t h, Rgb c) {
    tesmo::blit(t_, kPicture, kPicture, tesmo::kOpFill,
                {.dst_x = x, .dst_y = y, .width = w, .height = h, .param1 = c.r, .param2 = c.g, .param3 = c.b});
  }
  // Rows from `top` to `bottom` colour, one fill per row.
  void gradient(int32_t x, int32_t y, int32_t w, int32_t h, Rgb top, Rgb bottom) {
    for (int32_t i = 0; i < h; ++i) fill(x, y + i, w, 1, mix(top, bottom, i, h - 1));
  }
  void frame(int32_t x, int32_t y, int32_t w, int32_t h, Rgb c, int32_t thickness) {
    for (int32_t k = 0; k < thickness; ++k) {
      fill(x + k, y + k, w - 2 * k, 1, c);
      fill(x + k, y + h - 1 - k, w - 2 * k, 1, c);
      fill(x + k, y + k, 1, h - 2 * k, c);
      fill(x + w - 1 - k, y + k, 1, h - 2 * k, c);
    }
  }

 private:
  tesmo::SurfaceTable& t_;
};

// Renders `text` with its coverage as alpha and blends it over the picture, centred in the box.
bool draw_label(tesmo::SurfaceTable& t, tesmo::GlyphTextRenderer& text, std::u16string_view label, int32_t box_x,
                int32_t box_y, int32_t box_w, int32_t box_h, Rgb colour, bool centred) {
  tesmo::TextStyle measure;
  measure.measure_only = true;
  int32_t th = 0;
  int32_t tw = text.draw_text_wide(label, 0, 0, measure, &th);
  if (tw <= 0 || th <= 0) return false;
  if (tesmo::surface_create(t, kLabel, tw, th) != 0) return false;
  tesmo::surface_fill(t, kLabel, 0, 0, 0, 0);
  text.set_target(tesmo::surface_find(t, kLabel));
  tesmo::TextStyle style;
  style.colour = static_cast<uint32_t>(colour.r << 16 | colour.g << 8 | colour.b);
  text.draw_text_wide(label, 0, 0, style);
  text.set_target(nullptr);
  int32_t x = centred ? box_x + (box_w - tw) / 2 : box_x;
  int32_t y = box_y + (box_h - th) / 2;
  tesmo::blit(t, kPicture, kLabel, tesmo::kOpAlphaBlend, {.dst_x = x, .dst_y = y, .width = tw, .height = th});
  tesmo::surface_remove(t, kLabel);
  return true;
}

constexpr Rgb kPage{244, 246, 249}, kPageBottom{228, 233, 240}, kEdge{150, 161, 175};
constexpr Rgb kBand{222, 229, 239}, kBandBottom{205, 214, 227}, kBandLine{176, 188, 204}, kInk{
    tesmo::resources::kSkinTitleInk >> 16, tesmo::resources::kSkinTitleInk >> 8 & 0xFF, tesmo::resources::kSkinTitleInk & 0xFF};

void draw_background(tesmo::SurfaceTable& t, tesmo::GlyphTextRenderer& text, const SkinPicture& p) {
  Painter paint(t);
  paint.gradient(0, 0, p.width, p.height, kPage, kPageBottom);
  const int32_t band = tesmo::resources::kSkinTitleBand;
  paint.gradient(1, 1, p.width - 2, band - 1, kBand, kBandBottom);
  paint.fill(1, band, p.width - 2, 1, kBandLine);
  paint.fill(1, band + 1, p.width - 2, 1, {252, 253, 254});  // a light line under the band
  paint.frame(0, 0, p.width, p.height, kEdge, 1);
  text.set_font(g_fonts.title.get());
  const int32_t title_x = tesmo::resources::kSkinTitleX;
  if (!p.title.empty()) draw_label(t, text, p.title, title_x, 1, p.width - 2 * title_x, band - 1, kInk, false);
}

std::u16string_view button_label(SkinRole role) {
  switch (role) {
    case SkinRole::Ok: return u"OK";
    case SkinRole::Cancel: return u"キャンセル";
    case SkinRole::Dots: return u"...";
    case SkinRole::Left: return u"←";
    case SkinRole::Right: return u"→";
    default: return u"";
  }
}

// One state row: 0 normal, 1 focused, 2 pressed.
void draw_button_row(tesmo::SurfaceTable& t, tesmo::GlyphTextRenderer& text, const SkinPicture& p, int32_t row) {
  Painter paint(t);
  const int32_t h = p.height / tesmo::resources::kSkinStateRows, w = p.width, y = row * h;
  const Rgb accent{60, 125, 217};
  // The corners take the page colour so that the face reads as slightly rounded.
  paint.fill(0, y, w, h, kPage);
  if (row == 2) {
    paint.gradient(1, y + 1, w - 2, h - 2, {196, 206, 220}, {220, 227, 236});
    paint.fill(1, y + 1, w - 2, 1, {160, 172, 188});  // inner shadow along the top
  } else if (row == 1) {
    paint.gradient(1, y + 1, w - 2, h - 2, {252, 253, 255}, {219, 231, 247});
  } else {
    paint.gradient(1, y + 1, w - 2, h - 2, {252, 253, 254}, {226, 231, 238});
  }
  const Rgb edge = row == 0 ? Rgb{138, 150, 166} : row == 1 ? accent : Rgb{104, 118, 138};
  paint.fill(1, y, w - 2, 1, edge);
  paint.fill(1, y + h - 1, w - 2, 1, edge);
  paint.fill(0, y + 1, 1, h - 2, edge);
  paint.fill(w - 1, y + 1, 1, h - 2, edge);
  if (row == 1) paint.frame(1, y + 1, w - 2, h - 2, {148, 186, 238}, 1);  // the focus ring is two pixels
  const int32_t shift = row == 2 ? 1 : 0;
  text.set_font(g_fonts.button.get());
  draw_label(t, text, button_label(p.role), shift, y + shift, w, h, row == 1 ? Rgb{24, 58, 112} : kInk, true);
}

// A five-pointed star, warm gold (entry 0) or cool blue (entry 1), with soft edges in its alpha.
void draw_star(tesmo::Surface& s, int32_t entry) {
  const double kPi = 3.14159265358979323846;
  double vx[10], vy[10];
  for (int k = 0; k < 10; ++k) {
    double r = (k % 2 == 0) ? 7.6 : 3.1, a = -kPi / 2 + k * kPi / 5;
    vx[k] = 8 + r * std::cos(a);
    vy[k] = 8.4 + r * std::sin(a);
  }
  const Rgb fill = entry == 0 ? Rgb{255, 206, 64} : Rgb{110, 170, 255};
  const Rgb rim = entry == 0 ? Rgb{196, 128, 16} : Rgb{40, 90, 190};
  constexpr int kSub = 4;  // 4 × 4 samples per pixel
  for (int32_t y = 0; y < 16; ++y) {
    for (int32_t x = 0; x < 16; ++x) {
      int inside = 0;
      for (int sy = 0; sy < kSub; ++sy) {
        for (int sx = 0; sx < kSub; ++sx) {
          double px = x + (sx + 0.5) / kSub, py = y + (sy + 0.5) / kSub;
          bool in = false;  // even-odd rule over the ten edges
          for (int i = 0, j = 9; i < 10; j = i++) {
            if ((vy[i] > py) != (vy[j] > py) && px < (vx[j] - vx[i]) * (py - vy[i]) / (vy[j] - vy[i]) + vx[i]) in = !in;
          }
          inside += in;
        }
      }
      uint32_t alpha = static_cast<uint32_t>(inside * 255 / (kSub * kSub));
      Rgb c = mix(rim, fill, static_cast<int32_t>(alpha), 255);
      s.pixels()[y * 16 + x] = alpha << 24 | static_cast<uint32_t>(c.r << 16 | c.g << 8 | c.b);
    }
  }
}

std::vector<uint8_t> draw_picture(tesmo::SurfaceTable& t, tesmo::GlyphTextRenderer& text, int32_t entry) {
  const SkinPicture& p = tesmo::resources::kSkinPictures[static_cast<size_t>(entry)];
  if (tesmo::surface_create(t, kPicture, p.width, p.height) != 0) return {};
  tesmo::Surface& s = *tesmo::surface_find(t, kPicture);
  t.clip = {0, 0, p.width, p.height};
  if (p.role == SkinRole::Star) {
    draw_star(s, entry);
    return tesmo::bmp::encode(s.picture(), p.width, p.height, kBmp32);
  }
  if (p.role == SkinRole::Background) {
    draw_background(t, text, p);
  } else {
    for (int32_t row = 0; row < tesmo::resources::kSkinStateRows; ++row) draw_button_row(t, text, p, row);
  }
  return tesmo::bmp::encode(s.picture(), p.width, p.height, kBmp24);
}

bool write_bytes(const std::string& path, std::span<const uint8_t> bytes) {
  if (tesmo::file_replace(tesmo::utf8_to_utf16(path), bytes) == 0) return true;
  std::fprintf(stderr, "tesmo_make_skins: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tesmo_make_skins OUTPUT_FOLDER\n");
    return 2;
  }
  const std::string folder = std::string(argv[1]) + "/";
  ::setenv("TZ", "UTC0", 1);  // the list time below is recorded in local time
  ::tzset();

  auto service = tesmo::platform::make_freetype_glyph_service();
  if (service) {
    g_fonts.button = service->open_font(tesmo::font_request(kButtonFont));
    g_fonts.title = service->open_font(tesmo::font_request(kTitleFont));
  }
  if (!g_fonts.button || !g_fonts.title) {
    std::fprintf(stderr, "tesmo_make_skins: no font for the labels (install fonts-ipafont-gothic)\n");
    return 1;
  }
  tesmo::GlyphTextRenderer text;

  tesmo::SurfaceTable table(0);
  std::string list = "// The user-interface pictures, one compressed block each.\r\n//#C:" + std::to_string(kLevel) + "\r\n";
  for (int32_t i = 0; i < tesmo::resources::kSkinPictureCount; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "skin_%02d.bmp", i);
    std::vector<uint8_t> bmp = draw_picture(table, text, i);
    if (bmp.empty() || !write_bytes(folder + name, bmp)) return 1;
    list.append("\"").append(name).append("\",\r\n");
  }
  const std::string list_path = folder + "skins.lst";
  if (!write_bytes(list_path, std::span(reinterpret_cast<const uint8_t*>(list.data()), list.size()))) return 1;
  const struct timespec times[2] = {{kListTime, 0}, {kListTime, 0}};
  ::utimensat(AT_FDCWD, list_path.c_str(), times, 0);

  tesmo::Packer packer;
  int result = tesmo::pack_run(packer, tesmo::utf8_to_utf16(folder + "skins.dat"), tesmo::utf8_to_utf16(list_path),
                               tesmo::utf8_to_utf16(folder), tesmo::utf8_to_utf16(folder), tesmo::PackIndependent, "");
  for (const std::u16string& e : packer.errors) std::fprintf(stderr, "tesmo_make_skins: %s\n", tesmo::utf16_to_utf8(e).c_str());
  return result == 0 ? 0 : 1;
}
