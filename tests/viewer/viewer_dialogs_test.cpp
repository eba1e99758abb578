// The New picture and Key Assignment dialogs through the fake dialog host: what they start with,
// how OK holds and writes back, and what Cancel leaves.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "app/commands.h"
#include "base/file_io.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "resources/resources.h"
#include "shell/dialog_fields.h"
#include "shell/dialog_skin.h"
#include "shell/menu_options.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "viewer/viewer_dialogs.h"

namespace tesmo {
namespace {

using platform::DialogScript;
using platform::DialogStep;
namespace res = resources;

class ViewerDialogs : public ::testing::Test {
 protected:
  ViewerDialogs() {
    app = testing::make_fake_viewer(fake, tmp.folder());
  }
  void script(uint16_t dialog, std::vector<DialogStep> steps) {
    fake.dialog_scripts.push_back(DialogScript{dialog, std::nullopt, std::move(steps)});
  }
  const Surface* surface(int32_t key) { return surface_find(app->doc.surfaces(), key); }
  std::u16string settings_path() { return tmp.folder() + u"savedata/system.sav"; }
  bool settings_written() { return std::filesystem::exists(to_fs_path(settings_path())); }
  void forget_settings_file() { std::filesystem::remove(to_fs_path(settings_path())); }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST(SizeField, ReadsLeadingDigitsAndSaturates) {
  EXPECT_EQ(parse_size_field(u"640"), 640);
  EXPECT_EQ(parse_size_field(u"  +72px"), 72);
  EXPECT_EQ(parse_size_field(u"-5"), -5);
  EXPECT_EQ(parse_size_field(u"abc"), 0);
  EXPECT_EQ(parse_size_field(u""), 0);
  EXPECT_EQ(parse_size_field(u"99999999999999999999"), 2147483647);
  EXPECT_EQ(parse_size_field(u"-99999999999999999999"), -2147483647 - 1);
}

TEST_F(ViewerDialogs, NewStartsAtTheClipboardSizeAndMakesThePicture) {
  fake.clipboard_bitmap = platform::Size{640, 480};
  script(res::kNewDialogId, {{DialogStep::Press, kSkinOkId}});
  dispatch_command(*app, cmd::New);
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(fake.dialogs[0].texts.at(res::kNewWidthField), u"640");
  EXPECT_EQ(fake.dialogs[0].texts.at(res::kNewHeightField), u"480");
  ASSERT_NE(surface(kKeyImage), nullptr);
  EXPECT_EQ(surface(kKeyImage)->width, 640);
  EXPECT_EQ(surface(kKeyImage)->height, 480);
  ASSERT_NE(surface(kKeyAlpha), nullptr);  // 32 bits is the first choice: a white alpha view
  EXPECT_EQ(surface(kKeyAlpha)->pixels()[0] & 0xFFFFFFu, 0xFFFFFFu);
  EXPECT_EQ(app->doc.view().display_name, kNewPictureName);
  // The skin's pictures went with the dialog.
  EXPECT_EQ(surface(kSkinModalBase), nullptr);
}

TEST_F(ViewerDialogs, NewHoldsEachSideAndWritesItBack) {
  script(res::kNewDialogId, {{DialogStep::SetText, res::kNewWidthField, u"0"},
                             {DialogStep::SetText, res::kNewHeightField, u"40000"},
                             {DialogStep::Check, res::kNewBits24},
                             {DialogStep::Press, kSkinOkId}});
  const auto choice = ask_new_picture_dialog(app->viewer, NewPictureChoice{});
  ASSERT_TRUE(choice);
  EXPECT_EQ(*choice, (NewPictureChoice{1, 32768, 24}));
  EXPECT_EQ(fake.dialogs.back().texts.at(res::kNewWidthField), u"1");
  EXPECT_EQ(fake.dialogs.back().texts.at(res::kNewHeightField), u"32768");
}

TEST_F(ViewerDialogs, NewDepthsExcludeEachOther) {
  script(res::kNewDialogId, {{DialogStep::Check, res::kNewBits24}, {DialogStep::Check, res::kNewBits32},
                             {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(ask_new_picture_dialog(app->viewer, NewPictureChoice{}).value().bits, 32);
  script(res::kNewDialogId, {{DialogStep::Check, res::kNewBits24}, {DialogStep::Press, kSkinOkId}});
  EXPECT_EQ(ask_new_picture_dialog(app->viewer, NewPictureChoice{8, 8, 32}).value(), (NewPictureChoice{8, 8, 24}));
}

TEST_F(ViewerDialogs, NewCancelledMakesNoPicture) {
  script(res::kNewDialogId, {{DialogStep::SetText, res::kNewWidthField, u"50"}, {DialogStep::Escape}});
  dispatch_command(*app, cmd::New);
  EXPECT_EQ(surface(kKeyImage), nullptr);
  EXPECT_FALSE(app->shell.modal_open);
}

TEST_F(ViewerDialogs, KeyAssignmentStoresTheSelectionsAndWritesOnlyChanges) {
  app->shell.settings().x2_action = 7;
  app->shell.settings().wheel_forward_action = 99;  // not a code: the box starts without a selection
  forget_settings_file();
  script(res::kKeyAssignmentDialogId, {{DialogStep::Press, kSkinOkId}});
  dispatch_command(*app, cmd::KeyAssignment);
  EXPECT_FALSE(settings_written());  // nothing changed
  EXPECT_EQ(app->shell.settings().x2_action, 7);
  EXPECT_EQ(app->shell.settings().wheel_forward_action, 99);

  script(res::kKeyAssignmentDialogId, {{DialogStep::Select, res::kFirstActionCombo + 1, u"", 5},
                                       {DialogStep::Select, res::kFirstActionCombo + 6, u"", 14},
                                       {DialogStep::Press, kSkinOkId}});
  dispatch_command(*app, cmd::KeyAssignment);
  EXPECT_EQ(app->shell.settings().x1_action, 5);
  EXPECT_EQ(app->shell.settings().control_wheel_backward_action, 14);
  EXPECT_EQ(app->shell.settings().x2_action, 7);
  EXPECT_TRUE(settings_written());
}

TEST_F(ViewerDialogs, KeyAssignmentCancelKeepsTheStoredActions) {
  const int32_t stored = app->shell.settings().middle_action;
  forget_settings_file();
  script(res::kKeyAssignmentDialogId, {{DialogStep::Select, res::kFirstActionCombo, u"", stored == 3 ? 4 : 3}, {DialogStep::Escape}});
  dispatch_command(*app, cmd::KeyAssignment);
  EXPECT_EQ(app->shell.settings().middle_action, stored);
  EXPECT_FALSE(settings_written());
}

}  // namespace
}  // namespace tesmo
