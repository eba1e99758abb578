// Menu checks from the settings at start, and the greyed state without an image.
#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/effect_commands.h"
#include "resources/resources.h"
#include "shell/menu_options.h"

namespace tesmo {
namespace {

class MenuState : public ::testing::Test {
 protected:
  platform::FakeMenu menu{&resources::main_menu()};
  SystemSettings s;
};

TEST_F(MenuState, EveryOptionItemExistsInTheMenu) {
  for (const MenuOption& o : menu_options()) {
    for (int i = 0; i < o.count; ++i) EXPECT_TRUE(menu.has_item(o.items[i])) << o.items[i];
  }
}

TEST_F(MenuState, ChecksFollowTheSettings) {
  s.loop = 1;
  s.fps_display = 1;
  s.grid = 0;
  s.red_visible = 1;
  s.green_visible = 0;
  s.zoom_algorithm = 3;
  s.reference_position = 0;
  s.camera_transfer_method = 1;
  s.scale_down_to_fit = 1;
  init_menu_checks(menu, s, nullptr);
  const std::pair<uint16_t, bool> expected[] = {
      {cmd::Loop, true},           {cmd::NoLoop, false},          {cmd::OsdFps, true},
      {cmd::Grid, false},          {cmd::VisibleR, true},         {cmd::VisibleG, false},
      {cmd::ZoomTypeD, true},      {cmd::ZoomTypeB, false},       {cmd::ReferenceUpperLeft, true},
      {cmd::ReferenceCenter, false}, {cmd::TransferMoveAll, true}, {cmd::TransferCopyAll, false},
      {cmd::ScaleDownToFit, true}, {cmd::ScaleUpToFit, false},
  };
  for (auto [id, checked] : expected) EXPECT_EQ(menu.is_checked(id), checked) << id;
  s.zoom_algorithm = 9;  // out of range: no algorithm checked
  init_menu_checks(menu, s, nullptr);
  for (uint16_t id : {cmd::ZoomTypeA, cmd::ZoomTypeB, cmd::ZoomTypeC, cmd::ZoomTypeD, cmd::ZoomTypeE,
                      cmd::ZoomTypeF}) {
    EXPECT_FALSE(menu.is_checked(id));
  }
}

TEST_F(MenuState, BackgroundImageNeedsALoadablePicture) {
  struct Case {
    std::u16string path;
    bool loads;
    int32_t mode_after;
  };
  const Case cases[] = {{u"", true, 0}, {u"/bg.bmp", false, 0}, {u"/bg.bmp", true, 1}};
  for (const Case& c : cases) {
    s.background_mode = 1;
    s.background_image = c.path;
    int calls = 0;
    init_menu_checks(menu, s, [&](const std::u16string&) {
      ++calls;
      return c.loads;
    });
    EXPECT_EQ(s.background_mode, c.mode_after);
    EXPECT_EQ(menu.is_checked(cmd::BackgroundImage), c.mode_after == 1);
    EXPECT_EQ(menu.is_checked(cmd::BackgroundFill), c.mode_after == 0);
    EXPECT_EQ(calls, c.path.empty() ? 0 : 1);
  }
}

TEST_F(MenuState, WithoutAnImageOnlyFileLevelCommandsStayEnabled) {
  menu.set_checked(cmd::ChannelRgb, true);
  disable_image_commands(menu);
  for (uint16_t id : {cmd::Close, cmd::Save, cmd::SaveAs, cmd::ZoomIn, cmd::NextFile, cmd::Undo,
                      cmd::ChannelAlpha, cmd::LosslessTransform, cmd::AlphaNew, cmd::FullScreen}) {
    EXPECT_FALSE(menu.is_enabled(id)) << id;
  }
  for (uint16_t id : resources::kEffectCommands) EXPECT_FALSE(menu.is_enabled(id)) << id;
  for (uint16_t id : {cmd::New, cmd::OpenImage, cmd::Quit, cmd::Paste, cmd::Preferences, cmd::OsdFps,
                      cmd::Batch, cmd::About, cmd::CalibrateMonitor}) {
    EXPECT_TRUE(menu.is_enabled(id)) << id;
  }
  EXPECT_FALSE(menu.is_checked(cmd::ChannelRgb));
}

}  // namespace
}  // namespace tesmo
