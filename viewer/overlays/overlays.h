// The on-screen overlays blended over the composed view every frame, each in its own file:
//
//   overlay_common.cpp     panel backgrounds, opacity from the animation slots, lines and labels
//   grid.cpp               the grid aligned to image pixels (slot 6)
//   hyper_list.cpp         the strip of folder thumbnails along the right edge (slot 7, 100, 101 + i)
//   histogram_panel.cpp    histogram background (13) and bars drawn into the back buffer (slot 2)
//   cursor_info.cpp        cursor bar background and text (6, 7; slot 0)
//   picture_in_picture.cpp the whole picture or the area round the cursor (12; slot 1)
//   file_info_panel.cpp    name, format, size, folder position and marker stars (8, 9; slot 3)
//   exif_panel.cpp         shooting information of JPEG files (10, 11; slot 4)
//   overlays.cpp           the frame's order
//
// Panels are rendered into their own surfaces only when their content changes (cache flags in
// ViewState) and merely blended onto the back buffer each frame.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/platform.h"
#include "surface/surface.h"
#include "viewer/file_info.h"  // the panel's texts (format_detail_text and the others)

namespace tesmo {

class Viewer;
struct TweenSlot;

// Surface keys of the panels.
enum OverlayKey : int32_t {
  kKeyCursorBar = 6, kKeyCursorText = 7, kKeyFileInfoBar = 8, kKeyFileInfoText = 9,
  kKeyExifBar = 10, kKeyExifText = 11, kKeyPip = 12, kKeyHistogramBar = 13,
  kKeyHyperStrip = 100, kKeyFirstThumbnail = 101,
};

inline constexpr int32_t kPanelWidth = 280;

// What the overlays keep between frames beyond the view flags: the histogram counts, and which
// folder list the hyper-list's thumbnails were made from.
struct OverlayCache {
  Histogram counts;
  uint32_t hyper_list_serial = 0;
};

// The frame's overlays onto the back buffer (surface 0), in order: grid, hyper-list, histogram,
// cursor bar, picture-in-picture, file information, Exif. Only while an image is shown.
void draw_overlays(Viewer& viewer, OverlayCache& cache);

// Common pieces.
// The alpha offset of a panel: its slot's value rounded (−255 … 0 while it fades in), 0 when idle.
int32_t slot_opacity(const TweenSlot& slot);
// The surface `key` of w × h, re-created only when missing or of another size.
Surface* ensure_surface(SurfaceTable& t, int32_t key, int32_t w, int32_t h);
// OpFill of a rectangle with colour 0xAARRGGBB.
void fill_rect(SurfaceTable& t, int32_t key, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t argb);
// Fills the whole panel black at alpha 128.
void fill_panel(SurfaceTable& t, int32_t key);
inline constexpr uint32_t kLineWhite = 0x80FFFFFFu;  // panel frame lines, alpha 128
inline constexpr uint32_t kLineGrey = 0x80808080u;
// A line from (x0, y0) to (x1, y1), both ends included (Bresenham), of colour `pixel`; points
// outside the surface are skipped.
void draw_line(Surface& s, int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint32_t pixel);
// Text in white (or `colour`, 0xRRGGBB) with blend 0 into `target`, font 0–2; returns its width.
int32_t draw_label(Viewer& viewer, Surface* target, int font, std::string_view cp932, int32_t x, int32_t y,
                   uint32_t colour = 0xFFFFFF);
int32_t draw_label(Viewer& viewer, Surface* target, int font, std::u16string_view text, int32_t x, int32_t y,
                   uint32_t colour = 0xFFFFFF);
// The back buffer's width and height (0 × 0 without one).
platform::Point back_buffer_size(const Viewer& viewer);

// The grid over surface `target` from the drawing origin, for an image of w × h at the zoom, with
// cell `spacing` image pixels, `divisions` sub-lines per cell and strength 0–100.
void draw_grid(SurfaceTable& t, int32_t target, platform::Point origin, int32_t w, int32_t h, int32_t zoom_x,
               int32_t zoom_y, int32_t spacing, int32_t divisions, int32_t strength);

// The hyper-list: thumbnails of the folder (surfaces 101 + i) and the strip (100); nothing when the
// shown image does not come from a folder.
void build_hyper_list(Viewer& viewer);
// Keeps the hyper-list with the shown file's folder: the list is built again when it is missing or
// the folder list was rebuilt since (another folder, a drop), and the strip follows the back
// buffer's height.
void update_hyper_list(Viewer& viewer, OverlayCache& cache);
void remove_hyper_list(SurfaceTable& t);
void draw_hyper_list(Viewer& viewer);
// The strip's scroll offset for a list of `count` thumbnails, a back buffer `height` tall and the
// mouse at `mouse_y`.
int32_t hyper_list_offset(int32_t count, int32_t height, int32_t mouse_y);

void draw_histogram(Viewer& viewer, OverlayCache& cache);
// The visible channels of the displayed surface as a colour mask (0xFF0000 red, 0x00FF00 green,
// 0x0000FF blue): all three for the alpha view.
uint32_t visible_channel_mask(const Viewer& viewer);

void draw_cursor_info(Viewer& viewer);
// The two texts of the cursor bar.
std::string cursor_position_text(int32_t x, int32_t y);
std::string cursor_colour_text(int64_t back_buffer_pixel);

void draw_picture_in_picture(Viewer& viewer);
void build_picture_in_picture(Viewer& viewer);

void draw_file_info(Viewer& viewer);
void build_file_info(Viewer& viewer);
// The size-and-depth line: "%d x %d x %d" of the decoded picture, or when the modified picture's
// size or depth differs, "%s  ->  %d x %d x %d" with the current ones.
std::string size_and_depth_text(const Viewer& viewer);

void draw_exif(Viewer& viewer);
void build_exif_panel(Viewer& viewer);
// The maker's text as the panel shows it: cut at the first space after the first character when
// longer than 9 bytes (two-byte characters stepped over whole); empty for a single space.
std::string exif_maker_text(std::string_view maker);
// The model's text following a shown maker: the part shared with the maker dropped (when at least
// two leading bytes match, with one space after it) and one space before it.
std::string exif_model_text(std::string_view model, std::string_view maker);

}  // namespace tesmo
