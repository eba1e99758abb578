// The file pack module through the fake dialog host: projects shown, stepped, saved and kept on
// close, the field rules, the browsers and editors, drops, and a real run behind the progress
// window with the result window for a list with errors.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/application.h"
#include "app/commands.h"
#include "base/file_io.h"
#include "base/text.h"
#include "devtools/file_pack_dialog.h"
#include "devtools/tool_menu.h"
#include "pack/pack_test_util.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"

namespace tesmo {
namespace {

using platform::DialogScript;
using platform::DialogStep;
namespace res = resources;

class FilePackModule : public ::testing::Test {
 protected:
  FilePackModule() {
    app = testing::make_fake_viewer(fake, tmp.folder());
  }

  std::u16string project_file() const { return tmp.folder() + u"savedata/tool_vardo32.sav"; }
  void store_projects(const PackProjectFile& f) { ASSERT_EQ(pack_project_save(project_file(), f), 0); }
  PackProjectFile stored_projects() const { return pack_project_load(project_file()); }

  platform::FakeDialog& open() {
    dispatch_command(*app, cmd::FilePackModule);
    EXPECT_TRUE(file_pack_dialog_open(app->tools));
    return *fake.last_modeless;
  }
  void act(DialogStep step) { fake.last_modeless->perform(step); }
  void type(uint16_t id, std::u16string text) { act({DialogStep::SetText, id, std::move(text)}); }
  void press(uint16_t id) { act({DialogStep::Press, id}); }
  std::u16string field(uint16_t id) const { return fake.last_modeless->text(id); }

