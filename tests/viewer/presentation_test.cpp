// Window layout, title and frame composition through the fake platform (work area 1920 × 1040,
// caption 23, menu 20, frame 3, scroll bars 17).
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/main_window.h"
#include "document/modified_mark.h"
#include "platform/fake/fake_glyphs.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/resources.h"
#include "shell/menu_options.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "viewer/frame_update.h"
#include "viewer/presentation.h"
#include "viewer/zoom.h"

namespace tesmo {
namespace {

using platform::ScrollBarKind;

class Presentation : public ::testing::Test {
 protected:
  Presentation() {
    app = testing::make_fake_viewer(fake, tmp.folder());
  }
  platform::Menu& menu() { return app->shell.window->menu(); }
  // A picture of one colour in surface 1, shown at 100 % and laid out.
  void show(int w, int h, uint32_t colour = 0xFF336699u, uint32_t flags = 0) {
    SurfaceTable& t = app->doc.surfaces();
    ASSERT_EQ(surface_create(t, kKeyImage, w, h), 0);
    for (uint32_t& p : surface_find(t, kKeyImage)->picture()) p = colour;
    ViewState& v = app->doc.view();
    v.flags = kImageShown | flags;
    v.displayed_surface = kKeyImage;
    v.image_width = v.decoded_width = w;
    v.image_height = v.decoded_height = h;
    v.zoom_x = v.zoom_y = kZoomActual;
    v.path = u"/pics/p.bmp";
    layout_window(app->viewer);
  }
  platform::Rect client() { return app->shell.window->client_rect(); }
  platform::ScrollInfo bar(ScrollBarKind k) { return app->shell.window->scroll_info(k); }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(Presentation, SmallPictureGetsTheMinimumClientAreaWithoutBars) {
  show(100, 100);
  EXPECT_EQ(client().width(), 400);
  EXPECT_EQ(client().height(), 300);
  EXPECT_FALSE(app->shell.window->style().vscroll || app->shell.window->style().hscroll);
  const Surface* back = surface_find(app->doc.surfaces(), kKeyBackBuffer);
  ASSERT_NE(back, nullptr);
  EXPECT_EQ(back->width, 400);
  EXPECT_EQ(back->height, 300);
  EXPECT_EQ(app->doc.surfaces().clip, (Rect{0, 0, 400, 300}));
  // Background colour bytes red, green, blue, 0 (default blue).
  EXPECT_EQ(back->pixels()[0], 0x000000FFu);
}

TEST_F(Presentation, LargePictureFitsOnceAndZoomingInIsNotUndone) {
  menu().set_checked(cmd::ScaleDownToFit, true);
  show(4000, 3000);
  // Both bars show at 100 %, so the client size already holds them: min(1914 × 25600 / 4000,
  // 991 × 25600 / 3000) = min(12249, 8456).
  EXPECT_EQ(app->doc.view().zoom_x, 8456);
  EXPECT_EQ(app->doc.view().zoom_y, 8456);
  EXPECT_FALSE(app->shell.window->style().vscroll || app->shell.window->style().hscroll);
  EXPECT_EQ(client().width(), 1321);   // 4000 × 8456 / 25600
  EXPECT_EQ(client().height(), 990);   // within the height limit of 991
  set_zoom(app->viewer, 25600, 25600);
  EXPECT_EQ(app->doc.view().zoom_x, 25600);
}

// Started as the program starts (fit when larger than the window is the default), a picture larger
// than the work area is shown whole, without scroll bars, whichever side limits it and whichever
// bars it needed at 100 %.
TEST(PresentationStart, FitShowsTheWholePictureWithoutBars) {
  struct Case {
    int w, h;
    int32_t zoom;  // the fit: the room without bars (1914 × 991) over the size at 100 %
  };
  const Case cases[] = {
      {2000, 1500, 991 * 25600 / 1500},  // both bars at 100 %, the height limits
      {2400, 1200, 1914 * 25600 / 2400},  // both bars, the width limits
      {2400, 600, 1914 * 25600 / 2400},   // only the horizontal bar
      {600, 1500, 991 * 25600 / 1500},    // only the vertical bar
  };
  for (const Case& c : cases) {
    testing::TempFolder tmp;
    platform::FakePlatform fake;
    Application app(tmp.folder());
    const std::u16string path = tmp.file("big.bmp");
    ASSERT_EQ(testing::write_flat_bmp(path, c.w, c.h), 0);
    testing::start_viewer(app, fake, path);
    const int zw = c.w * app.doc.view().zoom_x / 25600, zh = c.h * app.doc.view().zoom_y / 25600;
    EXPECT_EQ(app.doc.view().zoom_x, c.zoom) << c.w << "x" << c.h;
    EXPECT_FALSE(fake.window->style().vscroll || fake.window->style().hscroll) << c.w << "x" << c.h;
    EXPECT_LE(zw, fake.window->client_rect().width()) << c.w << "x" << c.h;
    EXPECT_LE(zh, fake.window->client_rect().height()) << c.w << "x" << c.h;
  }
}

// The frame-rate box goes over the presented picture only: surface 0, which the cursor bar and the
// colour copy read, keeps the frame.
TEST(PresentationStart, FrameRateBoxIsDrawnOnPaintOnly) {
  testing::TempFolder tmp;
  platform::FakePlatform fake;
  Application app(tmp.folder());
  app.shell.settings().fps_display = 1;
  app.shell.glyphs = std::make_unique<platform::FakeGlyphService>();
  const std::u16string path = tmp.file("small.bmp");
  ASSERT_EQ(testing::write_flat_bmp(path, 100, 100, 0xFF336699u), 0);
  testing::start_viewer(app, fake, path);
  app.viewer.frame_update(0);
  const std::vector<uint32_t> frame = testing::surface_pixels(app, kKeyBackBuffer);
  ASSERT_FALSE(frame.empty());
  EXPECT_EQ(frame[0] & 0xFFFFFF, 0x336699u);
  handle_main_window_event(app, platform::Event{.kind = platform::EventKind::Paint});
  EXPECT_EQ(testing::surface_pixels(app, kKeyBackBuffer), frame);
  ASSERT_EQ(fake.window->presented.size(), frame.size());
  EXPECT_EQ(fake.window->presented[0] & 0xFFFFFF, 0x404040u);
  EXPECT_EQ(fake.window->presented.back(), frame.back());
}

TEST_F(Presentation, ScaleUpEnlargesOnlyPicturesOfAtLeastTheMinimumSize) {
  menu().set_checked(cmd::ScaleDownToFit, false);
  menu().set_checked(cmd::ScaleUpToFit, true);
  show(1000, 700);
  EXPECT_EQ(app->doc.view().zoom_x, 36242);  // min(1914 × 25600 / 1000, 991 × 25600 / 700)
  EXPECT_EQ(client().width(), 1415);
  EXPECT_EQ(client().height(), 990);
  show(300, 200);
  EXPECT_EQ(app->doc.view().zoom_x, kZoomActual);
  EXPECT_EQ(client().width(), 400);
}

TEST_F(Presentation, ZoomingKeepsTheScrollPlace) {
  menu().set_checked(cmd::ScaleDownToFit, false);
  show(4000, 3000);
  // The empty window's bars could not scroll, which counts as the middle: a large picture opens
  // centred, (4000 − 1897) × 50 / 100 and (3000 − 974) × 50 / 100.
  EXPECT_EQ(bar(ScrollBarKind::Horizontal), (platform::ScrollInfo{0, 3999, 1897, 1051}));
  EXPECT_EQ(bar(ScrollBarKind::Vertical), (platform::ScrollInfo{0, 2999, 974, 1013}));
  EXPECT_EQ(app->shell.hbar->page_step, 64);
  EXPECT_EQ(app->shell.hbar->line_step, 16);
  set_zoom(app->viewer, 51200, 51200);
  // ratio 1051 × 100 / (3999 − 1897) = 50; (8000 − 1897) × 50 / 100 = 3051
  EXPECT_EQ(bar(ScrollBarKind::Horizontal).pos, 3051);
  EXPECT_EQ(app->shell.hbar->page_step, 128);
}

TEST_F(Presentation, CentreOfTheWindowIsKeptUnlessThePlaceIsKept) {
  show(400, 300);
  platform::Rect before = app->shell.window->window_rect();
  show(600, 500);
  platform::Rect after = app->shell.window->window_rect();
  EXPECT_EQ(after.left, before.left - 100);
  EXPECT_EQ(after.top, before.top - 100);
  show(400, 300, 0xFF000000u, kKeepPlace);
  EXPECT_EQ(app->shell.window->window_rect().left, after.left);
  EXPECT_FALSE(app->doc.view().flags & kKeepPlace);  // the layout clears it
  menu().set_checked(cmd::ReferenceCenter, false);
  platform::Rect left_top = app->shell.window->window_rect();
  show(800, 600);
  EXPECT_EQ(app->shell.window->window_rect().left, left_top.left);
}

TEST_F(Presentation, TitlesInTheFourForms) {
  show(640, 480);
  EXPECT_EQ(app->shell.window->title(), u"/pics/p.bmp (100.00% / 640x480) - Tesmo64");
  set_modified(app->doc, 1);
  EXPECT_EQ(app->shell.window->title(), u"* /pics/p.bmp (100.00% / 640x480) - Tesmo64");
  EXPECT_TRUE(menu().is_enabled(cmd::Save));
  app->doc.view().rotation = 90;
  app->doc.view().zoom_x = 3200;
  EXPECT_EQ(window_title(app->doc, true), u"* /pics/p.bmp (12.50% / 640x480 / 90) - Tesmo64");
  EXPECT_EQ(window_title(app->doc, false), u"/pics/p.bmp (12.50% / 640x480 / 90) - Tesmo64");
  set_modified(app->doc, 0);
  EXPECT_FALSE(menu().is_enabled(cmd::Save));
  update_title(app->doc, -1);
  EXPECT_EQ(app->shell.window->title(), u"Tesmo64");
}

TEST_F(Presentation, FullScreenCentresASmallPicture) {
  show(100, 80, 0xFF112233u);
  app->doc.view().flags |= kFullScreen;
  layout_window(app->viewer);
  frame_update(app->viewer, 0);
  const Surface* back = surface_find(app->doc.surfaces(), kKeyBackBuffer);
  ASSERT_EQ(back->width, 1920);
  ASSERT_EQ(back->height, 1080);
  const int x0 = (1920 - 100) / 2, y0 = (1080 - 80) / 2;
  EXPECT_EQ(back->pixels()[y0 * 1920 + x0] & 0xFFFFFF, 0x112233u);
  EXPECT_EQ(back->pixels()[(y0 + 79) * 1920 + x0 + 99] & 0xFFFFFF, 0x112233u);
  EXPECT_EQ(back->pixels()[(y0 - 1) * 1920 + x0], 0x000000FFu);  // background around it
  EXPECT_EQ(back->pixels()[y0 * 1920 + x0 - 1], 0x000000FFu);
}

TEST_F(Presentation, HiddenRedIsClearedOnlyInTheRgbView) {
  show(400, 300, 0xFF8040C0u);
  menu().set_checked(cmd::VisibleR, false);
  frame_update(app->viewer, 0);
  const Surface* back = surface_find(app->doc.surfaces(), kKeyBackBuffer);
  EXPECT_EQ(back->pixels()[0] & 0xFFFFFF, 0x000040C0u);
  ASSERT_EQ(surface_create(app->doc.surfaces(), kKeyAlpha, 400, 300), 0);
  surface_fill(app->doc.surfaces(), kKeyAlpha, 0x80, 0x80, 0x80, 0xFF);
  app->doc.view().displayed_surface = kKeyAlpha;
  frame_update(app->viewer, 0);
  EXPECT_EQ(back->pixels()[0] & 0xFFFFFF, 0x00808080u);
}

TEST_F(Presentation, NoPictureNoFrame) {
  frame_update(app->viewer, 0);
  EXPECT_EQ(app->viewer.frames_drawn(), 0u);
  EXPECT_TRUE(fake.events.empty());  // nothing invalidated
  show(400, 300);
  frame_update(app->viewer, 0);
  EXPECT_EQ(app->viewer.frames_drawn(), 1u);
  EXPECT_TRUE(app->doc.view().flags & kFrameDrawn);
}

TEST_F(Presentation, TwoWheelNotchesWithinTheIntervalZoomOnce) {
  show(800, 600);
  enable_image_commands(menu(), ShownPicture{false, 800, 600, false, false});
  const platform::Event notch{.kind = platform::EventKind::Wheel, .value = 120,
                              .modifiers = platform::key::ModControl};  // Control + forward: zoom out (precise)
  fake.clock_ms = 5000;
  handle_main_window_event(*app, notch);
  fake.clock_ms += 49;
  handle_main_window_event(*app, notch);
  EXPECT_EQ(app->doc.view().zoom_x, 23040);  // 90 %, once
  fake.clock_ms += 1;
  handle_main_window_event(*app, notch);
  EXPECT_EQ(app->doc.view().zoom_x, 20480);  // 50 ms later the next notch counts
  // Without a picture the zoom items are greyed and nothing happens.
  disable_image_commands(menu());
  fake.clock_ms += 100;
  handle_main_window_event(*app, notch);
  EXPECT_EQ(app->doc.view().zoom_x, 20480);
}

TEST_F(Presentation, HalfZoomDrawsTheScaledPicture) {
  show(1000, 800, 0xFF445566u);
  set_zoom(app->viewer, 12800, 12800);
  frame_update(app->viewer, 0);
  const Surface* back = surface_find(app->doc.surfaces(), kKeyBackBuffer);
  ASSERT_EQ(back->width, 500);
  EXPECT_EQ(back->pixels()[399 * 500 + 499] & 0xFFFFFF, 0x445566u);
}

}  // namespace
}  // namespace tesmo
