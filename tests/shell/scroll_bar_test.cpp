#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "shell/scroll_bar.h"

namespace tesmo {
namespace {

using platform::ScrollBarKind;
using platform::ScrollInfo;
namespace key = platform::key;

class ScrollBars : public ::testing::Test {
 protected:
  ScrollBars() {
    window = fake.create_main_window(platform::MainWindowParams{});
    h = std::make_unique<ScrollBarControl>(*window, ScrollBarKind::Horizontal);
    v = std::make_unique<ScrollBarControl>(*window, ScrollBarKind::Vertical);
  }
  // An image of `length` pixels in a view of `page` pixels along `bar`.
  void make_scrollable(ScrollBarKind bar, int length, int page, int pos = 0) {
    window->set_scroll_info(bar, ScrollInfo{0, length - 1, page, pos}, true);
    ScrollBarControl& c = bar == ScrollBarKind::Horizontal ? *h : *v;
    c.page_step = 64;
    c.line_step = 16;
  }
  int pos(ScrollBarKind bar) { return window->scroll_info(bar).pos; }
  // The window's key handling: both bars are asked, messages go back to the bars.
  bool press(uint16_t k, bool control = false) {
    auto send = [this](ScrollBarKind bar, int code) {
      (bar == ScrollBarKind::Horizontal ? *h : *v).on_scroll(code, 0);
    };
    bool a = h->on_key(k, control, send);
    bool b = v->on_key(k, control, send);
    return a || b;
  }

  platform::FakePlatform fake;
  std::unique_ptr<platform::MainWindow> window;
  std::unique_ptr<ScrollBarControl> h, v;
};

TEST_F(ScrollBars, StartCoveringTheEmptyClientArea) {
  EXPECT_EQ(window->scroll_info(ScrollBarKind::Horizontal), (ScrollInfo{0, 399, 400, 0}));
  EXPECT_EQ(window->scroll_info(ScrollBarKind::Vertical), (ScrollInfo{0, 299, 300, 0}));
  EXPECT_FALSE(h->on_scroll(platform::LineDown, 0));
  EXPECT_FALSE(press(key::PageDown));
}

TEST_F(ScrollBars, MessagesMoveWithinTheReachableRange) {
  make_scrollable(ScrollBarKind::Vertical, 1000, 300, 100);  // positions 0…700
  struct Step {
    int code, thumb, expected;
    bool changed;
  };
  const Step steps[] = {
      {platform::LineUp, 0, 84, true},       {platform::PageUp, 0, 20, true},
      {platform::PageUp, 0, 0, true},        {platform::LineUp, 0, 0, false},
      {platform::Bottom, 0, 700, true},      {platform::LineDown, 0, 700, false},
      {platform::ThumbTrack, 350, 350, true}, {platform::ThumbPosition, 0x10000 + 5, 5, true},
      {platform::Top, 0, 0, true},           {platform::PageDown, 0, 64, true},
      {platform::EndScroll, 0, 64, false},   {9, 0, 64, false},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(v->on_scroll(s.code, s.thumb), s.changed) << s.code;
    EXPECT_EQ(pos(ScrollBarKind::Vertical), s.expected) << s.code;
  }
}

TEST_F(ScrollBars, PageDownMovesTwoPagesWhenBothBarsCanScroll) {
  make_scrollable(ScrollBarKind::Vertical, 2000, 300);
  EXPECT_TRUE(press(key::PageDown));
  EXPECT_EQ(pos(ScrollBarKind::Vertical), 64);
  make_scrollable(ScrollBarKind::Horizontal, 2000, 400);
  EXPECT_TRUE(press(key::PageDown));
  EXPECT_EQ(pos(ScrollBarKind::Vertical), 64 + 128);
  EXPECT_EQ(pos(ScrollBarKind::Horizontal), 0);
  EXPECT_TRUE(press(key::Right, true));  // Control+Right: the right end
  EXPECT_EQ(pos(ScrollBarKind::Horizontal), 1600);
  EXPECT_TRUE(press(key::Home));
  EXPECT_EQ(pos(ScrollBarKind::Horizontal), 0);
  EXPECT_EQ(pos(ScrollBarKind::Vertical), 0);
  EXPECT_TRUE(press(key::End));
  EXPECT_EQ(pos(ScrollBarKind::Vertical), 1700);
  EXPECT_TRUE(press(key::PageUp, true));  // Control+Page Up: horizontal page, twice
  EXPECT_EQ(pos(ScrollBarKind::Horizontal), 1600 - 128);
  EXPECT_FALSE(press(key::Space));
}

TEST_F(ScrollBars, OnlyTheHorizontalBarScrollable) {
  make_scrollable(ScrollBarKind::Horizontal, 2000, 400);
  EXPECT_TRUE(press(key::PageDown));  // handled by the horizontal bar, sent to the vertical one
  EXPECT_EQ(pos(ScrollBarKind::Vertical), 0);
  EXPECT_EQ(pos(ScrollBarKind::Horizontal), 0);
  EXPECT_TRUE(press(key::Right));
  EXPECT_EQ(pos(ScrollBarKind::Horizontal), 16);
}

}  // namespace
}  // namespace tesmo
