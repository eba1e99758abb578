// The main window's widgets: Qt events in, Events out. No behaviour of the system lives here.
#include "platform/qt/qt_widgets.h"

#include <QCloseEvent>
#include <QMimeData>
#include <QPainter>
#include <QRegion>
#include <QUrl>
#include <QWindowStateChangeEvent>
#include <algorithm>
#include <iterator>

#include "platform/qt/qt_keys.h"

namespace tesmo::platform::qt {
namespace {

struct ButtonRow {
  Qt::MouseButton qt_button;
  MouseButton button;
};

constexpr ButtonRow kButtons[] = {
    {Qt::LeftButton, MouseButton::Left},   {Qt::RightButton, MouseButton::Right},
    {Qt::MiddleButton, MouseButton::Middle}, {Qt::BackButton, MouseButton::X1},
    {Qt::ForwardButton, MouseButton::X2},
};

struct ActionRow {
  int action;
  ScrollCode code;
};

// Slider actions and the scroll codes they report. Qt never reports an end-of-scroll, and the
// system does nothing with one.
constexpr ActionRow kActions[] = {
    {QAbstractSlider::SliderSingleStepSub, LineUp}, {QAbstractSlider::SliderSingleStepAdd, LineDown},
    {QAbstractSlider::SliderPageStepSub, PageUp},   {QAbstractSlider::SliderPageStepAdd, PageDown},
    {QAbstractSlider::SliderToMinimum, Top},        {QAbstractSlider::SliderToMaximum, Bottom},
    {QAbstractSlider::SliderMove, ThumbTrack},
};

constexpr uint32_t kOpaque = 0xFF000000u;

}  // namespace

// ---- FrameWidget ----

FrameWidget::FrameWidget(EventQueue& queue) : queue_(queue), drag_(queue, *this, window_system_probe()) {
  setAcceptDrops(true);
  setFocusPolicy(Qt::StrongFocus);
}

bool FrameWidget::event(QEvent* e) {
  // Keys are taken here, before QWidget::event, so that Tab reaches the system instead of moving
  // the focus.
  if (e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease) {
    key_event(*static_cast<QKeyEvent*>(e));
    return true;
  }
  return QWidget::event(e);
}

void FrameWidget::key_event(const QKeyEvent& e) {
  // A held key repeats its key-down only, as the system expects; Qt also repeats the release.
  if (e.type() == QEvent::KeyRelease && e.isAutoRepeat()) return;
  const uint16_t code = virtual_key(e.key(), e.modifiers());
  if (code == 0) return;
  queue_.push(Event{.kind = e.type() == QEvent::KeyPress ? EventKind::KeyDown : EventKind::KeyUp,
                    .code = code,
                    .modifiers = modifier_bits(e.modifiers()), .files = {}});
}

void FrameWidget::move_by_program(const QPoint& at) {
  drag_.placed_by_program();
  move(at);
}

void FrameWidget::moveEvent(QMoveEvent* e) {
  const QPoint at = frameGeometry().topLeft();
  queue_.push(Event{.kind = EventKind::Move, .x = at.x(), .y = at.y(), .files = {}});
  QWidget::moveEvent(e);
}

void FrameWidget::changeEvent(QEvent* e) {
  if (e->type() == QEvent::WindowStateChange) {
    const bool was = static_cast<QWindowStateChangeEvent*>(e)->oldState().testFlag(Qt::WindowMinimized);
    if (was != isMinimized()) {
      queue_.push(Event{.kind = EventKind::Size, .code = isMinimized() ? Minimized : Restored,
                        .files = {}});
    }
  } else if (e->type() == QEvent::ActivationChange) {
    // Qt cannot tell activation by click from other activation; both report Active.
    queue_.push(Event{.kind = EventKind::Activate,
                      .code = isActiveWindow() ? Active : Inactive,
                      .minimized = isMinimized(), .files = {}});
  }
  QWidget::changeEvent(e);
}

void FrameWidget::closeEvent(QCloseEvent* e) {
  // The system decides whether and when the window goes (it may ask to save first).
  e->ignore();
  queue_.push(Event{.kind = EventKind::Close, .files = {}});
}

void FrameWidget::wheelEvent(QWheelEvent* e) {
  const int delta = e->angleDelta().y();
  if (delta == 0) {  // a sideways wheel: the system has no use for it
    e->ignore();
    return;
  }
  queue_.push(Event{.kind = EventKind::Wheel, .value = delta, .modifiers = modifier_bits(e->modifiers()),
                    .files = {}});
  e->accept();
}

void FrameWidget::dragEnterEvent(QDragEnterEvent* e) {
  if (e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void FrameWidget::dropEvent(QDropEvent* e) {
  Event drop{.kind = EventKind::DropFiles, .files = {}};
  for (const QUrl& url : e->mimeData()->urls()) {
    if (url.isLocalFile()) drop.files.push_back(url.toLocalFile().toStdU16String());
  }
  if (drop.files.empty()) return;
  queue_.push(std::move(drop));
  e->acceptProposedAction();
}

// ---- PictureArea ----

PictureArea::PictureArea(EventQueue& queue, QWidget* parent) : QWidget(parent), queue_(queue) {
  setAttribute(Qt::WA_OpaquePaintEvent);  // paintEvent covers every pixel
  setMouseTracking(true);
  setFocusPolicy(Qt::NoFocus);
}

void PictureArea::present(const uint32_t* pixels, int width, int height) {
  if (!pixels || width <= 0 || height <= 0) {
    picture_ = QImage();
  } else {
    if (picture_.size() != QSize(width, height)) picture_ = QImage(width, height, QImage::Format_RGB32);
    // The picture's fourth byte is not coverage: the client area shows the colour only.
    for (int y = 0; y < picture_.height(); ++y) {
      const uint32_t* src = pixels + static_cast<size_t>(y) * width;
      auto* dst = reinterpret_cast<uint32_t*>(picture_.scanLine(y));
      for (int x = 0; x < width; ++x) dst[x] = src[x] | kOpaque;
    }
  }
  update();
}

void PictureArea::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect shown = picture_.rect() & rect();
  if (!shown.isEmpty()) painter.drawImage(shown.topLeft(), picture_, shown);
  for (const QRect& r : QRegion(rect()).subtracted(shown)) painter.fillRect(r, Qt::black);
}

void PictureArea::push_mouse(EventKind kind, const QMouseEvent& e) {
  int code = 0;
  if (kind != EventKind::MouseMove) {
    const ButtonRow* row = std::find_if(std::begin(kButtons), std::end(kButtons),
                                        [&](const ButtonRow& r) { return r.qt_button == e.button(); });
    if (row == std::end(kButtons)) return;
    code = static_cast<int>(row->button);
  }
  const QPoint at = e.position().toPoint();
  queue_.push(Event{.kind = kind, .code = code, .x = at.x(), .y = at.y(),
                    .modifiers = modifier_bits(e.modifiers()), .files = {}});
}

void PictureArea::mousePressEvent(QMouseEvent* e) { push_mouse(EventKind::MouseDown, *e); }
void PictureArea::mouseReleaseEvent(QMouseEvent* e) { push_mouse(EventKind::MouseUp, *e); }
void PictureArea::mouseMoveEvent(QMouseEvent* e) { push_mouse(EventKind::MouseMove, *e); }

// ---- ScrollBar ----

ScrollBar::ScrollBar(ScrollBarKind kind, EventQueue& queue, QWidget* parent)
    : QScrollBar(kind == ScrollBarKind::Horizontal ? Qt::Horizontal : Qt::Vertical, parent),
      kind_(kind),
      queue_(queue) {
  setFocusPolicy(Qt::NoFocus);
  // Its "scroll here" item would move the bar without reporting an action.
  setContextMenuPolicy(Qt::PreventContextMenu);
  connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { on_action(action); });
  connect(this, &QAbstractSlider::sliderReleased, this, [this] { on_released(); });
}

void ScrollBar::set_info(const ScrollInfo& info) {
  pos_ = info.pos;
  const QSignalBlocker block(this);
  // The last reachable position is max − page + 1; an empty range pins the bar at min.
  setRange(info.min, std::max(info.min, info.max - info.page + 1));
  setPageStep(info.page);
  setValue(info.pos);
}

void ScrollBar::on_action(int action) {
  const ActionRow* row = std::find_if(std::begin(kActions), std::end(kActions),
                                      [&](const ActionRow& r) { return r.action == action; });
  if (row == std::end(kActions)) return;
  const int value = sliderPosition();
  // The system computes the new position and sets it back. While the thumb is dragged it follows
  // the pointer, as in the window system the program was written for; everything else snaps back.
  if (row->code != ThumbTrack) setSliderPosition(pos_);
  queue_.push(Event{.kind = EventKind::Scroll, .code = row->code, .value = value,
                    .bar = static_cast<int>(kind_), .files = {}});
}

void ScrollBar::on_released() {
  queue_.push(Event{.kind = EventKind::Scroll, .code = ThumbPosition, .value = sliderPosition(),
                    .bar = static_cast<int>(kind_), .files = {}});
}

void ScrollBar::wheelEvent(QWheelEvent* e) { e->ignore(); }

}  // namespace tesmo::platform::qt
