// Option commands and their settings fields, New, Calibrate Monitor, Close All, Background and Key
// Assignment, through the fake platform.
#include <gtest/gtest.h>

#include "app/application.h"
#include "app/commands.h"
#include "base/bytes.h"
#include "base/file_io.h"
#include "formats/bmp/bmp.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/resources.h"
#include "shell/menu_options.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "viewer/viewer_commands.h"

namespace tesmo {
namespace {

class Commands : public ::testing::Test {
 protected:
  Commands() {
    app = testing::make_fake_viewer(fake, tmp.folder());
    disable_image_commands(menu());
  }
  platform::Menu& menu() { return app->shell.window->menu(); }
  void command(uint16_t id) { dispatch_command(*app, id); }
  std::u16string settings_path() { return tmp.folder() + u"savedata/system.sav"; }
  std::optional<std::vector<uint8_t>> settings_file() { return read_file(settings_path()); }
  int32_t stored(size_t offset) { return static_cast<int32_t>(load_u32le(settings_file().value(), offset)); }
  void forget_file() { std::filesystem::remove(to_fs_path(settings_path())); }
  std::u16string picture(const char* name, int w = 4, int h = 3) {
    std::u16string path = tmp.file(name);
    std::vector<uint32_t> px(static_cast<size_t>(w) * h, 0xFF808080u);
    EXPECT_EQ(file_replace(path, bmp::encode(px, w, h, 5)), 0);
    return path;
  }
  uint32_t pixel(int key, int x, int y) {
    const Surface* s = surface_find(app->doc.surfaces(), key);
    return s->pixels()[static_cast<size_t>(y) * s->width + x];
  }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(Commands, EveryOptionCommandWritesItsFieldAtOnce) {
  // From the defaults: the command and the stored value it must leave at the field's offset.
  struct Case {
    uint16_t id;
    size_t offset;
    int32_t value;
  };
  const Case cases[] = {
      {cmd::NoLoop, 6252, 0},          {cmd::RotationAdjustExif, 6256, 1}, {cmd::RightClickXY, 6260, 1},
      {cmd::RightClickRgbDecimal, 6264, 1}, {cmd::RightClickRgbHex, 6268, 1}, {cmd::OsdFps, 6280, 1},
      {cmd::OsdCursorInfo, 6284, 1},   {cmd::OsdPip, 6288, 1},             {cmd::PipCursorPosition, 6292, 1},
      {cmd::OsdHistogram, 6296, 1},    {cmd::OsdFileInfo, 6300, 1},        {cmd::OsdExifInfo, 6304, 1},
      {cmd::Grid, 6308, 1},            {cmd::HyperList, 6312, 1},          {cmd::VisibleR, 6316, 0},
      {cmd::VisibleG, 6320, 0},        {cmd::VisibleB, 6324, 0},           {cmd::DefaultChannelAlpha, 6328, 1},
      {cmd::AlwaysOnTop, 6336, 1},     {cmd::ReferenceUpperLeft, 6340, 0}, {cmd::AdjustNone, 6344, 0},
      {cmd::ZoomTypeF, 6348, 5},       {cmd::ScaleUpToFit, 6352, 1},       {cmd::ScaleDownToFit, 6356, 0},
      {cmd::DefaultScalePrevious, 6360, 1}, {cmd::FaceDetection, 6364, 1}, {cmd::AutoSyncOn, 6368, 1},
      {cmd::TransferMoveAll, 6372, 1},
  };
  for (const Case& c : cases) {
    forget_file();
    command(c.id);
    ASSERT_TRUE(settings_file().has_value()) << c.id;
    EXPECT_EQ(stored(c.offset), c.value) << c.id;
  }
  // And back: the toggles turn off again, the radio pairs return to their first item.
  command(cmd::Loop);
  command(cmd::OsdPip);
  command(cmd::VisibleR);
  EXPECT_EQ(stored(6252), 1);
  EXPECT_EQ(stored(6288), 0);
  EXPECT_EQ(stored(6316), 1);
}

TEST_F(Commands, ChoosingTheCheckedItemAgainDoesNotWriteTheFile) {
  forget_file();
  command(cmd::ZoomTypeB);  // bi-linear is the default
  command(cmd::Loop);
  command(cmd::ReferenceCenter);
  EXPECT_FALSE(settings_file().has_value());
  command(cmd::ZoomTypeC);
  EXPECT_EQ(stored(6348), 2);
  EXPECT_TRUE(menu().is_checked(cmd::ZoomTypeC));
  EXPECT_FALSE(menu().is_checked(cmd::ZoomTypeB));
}

TEST_F(Commands, OverlaysStartAndStopTheirAnimationSlots) {
  const std::pair<uint16_t, int> overlays[] = {{cmd::OsdCursorInfo, 0}, {cmd::OsdPip, 1}, {cmd::OsdHistogram, 2},
                                               {cmd::OsdFileInfo, 3},   {cmd::OsdExifInfo, 4}, {cmd::Grid, 6}};
  for (auto [id, slot] : overlays) {
    command(id);
    EXPECT_NE(app->viewer.tweens[slot].keyframes, nullptr) << id;
    if (id == cmd::Grid) continue;
    command(id);
    EXPECT_EQ(app->viewer.tweens[slot].keyframes, nullptr) << id;
  }
}

TEST_F(Commands, UnhandledIdsGoToTheToolDispatcher) {
  command(cmd::NextFile);  // greyed without a picture: nobody sees it
  command(cmd::Save);  // greyed: nobody sees it either
  EXPECT_EQ(fake.last_modeless, nullptr);
  command(cmd::PathGenerator);
  EXPECT_NE(app->tools.tool_dialogs[kSlotPathGenerator], nullptr);
  EXPECT_FALSE(menu().is_enabled(cmd::PathGenerator));
  command(cmd::FilePackModule);
  EXPECT_NE(app->tools.file_pack_dialog, nullptr);
}

TEST_F(Commands, NewPictureValues) {
  EXPECT_EQ(new_picture_initial(std::nullopt), (NewPictureChoice{1280, 720, 32}));
  EXPECT_EQ(new_picture_initial(std::pair{640, 0}), (NewPictureChoice{640, 1, 32}));
  EXPECT_EQ(clamp_new_picture({0, 40000, 24}), (NewPictureChoice{1, 32768, 24}));
  EXPECT_EQ(clamp_new_picture({-5, 32768, 8}), (NewPictureChoice{1, 32768, 32}));
}

TEST_F(Commands, NewMakesABlackPictureMarkedModifiedWithoutSave) {
  command(cmd::New);  // no dialog yet: cancelled
  EXPECT_FALSE(app->doc.view().flags & kImageShown);
  fake.clipboard_bitmap = platform::Size{64, 48};
  fake.dialog_scripts.push_back({resources::kNewDialogId, std::nullopt, {{platform::DialogStep::Press, kSkinOkId}}});
  command(cmd::New);
  EXPECT_EQ(fake.dialogs.back().texts.at(resources::kNewWidthField), u"64");  // the clipboard's size
  EXPECT_EQ(fake.dialogs.back().texts.at(resources::kNewHeightField), u"48");
  const ViewState& v = app->doc.view();
  EXPECT_TRUE(v.flags & kImageShown);
  EXPECT_TRUE(v.flags & kModified);
  EXPECT_EQ(v.display_name, u"<新規作成>");
  EXPECT_EQ(v.decoded_bits, 32);
  EXPECT_EQ(pixel(kKeyImage, 63, 47), 0u);
  EXPECT_EQ(pixel(kKeyAlpha, 0, 0) & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(app->shell.window->title().substr(0, 8), u"* <新規作成>");
  EXPECT_FALSE(menu().is_enabled(cmd::Save));
  EXPECT_FALSE(menu().is_enabled(cmd::NextFile));
  EXPECT_TRUE(menu().is_enabled(cmd::SaveAs));
  EXPECT_TRUE(menu().is_enabled(cmd::ChannelAlpha));

  // A second New asks whether to save the first; a 24-bit picture has no alpha view.
  fake.answers = {platform::MessageAnswer::No};
  testing::answer_new_picture(fake, 0, 5, 24);
  command(cmd::New);
  EXPECT_EQ(fake.messages.size(), 1u);
  EXPECT_EQ(app->doc.view().image_width, 1);
  EXPECT_EQ(surface_find(app->doc.surfaces(), kKeyAlpha), nullptr);
  EXPECT_FALSE(menu().is_enabled(cmd::ChannelAlpha));
}

TEST_F(Commands, CalibrationPictureFillsTheWorkArea) {
  app->viewer.open_file(picture("a.bmp"), -1, -1);
  app->shell.window->move({300, 200});
  command(cmd::CalibrateMonitor);
  // 1920 − 2 × 3 by 1040 − 2 × 3 − 23 − 20.
  const int w = 1914, h = 991;
  EXPECT_EQ(app->doc.view().image_width, w);
  EXPECT_EQ(app->doc.view().image_height, h);
  EXPECT_EQ(app->doc.view().display_name, u"<モニターの調整>");
  EXPECT_FALSE(app->shell.modal_open);
  struct Probe {
    int x, y;
    uint32_t colour;
  };
  // Left half 957 columns of 10; the centre block covers columns 478–1434 and rows 247–741.
  const Probe probes[] = {{0, 0, 0x0A0A0A},      {956, 990, 0x0A0A0A}, {957, 0, 0},           {1913, 990, 0},
                          {478, 247, 0x161616},  {1434, 741, 0x161616}, {477, 247, 0x0A0A0A}, {1435, 247, 0},
                          {1000, 246, 0},        {1000, 742, 0}};
  for (const Probe& p : probes) EXPECT_EQ(pixel(kKeyImage, p.x, p.y) & 0xFFFFFFu, p.colour) << p.x << "," << p.y;
  EXPECT_FALSE(menu().is_enabled(cmd::Refresh));
  // Closing puts the window back where it was before the calibration.
  command(cmd::Close);
  EXPECT_EQ(app->shell.window->window_rect().left, 300);
  EXPECT_EQ(app->shell.window->window_rect().top, 200);
  EXPECT_EQ(app->shell.window->client_rect().width(), 400);
}

TEST_F(Commands, CloseAllAsksTheOthersAndKeepsThisWindowEmpty) {
  app->viewer.open_file(picture("a.bmp", 800, 600), -1, -1);
  fake.other_instances = 1;
  command(cmd::CloseAll);
  EXPECT_EQ(fake.close_all_requests, 1);
  EXPECT_FALSE(app->doc.view().flags & kImageShown);
  EXPECT_FALSE(fake.window->destroyed);
  EXPECT_EQ(app->shell.window->client_rect().width(), 400);
}

TEST_F(Commands, BackgroundSettingChoosesAColourOrAPicture) {
  fake.colour_answers = {std::nullopt, 0x00332211u};
  command(cmd::BackgroundSetting);  // cancelled
  EXPECT_EQ(app->shell.settings().background_colour, 0x00FF0000u);
  forget_file();
  command(cmd::BackgroundSetting);
  EXPECT_EQ(stored(11624), 0x00332211);

  // Image mode without a picture: the choice comes first, and a failed choice keeps the mode.
  fake.open_answers = {std::nullopt, tmp.file("missing.bmp")};
  command(cmd::BackgroundImage);
  command(cmd::BackgroundImage);
  EXPECT_TRUE(menu().is_checked(cmd::BackgroundFill));
  const auto bg = picture("bg.bmp");
  fake.open_answers = {bg};
  command(cmd::BackgroundImage);
  EXPECT_TRUE(menu().is_checked(cmd::BackgroundImage));
  EXPECT_EQ(stored(6332), 1);
  EXPECT_EQ(app->shell.settings().background_image, bg);
  EXPECT_EQ(fake.open_requests.back().title, u"背景に表示する画像を選択してください。");
  // [Setting] in image mode: an unreadable choice leaves the loaded picture alone.
  fake.open_answers = {tmp.file("missing.bmp")};
  command(cmd::BackgroundSetting);
  EXPECT_NE(surface_find(app->doc.surfaces(), kKeyBackground), nullptr);
  EXPECT_EQ(app->shell.settings().background_image, bg);
}

TEST_F(Commands, KeyAssignmentWritesOnlyWhenChanged) {
  ASSERT_EQ(kActionNames.size(), 15u);
  EXPECT_EQ(kActionNames[2], u"[ファイル]\u3000開く - 次のファイル");
  EXPECT_EQ(kActionNames[14], u"スクロール - 一番下へ");
  forget_file();
  command(cmd::KeyAssignment);  // no script: cancelled
  using platform::DialogStep;
  fake.dialog_scripts.push_back({resources::kKeyAssignmentDialogId, std::nullopt, {{DialogStep::Press, kSkinOkId}}});
  command(cmd::KeyAssignment);  // the defaults, unchanged
  EXPECT_FALSE(settings_file().has_value());
  fake.dialog_scripts.push_back({resources::kKeyAssignmentDialogId, std::nullopt,
                                 {{DialogStep::Select, resources::kFirstActionCombo, u"", 0},
                                  {DialogStep::Select, resources::kFirstActionCombo + 6, u"", 14},
                                  {DialogStep::Press, kSkinOkId}}});
  command(cmd::KeyAssignment);
  EXPECT_EQ(stored(6224), 0);
  EXPECT_EQ(stored(6248), 14);
  EXPECT_EQ(app->shell.settings().control_wheel_backward_action, 14);
}

TEST_F(Commands, ChannelItemsSwitchTheShownSurface) {
  menu().set_checked(cmd::DefaultChannelAlpha, true);
  testing::answer_new_picture(fake, 8, 8, 32);
  command(cmd::New);
  EXPECT_EQ(app->doc.view().displayed_surface, kKeyAlpha);  // the default channel
  command(cmd::ChannelRgb);
  EXPECT_EQ(app->doc.view().displayed_surface, kKeyImage);
  EXPECT_TRUE(menu().is_checked(cmd::ChannelRgb));
  EXPECT_FALSE(menu().is_checked(cmd::ChannelAlpha));
}

TEST_F(Commands, LosslessTransformOnlyForJpegWidthsOfEight) {
  struct Case {
    ShownPicture p;
    bool lossless;
  };
  const Case cases[] = {{{true, 16, 9, false, false}, true},
                        {{true, 12, 9, false, false}, false},
                        {{false, 16, 9, false, false}, false},
                        {{true, 16, 9, false, true}, false}};
  for (const Case& c : cases) {
    enable_image_commands(menu(), c.p);
    EXPECT_EQ(menu().is_enabled(cmd::LosslessTransform), c.lossless) << c.p.width;
  }
}

}  // namespace
}  // namespace tesmo
