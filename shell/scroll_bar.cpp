// Scroll-bar messages and keys. A key goes to both bars in turn (the window asks each), so a key
// both bars can act on acts twice when both can scroll: Page Down then moves two pages.
#include "shell/scroll_bar.h"

#include <algorithm>

#include "platform/event.h"
#include "platform/keys.h"

namespace tesmo {

using platform::ScrollBarKind;
namespace sc = platform;  // scroll codes live in the platform namespace

ScrollBarControl::ScrollBarControl(platform::MainWindow& window, ScrollBarKind kind)
    : window_(window), kind_(kind) {
  int length = kind == ScrollBarKind::Horizontal ? 400 : 300;
  window_.set_scroll_info(kind_, platform::ScrollInfo{0, length - 1, length, 0}, true);
}

bool ScrollBarControl::can_scroll() const {
  platform::ScrollInfo info = window_.scroll_info(kind_);
  return info.page < info.max + 1;
}

bool ScrollBarControl::on_scroll(int code, int thumb_position) {
  if (!can_scroll()) return false;
  platform::ScrollInfo info = window_.scroll_info(kind_);
  const int last = info.max - info.page + 1;
  int pos = info.pos;
  switch (code) {
    case sc::LineUp: pos -= line_step; break;
    case sc::LineDown: pos += line_step; break;
    case sc::PageUp: pos -= page_step; break;
    case sc::PageDown: pos += page_step; break;
    case sc::ThumbPosition:
    case sc::ThumbTrack: pos = thumb_position & 0xFFFF; break;
    case sc::Top: pos = 0; break;
    case sc::Bottom: pos = last; break;
    default: return false;
  }
  pos = std::clamp(pos, 0, last);
  if (pos == info.pos) return false;
  info.pos = pos;
  window_.set_scroll_info(kind_, info, true);
  return true;
}

bool ScrollBarControl::on_key(uint16_t key, bool control, const SendScroll& send) const {
  namespace k = platform::key;
  if (!can_scroll()) return false;
  const auto h = ScrollBarKind::Horizontal;
  const auto v = ScrollBarKind::Vertical;
  switch (key) {
    case k::PageUp: send(control ? h : v, sc::PageUp); return true;
    case k::PageDown: send(control ? h : v, sc::PageDown); return true;
    case k::End: send(h, sc::Bottom); send(v, sc::Bottom); return true;
    case k::Home: send(h, sc::Top); send(v, sc::Top); return true;
    case k::Left: send(h, control ? sc::Top : sc::LineUp); return true;
    case k::Up: send(v, control ? sc::Top : sc::LineUp); return true;
    case k::Right: send(h, control ? sc::Bottom : sc::LineDown); return true;
    case k::Down: send(v, control ? sc::Bottom : sc::LineDown); return true;
    default: return false;
  }
}

}  // namespace tesmo
