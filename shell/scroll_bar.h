// One of the main window's two scroll bars: how scroll messages and keys move it.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/window.h"

namespace tesmo {

class ScrollBarControl {
 public:
  // Delivers a scroll message (bar, scroll code) to the window, as a key press does.
  using SendScroll = std::function<void(platform::ScrollBarKind bar, int code)>;

  // Creates the bar's state: horizontal 0…399 with page 400, vertical 0…299 with page 300,
  // position 0, applied with redraw. Line and page steps start at 0 (the layout sets them).
  ScrollBarControl(platform::MainWindow& window, platform::ScrollBarKind kind);

  // A scroll message: moves by the code (line / page steps, top, bottom, thumb position) within
  // 0 … max − page + 1. True when the position changed (the bar is then updated with redraw).
  // Nothing moves while the page covers the whole range, or for codes 8 and above.
  bool on_scroll(int code, int thumb_position);

  // A key press: Page Up / Down, Home, End and the arrows become scroll messages sent through
  // `send` (Control picks the horizontal page, or the ends for the arrows). True when handled;
  // a bar that cannot scroll handles nothing.
  bool on_key(uint16_t key, bool control, const SendScroll& send) const;

  platform::ScrollBarKind kind() const { return kind_; }
  bool can_scroll() const;

  int line_step = 0;
  int page_step = 0;

 private:
  platform::MainWindow& window_;
  platform::ScrollBarKind kind_;
};

}  // namespace tesmo
