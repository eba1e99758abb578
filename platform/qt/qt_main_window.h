// The main window on Qt: a fixed-size top-level widget holding the menu bar, the picture area (the
// client area, exactly the client size) and the two scroll bars beside it.
#pragma once

#include <QPointer>
#include <string>

#include "platform/qt/qt_event_queue.h"
#include "platform/qt/qt_menu.h"
#include "platform/window.h"

class QMenuBar;
class QScrollBar;
class QWidget;

namespace tesmo::platform::qt {

class FrameWidget;
class PictureArea;
class ScrollBar;

class QtMainWindow final : public MainWindow {
 public:
  // Builds the window hidden. `queue` receives its events and must outlive it.
  QtMainWindow(EventQueue& queue, const MainWindowParams& params);
  ~QtMainWindow() override;

  const char* class_name() const override { return class_name_; }
  void set_title(const std::u16string& title) override;
  std::u16string title() const override { return title_; }
  void set_style(const WindowStyle& style) override;
  WindowStyle style() const override { return style_; }
  Rect window_rect() const override;
  Rect client_rect() const override;
  void set_geometry(Point outer_top_left, int client_width, int client_height) override;
  void move(Point outer_top_left) override;
  void set_topmost(bool topmost) override;
  void set_opacity(int alpha) override;
  void set_scroll_info(ScrollBarKind bar, const ScrollInfo& info, bool redraw) override;
  ScrollInfo scroll_info(ScrollBarKind bar) const override { return infos_[index(bar)]; }
  Menu& menu() override { return menu_; }
  void attach_menu(bool attached) override;
  void show() override;
  void invalidate() override { queue_.push_paint(); }
  void present(const uint32_t* pixels, int width, int height) override;
  bool is_foreground() const override;
  void bring_to_foreground() override;
  void set_mouse_capture(bool captured) override;
  Point cursor_position() const override;
  // Hides the window, deletes its widgets at the next turn of the loop and queues Destroy. Calls
  // after this change nothing and read empty geometry.
  void destroy() override;

  // The widgets, for the platform and for tests; null once the window is destroyed.
  QWidget* frame_widget() const;
  QWidget* picture_widget() const;
  QScrollBar* scroll_bar(ScrollBarKind bar) const;
  QMenuBar* menu_bar() const;
  QtMenu& qt_menu() { return menu_; }

 private:
  static int index(ScrollBarKind bar) { return bar == ScrollBarKind::Horizontal ? 0 : 1; }
  void apply_flags();
  void show_and_wait();
  void apply_bars();
  void relayout();

  EventQueue& queue_;
  const char* class_name_;
  std::u16string title_;
  WindowStyle style_;
  bool topmost_ = false;
  // The re-created frame was focused by the window manager without Qt reporting it active.
  bool assumed_active_ = false;
  bool has_menu_;
  ScrollInfo infos_[2];
  // The frame owns every widget below; they are valid exactly while frame_ is.
  QPointer<FrameWidget> frame_;
  PictureArea* picture_;
  ScrollBar* bars_[2];
  QMenuBar* menu_bar_;
  QtMenu menu_;
};

}  // namespace tesmo::platform::qt
