// The Exif panel of JPEG files: maker and model on the first line, then the shooting values in
// three groups; built once per picture.
#include <vector>

#include "formats/exif/exif.h"
#include "surface/compositor.h"
#include "viewer/overlays/overlays.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

// Where an item goes: y = base + row × 18.
struct ExifPlace {
  uint16_t tag;
  int32_t base;
  int32_t row;
};
constexpr ExifPlace kPlaces[] = {
    {0x920A, 30, 0},  {0x829D, 30, 1},  {0x829A, 30, 2},  {0x8822, 30, 3},  {0x9204, 30, 4},
    {0x9207, 129, 0}, {0xA403, 129, 1}, {0x8827, 129, 2}, {0x9209, 129, 3}, {0x9003, 210, 0},
};

bool lead_byte(uint8_t c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

}  // namespace

std::string exif_maker_text(std::string_view maker) {
  if (maker == " ") return {};
  if (maker.size() <= 9) return std::string(maker);
  size_t i = 0;
  i += lead_byte(static_cast<uint8_t>(maker[0])) ? 2 : 1;
  while (i < maker.size()) {
    if (maker[i] == ' ') return std::string(maker.substr(0, i));
    i += lead_byte(static_cast<uint8_t>(maker[i])) ? 2 : 1;
  }
  return std::string(maker);
}

std::string exif_model_text(std::string_view model, std::string_view maker) {
  size_t shared = 0;
  while (shared < model.size() && shared < maker.size() && model[shared] == maker[shared]) ++shared;
  if (shared >= 2) {
    model.remove_prefix(shared);
    if (!model.empty() && model[0] == ' ') model.remove_prefix(1);
  }
  std::string text(1, ' ');
  text.append(model);
  return text;
}

void build_exif_panel(Viewer& viewer) {
  SurfaceTable& t = viewer.doc.surfaces();
  if (!ensure_surface(t, kKeyExifBar, kPanelWidth, 240) || !ensure_surface(t, kKeyExifText, kPanelWidth, 240)) return;
  fill_panel(t, kKeyExifBar);
  fill_rect(t, kKeyExifBar, 0, 0, 279, 1, kLineWhite);
  fill_rect(t, kKeyExifBar, 0, 0, 1, 239, kLineWhite);
  surface_fill(t, kKeyExifText, 0, 0, 0, 0);
  Surface* text = surface_find(t, kKeyExifText);

  std::vector<ExifRow> rows;
  exif_read(viewer.doc.view().path, rows);
  bool any = false, maker_drawn = false, model_drawn = false;
  bool placed[std::size(kPlaces)] = {};
  std::string maker;
  int32_t maker_width = 0;
  for (const ExifRow& row : rows) {
    if (row.tag == 0 || row.is_header) continue;
    any = true;
    // A tag met again (a later section) keeps the first value: both would print on one place.
    if (row.tag == 0x010F && !maker_drawn) {
      maker = exif_maker_text(row.value);
      if (maker.empty()) continue;
      maker_drawn = true;
      maker_width = draw_label(viewer, text, 2, maker, 4, 4);
      if (maker_width > 112) {
        fill_rect(t, kKeyExifText, 116, 0, 112, 26, 0);
        maker_width = 112;
      }
    } else if (row.tag == 0x0110 && !model_drawn) {
      model_drawn = true;
      draw_label(viewer, text, 2, maker_drawn ? exif_model_text(row.value, maker) : row.value, maker_width + 4, 4);
    } else {
      for (size_t i = 0; i < std::size(kPlaces); ++i) {
        if (kPlaces[i].tag != row.tag || placed[i]) continue;
        placed[i] = true;
        const int32_t y = kPlaces[i].base + kPlaces[i].row * 18;
        draw_label(viewer, text, 1, row.item, 6, y);
        draw_label(viewer, text, 1, row.value, 118, y);
      }
    }
  }
  if (!any) draw_label(viewer, text, 2, std::u16string_view(u"撮影情報 なし"), 4, 4);
  viewer.doc.view().flags |= kExifPanelBuilt;
}

void draw_exif(Viewer& viewer) {
  const platform::Point size = back_buffer_size(viewer);
  if (size.x <= 400 || size.y <= 300) return;
  SurfaceTable& t = viewer.doc.surfaces();
  const Surface* image = surface_find(t, kKeyImage);
  if (!image || image->info.format != kFormatJpeg) return;
  if (!(viewer.doc.view().flags & kExifPanelBuilt) || !surface_find(t, kKeyExifText)) build_exif_panel(viewer);
  const int32_t k = slot_opacity(viewer.tweens[kTweenExifInfo]);
  blit(t, kKeyBackBuffer, kKeyExifBar, kOpAlphaBlend | kOpClipFlag,
       {.dst_x = size.x - 280, .dst_y = size.y - 240, .width = kPanelWidth, .height = 240, .param1 = k});
  blit(t, kKeyBackBuffer, kKeyExifText, kOpAlphaBlend | kOpClipFlag,
       {.dst_x = size.x - 280, .dst_y = size.y - 240, .width = kPanelWidth, .height = 240, .param1 = k});
}

}  // namespace tesmo
