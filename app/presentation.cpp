// Layout of the main window for the picture and zoom, the title, paint, full screen and docking.
//
// The platform's client area is the picture area alone: scroll bars lie outside it. The layout
// below computes as the window system of the original does, where a shown bar takes its room from
// a client area that was grown by the bar's size; the picture area is that client area without the
// bars, and it is what the scroll pages, the back buffer and the platform's client size use.
#include "app/presentation.h"

#include <algorithm>
#include <cstdio>

#include "app/application.h"
#include "app/command_ids.h"
#include "base/text.h"

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

bool checked(Application& app, uint16_t id) { return app.window->menu().is_checked(id); }

int zoomed(int length, int zoom) {
  return static_cast<int>(static_cast<int64_t>(length) * zoom / kZoomActual);
}

// Steps 2–4: the client size for the zoomed picture within the limits, and which bars show.
Layout measure(Application& app) {
  const ViewState& v = app.view();
  const platform::Metrics m = app.platform->metrics();
  Layout l;
  l.zw = zoomed(v.image_width, v.zoom_x);
  l.zh = zoomed(v.image_height, v.zoom_y);
  l.cw = std::max(l.zw, kMinClientWidth);
  l.ch = std::max(l.zh, kMinClientHeight);
  if (v.flags & kFullScreen) {
    const platform::Size screen = app.platform->screen_size();
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
  const platform::Rect work = app.platform->work_area().value_or(
      platform::Rect{0, 0, app.platform->screen_size().width, app.platform->screen_size().height});
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
bool fit_once(Application& app, const Layout& l) {
  ViewState& v = app.view();
  if (v.flags & kFitComputed) return false;
  v.flags |= kFitComputed;
  if (l.zw <= 0 || l.zh <= 0) return false;
  const platform::Metrics m = app.platform->metrics();
  // The room a fitted picture has without bars: a windowed client size already grew by each bar
  // it shows, so only a bar it does not show gives its size back.
  const bool full = app.view().flags & kFullScreen;
  const int room_w = l.cw + (l.vbar && !full ? 0 : m.vscroll_width);
  const int room_h = l.ch + (l.hbar && !full ? 0 : m.hscroll_height);
  int32_t zoom = 0;
  if (checked(app, cmd::ScaleDownToFit) && (l.zw > l.cw || l.zh > l.ch)) {
    int64_t zx = static_cast<int64_t>(room_w) * kZoomActual / l.zw;
    int64_t zy = static_cast<int64_t>(room_h) * kZoomActual / l.zh;
    zoom = static_cast<int32_t>(std::min(zx, zy));
  } else if (checked(app, cmd::ScaleUpToFit) && l.zw >= kMinClientWidth && l.zh >= kMinClientHeight &&
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
void set_scroll_bars(Application& app, int view_w, int view_h, const Layout& l) {
  const ViewState& v = app.view();
  const int page_step = static_cast<int>(static_cast<int64_t>(app.settings().grid_spacing) * v.zoom_x / kZoomActual);
  const int line_step = page_step / effective_grid_divisions(app.settings());
  struct Axis {
    ScrollBarControl* bar;
    int zoomed, view;
  };
  for (const Axis& a : {Axis{app.hbar.get(), l.zw, view_w}, Axis{app.vbar.get(), l.zh, view_h}}) {
    if (!a.bar) continue;
    platform::ScrollInfo old = app.window->scroll_info(a.bar->kind());
    int pos = 0;
    if (a.zoomed > a.view) {
      int64_t ratio = old.max <= old.page ? 50 : static_cast<int64_t>(old.pos) * 100 / (old.max - old.page);
      pos = static_cast<int>(static_cast<int64_t>(a.zoomed - a.view) * ratio / 100);
    }
    app.window->set_scroll_info(a.bar->kind(), platform::ScrollInfo{0, a.zoomed - 1, a.view, pos}, true);
    a.bar->page_step = page_step;
    a.bar->line_step = line_step;
  }
}

// Step 7: surface 0 at the back-buffer size, filled with the background colour, clip = whole.
void size_back_buffer(Application& app, int w, int h) {
  SurfaceTable& t = app.surfaces();
  const Surface* old = surface_find(t, kKeyBackBuffer);
  if (!old || old->width != w || old->height != h) surface_create(t, kKeyBackBuffer, w, h);
  uint32_t c = app.settings().background_colour;  // bytes red, green, blue, 0
  surface_fill(t, kKeyBackBuffer, c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF, 0);
  t.clip = Rect{0, 0, w, h};
}

// Step 13: keeps the window inside the work area.
void keep_inside_screen(Application& app) {
  std::optional<platform::Rect> work = app.platform->work_area();
  if (!work) return;
  platform::Rect r = app.window->window_rect();
  int left = r.left, top = r.top;
  if (r.left < work->left) left = work->left;
  else if (r.right > work->right) left = r.left - std::min(r.right - work->right, r.left - work->left);
  if (r.top < work->top) top = work->top;
  else if (r.bottom > work->bottom) top = r.top - std::min(r.bottom - work->bottom, r.top - work->top);
  if (left != r.left || top != r.top) app.window->move({left, top});
}

// Step 10: the window's place and size.
void place_window(Application& app, const Layout& l, int view_w, int view_h, const platform::WindowStyle& style) {
  ViewState& v = app.view();
  if (v.flags & kFullScreen) {
    app.window->set_geometry({0, 0}, view_w, view_h);
  } else {
    const platform::Metrics m = app.platform->metrics();
    const platform::Rect old = app.window->window_rect();
    const int new_w = l.cw + 2 * m.dialog_frame_x;
    const int new_h = l.ch + 2 * m.dialog_frame_y + m.caption + m.menu;
    platform::Point p{old.left, old.top};
    if (!(v.flags & kKeepPlace) && checked(app, cmd::ReferenceCenter)) {
      p.x += (old.width() - new_w) / 2;
      p.y += (old.height() - new_h) / 2;
    }
    app.window->set_geometry(p, view_w, view_h);
  }
  (void)style;
  app.window->set_topmost(checked(app, cmd::AlwaysOnTop));
  app.window->show();
}

}  // namespace

void layout_window(Application& app) {
  ViewState& v = app.view();
  v.flags &= ~kFrameDrawn;
  // The Exif orientation turns the picture before anything is measured, so that the fit below is
  // computed for the turned size; the turn lays the window out itself.
  if (!(v.flags & kExifRotated) && checked(app, cmd::RotationAdjustExif)) {
    v.flags |= kExifRotated;
    if (app.apply_exif_orientation && app.apply_exif_orientation()) return;
  }
  Layout l = measure(app);
  for (int pass = 0; pass < 2 && fit_once(app, l); ++pass) l = measure(app);

  const platform::Metrics m = app.platform->metrics();
  const bool full = v.flags & kFullScreen;
  int view_w = l.cw - (l.vbar && !full ? m.vscroll_width : 0);
  int view_h = l.ch - (l.hbar && !full ? m.hscroll_height : 0);
  if (full) {
    const platform::Size screen = app.platform->screen_size();
    view_w = screen.width - (l.vbar ? m.vscroll_width : 0);
    view_h = screen.height - (l.hbar ? m.hscroll_height : 0);
  }
  platform::WindowStyle style;
  style.caption = style.system_menu = style.minimize_box = !full;
  style.vscroll = l.vbar;
  style.hscroll = l.hbar;
  app.window->set_style(style);
  set_scroll_bars(app, view_w, view_h, l);
  size_back_buffer(app, view_w, view_h);
  place_window(app, l, view_w, view_h, style);

  // The modified mark survives a layout (a zoom or a window mode change is no save).
  update_title(app, (v.flags & kModified) ? 1 : 0);
  v.flags &= ~kKeepPlace;
  app.window->bring_to_foreground();
  if (!full && checked(app, cmd::AdjustInsideScreen)) keep_inside_screen(app);

  const platform::Rect r = app.window->window_rect();
  app.hit_region = Rect{0, 0, r.width(), r.height()};
  app.hovered_region = app.previous_region = -1;
}

std::u16string window_title(const Application& app, bool modified) {
  const ViewState& v = app.view();
  std::string shown = utf16_to_utf8(v.display_name.empty() ? v.path : v.display_name);
  char text[1024 * 4];
  const char* prefix = modified ? "* " : "";
  double percent = v.zoom_x / 256.0;
  if (v.rotation == 0) {
    std::snprintf(text, sizeof text, "%s%s (%.2f%% / %dx%d) - %s", prefix, shown.c_str(), percent,
                  v.decoded_width, v.decoded_height, "Tesmo64");
  } else {
    std::snprintf(text, sizeof text, "%s%s (%.2f%% / %dx%d / %d) - %s", prefix, shown.c_str(), percent,
                  v.decoded_width, v.decoded_height, v.rotation, "Tesmo64");
  }
  std::u16string title = utf8_to_utf16(text);
  if (title.size() > 1023) title.resize(1023);  // the title is built in a 1024-character buffer
  return title;
}

void update_title(Application& app, int mode) {
  if (!app.window) return;
  app.window->set_title(mode < 0 ? std::u16string(u"Tesmo64") : window_title(app, mode == 1));
}

void set_modified(Application& app, int flag, bool touch_save_item) {
  ViewState& v = app.view();
  if (touch_save_item) app.window->menu().set_enabled(cmd::Save, flag != 0);
  if (flag) v.flags |= kModified;
  else v.flags &= ~kModified;
  // Whatever marked or cleared the mark changed the picture or its file: the panels that show them
  // (file information, picture-in-picture thumbnail, histogram) are built again.
  v.flags &= ~(kFileInfoCurrent | kThumbnailCurrent);
  v.histogram_surface = -1;
  update_title(app, flag ? 1 : 0);
}

void present(Application& app) {
  const ViewState& v = app.view();
  if (!app.window) return;
  const Surface* back = surface_find(app.surfaces(), kKeyBackBuffer);
  if (!(v.flags & kImageShown) || !(v.flags & kFrameDrawn) || !back) {
    app.window->present(nullptr, 0, 0);
    return;
  }
  const uint32_t* shown = back->pixels();
  if (app.window->menu().is_checked(cmd::OsdFps) && app.draw_fps_text) shown = app.draw_fps_text(*back);
  app.window->present(shown, back->width, back->height);
  app.view().flags &= ~kFrameDrawn;
}

void toggle_full_screen(Application& app) {
  ViewState& v = app.view();
  platform::Menu& menu = app.window->menu();
  if (menu.is_checked(cmd::ScaleUpToFit) || menu.is_checked(cmd::ScaleDownToFit)) {
    v.flags &= ~kFitComputed;
    v.zoom_x = v.zoom_y = kZoomActual;
  }
  const platform::Rect before = app.window->window_rect();
  v.flags ^= kFullScreen;
  app.window->attach_menu(!(v.flags & kFullScreen));
  if (v.flags & kFullScreen) {
    app.windowed_place = {before.left, before.top};
  } else {
    // Back where the window was before full screen, its top-left kept by the layout.
    app.window->move(app.windowed_place);
    v.flags |= kKeepPlace;
  }
  layout_window(app);
}

void keep_full_screen_place(Application& app, platform::Point at) {
  if ((app.view().flags & kFullScreen) && (at.x != 0 || at.y != 0)) app.window->move({0, 0});
}

void toggle_always_on_top(Application& app) {
  platform::Menu& menu = app.window->menu();
  bool on = !menu.is_checked(cmd::AlwaysOnTop);
  menu.set_checked(cmd::AlwaysOnTop, on);
  app.window->set_topmost(on);
  app.settings().always_on_top = on ? 1 : 0;
  app.settings_store().save();
}

void dock_dialog(Application& app, int slot) {
  if (slot < 0 || slot >= static_cast<int>(app.dialogs.size()) || !app.dialogs[slot] || !app.window) return;
  const platform::Rect w = app.window->window_rect();
  const platform::Rect c = app.window->client_rect();
  app.dialogs[slot]->move_to({w.right, c.top});
}

std::optional<platform::Point> place_dialog(const Application& app, const platform::Rect& parent_window,
                                            const platform::Rect& parent_client, platform::Size size,
                                            uint32_t flags) {
  const platform::Rect& base = (flags & 1) ? parent_client : parent_window;
  platform::Point p{base.left, base.top};
  if (!(flags & 2)) return p;
  std::optional<platform::Rect> work = app.platform->work_area();
  if (!work) return std::nullopt;
  p.x += (base.width() - size.width) / 2;
  p.y += (base.height() - size.height) / 2;
  if (p.x + size.width > work->right) p.x -= p.x + size.width - work->right;
  if (p.x < work->left) p.x = work->left;
  if (p.y + size.height > work->bottom) p.y -= p.y + size.height - work->bottom;
  if (p.y < work->top) p.y = work->top;
  return p;
}

}  // namespace tesmo
