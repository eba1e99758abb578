// The size-changing edits (image size, canvas size, crop, trim), their common ending and the
// steps the geometry edits share.
#include <algorithm>
#include <array>
#include <limits>

#include "edit/edit.h"
#include "edit/editor.h"
#include "edit/geometry_dialogs.h"
#include "edit/geometry_edits.h"
#include "edit/geometry_steps.h"
#include "viewer/presentation.h"

namespace tesmo {
namespace {

constexpr int32_t kMaxSide = 32768;  // the largest side the size dialogs accept
constexpr std::array<int32_t, 5> kScaleFilters = {kScaleNearest, kScaleBilinear, kScaleBicubic, kScaleLanczos2,
                                                  kScaleLanczos3};

bool valid_side(int32_t side) { return side >= 1 && side <= kMaxSide; }

const Surface* image(Editor& editor) { return surface_find(editor.doc.surfaces(), kKeyImage); }

}  // namespace

bool edit_has_alpha(Editor& editor) {
  return has_alpha_channel(editor) && surface_find(editor.doc.surfaces(), kKeyAlpha) != nullptr;
}

int rebuild_picture(SurfaceTable& t, int32_t key, int32_t w, int32_t h, bool clear, int32_t dst_x, int32_t dst_y,
                    const Rect& src, uint32_t op, int32_t p1, int32_t p2, int32_t p3, int32_t p4) {
  if (!surface_find(t, key) || surface_create(t, kKeyWork, w, h) != 0) return 1;
  if (clear) surface_fill(t, kKeyWork, 0, 0, 0, 0);
  const Rect saved = t.clip;
  t.clip = Rect{0, 0, w, h};
  blit(t, kKeyWork, key, op,
       {.dst_x = dst_x, .dst_y = dst_y, .src_x = src.x, .src_y = src.y, .width = src.width, .height = src.height,
        .param1 = p1, .param2 = p2, .param3 = p3, .param4 = p4});
  t.clip = saved;
  surface_swap_pixels(t, key, kKeyWork);
  surface_remove(t, kKeyWork);
  return 0;
}

void finish_picture_change(Editor& editor) {
  ViewState& v = editor.doc.view();
  v.flags |= kRedrawBackground;
  v.flags &= ~kThumbnailCurrent;
  mark_modified(editor);
}

void finish_size_change(Editor& editor, int32_t width, int32_t height) {
  ViewState& v = editor.doc.view();
  v.decoded_width = v.image_width = width;
  v.decoded_height = v.image_height = height;
  v.rotation = 0;
  v.zoom_x = v.zoom_y = kZoomActual;
  v.flags |= kRedrawBackground;
  v.flags &= ~kThumbnailCurrent;
  layout_window(editor.viewer);
  update_effect_items(editor);
  mark_modified(editor);
}

int32_t round_up_to(int32_t value, int32_t step) {
  const int64_t s = std::max(step, 1);
  const int64_t rounded = (int64_t{value} + s - 1) / s * s;
  return static_cast<int32_t>(std::min<int64_t>(rounded, std::numeric_limits<int32_t>::max()));
}

std::optional<int32_t> anchor_offset(int32_t anchor, int32_t new_side, int32_t old_side) {
  const int32_t difference = new_side - old_side;
  switch (anchor) {
    case kAnchorStart: return 0;
    case kAnchorCentre: return difference >> 1;
    case kAnchorEnd: return difference;
    default: return std::nullopt;
  }
}

int32_t coupled_side(int32_t side, int32_t this_old, int32_t other_old) {
  if (this_old <= 0) return other_old;
  const int64_t other = int64_t{other_old} * side / this_old;
  return static_cast<int32_t>(
      std::clamp<int64_t>(other, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

int resize_image(Editor& editor, const ImageSizeRequest* request) {
  if (!image(editor)) return 1;
  ImageSizeRequest r;
  if (request) {
    r = *request;
  } else if (auto asked = ask_image_size(editor)) {
    r = *asked;
  } else {
    return 2;
  }
  if (!valid_side(r.width) || !valid_side(r.height)) return 1;
  if (std::find(kScaleFilters.begin(), kScaleFilters.end(), r.filter) == kScaleFilters.end()) return 1;
  const Surface& old = *image(editor);
  const int32_t w = old.width, h = old.height;
  if (r.width == w && r.height == h) return 0;
  begin_edit(editor, u"画像解像度");
  SurfaceTable& t = editor.doc.surfaces();
  const int failed = rebuild_pictures(editor, [&](int32_t key) {
    return rebuild_picture(t, key, r.width, r.height, false, 0, 0, Rect{0, 0, w, h}, kOpScale, r.width, r.height, 0,
                           r.filter);
  });
  if (failed) return 1;
  finish_size_change(editor, r.width, r.height);
  return 0;
}

int resize_canvas(Editor& editor, const CanvasSizeRequest* request) {
  if (!image(editor)) return 1;
  CanvasSizeRequest r;
  if (request) {
    r = *request;
  } else if (auto asked = ask_canvas_size(editor)) {
    r = *asked;
  } else {
    return 2;
  }
  if (r.width < 1 || r.height < 1 || r.align_x < 1 || r.align_y < 1) return 1;
  const int32_t w = round_up_to(r.width, r.align_x), h = round_up_to(r.height, r.align_y);
  const Surface& old = *image(editor);
  const int32_t old_w = old.width, old_h = old.height;
  if (w == old_w && h == old_h) return 0;
  // A bad anchor is refused before the edit begins, so that the undo level stays as it was.
  const auto x = anchor_offset(r.anchor_column, w, old_w);
  const auto y = anchor_offset(r.anchor_row, h, old_h);
  if (!x || !y) return 1;
  begin_edit(editor, u"キャンバス サイズ");
  SurfaceTable& t = editor.doc.surfaces();
  const int failed = rebuild_pictures(editor, [&](int32_t key) {
    return rebuild_picture(t, key, w, h, true, *x, *y, Rect{0, 0, old_w, old_h}, kOpCopy | kOpClipFlag);
  });
  if (failed) return 1;
  finish_size_change(editor, w, h);
  return 0;
}

int crop_image(Editor& editor, const CropRequest* request) {
  if (!image(editor)) return 1;
  CropRequest r;
  if (request) {
    r = *request;
  } else if (auto asked = ask_crop(editor)) {
    r = *asked;
  } else {
    return 2;
  }
  const Surface& old = *image(editor);
  if (r.width == old.width && r.height == old.height) return 0;
  // Sums in 64 bits: a rectangle far outside cannot wrap back inside.
  if (r.x < 0 || r.y < 0 || r.width < 1 || r.height < 1 || int64_t{r.x} + r.width > old.width ||
      int64_t{r.y} + r.height > old.height) {
    return 1;
  }
  begin_edit(editor, u"切り抜き");
  SurfaceTable& t = editor.doc.surfaces();
  const int failed = rebuild_pictures(editor, [&](int32_t key) {
    return rebuild_picture(t, key, r.width, r.height, true, 0, 0, Rect{r.x, r.y, r.width, r.height}, kOpCopy);
  });
  if (failed) return 1;
  finish_size_change(editor, r.width, r.height);
  return 0;
}

int trim_image(Editor& editor, const TrimRequest* request) {
  if (!image(editor)) return 1;
  TrimRequest r;
  if (request) {
    r = *request;
  } else if (auto asked = ask_trim(editor)) {
    r = *asked;
  } else {
    return 2;
  }
  SurfaceTable& t = editor.doc.surfaces();
  const bool alpha = edit_has_alpha(editor);
  const int32_t s = alpha && edited_surface(editor) == kKeyAlpha ? kKeyAlpha : kKeyImage;
  // The margins are found on a copy with alpha 0 (the colour has none), so that a picture with
  // nothing to trim keeps its pixels, its history and its undo level.
  if (surface_duplicate(t, kKeyWork, s) != 0) return 1;
  surface_set_alpha(t, kKeyWork, 0);
  Rect kept;
  const int result = surface_auto_trim(t, kKeyWork, static_cast<uint32_t>(r.sides), static_cast<uint32_t>(r.colour),
                                       kept);
  if (result != 0) {
    surface_remove(t, kKeyWork);
    return result == 2 ? 0 : 1;
  }
  begin_edit(editor, u"トリミング");
  surface_swap_pixels(t, s, kKeyWork);
  surface_remove(t, kKeyWork);
  if (alpha) {
    const int32_t other = s == kKeyImage ? kKeyAlpha : kKeyImage;
    if (rebuild_picture(t, other, kept.width, kept.height, true, 0, 0, kept, kOpCopy) != 0) return 1;
  }
  finish_size_change(editor, kept.width, kept.height);
  return 0;
}

}  // namespace tesmo
