// Cut, copy, paste and the right-click copy through the fake platform's clipboard.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/application.h"
#include "app/commands.h"
#include "edit/clipboard.h"
#include "edit/edit.h"
#include "resources/command_ids.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "viewer/right_click.h"
#include "viewer/viewer_dialogs.h"
#include "viewer/zoom.h"

namespace tesmo {
namespace {

using platform::ClipboardBitmap;
using testing::surface_pixels;

constexpr int kW = 4, kH = 2;

// Rows of 32-bit words as the clipboard hands them over.
ClipboardBitmap bitmap32(int w, int h, const std::vector<uint32_t>& px) {
  ClipboardBitmap b{.width = w, .height = h, .bits = 32, .rows = std::vector<uint8_t>(px.size() * 4)};
  std::memcpy(b.rows.data(), px.data(), b.rows.size());
  return b;
}

std::vector<uint32_t> words(const ClipboardBitmap& b) {
  std::vector<uint32_t> px(b.rows.size() / 4);
  std::memcpy(px.data(), b.rows.data(), px.size() * 4);
  return px;
}

class Clipboard : public ::testing::Test {
 protected:
  void start() {
    app = testing::make_fake_viewer(fake, tmp.folder());
    app->shell.active = true;
  }
  void open(bool alpha, const std::vector<uint32_t>& px) {
    start();
    ASSERT_EQ(testing::open_picture(*app, tmp.folder() + u"pic.bmp", px, kW, kH, alpha), 0);
  }
  void open(bool alpha) {
    std::vector<uint32_t> px;
    for (uint32_t i = 0; i < kW * kH; ++i) px.push_back((40 * i) << 24 | (0x102030u + i * 0x0A0B0Cu));
    open(alpha, px);
  }
  std::vector<uint32_t> pixels(int32_t key) { return surface_pixels(*app, key); }
  bool enabled(uint16_t id) { return app->shell.window->menu().is_enabled(id); }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(Clipboard, CopyTakesTheDisplayedSurface) {
  open(true);
  dispatch_command(*app, cmd::Copy);
  ASSERT_TRUE(fake.clipboard_picture);
  EXPECT_EQ(fake.clipboard_picture->width, kW);
  EXPECT_EQ(fake.clipboard_picture->height, kH);
  EXPECT_EQ(words(*fake.clipboard_picture), pixels(kKeyImage));
  dispatch_command(*app, cmd::ChannelAlpha);
  dispatch_command(*app, cmd::Copy);
  EXPECT_EQ(words(*fake.clipboard_picture), pixels(kKeyAlpha));
  EXPECT_TRUE(app->doc.edit_history.empty());  // copying is no edit
  EXPECT_FALSE(app->doc.view().flags & kModified);
}

TEST_F(Clipboard, CutPutsTheViewOnTheClipboardAndClearsThePicture) {
  open(false);
  const auto image = pixels(kKeyImage);
  app->viewer.frame_update(0);
  const auto view = pixels(kKeyBackBuffer);
  fake.refuse_clipboard = true;  // a cut the clipboard does not take keeps the picture
  EXPECT_EQ(clipboard_cut(app->edit), 1);
  EXPECT_EQ(pixels(kKeyImage), image);
  EXPECT_TRUE(app->doc.edit_history.empty());

  fake.refuse_clipboard = false;
  dispatch_command(*app, cmd::Cut);
  ASSERT_TRUE(fake.clipboard_picture);
  EXPECT_EQ(fake.clipboard_picture->width, 400);  // the back buffer's size, not the picture's
  EXPECT_EQ(fake.clipboard_picture->height, 300);
  EXPECT_EQ(words(*fake.clipboard_picture), view);
  EXPECT_EQ(pixels(kKeyImage), std::vector<uint32_t>(kW * kH, 0));
  EXPECT_EQ(surface_find(app->doc.surfaces(), 14), nullptr);
  EXPECT_TRUE(app->doc.view().flags & kModified);
  EXPECT_EQ(app->doc.edit_history, std::vector<std::u16string>{u"カット"});
  dispatch_command(*app, cmd::Undo);
  EXPECT_EQ(pixels(kKeyImage), image);

  dispatch_command(*app, cmd::ChannelAlpha);  // greyed without an alpha channel: the view stays
  dispatch_command(*app, cmd::AlphaNew);
  dispatch_command(*app, cmd::ChannelAlpha);
  dispatch_command(*app, cmd::Cut);
  EXPECT_EQ(pixels(kKeyAlpha), std::vector<uint32_t>(kW * kH, 0));
  EXPECT_EQ(pixels(kKeyImage), image);
}

TEST_F(Clipboard, PasteInTheAlphaViewWritesGreyCutAtThePicture) {
  open(true);
  const auto image = pixels(kKeyImage), alpha = pixels(kKeyAlpha);
  dispatch_command(*app, cmd::ChannelAlpha);
  // 6 × 1: wider than the picture, one row high. Greys by hand: (151 R + 77 G + 28 B) >> 8.
  fake.clipboard_picture =
      bitmap32(6, 1, {0xFFC86432u, 0x00FF0000u, 0x8000FF00u, 0x000000FFu, 0x00FFFFFFu, 0x00123456u});
  dispatch_command(*app, cmd::Paste);
  std::vector<uint32_t> expected = alpha;
  const uint32_t greys[] = {153, 150, 76, 27};
  for (int x = 0; x < kW; ++x) expected[x] = greys[x] * 0x010101u;
  EXPECT_EQ(pixels(kKeyAlpha), expected);
  EXPECT_EQ(pixels(kKeyImage), image);
  EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyWork), nullptr);
  EXPECT_EQ(app->doc.edit_history, std::vector<std::u16string>{u"ペースト"});
  dispatch_command(*app, cmd::Undo);
  EXPECT_EQ(pixels(kKeyAlpha), alpha);
}

TEST_F(Clipboard, PastedRowsOf24BitsBecomeOpaquePixels) {
  open(false);
  const auto image = pixels(kKeyImage);
  // 3 × 2 in 24 bits: rows of 9 bytes padded to 12; the padding must not show.
  ClipboardBitmap b{.width = 3, .height = 2, .bits = 24,
                    .rows = {1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE, 10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE,
                             0xEE, 0xEE}};
  fake.clipboard_picture = b;
  dispatch_command(*app, cmd::Paste);
  std::vector<uint32_t> expected = image;
  const uint32_t pasted[2][3] = {{0xFF030201u, 0xFF060504u, 0xFF090807u}, {0xFF0C0B0Au, 0xFF0F0E0Du, 0xFF121110u}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 3; ++x) expected[y * kW + x] = pasted[y][x];
  }
  EXPECT_EQ(pixels(kKeyImage), expected);
  EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyEditInput), nullptr);
  EXPECT_TRUE(app->doc.view().flags & kModified);
}

