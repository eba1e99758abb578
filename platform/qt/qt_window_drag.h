// The start and end of the user dragging the main window. Qt reports neither: on X11 the window
// manager drags the frame while it holds the pointer, so the window sees no press and no release,
// and some window managers tell the window its new place only when the drag is over. So the window
// system itself is asked, a few times a second, whether a mouse button is held and where the window
// really is: the window moving under a held button, not by the program, is a drag, which lasts
// until no button is held any more.
#pragma once

#include <QElapsedTimer>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <optional>

#include "platform/qt/qt_event_queue.h"

class QWidget;

namespace tesmo::platform::qt {

// What the window system says at one moment.
struct PointerSample {
  bool button_held = false;  // any mouse button, anywhere on the screen
  QPoint place;              // the window's real top-left on the screen
};

// Asks about `window`; nullopt when the window system cannot tell (then no drag is ever reported).
using PointerProbe = std::function<std::optional<PointerSample>(const QWidget& window)>;

// The running window system's answer: X11 asks the server; other window systems cannot tell.
PointerProbe window_system_probe();

// Queues EnterSizeMove when a drag of `window` starts and ExitSizeMove when it ends.
class DragWatch {
 public:
  DragWatch(EventQueue& queue, const QWidget& window, PointerProbe probe);

  // The program placed the window itself: the window settling there is not a drag.
  void placed_by_program();
  void set_probe(PointerProbe probe) { probe_ = std::move(probe); }

 private:
  void poll();

  EventQueue& queue_;
  const QWidget& window_;
  PointerProbe probe_;
  QTimer timer_;
  QElapsedTimer since_program_move_;
  std::optional<QPoint> last_place_;
  bool dragging_ = false;
};

}  // namespace tesmo::platform::qt
