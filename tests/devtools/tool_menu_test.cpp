// The development tools menu through the fake platform: each tool's dialog greys its command while
// it is open and gives it back on Cancel, the path generator exports, the dummy file generator
// writes files and copies, the LST generator lists a folder, and the two tools built elsewhere are
// reached through their openers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/application.h"
#include "app/commands.h"
#include "base/file_io.h"
#include "devtools/dummy_file_dialog.h"
#include "devtools/path_generator_dialog.h"
#include "devtools/tool_menu.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/tool_dialogs.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"

namespace tesmo {
namespace {

using platform::DialogStep;
using platform::MessageIcon;
namespace res = resources;
namespace fs = std::filesystem;

class ToolMenu : public ::testing::Test {
 protected:
  ToolMenu() {
    app = testing::make_fake_viewer(fake, tmp.folder());
  }
  bool enabled(uint16_t id) { return app->shell.window->menu().is_enabled(id); }
  platform::FakeDialog& dialog() { return *fake.last_modeless; }
  void perform(DialogStep step) { dialog().perform(step); }
  void set(uint16_t id, std::u16string text) { perform({DialogStep::SetText, id, std::move(text)}); }
  void press(uint16_t id) { perform({DialogStep::Press, id}); }
  std::string text_of(const std::u16string& path) {
    auto data = read_file(path);
    return data ? std::string(data->begin(), data->end()) : "<missing>";
  }
  void expect_message(const std::u16string& text, const std::u16string& caption, MessageIcon icon) {
    ASSERT_FALSE(fake.messages.empty());
    EXPECT_EQ(fake.messages.back(), text);
    EXPECT_EQ(fake.message_captions.back(), caption);
    EXPECT_EQ(fake.message_icons.back(), icon);
  }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(ToolMenu, PathGeneratorOpensOnceAtTheClientCornerAndCancelGivesTheCommandBack) {
  dispatch_command(*app, cmd::PathGenerator);
  ASSERT_NE(fake.last_modeless, nullptr);
  platform::FakeDialog* first = fake.last_modeless;
  EXPECT_EQ(dialog().dialog_template().id, res::kPathDialogId);
  EXPECT_EQ(dialog().dialog_template().caption, u"Path Generator");
  EXPECT_FALSE(enabled(cmd::PathGenerator));
  EXPECT_NE(app->shell.dialogs[kSlotPathGenerator], nullptr);
  const platform::Rect client = app->shell.window->client_rect();
  EXPECT_EQ(dialog().window_rect().left, client.left);
  EXPECT_EQ(dialog().window_rect().top, client.top);
  const platform::DialogRecord r = dialog().record();
  EXPECT_EQ(r.items.at(res::kPathTypeCombo),
            (std::vector<std::u16string>{u"Line (float)", u"Line (int)", u"Sin (0 to 180 deg.)",
                                         u"Lemniscate of Gerono", u"Bi-Cubic"}));
  EXPECT_EQ(dialog().selection(res::kPathTypeCombo), 0);
  EXPECT_EQ(dialog().text(res::kPathFromField), u"0");
  EXPECT_EQ(dialog().text(res::kPathToField), u"100");
  EXPECT_EQ(dialog().text(res::kPathScaleField), u"60");
  EXPECT_EQ(dialog().text(res::kPathScale2Field), u"0");
  EXPECT_FALSE(dialog().enabled(res::kPathLoadButton));
  EXPECT_FALSE(dialog().enabled(res::kPathSaveButton));

  // The greyed command cannot open a second one, nor can a direct call.
  dispatch_command(*app, cmd::PathGenerator);
  EXPECT_EQ(open_path_generator(app->tools), 1);
  EXPECT_EQ(fake.last_modeless, first);

  // Choosing a type refills the four fields.
  perform({DialogStep::Select, res::kPathTypeCombo, u"", 3});
  EXPECT_EQ(dialog().text(res::kPathToField), u"360");
  EXPECT_EQ(dialog().text(res::kPathScaleField), u"1.0");
  EXPECT_EQ(dialog().text(res::kPathScale2Field), u"1.0");

  perform({DialogStep::Escape});
  EXPECT_TRUE(dialog().ended());
  EXPECT_TRUE(enabled(cmd::PathGenerator));
  EXPECT_EQ(app->shell.dialogs[kSlotPathGenerator], nullptr);
  EXPECT_TRUE(fake.save_requests.empty());

  dispatch_command(*app, cmd::PathGenerator);  // open again, fresh
  EXPECT_FALSE(dialog().ended());
  EXPECT_FALSE(enabled(cmd::PathGenerator));
  EXPECT_EQ(dialog().text(res::kPathScaleField), u"60");
}

TEST_F(ToolMenu, PathGeneratorExportsTheTableAndReportsIt) {
  dispatch_command(*app, cmd::PathGenerator);
  const std::u16string out = tmp.file("table.txt");
  perform({DialogStep::Select, res::kPathTypeCombo, u"", 1});
  set(res::kPathScaleField, u"3");
  bool modal_while_asking = false;
  fake.on_modal = [&] { modal_while_asking = app->shell.modal_open; };
  fake.save_answers.push_back(platform::SaveFileChoice{out, 1});
  press(1);
  EXPECT_TRUE(modal_while_asking);
  EXPECT_FALSE(app->shell.modal_open);
  EXPECT_EQ(text_of(out), "\t{0},\r\n\t{50},\r\n\t{100},\r\n");
  expect_message(u"Export complete!!", u"Path Generator", MessageIcon::Information);
  ASSERT_EQ(fake.save_requests.size(), 1u);
  const platform::SaveFileRequest& q = fake.save_requests[0];
  EXPECT_EQ(q.title, u"Export");
  EXPECT_EQ(q.default_extension, u"txt");
  using Filter = std::vector<std::pair<std::u16string, std::u16string>>;
  EXPECT_EQ(q.filter, (Filter{{u"Text File (*.txt)", u"*.txt"}, {u"All Files (*.*)", u"*.*"}}));
  EXPECT_FALSE(dialog().ended());  // OK leaves the dialog open for the next table

  // Cancelling the chooser does nothing; a table past 1 MiB writes nothing and says so; a read-only
  // file is replaced.
  press(1);
  EXPECT_EQ(fake.messages.size(), 1u);
  set(res::kPathScaleField, u"1e7");
  fake.save_answers.push_back(platform::SaveFileChoice{out, 1});
  press(1);
  EXPECT_EQ(text_of(out), "\t{0},\r\n\t{50},\r\n\t{100},\r\n");
  expect_message(kExportTooLarge, u"Path Generator", MessageIcon::Warning);
  perform({DialogStep::Select, res::kPathTypeCombo, u"", 4});
  ASSERT_TRUE(set_read_only(out));
  fake.save_answers.push_back(platform::SaveFileChoice{out, 1});
  press(1);
  EXPECT_EQ(text_of(out).substr(0, 16), "\t4096,\r\n\t0,\r\n\t0,");
  EXPECT_EQ(fake.messages.size(), 3u);

  // A file that cannot be written is left alone and not reported.
  fs::create_directories(tmp.path() / "folder.txt");
  fake.save_answers.push_back(platform::SaveFileChoice{tmp.file("folder.txt"), 1});
  press(1);
  EXPECT_EQ(fake.messages.size(), 3u);
  EXPECT_TRUE(is_directory(tmp.file("folder.txt")));
}

TEST_F(ToolMenu, DummyFileGeneratorHoldsTheSizeAndWritesFileAndCopies) {
  dispatch_command(*app, cmd::DummyFileGenerator);
  ASSERT_NE(fake.last_modeless, nullptr);
  EXPECT_EQ(dialog().dialog_template().id, res::kDummyDialogId);
  EXPECT_EQ(dialog().dialog_template().caption, u"Dummy File Generator");
  EXPECT_FALSE(enabled(cmd::DummyFileGenerator));
  EXPECT_NE(app->shell.dialogs[kSlotDummyFile], nullptr);
  EXPECT_EQ(dialog().window_rect().left, app->shell.window->client_rect().left);
  EXPECT_TRUE(dialog().checked(res::kDummyUnitMegaBytes));
  EXPECT_FALSE(dialog().checked(res::kDummyUnitBytes));
  EXPECT_EQ(dialog().text(res::kDummyDigitsField), u"4");
  EXPECT_EQ(dialog().text(res::kDummyFromField), u"0");
  EXPECT_EQ(dialog().text(res::kDummyToField), u"0");
  EXPECT_EQ(dialog().text(res::kDummyPathField), u"");

  // The size is held to the unit as it is typed (and not again when the unit changes).
  const std::pair<const char16_t*, const char16_t*> typed[] = {{u"-3", u"0"}, {u"5000", u"2047"}, {u"2047", u"2047"}};
  for (auto [text, held] : typed) {
    set(res::kDummySizeField, text);
    EXPECT_EQ(dialog().text(res::kDummySizeField), held);
  }
  press(res::kDummyUnitKiloBytes);
  EXPECT_TRUE(dialog().checked(res::kDummyUnitKiloBytes));
  EXPECT_FALSE(dialog().checked(res::kDummyUnitMegaBytes));
  EXPECT_EQ(dialog().text(res::kDummySizeField), u"2047");
  set(res::kDummySizeField, u"3000000");
  EXPECT_EQ(dialog().text(res::kDummySizeField), u"2097151");
  set(res::kDummySizeField, u"3");

  const std::u16string dummy = tmp.file("d/dummy.bin");
  set(res::kDummyPathField, dummy);
  std::ofstream(tmp.path() / "pic.bmp", std::ios::binary) << "BM";
  set(res::kDummySourceField, tmp.file("pic.bmp"));
  set(res::kDummyPrefixField, u"img_");
  set(res::kDummyDigitsField, u"5");
  set(res::kDummyFromField, u"1");
  set(res::kDummyToField, u"3");
  press(1);
  EXPECT_EQ(read_file(dummy), std::vector<uint8_t>(3072, 0));
  for (const char* name : {"img_00010.bmp", "img_00020.bmp", "img_00030.bmp"}) {
    EXPECT_EQ(text_of(tmp.file(name)), "BM") << name;
  }
  expect_message(kDummyFileDone, u"Dummy File Generator", MessageIcon::Information);
  EXPECT_FALSE(dialog().ended());

  // A dummy file that cannot be written stops the run before the copies.
  fs::create_directories(tmp.path() / "taken");
  set(res::kDummyPathField, tmp.file("taken"));
  set(res::kDummyDigitsField, u"4");
  press(1);
  expect_message(kDummyFileFailed, u"Dummy File Generator", MessageIcon::Warning);
  EXPECT_FALSE(file_exists(tmp.file("img_0001.bmp")));
  // So does a copy source that cannot be read.
  set(res::kDummyPathField, u"");
  set(res::kDummySourceField, tmp.file("missing.bmp"));
  press(1);
  EXPECT_EQ(fake.messages.size(), 3u);
  expect_message(kDummyFileFailed, u"Dummy File Generator", MessageIcon::Warning);

  press(2);
  EXPECT_TRUE(dialog().ended());
  EXPECT_TRUE(enabled(cmd::DummyFileGenerator));
  EXPECT_EQ(app->shell.dialogs[kSlotDummyFile], nullptr);
}

TEST_F(ToolMenu, DummyFileBrowseButtonsFillTheirFields) {
  dispatch_command(*app, cmd::DummyFileGenerator);
  set(res::kDummyPathField, u"/data/old/x.bin");
  fake.save_answers.push_back(platform::SaveFileChoice{u"/data/new.bin", 1});
  press(res::kDummyPathBrowse);
  EXPECT_EQ(dialog().text(res::kDummyPathField), u"/data/new.bin");
  ASSERT_EQ(fake.save_requests.size(), 1u);
  EXPECT_EQ(fake.save_requests[0].title, u"出力ファイルを選択");
  EXPECT_EQ(fake.save_requests[0].initial_folder, u"/data/old/");
  using Filter = std::vector<std::pair<std::u16string, std::u16string>>;
  EXPECT_EQ(fake.save_requests[0].filter, (Filter{{u"すべてのファイル (*.*)", u"*.*"}}));

  set(res::kDummySourceField, u"/pics/a.bmp");
  press(res::kDummySourceBrowse);  // cancelled: the text stays
  EXPECT_EQ(dialog().text(res::kDummySourceField), u"/pics/a.bmp");
  fake.open_answers.push_back(u"/pics/b.png");
  press(res::kDummySourceBrowse);
  EXPECT_EQ(dialog().text(res::kDummySourceField), u"/pics/b.png");
  ASSERT_EQ(fake.open_requests.size(), 2u);
  EXPECT_EQ(fake.open_requests[1].title, u"複製元のファイルを選択");
  EXPECT_EQ(fake.open_requests[1].initial_folder, u"/pics/");
  EXPECT_TRUE(fake.messages.empty());
}

TEST_F(ToolMenu, LstGeneratorListsTheChosenFolder) {
  const fs::path set = tmp.path() / "set";
  fs::create_directories(set / "sub");
  std::ofstream(set / "sub" / "b.bin", std::ios::binary) << "b";
  std::ofstream(set / "a.txt", std::ios::binary) << "a";
  fs::create_directories(tmp.path() / "empty" / "inner");

  dispatch_command(*app, cmd::LstGenerator);  // cancelled: nothing
  ASSERT_EQ(fake.folder_requests.size(), 1u);
  EXPECT_EQ(fake.folder_requests[0].title, kLstFolderTitle);
  EXPECT_TRUE(fake.messages.empty());

  fake.folder_answers.push_back(from_fs_path(set));
  dispatch_command(*app, cmd::LstGenerator);
  EXPECT_EQ(text_of(from_fs_path(set / "output.lst")), "\"a.txt\",\r\n\"sub/b.bin\",\r\n");
  expect_message(kLstDone, u"Tesmo64", MessageIcon::Information);

  fake.folder_answers.push_back(tmp.file("empty"));
  dispatch_command(*app, cmd::LstGenerator);
  EXPECT_FALSE(fs::exists(tmp.path() / "empty" / "output.lst"));
  expect_message(kLstFailed, u"Tesmo64", MessageIcon::Warning);
  EXPECT_TRUE(enabled(cmd::LstGenerator));
}

// The menu opens the falling object controller and the file pack module too, each greying its item
// while it is open; an id without a tool does nothing.
TEST_F(ToolMenu, EveryToolOfTheMenuOpensFromIt) {
  tool_menu_command(app->tools, cmd::FontConvertModule);  // no action
  EXPECT_EQ(fake.last_modeless, nullptr);
  for (uint16_t id : {cmd::FallingObjectController, cmd::FilePackModule}) {
    fake.last_modeless = nullptr;
    dispatch_command(*app, id);
    EXPECT_NE(fake.last_modeless, nullptr) << id;
    EXPECT_FALSE(enabled(id)) << id;
  }
}

TEST_F(ToolMenu, BothDialogsCanBeOpenAtOnceAndGoWithTheApplication) {
  dispatch_command(*app, cmd::PathGenerator);
  dispatch_command(*app, cmd::DummyFileGenerator);
  EXPECT_NE(app->shell.dialogs[kSlotPathGenerator], nullptr);
  EXPECT_NE(app->shell.dialogs[kSlotDummyFile], nullptr);
  EXPECT_FALSE(enabled(cmd::PathGenerator));
  EXPECT_FALSE(enabled(cmd::DummyFileGenerator));
  app.reset();  // the open dialogs are closed with it (ASan checks the order)
}

TEST_F(ToolMenu, ADialogThatCannotBeMadeLeavesTheCommandEnabled) {
  fake.refuse_dialogs = true;
  dispatch_command(*app, cmd::PathGenerator);
  EXPECT_TRUE(enabled(cmd::PathGenerator));
  EXPECT_EQ(app->shell.dialogs[kSlotPathGenerator], nullptr);
  EXPECT_EQ(app->tools.tool_dialogs[kSlotPathGenerator], nullptr);
}

}  // namespace
}  // namespace tesmo