TEST_F(Clipboard, PasteWithNothingShownMakesAPictureOfTheBitmapsSize) {
  struct Case {
    int bits;
    bool alpha_channel;
  };
  for (const Case c : {Case{24, false}, Case{32, true}}) {
    start();
    EXPECT_TRUE(enabled(cmd::Paste));
    EXPECT_EQ(clipboard_copy(app->edit), 1);  // nothing to copy
    std::vector<uint32_t> px(15);
    for (uint32_t i = 0; i < px.size(); ++i) px[i] = 0xFF000000u | i * 0x030201u;
    ClipboardBitmap b = bitmap32(5, 3, px);
    if (c.bits == 24) {  // the same colours in rows of 15 bytes padded to 16
      b.bits = 24;
      b.rows.assign(48, 0);
      for (int i = 0; i < 15; ++i) std::memcpy(&b.rows[(i / 5) * 16 + (i % 5) * 3], &px[i], 3);
    }
    fake.clipboard_picture = b;
    dispatch_command(*app, cmd::Paste);
    ASSERT_TRUE(app->doc.view().flags & kImageShown) << c.bits;
    EXPECT_EQ(app->doc.view().image_width, 5);
    EXPECT_EQ(app->doc.view().image_height, 3);
    EXPECT_EQ(app->doc.view().display_name, u"<新規作成>");
    EXPECT_EQ(pixels(kKeyImage), px) << c.bits;
    EXPECT_EQ(enabled(cmd::ChannelAlpha), c.alpha_channel);
    EXPECT_EQ(app->doc.edit_history, std::vector<std::u16string>{u"ペースト"});
  }
}

