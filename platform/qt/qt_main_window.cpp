// The main window: layout, frame flags and geometry of the Qt widgets, driven by the system.
#include "platform/qt/qt_main_window.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QGuiApplication>
#include <QMenuBar>
#include <QWindow>
#include <algorithm>

#include "platform/qt/qt_widgets.h"

namespace tesmo::platform::qt {
namespace {

Rect to_rect(const QRect& r) { return {r.x(), r.y(), r.x() + r.width(), r.y() + r.height()}; }

// The window system's frame for a style. A window without a caption has no frame at all (full
// screen). Sizing is never offered: the window's size follows the client size the system sets.
Qt::WindowFlags window_flags(const WindowStyle& s, bool topmost) {
  Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint;
  if (!s.caption) {
    flags |= Qt::FramelessWindowHint;
  } else {
    flags |= Qt::WindowTitleHint;
    if (s.system_menu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (s.minimize_box) flags |= Qt::WindowMinimizeButtonHint;
    if (s.maximize_box) flags |= Qt::WindowMaximizeButtonHint;
  }
  if (topmost) flags |= Qt::WindowStaysOnTopHint;
  return flags;
}

QMenuBar* make_menu_bar(QWidget* parent) {
  auto* bar = new QMenuBar(parent);
  bar->setNativeMenuBar(false);  // a desktop-wide menu bar would take it out of the window's frame
  return bar;
}

}  // namespace

QtMainWindow::QtMainWindow(EventQueue& queue, const MainWindowParams& params)
    : queue_(queue),
      class_name_(params.class_name),
      title_(params.title),
      style_(params.style),
      has_menu_(params.menu != nullptr),
      frame_(new FrameWidget(queue)),
      picture_(new PictureArea(queue, frame_)),
      bars_{new ScrollBar(ScrollBarKind::Horizontal, queue, frame_),
            new ScrollBar(ScrollBarKind::Vertical, queue, frame_)},
      menu_bar_(make_menu_bar(frame_)),
      menu_(menu_bar_, params.menu, params.accelerators, queue) {
  frame_->setObjectName(QString::fromLatin1(class_name_));
  frame_->setWindowTitle(QString::fromStdU16String(title_));

  auto* grid = new QGridLayout(frame_);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  // The frame is always exactly as large as its contents: the user cannot resize it, and the
  // system resizes it by setting the client size.
  grid->setSizeConstraint(QLayout::SetFixedSize);
  grid->setMenuBar(menu_bar_);
  grid->addWidget(picture_, 0, 0);
  grid->addWidget(bars_[1], 0, 1);
  grid->addWidget(bars_[0], 1, 0);
  menu_bar_->setVisible(has_menu_);

  for (ScrollBar* bar : bars_) bar->set_info(ScrollInfo{});
  picture_->setFixedSize(std::max(0, params.client_width), std::max(0, params.client_height));
  apply_flags();
  apply_bars();
  relayout();
  if (params.position) frame_->move_by_program({params.position->x, params.position->y});
}

QtMainWindow::~QtMainWindow() { delete frame_.data(); }

void QtMainWindow::apply_flags() {
  const Qt::WindowFlags flags = window_flags(style_, topmost_);
  if (frame_->windowFlags() == flags) return;
  // New flags recreate the native window hidden; keep where it was and whether it was shown.
  const bool visible = frame_->isVisible();
  const bool placed = frame_->testAttribute(Qt::WA_Moved);
  const QPoint at = frame_->pos();
  const bool active = is_foreground();
  assumed_active_ = false;
  frame_->setWindowFlags(flags);
  if (placed) frame_->move_by_program(at);
  if (!visible) return;
  // The re-created window must come back as it was, active included: frames run only while the
  // main window is active.
  show_and_wait();
  if (!active) return;
  frame_->raise();
  frame_->activateWindow();
  if (QWindow* native = frame_->windowHandle()) native->requestActivate();
  QElapsedTimer waited;
  waited.start();
  while (!frame_->isActiveWindow() && waited.elapsed() < 500) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  // A window manager may refuse to hand the focus back to the re-created window; for the system
  // its window never stopped being active, so say so (frames go on until the user moves away).
  if (!frame_->isActiveWindow()) {
    assumed_active_ = true;
    queue_.push(Event{.kind = EventKind::Activate, .code = Active, .files = {}});
  }
}

void QtMainWindow::apply_bars() {
  bars_[0]->setVisible(style_.hscroll);
  bars_[1]->setVisible(style_.vscroll);
}

void QtMainWindow::relayout() {
  frame_->layout()->invalidate();
  frame_->layout()->activate();
}

void QtMainWindow::set_title(const std::u16string& title) {
  title_ = title;
  if (frame_) frame_->setWindowTitle(QString::fromStdU16String(title));
}

void QtMainWindow::set_style(const WindowStyle& style) {
  style_ = style;
  if (!frame_) return;
  apply_flags();
  apply_bars();
  relayout();
}

Rect QtMainWindow::window_rect() const { return frame_ ? to_rect(frame_->frameGeometry()) : Rect{}; }

Rect QtMainWindow::client_rect() const {
  if (!frame_) return {};
  return to_rect(QRect(picture_->mapToGlobal(QPoint(0, 0)), picture_->size()));
}

void QtMainWindow::set_geometry(Point outer_top_left, int client_width, int client_height) {
  if (!frame_) return;
  picture_->setFixedSize(std::max(0, client_width), std::max(0, client_height));
  relayout();
  // A top-level widget's position is its frame's, so the frame lands exactly here.
  frame_->move_by_program({outer_top_left.x, outer_top_left.y});
}

void QtMainWindow::move(Point outer_top_left) {
  if (frame_) frame_->move_by_program({outer_top_left.x, outer_top_left.y});
}

void QtMainWindow::set_topmost(bool topmost) {
  topmost_ = topmost;
  if (frame_) apply_flags();
}

// Shown only where a compositing window manager draws window opacity.
void QtMainWindow::set_opacity(int alpha) {
  if (frame_) frame_->setWindowOpacity(std::clamp(alpha, 0, 255) / 255.0);
}

void QtMainWindow::set_scroll_info(ScrollBarKind bar, const ScrollInfo& info, bool /*redraw*/) {
  // Qt repaints a changed bar by itself, so `redraw` needs no handling.
  infos_[index(bar)] = info;
  if (frame_) bars_[index(bar)]->set_info(info);
}

void QtMainWindow::attach_menu(bool attached) {
  if (!frame_ || !has_menu_) return;
  menu_bar_->setVisible(attached);
  relayout();
}

// Showing waits (at most a second) until the window system has mapped and framed the window: until
// then its place and frame are unknown (a layout that keeps the window's place would move it to
// (0, 0) with the caption off the screen), and activating it would be ignored. Window systems that
// draw no frame (offscreen) only need the window exposed.
void QtMainWindow::show_and_wait() {
  frame_->show();
  const bool framed = QGuiApplication::platformName() != QStringLiteral("offscreen") &&
                      !(frame_->windowFlags() & Qt::FramelessWindowHint);
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 1000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const QWindow* native = frame_ ? frame_->windowHandle() : nullptr;
    if (!native || !native->isExposed()) continue;
    if (!framed || frame_->frameGeometry() != frame_->geometry()) break;
  }
}

void QtMainWindow::show() {
  if (!frame_ || frame_->isVisible()) return;
  show_and_wait();
}

void QtMainWindow::present(const uint32_t* pixels, int width, int height) {
  if (frame_) picture_->present(pixels, width, height);
}

// A frame Qt never saw activated after its re-creation (frameless full screen under some window
// managers) still gets the keys: it stays the foreground until another window of the program is
// active.
bool QtMainWindow::is_foreground() const {
  if (!frame_) return false;
  if (frame_->isActiveWindow()) return true;
  return assumed_active_ && QApplication::activeWindow() == nullptr;
}

void QtMainWindow::bring_to_foreground() {
  if (!frame_) return;
  frame_->raise();
  frame_->activateWindow();
}

void QtMainWindow::set_mouse_capture(bool captured) {
  if (!frame_) return;
  if (!captured) {
    picture_->releaseMouse();
  } else if (picture_->isVisible()) {  // a hidden widget cannot take the pointer
    picture_->grabMouse();
  }
}

Point QtMainWindow::cursor_position() const {
  if (!frame_) return {};
  const QPoint at = picture_->mapFromGlobal(QCursor::pos());
  return {at.x(), at.y()};
}

void QtMainWindow::destroy() {
  if (!frame_) return;
  FrameWidget* frame = frame_;
  frame_ = nullptr;
  frame->hide();
  frame->deleteLater();
  queue_.push(Event{.kind = EventKind::Destroy, .files = {}});
}

QWidget* QtMainWindow::frame_widget() const { return frame_; }
QWidget* QtMainWindow::picture_widget() const { return frame_ ? picture_ : nullptr; }
QScrollBar* QtMainWindow::scroll_bar(ScrollBarKind bar) const { return frame_ ? bars_[index(bar)] : nullptr; }
QMenuBar* QtMainWindow::menu_bar() const { return frame_ ? menu_bar_ : nullptr; }

}  // namespace tesmo::platform::qt
