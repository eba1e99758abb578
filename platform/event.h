// What the window system tells the program: one record per message, in arrival order.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tesmo::platform {

enum class EventKind : uint8_t {
  Quit,           // ends the message loop; code = exit code
  Command,        // menu item or accelerator; code = command id
  KeyDown,        // code = key code (keys.h), modifiers = ModControl | ModShift | ModAlt
  KeyUp,
  MouseDown,      // code = button (MouseButton), x, y in client coordinates
  MouseUp,
  MouseMove,
  Wheel,          // value = wheel delta (120 per notch, positive forward), modifiers
  Scroll,         // code = scroll code (ScrollCode), value = thumb position, bar = 0 horizontal / 1 vertical
  Move,           // the window moved; x, y = new outer top-left
  Size,           // code = SizeKind
  Activate,       // code = ActivateKind
  Paint,
  Close,          // the user asked to close the window
  Destroy,        // the window is gone
  EnterSizeMove,  // the user started dragging the window (only where the window system can tell)
  ExitSizeMove,   // the user let go of it
  DropFiles,      // files = the dropped paths
};

enum class MouseButton : uint8_t { Left, Right, Middle, X1, X2 };

// Scroll codes of scroll-bar messages.
enum ScrollCode : int {
  LineUp = 0, LineDown = 1, PageUp = 2, PageDown = 3, ThumbPosition = 4, ThumbTrack = 5,
  Top = 6, Bottom = 7, EndScroll = 8,
};

enum SizeKind : int { Restored = 0, Minimized = 1, Maximized = 2, MaxShow = 3, MaxHide = 4 };
enum ActivateKind : int { Inactive = 0, Active = 1, ClickActive = 2 };

struct Event {
  EventKind kind = EventKind::Paint;
  int window = 0;  // 0 the main window; dialogs carry their own handle
  int code = 0;
  int value = 0;
  int bar = 0;
  int x = 0;
  int y = 0;
  uint8_t modifiers = 0;
  bool minimized = false;  // with Activate: the window is minimised
  std::vector<std::u16string> files;
};

}  // namespace tesmo::platform
