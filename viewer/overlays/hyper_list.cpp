// The hyper-list: one 192 × 32 thumbnail per picture of the shown file's folder on a translucent
// strip along the right edge, sliding in with slot 7 and scrolled by the mouse's height.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "base/text.h"
#include "surface/compositor.h"
#include "viewer/overlays/overlays.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

constexpr int32_t kStripWidth = 224, kThumbWidth = 192, kThumbHeight = 32, kThumbStep = 40;

// The name cut to at most 63 bytes of its stored (CP932) form, whole characters only.
std::u16string short_name(std::u16string_view name) {
  size_t bytes = 0, i = 0;
  for (; i < name.size(); ++i) {
    const size_t n = utf16_to_cp932(name.substr(i, 1)).size();
    if (bytes + n > 63) break;
    bytes += n;
  }
  return std::u16string(name.substr(0, i));
}

// Thumbnail i from the picture now in work surface 3.
void make_thumbnail(Viewer& viewer, int32_t key, const FolderEntry& entry) {
  SurfaceTable& t = viewer.doc.surfaces();
  const Surface* picture = surface_find(t, kKeyWork);
  const int32_t w = picture->width, h = picture->height;
  Surface* thumb = ensure_surface(t, key, kThumbWidth, kThumbHeight);
  if (!thumb) return;
  for (uint32_t& p : thumb->picture()) p = 0xFFEE0000u;
  const Rect saved = t.clip;
  t.clip = Rect{0, 0, kThumbHeight, kThumbHeight};
  blit(t, key, kKeyWork, kOpScale | kOpClipFlag,
       {.width = w, .height = h, .param1 = kThumbHeight, .param2 = kThumbHeight,
        .param4 = kScaleBilinear | kScaleKeepAspect});
  t.clip = saved;
  draw_label(viewer, thumb, 1, short_name(entry.name), 36, 2);
  char size[32];
  std::snprintf(size, sizeof size, "%dx%d", w, h);
  draw_label(viewer, thumb, 1, size, 36, 17);
  // The alpha mask: the picture opaque, the text area half.
  if (!ensure_surface(t, kKeyWork, kThumbWidth, kThumbHeight)) return;
  fill_rect(t, kKeyWork, 0, 0, kThumbHeight, kThumbHeight, 0xFFFFFFFFu);
  fill_rect(t, kKeyWork, kThumbHeight, 0, kThumbWidth - kThumbHeight, kThumbHeight, 0x80808080u);
  blit(t, key, kKeyWork, kOpChannelCopy, {.width = kThumbWidth, .height = kThumbHeight, .param1 = 1});
}

// The strip: 224 × the back buffer's height, black at half alpha.
void make_strip(Viewer& viewer) {
  SurfaceTable& t = viewer.doc.surfaces();
  const int32_t H = std::max(back_buffer_size(viewer).y, 1);
  if (ensure_surface(t, kKeyHyperStrip, kStripWidth, H)) {
    for (uint32_t& p : surface_find(t, kKeyHyperStrip)->picture()) p = 0x80000000u;
  }
}

bool from_folder(const ViewState& v) { return (v.flags & kImageShown) && v.display_name.empty() && !v.path.empty(); }

}  // namespace

void remove_hyper_list(SurfaceTable& t) {
  for (int32_t key : t.keys()) {
    if (key >= kKeyHyperStrip) surface_remove(t, key);
  }
}

void build_hyper_list(Viewer& viewer) {
  SurfaceTable& t = viewer.doc.surfaces();
  remove_hyper_list(t);
  if (!from_folder(viewer.doc.view())) return;
  start_tween(viewer.tweens, kTweenHyperList);
  viewer.build_folder_list();
  if (!viewer.has_folder_list) return;
  for (size_t i = 0; i < viewer.folder_list.size(); ++i) {
    const FolderEntry& entry = viewer.folder_list[i];
    if (entry.directory || surface_load(t, kKeyWork, entry.path, false) != 0) continue;
    make_thumbnail(viewer, kKeyFirstThumbnail + static_cast<int32_t>(i), entry);
  }
  surface_remove(t, kKeyWork);  // the last picture decoded has no further use
  make_strip(viewer);
}

void update_hyper_list(Viewer& viewer, OverlayCache& cache) {
  if (from_folder(viewer.doc.view())) viewer.build_folder_list();  // a list of another folder goes here
  const Surface* strip = surface_find(viewer.doc.surfaces(), kKeyHyperStrip);
  if (!strip || cache.hyper_list_serial != viewer.folder_list_serial) {
    build_hyper_list(viewer);
    cache.hyper_list_serial = viewer.folder_list_serial;
  } else if (strip->height != std::max(back_buffer_size(viewer).y, 1)) {
    make_strip(viewer);
  }
}

int32_t hyper_list_offset(int32_t count, int32_t height, int32_t mouse_y) {
  if (height < 2) return 0;
  const double t = static_cast<double>(std::clamp(mouse_y, 0, height - 1)) / (height - 1);
  const int64_t span = int64_t{kThumbStep} * count - height + 8;
  return static_cast<int32_t>(static_cast<double>(span) * t);
}

void draw_hyper_list(Viewer& viewer) {
  SurfaceTable& t = viewer.doc.surfaces();
  const Surface* strip = surface_find(t, kKeyHyperStrip);
  if (!strip) return;
  const platform::Point size = back_buffer_size(viewer);
  const int32_t a = static_cast<int32_t>(std::lround(tween_value(viewer.tweens[kTweenHyperList]))) * kStripWidth / 100;
  const int32_t left = size.x + a - kStripWidth;
  blit(t, kKeyBackBuffer, kKeyHyperStrip, kOpAlphaBlend | kOpClipFlag,
       {.dst_x = left, .width = strip->width, .height = strip->height});
  const int32_t entries = static_cast<int32_t>(viewer.folder_list.size());
  int32_t count = 0;
  for (int32_t i = 0; i < entries; ++i) count += surface_find(t, kKeyFirstThumbnail + i) ? 1 : 0;
  const int32_t offset = hyper_list_offset(count, size.y, viewer.mouse.y);
  int32_t k = 0;
  for (int32_t i = 0; i < entries; ++i) {
    if (!surface_find(t, kKeyFirstThumbnail + i)) continue;
    const int32_t y = 4 - offset + kThumbStep * k++;
    if (y >= size.y || y + kThumbHeight <= 0) continue;
    blit(t, kKeyBackBuffer, kKeyFirstThumbnail + i, kOpAlphaBlend | kOpClipFlag,
         {.dst_x = left + 16, .dst_y = y, .width = kThumbWidth, .height = kThumbHeight});
  }
}

}  // namespace tesmo
