// The viewer's start, message loop and close, driven through the fake platform.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "base/bytes.h"
#include "base/file_io.h"
#include "formats/bmp/bmp.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "surface/surface.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"

namespace tesmo {
namespace {

using platform::Event;
using platform::EventKind;
namespace key = platform::key;

class Viewer : public ::testing::Test {
 protected:
  int run(std::vector<std::u16string> args = {u"tesmo64"}) {
    app = std::make_unique<Application>(tmp.folder());
    return run_viewer(*app, fake, parse_command_line(args));
  }
  std::vector<uint8_t> settings_file() { return read_file(tmp.folder() + u"savedata/system.sav").value(); }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(Viewer, FirstStartLetsTheSystemPlaceTheWindowAndCloseStoresIt) {
  fake.push(Event{.kind = EventKind::Close});
  EXPECT_EQ(run(), 0);
  platform::FakeWindow& w = *fake.window;
  EXPECT_STREQ(w.class_name(), "ZUK_TESMO");
  EXPECT_EQ(w.title(), u"Tesmo64");
  EXPECT_TRUE(w.system_chose_position);
  EXPECT_EQ(w.client_rect().width(), 400);
  EXPECT_EQ(w.client_rect().height(), 300);
  const platform::WindowStyle style = w.style();
  EXPECT_TRUE(style.caption && style.system_menu && style.minimize_box);
  EXPECT_FALSE(style.maximize_box || style.sizing_border || style.hscroll || style.vscroll);
  EXPECT_TRUE(w.destroyed);
  EXPECT_FALSE(w.menu_attached);
  auto f = settings_file();
  EXPECT_EQ(static_cast<int32_t>(load_u32le(f, 9576)), fake.system_position.x);
  EXPECT_EQ(static_cast<int32_t>(load_u32le(f, 9580)), fake.system_position.y);
}

// The icon of every window: one picture in the sizes desktops use, each a picture with a transparent
// corner and an opaque middle, handed to the window system as the viewer starts.
TEST_F(Viewer, TheProgramIconReachesTheWindowSystemInEverySize) {
  fake.push(Event{.kind = EventKind::Close});
  run();
  const int32_t sizes[] = {16, 24, 32, 48, 64, 128, 256};
  ASSERT_EQ(fake.program_icon.size(), std::size(sizes));
  for (size_t i = 0; i < std::size(sizes); ++i) {
    SurfaceTable t;
    ASSERT_EQ(surface_load(t, 1, std::span<const uint8_t>(fake.program_icon[i]), false), 0) << sizes[i];
    const Surface& s = *surface_find(t, 1);
    EXPECT_EQ(s.width, sizes[i]);
    EXPECT_EQ(s.height, sizes[i]);
    EXPECT_EQ(s.pixels()[0] >> 24, 0u) << sizes[i];
    EXPECT_EQ(s.pixels()[sizes[i] / 2 * sizes[i] + sizes[i] / 2] >> 24, 255u) << sizes[i];
  }
}

TEST_F(Viewer, OpensAtTheStoredPlace) {
  {
    SettingsStore store(tmp.folder());
    store.settings().window_x = -50;
    store.settings().window_y = 700;
    ASSERT_EQ(store.save(), 0);
  }
  fake.push(Event{.kind = EventKind::Close});
  run();
  EXPECT_FALSE(fake.window->system_chose_position);
  EXPECT_EQ(fake.window->window_rect().left, -50);
  EXPECT_EQ(fake.window->window_rect().top, 700);
  EXPECT_EQ(fake.window->client_rect().width(), 400);
}

TEST_F(Viewer, RefusedWindowEndsTheRunWithZero) {
  fake.refuse_window = true;
  EXPECT_EQ(run(), 0);
  EXPECT_EQ(fake.window, nullptr);
}

TEST_F(Viewer, StartFileAndSwitches) {
  fake.push(Event{.kind = EventKind::Close});
  run({u"tesmo64", u"/f", u"/x/pic.bmp"});
  EXPECT_EQ(app->viewer.last_open_request, u"/f");  // the path is always argument 1
}

TEST_F(Viewer, TheCommandLinePictureLandsInSurfaceOne) {
  const std::vector<uint32_t> px = {0xFF102030u, 0xFF405060u, 0xFF708090u, 0xFFA0B0C0u, 0xFFD0E0F0u, 0xFF000000u};
  std::u16string path = tmp.file("pic.bmp");
  ASSERT_EQ(file_replace(path, bmp::encode(px, 3, 2, 5)), 0);
  fake.max_idle_polls = 2;  // no close: the run ends when the script does, the picture stays
  EXPECT_EQ(run({u"tesmo64", path}), -99);
  const Surface* image = surface_find(app->doc.surfaces(), kKeyImage);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->width, 3);
  EXPECT_EQ(std::vector<uint32_t>(image->picture().begin(), image->picture().end()), px);
  EXPECT_EQ(app->doc.view().image_width, 3);
  EXPECT_TRUE(app->doc.view().flags & kImageShown);
  // A list index (archive-entry mode 0) is refused; a file no reader accepts leaves nothing shown.
  EXPECT_EQ(app->viewer.open_file(path, 16, 0), 1);
  EXPECT_EQ(app->viewer.open_file(tmp.file("missing.bmp"), -1, -1), 1);
  EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyImage), nullptr);
}

