// Dragging the main window: the window moving under a held button begins it, the release ends it.
#include "platform/qt/qt_window_drag.h"

#include <QGuiApplication>
#include <QWidget>
#include <cstdlib>
#include <memory>
#include <xcb/xcb.h>

namespace tesmo::platform::qt {
namespace {

// Often enough that the window turns translucent as the drag starts and opaque as it ends, rarely
// enough to cost nothing (one round trip to the window system, two during a held button).
constexpr int kPollMs = 40;
// A window the program moved may reach its new place on the screen only after the window manager
// has dealt with it; moves seen this soon after are the program's.
constexpr int kProgramMoveSettleMs = 250;

constexpr uint16_t kAnyButton = XCB_BUTTON_MASK_1 | XCB_BUTTON_MASK_2 | XCB_BUTTON_MASK_3;

template <typename Reply>
using Owned = std::unique_ptr<Reply, decltype(&std::free)>;

std::optional<PointerSample> x11_sample(const QWidget& window) {
  auto* x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  xcb_connection_t* c = x11 ? x11->connection() : nullptr;
  if (!c || !window.isVisible()) return std::nullopt;
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  Owned<xcb_query_pointer_reply_t> pointer(xcb_query_pointer_reply(c, xcb_query_pointer(c, root), nullptr),
                                           &std::free);
  if (!pointer) return std::nullopt;
  PointerSample s{.button_held = (pointer->mask & kAnyButton) != 0, .place = {}};
  if (!s.button_held) return s;  // the place matters only while a button is held
  const auto id = static_cast<xcb_window_t>(window.winId());
  Owned<xcb_translate_coordinates_reply_t> at(
      xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, root, 0, 0), nullptr), &std::free);
  if (!at) return std::nullopt;
  s.place = {at->dst_x, at->dst_y};
  return s;
}

}  // namespace

PointerProbe window_system_probe() { return x11_sample; }

DragWatch::DragWatch(EventQueue& queue, const QWidget& window, PointerProbe probe)
    : queue_(queue), window_(window), probe_(std::move(probe)) {
  timer_.setInterval(kPollMs);
  QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
  timer_.start();
}

void DragWatch::placed_by_program() { since_program_move_.start(); }

void DragWatch::poll() {
  const std::optional<PointerSample> s = probe_ ? probe_(window_) : std::nullopt;
  const bool held = s && s->button_held;
  if (dragging_ && !held) {
    dragging_ = false;
    queue_.push(Event{.kind = EventKind::ExitSizeMove, .files = {}});
  }
  if (!held) {
    last_place_.reset();
    return;
  }
  const bool program_moving = since_program_move_.isValid() && since_program_move_.elapsed() < kProgramMoveSettleMs;
  const bool moved = last_place_ && *last_place_ != s->place;
  last_place_ = s->place;
  if (dragging_ || !moved || program_moving) return;
  dragging_ = true;
  queue_.push(Event{.kind = EventKind::EnterSizeMove, .files = {}});
}

}  // namespace tesmo::platform::qt
