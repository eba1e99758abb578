// The queue between the Qt widgets, which push one Event per window-system message, and the
// system's own message loop, which pops them in arrival order.
//
// Events are written as designated initializers that name `.files = {}` even when empty: the file
// list has no default member initializer, and leaving it out draws -Wmissing-field-initializers.
#pragma once

#include <deque>
#include <utility>

#include "platform/event.h"

namespace tesmo::platform::qt {

class EventQueue {
 public:
  void push(Event e) { events_.push_back(std::move(e)); }

  // Queues a Paint unless one is already waiting: repaint requests coalesce into one.
  void push_paint() {
    for (const Event& e : events_) {
      if (e.kind == EventKind::Paint) return;
    }
    events_.push_back(Event{.kind = EventKind::Paint, .files = {}});
  }

  // Takes the oldest event; false when none is waiting.
  bool pop(Event& out) {
    if (events_.empty()) return false;
    out = std::move(events_.front());
    events_.pop_front();
    return true;
  }

  bool empty() const { return events_.empty(); }

 private:
  std::deque<Event> events_;
};

}  // namespace tesmo::platform::qt
