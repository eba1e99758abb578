// The widgets of the main window. Each turns the Qt events it receives into Events on the queue:
//   FrameWidget  the top-level window: keys, wheel, move (and the user dragging it), minimise,
//                activation, close, dropped files
//   PictureArea  the client area: shows the presented picture (black elsewhere), reports the mouse
//   ScrollBar    one scroll bar: reports user actions; its position is set only by the system
#pragma once

#include <QImage>
#include <QScrollBar>
#include <QWidget>
#include <cstdint>

#include "platform/qt/qt_event_queue.h"
#include "platform/qt/qt_window_drag.h"
#include "platform/window.h"

namespace tesmo::platform::qt {

class FrameWidget final : public QWidget {
 public:
  explicit FrameWidget(EventQueue& queue);

  // Moves the window for the system: such a move never starts a drag.
  void move_by_program(const QPoint& at);
  DragWatch& drag() { return drag_; }

 protected:
  bool event(QEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void changeEvent(QEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void dragEnterEvent(QDragEnterEvent* e) override;
  void dropEvent(QDropEvent* e) override;

 private:
  void key_event(const QKeyEvent& e);

  EventQueue& queue_;
  DragWatch drag_;
};

class PictureArea final : public QWidget {
 public:
  PictureArea(EventQueue& queue, QWidget* parent);

  // Copies a B, G, R, A picture (stride = width) to be drawn at (0, 0); null or empty clears it.
  void present(const uint32_t* pixels, int width, int height);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;

 private:
  void push_mouse(EventKind kind, const QMouseEvent& e);

  EventQueue& queue_;
  QImage picture_;
};

class ScrollBar final : public QScrollBar {
 public:
  ScrollBar(ScrollBarKind kind, EventQueue& queue, QWidget* parent);

  // Applies a range, page and position without reporting anything.
  void set_info(const ScrollInfo& info);

 protected:
  // The wheel belongs to the window, which reports it, not to the bar.
  void wheelEvent(QWheelEvent* e) override;

 private:
  void on_action(int action);
  void on_released();

  ScrollBarKind kind_;
  EventQueue& queue_;
  int pos_ = 0;  // the position the system last set
};

}  // namespace tesmo::platform::qt