// An active window composes a frame after each event and then sleeps until the next one; an
// inactive window only waits.
TEST_F(Viewer, AnActiveWindowComposesAfterEachEventThenSleeps) {
  const Event arrivals[] = {
      {.kind = EventKind::KeyDown, .code = key::Shift}, {.kind = EventKind::KeyUp, .code = key::Shift},
      {.kind = EventKind::MouseMove, .x = 5, .y = 5},   {.kind = EventKind::Wheel},
      {.kind = EventKind::Move, .x = 120, .y = 90},
      {.kind = EventKind::Size, .code = platform::Restored}};
  fake.push(Event{.kind = EventKind::Activate, .code = platform::ClickActive});
  for (const Event& e : arrivals) fake.events_while_waiting.push_back(e);
  EXPECT_EQ(run(), -99);  // the fake ends the run when its script is exhausted
  const uint32_t events = std::size(arrivals) + 1;
  EXPECT_EQ(app->viewer.frame_passes(), events);
  EXPECT_EQ(fake.waits, static_cast<int>(events));

  platform::FakePlatform idle;
  auto inactive = std::make_unique<Application>(tmp.folder());
  idle.push(Event{.kind = EventKind::Activate, .code = platform::Active, .minimized = true});
  EXPECT_EQ(run_viewer(*inactive, idle, parse_command_line({u"p"})), -99);
  EXPECT_EQ(inactive->viewer.frame_passes(), 0u);
  EXPECT_EQ(idle.waits, 1);
}

// What moves by itself keeps the frames coming: a fading overlay until its fade ends, the
// frame-rate display for as long as it is shown.
TEST_F(Viewer, FramesGoOnWhileSomethingMoves) {
  const std::u16string path = tmp.file("pic.bmp");
  ASSERT_EQ(file_replace(path, bmp::encode(std::vector<uint32_t>(6, 0xFF102030u), 3, 2, 5)), 0);
  app = testing::make_fake_viewer(fake, tmp.folder());
  ASSERT_EQ(app->viewer.open_file(path, -1, -1), 0);
  app->viewer.frame_update(0);
  EXPECT_FALSE(app->viewer.frame_can_change());
  dispatch_command(*app, cmd::OsdFps);
  EXPECT_TRUE(app->viewer.frame_can_change());
  dispatch_command(*app, cmd::OsdFps);
  EXPECT_FALSE(app->viewer.frame_can_change());

  dispatch_command(*app, cmd::OsdHistogram);
  app->shell.frame_timer.time_step = 1.0f;  // one nominal frame per frame
  int frames = 0;
  for (; frames < 100 && app->viewer.frame_can_change(); ++frames) app->viewer.frame_update(0);
  EXPECT_GE(frames, 15);  // the fade's nominal frames
  EXPECT_LT(frames, 100);
}

