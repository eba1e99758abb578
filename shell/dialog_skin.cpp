// Dialog skins: the embedded archive's pictures in surfaces, skinned backgrounds and buttons.
#include "shell/dialog_skin.h"

#include <algorithm>
#include <memory>

#include "resources/embedded_resources.h"
#include "shell/dialog_placement.h"
#include "shell/modal.h"
#include "shell/shell.h"
#include "surface/compositor.h"
#include "tools/pack/archive.h"
#include "tools/pack/block.h"

namespace tesmo {
namespace {

constexpr int32_t kBrightenDisabled = 96;  // added to red, green and blue of a greyed button

// Makes `key` a width × height surface unless it already is one.
Surface* work_surface(SurfaceTable& t, int32_t key, int32_t width, int32_t height) {
  Surface* s = surface_find(t, key);
  if (s && s->width == width && s->height == height) return s;
  if (surface_create(t, key, width, height) != 0) return nullptr;
  return surface_find(t, key);
}

// Copies rows src_y … src_y + src_h − 1 of `picture` into the whole of `work`, scaled when the
// sizes differ, with the clip rectangle set to the work surface meanwhile.
void fit_into(SurfaceTable& t, const Surface& work, const Surface& picture, int32_t src_y, int32_t src_h) {
  const Rect saved = t.clip;
  t.clip = {0, 0, work.width, work.height};
  if (picture.width == work.width && src_h == work.height) {
    blit(t, work.key, picture.key, kOpCopy | kOpClipFlag, {.src_y = src_y, .width = work.width, .height = work.height});
  } else {
    blit(t, work.key, picture.key, kOpScale | kOpClipFlag,
         {.src_y = src_y, .width = picture.width, .height = src_h, .param1 = work.width, .param2 = work.height,
          .param4 = kScaleBilinear});
  }
  t.clip = saved;
}

// Writes the caption into the title band of `work` as the skins write their titles: rendered with
// its coverage as alpha into a temporary surface, then blended over the band.
void write_band_caption(SurfaceTable& t, Surface& work, const BandCaption& caption) {
  constexpr int32_t kLabel = -1;  // a temporary of this operation
  GlyphTextRenderer& text = caption.renderer;
  text.set_font(caption.font);
  text.set_width_limit(work.width - 2 * resources::kSkinTitleX, false);
  TextStyle measure;
  measure.measure_only = true;
  int32_t height = 0;
  const int32_t width = text.draw_text_wide(caption.text, 0, 0, measure, &height);
  if (width > 0 && height > 0 && surface_create(t, kLabel, width, height) == 0) {
    surface_fill(t, kLabel, 0, 0, 0, 0);
    text.set_target(surface_find(t, kLabel));
    TextStyle style;
    style.colour = resources::kSkinTitleInk;
    text.draw_text_wide(caption.text, 0, 0, style);
    text.set_target(nullptr);
    const Rect saved = t.clip;
    t.clip = {0, 0, work.width, work.height};
    const int32_t band = resources::kSkinTitleBand - 1;  // the rows between the frame and the band's line
    blit(t, work.key, kLabel, kOpAlphaBlend | kOpClipFlag,
         {.dst_x = resources::kSkinTitleX, .dst_y = 1 + (band - height) / 2, .width = width, .height = height});
    t.clip = saved;
    surface_remove(t, kLabel);
  }
  text.set_width_limit(0, false);
}

}  // namespace

int32_t skin_work_key(int32_t base) {
  switch (base) {
    case kSkinBatchBase: return 72;
    case kSkinEffectBase: return 74;
    default: return 70;
  }
}

std::span<const uint8_t> load_resource_archive() {
  return resources::find_resource(resources::kResourceArchiveType, resources::kResourceArchiveId);
}

int load_dialog_pictures(SurfaceTable& t, int32_t key, int32_t count, int32_t first_entry,
                         std::span<const uint8_t> archive) {
  if (archive.empty() || count <= 0 || first_entry < 0) return 1;
  auto reader = archive_open_memory(archive);
  if (!reader) return 1;
  std::unique_ptr<uint8_t[]> work(new (std::nothrow) uint8_t[kSkinWorkBuffer]);
  if (!work) return 1;
  const auto first = static_cast<uint32_t>(first_entry);
  const auto end = first + static_cast<uint32_t>(count);
  if (archive_load_range(*reader, first, end) != 0) return 1;
  BlockStream stream;
  for (uint32_t i = first; i < end; ++i) {
    std::span<const uint8_t> block = archive_entry(*reader, i);
    int32_t n = block_expand(stream, std::span(work.get(), kSkinWorkBuffer), block);
    if (n <= 0) return 1;
    const int32_t surface_key = key + static_cast<int32_t>(i - first);
    if (surface_load(t, surface_key, std::span<const uint8_t>(work.get(), static_cast<size_t>(n)), false) != 0) return 1;
  }
  return 0;
}

void free_dialog_pictures(SurfaceTable& t, int32_t key, int32_t count) {
  for (int32_t i = 0; i < count; ++i) surface_remove(t, key + i);
  const int32_t work = skin_work_key(key);
  surface_remove(t, work);
  surface_remove(t, work + 1);
}

int load_marker_stars(SurfaceTable& t, std::span<const uint8_t> archive) {
  if (surface_find(t, kKeyMarkerStar) && surface_find(t, kKeyMarkerStarSecond)) return 0;
  return load_dialog_pictures(t, kKeyMarkerStar, 2, 0, archive);
}

bool paint_dialog_background(SurfaceTable& t, const platform::Dialog& d, platform::Canvas& canvas,
                             int32_t work_key, int32_t picture_key, const BandCaption* caption) {
  const Surface* picture = surface_find(t, picture_key);
  const platform::Size client = d.client_size();
  if (!picture || picture->width <= 0 || picture->height <= 0 || client.width <= 0 || client.height <= 0) return false;
  Surface* work = work_surface(t, work_key, client.width, client.height);
  if (!work) return false;
  fit_into(t, *work, *picture, 0, picture->height);
  if (caption && caption->font && !caption->text.empty()) write_band_caption(t, *work, *caption);
  canvas.draw(work->pixels(), work->width, work->height, 0, 0);
  return true;
}

bool draw_skin_button(SurfaceTable& t, const platform::DrawItem& item, int32_t work_key, int32_t picture_key) {
  const Surface* picture = surface_find(t, picture_key);
  if (!picture || !item.canvas || item.width <= 0 || item.height <= 0) return false;
  const int32_t row_height = picture->height / resources::kSkinStateRows;
  if (row_height <= 0 || picture->width <= 0) return false;
  const int32_t row = item.disabled ? 0 : item.pressed ? 2 : item.focused ? 1 : 0;
  Surface* work = work_surface(t, work_key, item.width, item.height);
  if (!work) return false;
  fit_into(t, *work, *picture, row * row_height, row_height);
  if (item.disabled) {
    const Rect saved = t.clip;
    t.clip = {0, 0, work->width, work->height};
    blit(t, work_key, work_key, kOpBrightness | kOpClipFlag,
         {.width = work->width, .height = work->height, .param1 = kBrightenDisabled, .param2 = kBrightenDisabled,
          .param3 = kBrightenDisabled});
    t.clip = saved;
  }
  item.canvas->draw(work->pixels(), work->width, work->height, 0, 0);
  return true;
}

SkinnedDialog::SkinnedDialog(Shell& shell, SurfaceTable& surfaces, const resources::SkinGroup& group, int32_t base,
                             std::span<const uint16_t> dots_ids)
    : shell_(shell), surfaces_(surfaces), group_(group), base_(base), dots_ids_(dots_ids) {}

void SkinnedDialog::init(platform::Dialog& d) {
  // A failure leaves the dialog unskinned: erase and draw-item then find no pictures.
  load_dialog_pictures(surfaces_, base_, group_.count, group_.first_entry);
  if (!shell_.window) return;
  const platform::Rect frame = d.window_rect();
  auto at = place_dialog(shell_, shell_.window->window_rect(), shell_.window->client_rect(),
                         {frame.width(), frame.height()}, 3);
  if (at) d.move(*at);
}

bool SkinnedDialog::erase(platform::Dialog& d, platform::Canvas& canvas) {
  // A background drawn without a title (one serves several dialogs, or the caption changes) gets
  // the dialog's caption in its band.
  const int32_t entry = group_.first_entry + group_.background;
  const bool titled = entry >= 0 && entry < resources::kSkinPictureCount &&
                      !resources::kSkinPictures[static_cast<size_t>(entry)].title.empty();
  const BandCaption caption{d.dialog_template().caption, shell_.text,
                            shell_.fonts[static_cast<size_t>(resources::kSkinTitleFont)].font.get()};
  return paint_dialog_background(surfaces_, d, canvas, skin_work_key(base_), base_ + group_.background,
                                 titled ? nullptr : &caption);
}

bool SkinnedDialog::draw_item(platform::Dialog&, const platform::DrawItem& item) {
  int32_t offset = -1;
  if (item.id == kSkinOkId) offset = group_.ok;
  else if (item.id == kSkinCancelId) offset = group_.cancel;
  else if (std::find(dots_ids_.begin(), dots_ids_.end(), item.id) != dots_ids_.end()) offset = group_.dots;
  if (offset < 0) return false;
  return draw_skin_button(surfaces_, item, skin_work_key(base_) + 1, base_ + offset);
}

void SkinnedDialog::destroy(platform::Dialog&) { free_dialog_pictures(surfaces_, base_, group_.count); }

int run_modal_dialog(Shell& shell, const platform::DialogTemplate& t, platform::DialogHandler& handler) {
  if (!shell.platform) return platform::kDialogFailed;
  ModalScope scope(shell);
  return shell.platform->run_modal_dialog(t, handler);
}

}  // namespace tesmo
