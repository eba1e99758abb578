// The main window and its menu, as the system drives them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/menu_template.h"

namespace tesmo::platform {

struct Point {
  int x = 0;
  int y = 0;
  bool operator==(const Point&) const = default;
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool operator==(const Rect&) const = default;
};

// Frame decorations. The main window never has a sizing border or a maximise box; full screen drops
// the caption, system menu and minimise box.
struct WindowStyle {
  bool caption = true;
  bool system_menu = true;
  bool minimize_box = true;
  bool maximize_box = false;
  bool sizing_border = false;
  bool hscroll = false;  // horizontal bar shown
  bool vscroll = false;  // vertical bar shown
  bool operator==(const WindowStyle&) const = default;
};

enum class ScrollBarKind : int { Horizontal = 0, Vertical = 1 };

// A scroll bar's state: positions 0 … max − page + 1 are reachable; a page at least max + 1 long
// means nothing can scroll.
struct ScrollInfo {
  int min = 0;
  int max = 0;
  int page = 0;
  int pos = 0;
  bool operator==(const ScrollInfo&) const = default;
};

// The menu built from a template, addressed by command id (or submenu id).
class Menu {
 public:
  virtual ~Menu() = default;
  virtual bool has_item(uint16_t id) const = 0;
  virtual void set_checked(uint16_t id, bool checked) = 0;
  virtual bool is_checked(uint16_t id) const = 0;
  virtual void set_enabled(uint16_t id, bool enabled) = 0;  // false greys the item
  virtual bool is_enabled(uint16_t id) const = 0;           // false for unknown ids
};

struct MainWindowParams {
  const char* class_name = "";
  std::u16string title;
  int client_width = 0;
  int client_height = 0;
  WindowStyle style;
  std::optional<Point> position;  // outer top-left; none lets the window system choose
  const MenuTemplate* menu = nullptr;
  const AccelTemplate* accelerators = nullptr;  // shown beside the menu labels
};

class MainWindow {
 public:
  virtual ~MainWindow() = default;

  virtual const char* class_name() const = 0;
  virtual void set_title(const std::u16string& title) = 0;
  virtual std::u16string title() const = 0;
  virtual void set_style(const WindowStyle& style) = 0;
  virtual WindowStyle style() const = 0;

  // Outer frame and client area, in screen coordinates.
  virtual Rect window_rect() const = 0;
  virtual Rect client_rect() const = 0;
  // Moves the outer frame's top-left and sizes the client area (scroll bars lie outside it).
  virtual void set_geometry(Point outer_top_left, int client_width, int client_height) = 0;
  virtual void move(Point outer_top_left) = 0;
  virtual void set_topmost(bool topmost) = 0;
  virtual void set_opacity(int alpha) = 0;  // 0…255; 255 is opaque

  virtual void set_scroll_info(ScrollBarKind bar, const ScrollInfo& info, bool redraw) = 0;
  virtual ScrollInfo scroll_info(ScrollBarKind bar) const = 0;

  virtual Menu& menu() = 0;
  virtual void attach_menu(bool attached) = 0;  // full screen detaches it; the menu stays alive

  virtual void show() = 0;
  virtual void invalidate() = 0;
  // Shows a 32-bit B, G, R, A picture (stride = width) in the client area at (0, 0).
  virtual void present(const uint32_t* pixels, int width, int height) = 0;
  virtual bool is_foreground() const = 0;
  virtual void bring_to_foreground() = 0;
  virtual void set_mouse_capture(bool captured) = 0;
  virtual Point cursor_position() const = 0;  // in client coordinates
  // Destroys the window; a Destroy event follows.
  virtual void destroy() = 0;
};

}  // namespace tesmo::platform
