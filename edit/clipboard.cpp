// Cut, copy and paste of pictures.
//
// Paste takes what the platform hands over: rows of 24 or 32 bits (the window system turns palette
// pictures of 1, 4 or 8 bits into one of those before they reach us; 16-bit rows are converted as
// well). Anything else is refused without a change. A 24-bit picture gets alpha 255 in its work
// surface, so that pasted into the RGB view it carries the alpha a decoded picture without alpha
// has; the alpha bytes of the image have no meaning for the viewer either way.
#include "edit/clipboard.h"

#include <cstring>

#include "edit/edit.h"
#include "edit/editor.h"
#include "surface/compositor.h"
#include "viewer/frame_update.h"
#include "viewer/viewer_commands.h"

namespace tesmo {
namespace {


bool shown(const Editor& editor) { return (editor.doc.view().flags & kImageShown) != 0; }

// The surface the view shows: the alpha channel in the alpha view, else the image.
int32_t displayed_key(const Editor& editor) {
  return editor.doc.view().displayed_surface == kKeyAlpha ? kKeyAlpha : kKeyImage;
}

bool put_on_clipboard(Editor& editor, int32_t key) {
  const Surface* s = surface_find(editor.doc.surfaces(), key);
  return s && editor.shell.platform && editor.shell.platform->set_clipboard_bitmap(s->pixels(), s->width, s->height);
}

bool supported_depth(int bits) { return bits == 16 || bits == 24 || bits == 32; }

// Bytes of one row in the bitmap layout: each row starts at a multiple of 4 bytes.
size_t row_bytes(int bits, int width) { return (static_cast<size_t>(bits) * static_cast<size_t>(width) + 31) / 32 * 4; }

// The clipboard's rows into surface `key` in their own depth, then converted to 32 bits through
// surface 4 (OpConvertDepth leaves the alpha bytes it finds, so those start at 255). 1 when the
// surfaces cannot be made.
int read_bitmap(SurfaceTable& t, int32_t key, const platform::ClipboardBitmap& b) {
  if (surface_create(t, key, b.width, b.height) != 0) return 1;
  Surface& s = *surface_find(t, key);
  std::memcpy(s.pixels(), b.rows.data(), row_bytes(b.bits, b.width) * static_cast<size_t>(b.height));
  if (b.bits == 32) return 0;
  if (surface_create(t, kKeyEditInput, b.width, b.height) != 0) {
    surface_remove(t, key);
    return 1;
  }
  surface_fill(t, kKeyEditInput, 0, 0, 0, 0xFF);
  blit(t, kKeyEditInput, key, kOpConvertDepth, {.width = b.width, .height = b.height, .param1 = 32, .param2 = b.bits});
  surface_swap_pixels(t, kKeyEditInput, key);
  surface_remove(t, kKeyEditInput);
  return 0;
}

// A picture whose rows the platform really handed over in full, in a depth we convert.
bool usable(const platform::ClipboardBitmap& b) {
  if (b.width <= 0 || b.height <= 0 || !supported_depth(b.bits)) return false;
  if (static_cast<int64_t>(b.width) * b.height > kMaxSurfacePixels) return false;
  return b.rows.size() >= row_bytes(b.bits, b.width) * static_cast<size_t>(b.height);
}

void redraw(Editor& editor) {
  ViewState& v = editor.doc.view();
  v.flags |= kRedrawBackground;
  v.flags &= ~kThumbnailCurrent;
}

}  // namespace

int clipboard_copy(Editor& editor) {
  if (!shown(editor)) return 1;
  return put_on_clipboard(editor, displayed_key(editor)) ? 0 : 1;
}

int clipboard_cut(Editor& editor) {
  if (!shown(editor)) return 1;
  SurfaceTable& t = editor.doc.surfaces();
  const Surface* back = surface_find(t, kKeyBackBuffer);
  if (!back || surface_create(t, kKeyClipboardView, back->width, back->height) != 0) return 1;
  // The view as a frame composes it: the new surface starts from the whole background.
  editor.doc.view().flags |= kRedrawBackground;
  compose_view(editor.viewer, kKeyClipboardView);
  apply_channel_mask(editor.viewer, kKeyClipboardView);
  const bool taken = put_on_clipboard(editor, kKeyClipboardView);
  surface_remove(t, kKeyClipboardView);
  if (!taken) return 1;
  begin_edit(editor, u"カット");
  surface_fill(t, displayed_key(editor), 0, 0, 0, 0);
  redraw(editor);
  mark_modified(editor);
  return 0;
}

int clipboard_paste(Editor& editor) {
  if (!editor.shell.platform) return 1;
  const std::optional<platform::ClipboardBitmap> bitmap = editor.shell.platform->read_clipboard_bitmap();
  if (!bitmap || !usable(*bitmap)) return 1;
  const platform::ClipboardBitmap& b = *bitmap;
  if (!shown(editor) && create_new_picture(editor.viewer, {b.width, b.height, b.bits == 32 ? 32 : 24}) != 0) return 1;
  SurfaceTable& t = editor.doc.surfaces();
  if (read_bitmap(t, kKeyWork, b) != 0) return 1;
  begin_edit(editor, u"ペースト");
  const int32_t key = displayed_key(editor);
  const Surface* target = surface_find(t, key);
  const Rect saved = t.clip;
  t.clip = Rect{0, 0, target ? target->width : 0, target ? target->height : 0};
  const bool grey = key == kKeyAlpha;
  blit(t, key, kKeyWork, static_cast<uint32_t>(grey ? kOpGreyScale : kOpCopy) | kOpClipFlag,
       {.width = b.width, .height = b.height});
  t.clip = saved;
  surface_remove(t, kKeyWork);
  redraw(editor);
  mark_modified(editor);
  return 0;
}

}  // namespace tesmo