TEST_F(Viewer, ActivationRules) {
  app = std::make_unique<Application>(tmp.folder());
  app->shell.platform = &fake;
  struct Case {
    Event e;
    bool keep_running;
    bool active;
  };
  const Case cases[] = {
      {{.kind = EventKind::Activate, .code = platform::Active}, false, true},
      {{.kind = EventKind::Activate, .code = platform::ClickActive}, false, true},
      {{.kind = EventKind::Activate, .code = platform::Inactive}, false, false},
      {{.kind = EventKind::Activate, .code = platform::Active, .minimized = true}, false, false},
      {{.kind = EventKind::Activate, .code = platform::Inactive}, true, true},
      {{.kind = EventKind::Size, .code = platform::Minimized}, false, false},
      {{.kind = EventKind::Size, .code = platform::MaxHide}, false, false},
      {{.kind = EventKind::Size, .code = platform::Restored}, false, true},
  };
  for (const Case& c : cases) {
    app->shell.active = !c.active;
    app->shell.keep_running_when_inactive = c.keep_running;
    app->shell.frame_timer.frames = 9;
    handle_main_window_event(*app, c.e);
    EXPECT_EQ(app->shell.active, c.active);
    bool timer_reset = c.e.kind == EventKind::Activate && !c.keep_running;
    EXPECT_EQ(app->shell.frame_timer.frames, timer_reset ? 0u : 9u);
  }
}

TEST_F(Viewer, AcceleratorsWorkOnlyWhileTheWindowIsInTheForeground) {
  // Esc is Quit, which closes the window. In the background the key goes to the window instead.
  fake.max_idle_polls = 3;
  fake.push(Event{.kind = EventKind::Activate, .code = platform::Active});
  fake.push_key(key::Escape);
  EXPECT_EQ(run(), 0);
  EXPECT_TRUE(fake.window->destroyed);

  // Opening the (empty) start file brings the window forward; another window takes the
  // foreground afterwards.
  platform::FakePlatform background;
  background.max_idle_polls = 3;
  auto second = std::make_unique<Application>(tmp.folder());
  EXPECT_EQ(run_viewer(*second, background, parse_command_line({u"p"})), -99);
  background.window->foreground = false;
  background.idle_polls = 0;
  background.push(Event{.kind = EventKind::Activate, .code = platform::Active});
  background.push_key(key::Escape);
  EXPECT_EQ(run_message_loop(*second), -99);
  EXPECT_FALSE(background.window->destroyed);
}

TEST_F(Viewer, ModalFlagAndGreyedItemsBlockCommands) {
  app = std::make_unique<Application>(tmp.folder());
  fake.push_command(cmd::Quit);  // Quit is enabled: the window closes
  EXPECT_EQ(run_viewer(*app, fake, parse_command_line({u"p"})), 0);

  platform::FakePlatform modal;
  modal.max_idle_polls = 2;
  auto second = std::make_unique<Application>(tmp.folder());
  second->shell.modal_open = true;
  modal.push_command(cmd::Quit);
  EXPECT_EQ(run_viewer(*second, modal, parse_command_line({u"p"})), -99);
  EXPECT_FALSE(modal.window->destroyed);
}

TEST_F(Viewer, HalfOpacityWhileMoving) {
  fake.push(Event{.kind = EventKind::EnterSizeMove});
  fake.push(Event{.kind = EventKind::ExitSizeMove});
  fake.push(Event{.kind = EventKind::Close});
  run();
  const auto& log = fake.window->log;
  auto at = std::find(log.begin(), log.end(), "opacity 128");
  ASSERT_NE(at, log.end());
  EXPECT_EQ(*(at + 1), "opacity 255");
}

}  // namespace
}  // namespace tesmo
