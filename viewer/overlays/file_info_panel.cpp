// The file-information panel: name, format, size and depth, the position in the folder and the
// marker stars; rebuilt when the picture is opened or modified or its marker changes.
#include <cstdio>

#include "surface/compositor.h"
#include "viewer/overlays/overlays.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

bool from_folder(const Viewer& viewer) { return viewer.doc.view().display_name.empty(); }

}  // namespace

std::string size_and_depth_text(const Viewer& viewer) {
  const ViewState& v = viewer.doc.view();
  const std::string decoded = decoded_size_text(v);
  if (!(v.flags & kModified)) return decoded;
  // The picture as it stands: 32 bits with an alpha channel, else 24.
  const int32_t bits = surface_find(viewer.doc.surfaces(), kKeyAlpha) ? 32 : 24;
  if (v.image_width == v.decoded_width && v.image_height == v.decoded_height && bits == v.decoded_bits) return decoded;
  char text[160];
  std::snprintf(text, sizeof text, "%s  ->  %d x %d x %d", decoded.c_str(), v.image_width, v.image_height, bits);
  return text;
}

void build_file_info(Viewer& viewer) {
  SurfaceTable& t = viewer.doc.surfaces();
  ViewState& v = viewer.doc.view();
  if (!ensure_surface(t, kKeyFileInfoBar, kPanelWidth, 116) || !ensure_surface(t, kKeyFileInfoText, kPanelWidth, 116)) {
    return;
  }
  fill_panel(t, kKeyFileInfoBar);
  fill_rect(t, kKeyFileInfoBar, 0, 0, 279, 1, kLineWhite);
  fill_rect(t, kKeyFileInfoBar, 279, 0, 1, 116, kLineGrey);
  surface_fill(t, kKeyFileInfoText, 0, 0, 0, 0);
  Surface* text = surface_find(t, kKeyFileInfoText);

  const bool folder = from_folder(viewer);
  if (folder) viewer.build_folder_list();
  const FileInfoTexts texts = file_info_texts(viewer, false);
  const std::u16string& name = texts.name;
  viewer.shell.text.set_font(viewer.shell.fonts[2].font.get());
  TextStyle measure{};
  const size_t fits = viewer.shell.text.fit_count_wide(name, 0, kPanelWidth - 6, measure);
  draw_label(viewer, text, 2, std::u16string_view(name).substr(0, fits), 6, 6, folder ? 0xFFFFFFu : 0xFFDC00u);

  draw_label(viewer, text, 1, texts.format_name, 6, 33);
  draw_label(viewer, text, 1, texts.format_detail, 6, 51);
  draw_label(viewer, text, 1, size_and_depth_text(viewer), 6, 69);

  const bool listed = folder && viewer.has_folder_list && viewer.shown_index >= 0 &&
                      static_cast<size_t>(viewer.shown_index) < viewer.folder_list.size();
  if (listed) {
    char position[64];
    std::snprintf(position, sizeof position, "%d / %d", viewer.shown_index + 1,
                  static_cast<int>(viewer.folder_list.size()));
    draw_label(viewer, text, 1, position, 9, 90);
    const int32_t state = static_cast<size_t>(viewer.shown_index) < viewer.markers.size()
                              ? viewer.markers[static_cast<size_t>(viewer.shown_index)].state
                              : 0;
    const Surface* star = surface_find(t, kKeyMarkerStar);
    for (int32_t n = 0; n < state && n < 2 && star; ++n) {
      const int32_t x = 216 + 32 * n;
      blit(t, kKeyFileInfoText, kKeyMarkerStar, kOpAlphaBlend | kOpClipFlag,
           {.dst_x = x, .dst_y = 90, .width = star->width, .height = star->height});
      blit(t, kKeyFileInfoText, kKeyMarkerStar, kOpChannelCopy | kOpClipFlag,
           {.dst_x = x, .dst_y = 90, .width = star->width, .height = star->height, .param1 = 3});
    }
  }
  v.flags |= kFileInfoCurrent;
}

void draw_file_info(Viewer& viewer) {
  SurfaceTable& t = viewer.doc.surfaces();
  if (!(viewer.doc.view().flags & kFileInfoCurrent) || !surface_find(t, kKeyFileInfoText)) build_file_info(viewer);
  const int32_t H = back_buffer_size(viewer).y;
  const int32_t k = slot_opacity(viewer.tweens[kTweenFileInfo]);
  blit(t, kKeyBackBuffer, kKeyFileInfoBar, kOpAlphaBlend | kOpClipFlag,
       {.dst_y = H - 116, .width = kPanelWidth, .height = 116, .param1 = k});
  blit(t, kKeyBackBuffer, kKeyFileInfoText, kOpAlphaBlend | kOpClipFlag,
       {.dst_y = H - 116, .width = kPanelWidth, .height = 116, .param1 = k});
}

}  // namespace tesmo