TEST_F(Clipboard, PasteOfNothingUsableChangesNothing) {
  open(false);
  const auto image = pixels(kKeyImage);
  ClipboardBitmap palette{.width = 2, .height = 2, .bits = 8, .rows = std::vector<uint8_t>(8, 1)};
  ClipboardBitmap short_rows = bitmap32(2, 2, {1, 2, 3});
  short_rows.height = 2;
  ClipboardBitmap short24{.width = 3, .height = 2, .bits = 24, .rows = std::vector<uint8_t>(20, 1)};
  ClipboardBitmap empty{.width = 0, .height = 2, .bits = 32, .rows = {}};
  const std::optional<ClipboardBitmap> cases[] = {std::nullopt, palette, short_rows, short24, empty};
  for (const auto& c : cases) {
    fake.clipboard_picture = c;
    EXPECT_EQ(clipboard_paste(app->edit), 1);
    EXPECT_EQ(pixels(kKeyImage), image);
    EXPECT_TRUE(app->doc.edit_history.empty());
    EXPECT_FALSE(app->doc.view().flags & kModified);
  }
}

// The options as the menu holds them; the right button pressed over client point `at`.
TEST_F(Clipboard, RightClickCopiesTheCheckedPartsInOrder) {
  open(false, std::vector<uint32_t>(kW * kH, 0xFFFF0000u));  // pure red
  struct Case {
    bool xy, decimal, hex;
    platform::Point at;
    std::optional<std::string> text;
  };
  const Case cases[] = {
      {false, false, true, {1, 1}, "0x00FF0000"},
      {true, true, true, {2, 1}, "2, 1, 255,   0,   0, 0x00FF0000"},
      {false, true, false, {100, 100}, "  0,   0, 255"},  // the blue background beside the picture
      {true, false, true, {-5, 10}, "-5, 10"},            // off the back buffer: the position only
      {false, false, true, {-5, 10}, std::nullopt},
      {false, false, false, {1, 1}, std::nullopt},
  };
  SystemSettings& s = app->shell.settings();
  for (const Case& c : cases) {
    s.right_click_xy = c.xy;
    s.right_click_rgb_decimal = c.decimal;
    s.right_click_rgb_hex = c.hex;
    fake.clipboard_text.reset();
    fake.window->cursor = c.at;
    app->viewer.frame_update(0);
    set_button(app->viewer.input, kRightButton, true);
    app->viewer.frame_update(0);
    set_button(app->viewer.input, kRightButton, false);
    app->viewer.frame_update(0);
    EXPECT_EQ(fake.clipboard_text, c.text) << c.at.x << "," << c.at.y;
  }
  // At 200 % the position is in picture pixels: client (7, 3) is picture pixel (3, 1).
  set_zoom(app->viewer, 2 * kZoomActual, 2 * kZoomActual);
  s.right_click_xy = 1;
  s.right_click_rgb_hex = 1;
  fake.window->cursor = {7, 3};
  app->viewer.frame_update(0);
  EXPECT_EQ(right_click_text(app->viewer), "3, 1, 0x00FF0000");
}

TEST_F(Clipboard, RightClickOptionsToggleAndWriteTheSettings) {
  open(false);
  const uint16_t ids[] = {cmd::RightClickXY, cmd::RightClickRgbDecimal, cmd::RightClickRgbHex};
  for (int k = 0; k < 3; ++k) {
    for (bool on : {true, false}) {
      dispatch_command(*app, ids[k]);
      EXPECT_EQ(app->shell.window->menu().is_checked(ids[k]), on);
      Application reloaded(tmp.folder());  // what the settings file holds now
      const SystemSettings& s = reloaded.shell.settings();
      const int32_t fields[] = {s.right_click_xy, s.right_click_rgb_decimal, s.right_click_rgb_hex};
      for (int j = 0; j < 3; ++j) EXPECT_EQ(fields[j], j == k && on ? 1 : 0) << k << " " << j;
    }
  }
  EXPECT_EQ(toggle_right_click_option(app->viewer, 3), 1);
}

}  // namespace
}  // namespace tesmo
