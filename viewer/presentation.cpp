// Layout of the main window for the picture and zoom, the title, paint, full screen and docking.
//
// The platform's client area is the picture area alone: scroll bars lie outside it. The layout
// below computes as the window system of the original does, where a shown bar takes its room from
// a client area that was grown by the bar's size; the picture area is that client area without the
// bars, and it is what the scroll pages, the back buffer and the platform's client size use.
#include "viewer/presentation.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "base/text.h"
#include "document/modified_mark.h"
#include "resources/command_ids.h"
#include "surface/compositor.h"
#include "viewer/viewer.h"

namespace tesmo {
namespace {

constexpr int kMinClientWidth = 400;
constexpr int kMinClientHeight = 300;

struct Layout {
  int cw = 0, ch = 0;              // client size including shown bars
  bool vbar = false, hbar = false; // bars shown
  int zw = 0, zh = 0;              // zoomed picture size
  int limit_w = 0, limit_h = 0;
};

bool checked(Viewer& viewer, uint16_t id) { return viewer.shell.window->menu().is_checked(id); }

int zoomed(int length, int zoom) {
  return static_cast<int>(static_cast<int64_t>(length) * zoom / kZoomActual);
}

// Steps 2–4: the client size for the zoomed picture within the limits, and which bars show.
Layout measure(Viewer& viewer) {
  const ViewState& v = viewer.doc.view();
  const platform::Metrics m = viewer.shell.platform->metrics();
  Layout l;
  l.zw = zoomed(v.image_width, v.zoom_x);
  l.zh = zoomed(v.image_height, v.zoom_y);
  l.cw = std::max(l.zw, kMinClientWidth);
  l.ch = std::max(l.zh, kMinClientHeight);
  if (v.flags & kFullScreen) {
    const platform::Size screen = viewer.shell.platform->screen_size();
    bool narrowed = false;
    if (l.cw > screen.width) {
      l.cw = screen.width - m.vscroll_width;
      narrowed = true;
    }
    if (l.ch > screen.height) {
      l.ch = screen.height - m.hscroll_height;
      l.cw = screen.width - m.vscroll_width;
      narrowed = true;
    }
    if (narrowed) l.ch = screen.height - m.hscroll_height;
    l.limit_w = screen.width;
    l.limit_h = screen.height;
    l.vbar = l.zh > l.ch;
    l.hbar = l.zw > l.cw;
    return l;
  }
  const platform::Rect work = viewer.shell.platform->work_area().value_or(
      platform::Rect{0, 0, viewer.shell.platform->screen_size().width, viewer.shell.platform->screen_size().height});
  l.limit_w = work.width() - 2 * m.dialog_frame_x;
  l.limit_h = work.height() - 2 * m.dialog_frame_y - m.caption - m.menu;
  if (l.cw > l.limit_w) l.cw = l.limit_w - m.vscroll_width;
  if (l.ch > l.limit_h) l.ch = l.limit_h - m.hscroll_height;
  if (l.zh > l.ch) {
    l.vbar = true;
    l.cw += m.vscroll_width;
  }
  if (l.zw > l.cw) {
    l.hbar = true;
    l.ch += m.hscroll_height;
  }
  return l;
}

// Step 5: once per picture, the zoom that fits the window when a scale adjustment asks for it.
// Returns true when the zoom changed and the layout must start again.
bool fit_once(Viewer& viewer, const Layout& l) {
  ViewState& v = viewer.doc.view();
  if (v.flags & kFitComputed) return false;
  v.flags |= kFitComputed;
  if (l.zw <= 0 || l.zh <= 0) return false;
  const platform::Metrics m = viewer.shell.platform->metrics();
  // The room a fitted picture has without bars: a windowed client size already grew by each bar
  // it shows, so only a bar it does not show gives its size back.
  const bool full = viewer.doc.view().flags & kFullScreen;
  const int room_w = l.cw + (l.vbar && !full ? 0 : m.vscroll_width);
  const int room_h = l.ch + (l.hbar && !full ? 0 : m.hscroll_height);
  int32_t zoom = 0;
  if (checked(viewer, cmd::ScaleDownToFit) && (l.zw > l.cw || l.zh > l.ch)) {
    int64_t zx = static_cast<int64_t>(room_w) * kZoomActual / l.zw;
    int64_t zy = static_cast<int64_t>(room_h) * kZoomActual / l.zh;
    zoom = static_cast<int32_t>(std::min(zx, zy));
  } else if (checked(viewer, cmd::ScaleUpToFit) && l.zw >= kMinClientWidth && l.zh >= kMinClientHeight &&
             (l.cw < l.limit_w || l.ch < l.limit_h)) {
    int64_t zx = static_cast<int64_t>(l.limit_w) * kZoomActual / l.cw;
    int64_t zy = static_cast<int64_t>(l.limit_h) * kZoomActual / l.ch;
    zoom = static_cast<int32_t>(std::min(zx, zy));
  } else {
    return false;
  }
  v.zoom_x = v.zoom_y = std::max(zoom, 1);
  return true;
}

// Step 6: page and line steps from the grid; each bar keeps its relative position.
void set_scroll_bars(Viewer& viewer, int view_w, int view_h, const Layout& l) {
  const ViewState& v = viewer.doc.view();
  const int page_step =
      static_cast<int>(static_cast<int64_t>(viewer.shell.settings().grid_spacing) * v.zoom_x / kZoomActual);
  const int line_step = page_step / effective_grid_divisions(viewer.shell.settings());
  struct Axis {
    ScrollBarControl* bar;
    int zoomed, view;
  };
  for (const Axis& a : {Axis{viewer.shell.hbar.get(), l.zw, view_w}, Axis{viewer.shell.vbar.get(), l.zh, view_h}}) {
    if (!a.bar) continue;
    platform::ScrollInfo old = viewer.shell.window->scroll_info(a.bar->kind());
    int pos = 0;
    if (a.zoomed > a.view) {
      int64_t ratio = old.max <= old.page ? 50 : static_cast<int64_t>(old.pos) * 100 / (old.max - old.page);
      pos = static_cast<int>(static_cast<int64_t>(a.zoomed - a.view) * ratio / 100);
    }
    viewer.shell.window->set_scroll_info(a.bar->kind(), platform::ScrollInfo{0, a.zoomed - 1, a.view, pos}, true);
    a.bar->page_step = page_step;
    a.bar->line_step = line_step;
  }
}

// Step 7: surface 0 at the back-buffer size, filled with the background colour, clip = whole.
void size_back_buffer(Viewer& viewer, int w, int h) {
  SurfaceTable& t = viewer.doc.surfaces();
  const Surface* old = surface_find(t, kKeyBackBuffer);
  if (!old || old->width != w || old->height != h) surface_create(t, kKeyBackBuffer, w, h);
  uint32_t c = viewer.shell.settings().background_colour;  // bytes red, green, blue, 0
  surface_fill(t, kKeyBackBuffer, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 0);
  t.clip = Rect{0, 0, w, h};
}

// Step 13: keeps the window inside the work area.
void keep_inside_screen(Viewer& viewer) {
  std::optional<platform::Rect> work = viewer.shell.platform->work_area();
  if (!work) return;
  platform::Rect r = viewer.shell.window->window_rect();
  int left = r.left, top = r.top;
  if (r.left < work->left) left = work->left;
  else if (r.right > work->right) left = r.left - std::min(r.right - work->right, r.left - work->left);
  if (r.top < work->top) top = work->top;
  else if (r.bottom > work->bottom) top = r.top - std::min(r.bottom - work->bottom, r.top - work->top);
  if (left != r.left || top != r.top) viewer.shell.window->move({left, top});
}

// Step 10: the window's place and size.
void place_window(Viewer& viewer, const Layout& l, int view_w, int view_h, const platform::WindowStyle& style) {
  ViewState& v = viewer.doc.view();
  if (v.flags & kFullScreen) {
    viewer.shell.window->set_geometry({0, 0}, view_w, view_h);
  } else {
    const platform::Metrics m = viewer.shell.platform->metrics();
    const platform::Rect old = viewer.shell.window->window_rect();
    const int new_w = l.cw + 2 * m.dialog_frame_x;
    const int new_h = l.ch + 2 * m.dialog_frame_y + m.caption + m.menu;
    platform::Point p{old.left, old.top};
    if (!(v.flags & kKeepPlace) && checked(viewer, cmd::ReferenceCenter)) {
      p.x += (old.width() - new_w) / 2;
      p.y += (old.height() - new_h) / 2;
    }
    viewer.shell.window->set_geometry(p, view_w, view_h);
  }
  (void)style;
  viewer.shell.window->set_topmost(checked(viewer, cmd::AlwaysOnTop));
  viewer.shell.window->show();
}

}  // namespace

void layout_window(Viewer& viewer) {
  if (!viewer.shell.window) return;  // a windowless run has nothing to lay out
  ViewState& v = viewer.doc.view();
  v.flags &= ~kFrameDrawn;
  // The Exif orientation turns the picture before anything is measured, so that the fit below is
  // computed for the turned size; the turn lays the window out itself.
  if (!(v.flags & kExifRotated) && checked(viewer, cmd::RotationAdjustExif)) {
    v.flags |= kExifRotated;
    if (viewer.owner && viewer.owner->apply_exif_orientation()) return;
  }
  Layout l = measure(viewer);
  for (int pass = 0; pass < 2 && fit_once(viewer, l); ++pass) l = measure(viewer);

  const platform::Metrics m = viewer.shell.platform->metrics();
  const bool full = v.flags & kFullScreen;
  int view_w = l.cw - (l.vbar && !full ? m.vscroll_width : 0);
  int view_h = l.ch - (l.hbar && !full ? m.hscroll_height : 0);
  if (full) {
    const platform::Size screen = viewer.shell.platform->screen_size();
    view_w = screen.width - (l.vbar ? m.vscroll_width : 0);
    view_h = screen.height - (l.hbar ? m.hscroll_height : 0);
  }
  platform::WindowStyle style;
  style.caption = style.system_menu = style.minimize_box = !full;
  style.vscroll = l.vbar;
  style.hscroll = l.hbar;
  viewer.shell.window->set_style(style);
  set_scroll_bars(viewer, view_w, view_h, l);
  size_back_buffer(viewer, view_w, view_h);
  place_window(viewer, l, view_w, view_h, style);

  // The modified mark survives a layout (a zoom or a window mode change is no save).
  update_title(viewer.doc, (v.flags & kModified) ? 1 : 0);
  v.flags &= ~kKeepPlace;
  viewer.shell.window->bring_to_foreground();
  if (!full && checked(viewer, cmd::AdjustInsideScreen)) keep_inside_screen(viewer);

  const platform::Rect r = viewer.shell.window->window_rect();
  viewer.hit_region = Rect{0, 0, r.width(), r.height()};
  viewer.hovered_region = viewer.previous_region = -1;
}

namespace {

// The window's bitmap (surface 0 of the viewer's `fps_bitmap`): the back buffer copied, with "FPS:%6.02f" at its
// top-left in font 0, white on a 0x404040 box. Returns the pixels to present.
const uint32_t* draw_fps_text(Viewer& viewer, const Surface& frame) {
  SurfaceTable& bitmap = viewer.fps_bitmap;
  platform::GlyphFont* font = viewer.shell.fonts[0].font.get();
  if (!font) return frame.pixels();
  const Surface* old = surface_find(bitmap, kKeyBackBuffer);
  if ((!old || old->width != frame.width || old->height != frame.height) &&
      surface_create(bitmap, kKeyBackBuffer, frame.width, frame.height) != 0) {
    return frame.pixels();
  }
  Surface* back = surface_find(bitmap, kKeyBackBuffer);
  std::copy(frame.pixels(), frame.pixels() + frame.pixel_count(), back->pixels());
  bitmap.clip = Rect{0, 0, back->width, back->height};
  char line[32];
  std::snprintf(line, sizeof line, "FPS:%6.02f", static_cast<double>(viewer.shell.frame_timer.frame_rate));
  std::u16string text(line, line + std::strlen(line));
  viewer.shell.text.set_font(font);
  viewer.shell.text.set_target(back);
  TextStyle measure;
  measure.measure_only = true;
  int32_t height = 0;
  const int32_t width = viewer.shell.text.draw_text_wide(text, 0, 0, measure, &height);
  blit(bitmap, kKeyBackBuffer, kKeyBackBuffer, kOpFill | kOpClipFlag,
       {.width = width, .height = height, .param1 = 0x40, .param2 = 0x40, .param3 = 0x40});
  TextStyle style;
  style.colour = 0xFFFFFF;
  style.blend = 1;
  viewer.shell.text.draw_text_wide(text, 0, 0, style);
  return back->pixels();
}

}  // namespace

void present(Viewer& viewer) {
  const ViewState& v = viewer.doc.view();
  if (!viewer.shell.window) return;
  const Surface* back = surface_find(viewer.doc.surfaces(), kKeyBackBuffer);
  if (!(v.flags & kImageShown) || !(v.flags & kFrameDrawn) || !back) {
    viewer.shell.window->present(nullptr, 0, 0);
    return;
  }
  const uint32_t* shown = back->pixels();
  if (viewer.shell.window->menu().is_checked(cmd::OsdFps)) shown = draw_fps_text(viewer, *back);
  viewer.shell.window->present(shown, back->width, back->height);
  viewer.doc.view().flags &= ~kFrameDrawn;
}

void toggle_full_screen(Viewer& viewer) {
  ViewState& v = viewer.doc.view();
  platform::Menu& menu = viewer.shell.window->menu();
  if (menu.is_checked(cmd::ScaleUpToFit) || menu.is_checked(cmd::ScaleDownToFit)) {
    v.flags &= ~kFitComputed;
    v.zoom_x = v.zoom_y = kZoomActual;
  }
  const platform::Rect before = viewer.shell.window->window_rect();
  v.flags ^= kFullScreen;
  viewer.shell.window->attach_menu(!(v.flags & kFullScreen));
  if (v.flags & kFullScreen) {
    viewer.windowed_place = {before.left, before.top};
  } else {
    // Back where the window was before full screen, its top-left kept by the layout.
    viewer.shell.window->move(viewer.windowed_place);
    v.flags |= kKeepPlace;
  }
  layout_window(viewer);
}

void keep_full_screen_place(Viewer& viewer, platform::Point at) {
  if ((viewer.doc.view().flags & kFullScreen) && (at.x != 0 || at.y != 0)) viewer.shell.window->move({0, 0});
}

void toggle_always_on_top(Viewer& viewer) {
  platform::Menu& menu = viewer.shell.window->menu();
  bool on = !menu.is_checked(cmd::AlwaysOnTop);
  menu.set_checked(cmd::AlwaysOnTop, on);
  viewer.shell.window->set_topmost(on);
  viewer.shell.settings().always_on_top = on ? 1 : 0;
  viewer.shell.settings_store().save();
}

void dock_dialog(Viewer& viewer, int slot) {
  if (slot < 0 || slot >= static_cast<int>(viewer.shell.dialogs.size()) || !viewer.shell.dialogs[slot] ||
      !viewer.shell.window)
    return;
  const platform::Rect w = viewer.shell.window->window_rect();
  const platform::Rect c = viewer.shell.window->client_rect();
  viewer.shell.dialogs[slot]->move_to({w.right, c.top});
}

}  // namespace tesmo