  // A folder with sources and a list, and the module's fields set to pack it into out/.
  void fill_run(const std::string& list, int type_choice) {
    write("src/a.txt", "alpha");
    write("src/b.bin", "bravo!");
    write("src/list.lst", list);
    type(res::kPackListField, tmp.file("src/list.lst"));
    type(res::kPackArchiveField, tmp.file("out/data.dat"));
    type(res::kPackExportField, tmp.folder() + u"out/");
    type(res::kPackPrefixField, u"ID_");
    act({DialogStep::Select, res::kPackTypeCombo, {}, type_choice});
    act({DialogStep::Check, res::kPackOutputChecks[2]});  // id file
  }
  void write(const char* name, std::string_view text) {
    ASSERT_EQ(file_replace(tmp.file(name), std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())), 0);
  }
  // The progress window polls until the run has finished (10 s at most).
  void expect_progress_to_finish() {
    fake.dialog_scripts.push_back(DialogScript{res::kPackProgressDialogId, std::nullopt, {{DialogStep::Tick, 0, {}, 10000}}});
  }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(FilePackModule, OpensOnTheCurrentProjectAndGreysItsMenuItemUntilClosed) {
  PackProjectFile f = pack_project_defaults();
  f.current = 4;
  f.projects[4] = {u"/p/list.lst", u"/p/out/a.dat", u"", "XY_", 0x1F3};
  store_projects(f);
  platform::FakeDialog& d = open();
  EXPECT_FALSE(app->shell.window->menu().is_enabled(cmd::FilePackModule));
  EXPECT_EQ(app->shell.dialogs[2], app->tools.file_pack_dialog.get());
  EXPECT_EQ(d.text(res::kPackNumberField), u"4");
  EXPECT_EQ(d.text(res::kPackListField), u"/p/list.lst");
  EXPECT_EQ(d.text(res::kPackExportField), u"/p/out/");  // taken from the archive's folder
  EXPECT_EQ(d.text(res::kPackPrefixField), u"XY_");
  EXPECT_EQ(d.record().items[res::kPackTypeCombo],
            (std::vector<std::u16string>{u"No Independent", u"Independent", u"Independent & Time table"}));
  EXPECT_EQ(d.selection(res::kPackTypeCombo), 2);
  for (uint16_t id : res::kPackOutputChecks) EXPECT_TRUE(d.checked(id)) << id;

  act({DialogStep::Step, res::kPackNumberUpDown, {}, 3});
  act({DialogStep::Escape});
  EXPECT_FALSE(file_pack_dialog_open(app->tools));
  EXPECT_TRUE(app->shell.window->menu().is_enabled(cmd::FilePackModule));
  EXPECT_EQ(app->shell.dialogs[2], nullptr);
  const PackProjectFile after = stored_projects();
  EXPECT_EQ(after.current, 7);                            // the number at closing
  EXPECT_EQ(after.projects[4].export_dir, u"/p/out/");    // the derived folder is kept
  EXPECT_EQ(open().text(res::kPackNumberField), u"7");     // and opens again
}

TEST_F(FilePackModule, NumberFieldIsHeldToTheProjectRange) {
  open();
  struct Case {
    std::u16string typed, held;
  };
  for (const Case& c : {Case{u"40", u"31"}, Case{u"7", u"7"}, Case{u"-3", u"0"}, Case{u"", u""}}) {
    type(res::kPackNumberField, c.typed);
    EXPECT_EQ(field(res::kPackNumberField), c.held) << utf16_to_utf8(c.typed);
  }
}

TEST_F(FilePackModule, SteppingShowsTheStoredProjectAndDropsUnsavedEdits) {
  PackProjectFile f = pack_project_defaults();
  f.projects[1].list_path = u"/one.lst";
  store_projects(f);
  open();
  type(res::kPackListField, u"/edited.lst");
  act({DialogStep::Step, res::kPackNumberUpDown, {}, 1});
  EXPECT_EQ(field(res::kPackListField), u"/one.lst");
  act({DialogStep::Step, res::kPackNumberUpDown, {}, -1});
  EXPECT_EQ(field(res::kPackListField), u"");
  EXPECT_EQ(field(res::kPackNumberField), u"0");
}

TEST_F(FilePackModule, SaveStoresTheFieldsIntoTheShownProject) {
  open();
  act({DialogStep::Step, res::kPackNumberUpDown, {}, 2});
  type(res::kPackListField, u"/l.lst");
  type(res::kPackArchiveField, u"/a.dat");
  type(res::kPackExportField, u"/inc/");
  type(res::kPackPrefixField, u"ＡＢ_");  // two double-byte characters in CP932
  act({DialogStep::Select, res::kPackTypeCombo, {}, 1});
  act({DialogStep::Check, res::kPackOutputChecks[0]});
  act({DialogStep::Check, res::kPackOutputChecks[4]});
  press(res::kPackSaveButton);
  EXPECT_EQ(fake.messages, std::vector<std::u16string>{u"プロジェクト設定をセーブしました。"});
  EXPECT_EQ(fake.message_captions, std::vector<std::u16string>{u"Vardo32"});
  const PackProjectFile stored = stored_projects();
  EXPECT_EQ(stored.projects[2], (PackProject{u"/l.lst", u"/a.dat", u"/inc/", "\x82\x60\x82\x61_", 0x1 | 0x10 | 0x100}));
  EXPECT_EQ(stored.projects[0], pack_project_defaults().projects[0]);
}

TEST_F(FilePackModule, TypeAndChecksFollowTheStoredBitsAndWriteThemBack) {
  struct Case {
    int32_t stored;
    int type;
    int32_t saved;  // Time table alone is not a Type: it goes
  };
  for (const Case& c : {Case{0x0, 0, 0x0}, Case{0x1, 1, 0x1}, Case{0x2, 0, 0x0}, Case{0x3, 2, 0x3},
                        Case{0xF1, 1, 0xF1}, Case{0x1F3, 2, 0x1F3}}) {
    PackProjectFile f = pack_project_defaults();
    f.projects[0].options = c.stored;
    store_projects(f);
    platform::FakeDialog& d = open();
    EXPECT_EQ(d.selection(res::kPackTypeCombo), c.type) << c.stored;
    EXPECT_EQ(pack_options_of_dialog(d), c.saved) << c.stored;
    press(res::kPackSaveButton);
    EXPECT_EQ(stored_projects().projects[0].options, c.saved) << c.stored;
    act({DialogStep::Escape});
  }
}

TEST_F(FilePackModule, PrefixIsHeldTo63Bytes) {
  open();
  type(res::kPackPrefixField, std::u16string(70, u'P'));
  EXPECT_EQ(field(res::kPackPrefixField), std::u16string(63, u'P'));
  type(res::kPackPrefixField, std::u16string(62, u'P') + u"ア");  // the character would pass byte 63
  EXPECT_EQ(field(res::kPackPrefixField), std::u16string(62, u'P'));
}

TEST_F(FilePackModule, BrowsersFillTheirFields) {
  open();
  type(res::kPackExportField, u"/start");
  fake.folder_answers.push_back(u"/data/inc");
  press(res::kPackExportBrowse);
  ASSERT_EQ(fake.folder_requests.size(), 1u);
  EXPECT_EQ(fake.folder_requests[0].title, u"select path.");
  EXPECT_EQ(fake.folder_requests[0].initial_folder, u"/start");
  EXPECT_EQ(field(res::kPackExportField), u"/data/inc/");

  fake.open_answers.push_back(u"/data/x.lst");
  press(res::kPackListBrowse);
  EXPECT_EQ(fake.open_requests.at(0).title, u"select file.");
  EXPECT_EQ(fake.open_requests[0].filter.at(0), (std::pair<std::u16string, std::u16string>{u"List File (*.lst)", u"*.lst"}));
  EXPECT_EQ(field(res::kPackListField), u"/data/x.lst");

  fake.save_answers.push_back(platform::SaveFileChoice{u"/data/x.dat", 1});
  press(res::kPackArchiveBrowse);
  EXPECT_EQ(fake.save_requests.at(0).default_extension, u"dat");
  EXPECT_EQ(fake.save_requests[0].filter.at(0), (std::pair<std::u16string, std::u16string>{u"Data File (*.dat)", u"*.dat"}));
  EXPECT_EQ(field(res::kPackArchiveField), u"/data/x.dat");

  press(res::kPackListBrowse);  // cancelled: the field stays
  EXPECT_EQ(field(res::kPackListField), u"/data/x.lst");
}

TEST_F(FilePackModule, EditorsStartInTheirOwnFolderWithTheFile) {
  app->shell.settings().text_editor = u"/opt/text/edit";
  open();
  type(res::kPackListField, u"/d/l.lst");
  type(res::kPackArchiveField, u"/d/a.dat");
  press(res::kPackOpenList);
  press(res::kPackOpenArchive);  // no binary editor configured: nothing
  ASSERT_EQ(fake.started.size(), 1u);
  EXPECT_EQ(fake.started[0].program, u"/opt/text/edit");
  EXPECT_EQ(fake.started[0].arguments, std::vector<std::u16string>{u"/d/l.lst"});
  EXPECT_EQ(fake.started[0].working_folder, u"/opt/text/");
}

TEST_F(FilePackModule, DroppedListSelectsTheFirstProjectThatPacksIt) {
  PackProjectFile f = pack_project_defaults();
  f.projects[3].list_path = u"/x/Game.LST";
  f.projects[9].list_path = u"/x/Game.LST";
  store_projects(f);
  open();
  act({DialogStep::Drop, 0, {}, 0, {}, {u"/x/other.lst"}});  // no project uses it
  act({DialogStep::Drop, 0, {}, 0, {}, {u"/x/Game.LST", u"/x/b.lst"}});  // two items
  EXPECT_EQ(field(res::kPackNumberField), u"0");
  EXPECT_EQ(field(res::kPackListField), u"");
  act({DialogStep::Drop, 0, {}, 0, {}, {u"/x/Game.LST"}});
  EXPECT_EQ(field(res::kPackNumberField), u"3");
  EXPECT_EQ(field(res::kPackListField), u"/x/Game.LST");
  act({DialogStep::Escape});
  EXPECT_EQ(stored_projects().current, 3);
}

TEST_F(FilePackModule, DroppedFolderPutsListLinesOnTheClipboard) {
  write("pics/a.bmp", "a");
  write("pics/sub/a.bmp", "a");
  std::filesystem::create_directories(tmp.path() / "nothing");
  open();
  const std::u16string folder = tmp.file("pics");
  act({DialogStep::Drop, 0, {}, 0, {}, {folder, tmp.file("pics/a.bmp")}});
  EXPECT_FALSE(fake.clipboard_text);
  act({DialogStep::Drop, 0, {}, 0, {}, {folder}});
  EXPECT_EQ(fake.clipboard_text, "\"a.bmp\",\r\n");
  fake.held_keys.insert(platform::key::Shift);
  act({DialogStep::Drop, 0, {}, 0, {}, {folder}});
  EXPECT_EQ(fake.clipboard_text, "\"a.bmp\",\r\n\"sub/a.bmp\",\r\n");
  act({DialogStep::Drop, 0, {}, 0, {}, {tmp.file("nothing")}});  // no lines: the clipboard stays
  EXPECT_EQ(fake.clipboard_text, "\"a.bmp\",\r\n\"sub/a.bmp\",\r\n");
}

TEST_F(FilePackModule, EmptyFieldsAreReportedBeforeAnyRun) {
  struct Case {
    uint16_t empty;
    std::u16string warning;
  };
  for (const Case& c : {Case{res::kPackListField, u"Please set 'file - in' field."},
                        Case{res::kPackArchiveField, u"Please set 'file - out' field."},
                        Case{res::kPackPrefixField, u"Please set 'export - prefix' field."},
                        Case{res::kPackExportField, u"Please set 'export - path' field."}}) {
    open();
    for (uint16_t id : {res::kPackListField, res::kPackArchiveField, res::kPackPrefixField, res::kPackExportField}) {
      type(id, id == c.empty ? u"" : u"x");
    }
    fake.messages.clear();
    press(res::kPackButton);
    EXPECT_EQ(fake.messages, std::vector<std::u16string>{c.warning});
    EXPECT_EQ(fake.message_captions.back(), u"Vardo32");
    EXPECT_EQ(fake.message_icons.back(), platform::MessageIcon::Warning);
    EXPECT_TRUE(fake.dialogs.empty());  // no progress window
    act({DialogStep::Escape});
  }
}

TEST_F(FilePackModule, PackRunsBehindTheProgressWindow) {
  open();
  fill_run("\"a.txt\",\r\n\"b.bin\",\r\n", 1);
  expect_progress_to_finish();
  press(res::kPackButton);
  ASSERT_EQ(fake.dialogs.size(), 1u);  // the progress window only: no messages, no result window
  const platform::DialogRecord& progress = fake.dialogs[0];
  EXPECT_EQ(progress.id, res::kPackProgressDialogId);
  EXPECT_EQ(progress.end_code, platform::kDialogOk);
  EXPECT_EQ(progress.texts.at(res::kPackProgressBaseText), tmp.folder() + u"src/");
  EXPECT_EQ(progress.texts.at(res::kPackProgressFileText), u"b.bin");
  EXPECT_EQ(progress.texts.at(res::kPackProgressPercent), u"100% (2/2)");
  // An independent archive: the 2048-byte header, each entry at a 2048-byte boundary, then the
  // index of 16 bytes per entry at the next boundary after the data (4102 → 6144).
  const auto archive = read_file(tmp.file("out/data.dat"));
  ASSERT_TRUE(archive);
  EXPECT_EQ(archive->size(), 6144u + 2 * 16);
  EXPECT_EQ(std::string(archive->begin() + 2048, archive->begin() + 2053), "alpha");
  EXPECT_EQ(std::string(archive->begin() + 4096, archive->begin() + 4102), "bravo!");
  const auto ids = read_file(tmp.file("out/fid_data_id.txt"));
  ASSERT_TRUE(ids);
  EXPECT_EQ(std::string(ids->begin(), ids->end()), "\tID_A_TXT,\r\n\tID_B_BIN,\r\n\tID_MAX\r\n");
}

// The progress window shows an entry's name with the platform's separators, not the '\\' of the
// stored and packed names.
TEST_F(FilePackModule, ProgressShowsNamesWithThePlatformsSeparators) {
  open();
  write("src/movie/m4.mpk", "movie");
  fill_run("\"a.txt\",\r\n\"movie/m4.mpk\",\r\n", 1);
  expect_progress_to_finish();
  press(res::kPackButton);
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(fake.dialogs[0].texts.at(res::kPackProgressFileText), u"movie/m4.mpk");
}

TEST_F(FilePackModule, RunWithErrorsEndsInTheResultWindow) {
  open();
  fill_run("\"a.txt\",\r\n\"missing.bin\",\r\n\"gone.txt\",\r\n", 0);
  expect_progress_to_finish();
  fake.dialog_scripts.push_back(DialogScript{res::kPackResultDialogId, std::nullopt, {{DialogStep::Press, res::kPackResultClose}}});
  press(res::kPackButton);
  ASSERT_EQ(fake.dialogs.size(), 2u);
  const platform::DialogRecord& result = fake.dialogs[1];
  EXPECT_EQ(result.id, res::kPackResultDialogId);
  EXPECT_EQ(result.end_code, platform::kDialogOk);
  const std::u16string base = tmp.folder() + u"src/";
  EXPECT_EQ(result.items.at(res::kPackResultList),
            (std::vector<std::u16string>{u"dat: ファイルが見つかりません。[" + base + u"missing.bin], path=[" + base + u"]",
                                         u"dat: ファイルが見つかりません。[" + base + u"gone.txt], path=[" + base + u"]"}));
  EXPECT_FALSE(file_exists(tmp.file("out/data.dat")));  // a failed run leaves no archive
  EXPECT_TRUE(file_pack_dialog_open(app->tools));
}

// A progress window that ends before its run has finished (the program is closing) cancels the
// run: the worker stops after the entries in hand instead of packing on unseen, and leaves neither
// an archive nor a half-written temporary.
TEST_F(FilePackModule, AnEndedProgressWindowCancelsTheRun) {
  open();
  std::string list = "//#C:9\r\n";
  const std::vector<uint8_t> noise = testing::random_bytes(1u << 20);
  for (int i = 0; i < 40; ++i) {
    const std::string name = "big" + std::to_string(i) + ".bin";
    ASSERT_EQ(file_replace(tmp.file(("src/" + name).c_str()), noise), 0);
    list.append("\"").append(name).append("\",\r\n");
  }
  fill_run(list, 1);
  fake.dialog_scripts.push_back(DialogScript{res::kPackProgressDialogId, std::nullopt, {{DialogStep::Tick, 0, {}, 20}}});
  press(res::kPackButton);
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(fake.dialogs[0].end_code, platform::kDialogCancel);
  std::vector<std::string> left;
  std::error_code no_folder;
  for (const auto& e : std::filesystem::directory_iterator(tmp.path() / "out", no_folder)) {
    left.push_back(e.path().filename().string());
  }
  EXPECT_EQ(left, std::vector<std::string>{});
}

}  // namespace
}  // namespace tesmo
