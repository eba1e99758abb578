// The file commands through the fake platform on real files in a temporary folder: deleting and
// what is shown next, renaming, copying and moving, cleaning Mac files, the external programs and
// the Preferences dialog.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/application.h"
#include "app/commands.h"
#include "base/file_io.h"
#include "formats/bmp/bmp.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "shell/dialog_skin.h"
#include "shell/menu_options.h"
#include "temp_folder.h"
#include "tests/app/fake_viewer.h"
#include "viewer/external_programs.h"
#include "viewer/file_commands.h"
#include "viewer/folder_list.h"

namespace tesmo {
namespace {

using platform::DialogScript;
using platform::DialogStep;
using platform::MessageAnswer;
namespace res = resources;
namespace fs = std::filesystem;

constexpr int32_t kBmp24 = 5;

class FileCommands : public ::testing::Test {
 protected:
  FileCommands() {
    app = testing::make_fake_viewer(fake, tmp.folder());
    disable_image_commands(app->shell.window->menu());
  }
  // A w × h BMP of one colour in the temporary folder (or a subfolder of it).
  std::u16string picture(const std::string& name, int w = 4, int h = 3, uint32_t colour = 0xFF204060u) {
    const std::u16string path = tmp.file(name.c_str());
    std::vector<uint32_t> px(static_cast<size_t>(w) * h, colour);
    EXPECT_EQ(file_replace(path, bmp::encode(px, w, h, kBmp24)), 0);
    return path;
  }
  std::u16string junk(const char* name) {
    const std::u16string path = tmp.file(name);
    EXPECT_EQ(file_replace(path, std::vector<uint8_t>{'n', 'o', 't'}), 0);
    return path;
  }
  void open(const std::u16string& path) { ASSERT_EQ(app->viewer.open_file(path, -1, -1), 0); }
  void command(uint16_t id) { dispatch_command(*app, id); }
  void script(uint16_t dialog, std::vector<DialogStep> steps) {
    fake.dialog_scripts.push_back(DialogScript{dialog, std::nullopt, std::move(steps)});
  }
  bool image() const { return app->doc.view().flags & kImageShown; }
  std::u16string shown() const { return app->doc.view().path; }
  std::u16string settings_path() { return tmp.folder() + u"savedata/system.sav"; }
  SystemSettings stored_settings() {
    SettingsStore store(tmp.folder());
    store.load();
    return store.settings();
  }

  testing::TempFolder tmp;
  platform::FakePlatform fake;
  std::unique_ptr<Application> app;
};

TEST_F(FileCommands, DeletingTheOnlyFileLeavesTheEmptyWindow) {
  for (const uint16_t id : {cmd::DeleteToTrash, cmd::DeleteFile}) {
    const auto a = picture("only.bmp", 900, 700);
    open(a);
    fake.answers = {platform::MessageAnswer::Yes};  // the trash asks first; a permanent delete does not
    command(id);
    EXPECT_FALSE(file_exists(a));
    EXPECT_FALSE(image());
    EXPECT_FALSE(app->viewer.has_folder_list);
    EXPECT_EQ(app->shell.window->client_rect().width(), 400);
    EXPECT_EQ(app->shell.window->client_rect().height(), 300);
    EXPECT_EQ(app->shell.window->title(), u"Tesmo64");
    EXPECT_FALSE(app->shell.window->menu().is_enabled(cmd::DeleteFile));
  }
  EXPECT_EQ(fake.trashed, std::vector<std::u16string>{tmp.file("only.bmp")});  // only the first went to the trash
  EXPECT_EQ(fake.messages, std::vector<std::u16string>{u"only.bmp をごみ箱に移動しますか？"});
}

TEST_F(FileCommands, TheTrashAsksFirstAndNoKeepsTheFile) {
  const auto a = picture("a.bmp"), b = picture("b.bmp");
  open(a);
  fake.answers = {platform::MessageAnswer::No};
  command(cmd::DeleteToTrash);
  EXPECT_TRUE(file_exists(a));
  EXPECT_TRUE(fake.trashed.empty());
  EXPECT_EQ(shown(), a);
  EXPECT_EQ(fake.message_icons, std::vector<platform::MessageIcon>{platform::MessageIcon::Question});
}

TEST_F(FileCommands, AfterADeleteTheNextFileThatOpensIsShown) {
  struct Case {
    const char* name;
    std::vector<const char*> files;  // names starting with "x" are not pictures
    int shown;                       // the file shown when the command comes
    bool loop;
    const char* expected;            // nullptr: the empty window
    size_t left;                     // folder-list entries afterwards
  };
  const Case cases[] = {
      {"middle: the entry moving up", {"a", "b", "c"}, 1, true, "c", 2},
      {"last: the new last file", {"a", "b", "c"}, 2, true, "b", 2},
      {"last without loop: the new last file too", {"a", "b", "c"}, 2, false, "b", 2},
      {"an unreadable entry is passed", {"a", "b", "xc", "d"}, 1, false, "d", 3},
      {"wrapping with Loop", {"a", "b", "xc"}, 1, true, "a", 2},
      {"no wrap without Loop", {"a", "b", "xc"}, 1, false, nullptr, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(tmp.path());
    fs::create_directories(tmp.path());
    app = testing::make_fake_viewer(fake, tmp.folder());  // no folder list left from the last case
    std::vector<std::u16string> paths;
    for (const char* f : c.files) {
      const std::string file = std::string(f) + ".bmp";
      paths.push_back(f[0] == 'x' ? junk(file.c_str()) : picture(file));
    }
    command(c.loop ? cmd::Loop : cmd::NoLoop);
    open(paths[static_cast<size_t>(c.shown)]);
    app->viewer.build_folder_list();
    app->viewer.marker_set();  // the shown entry's marker goes with it
    command(cmd::DeleteFile);
    EXPECT_FALSE(file_exists(paths[static_cast<size_t>(c.shown)]));
    if (!c.expected) {
      EXPECT_FALSE(image());
      continue;
    }
    ASSERT_TRUE(image());
    EXPECT_EQ(shown(), tmp.file((std::string(c.expected) + ".bmp").c_str()));
    ASSERT_EQ(app->viewer.folder_list.size(), c.left);
    EXPECT_EQ(app->viewer.markers.size(), c.left);
    for (const MarkerEntry& m : app->viewer.markers) EXPECT_EQ(m.state, 0);
    EXPECT_EQ(app->viewer.folder_list[static_cast<size_t>(app->viewer.shown_index)].path, shown());
  }
}

TEST_F(FileCommands, APermanentDeleteTakesReadOnlyFilesAndAFileThatStaysIsReported) {
  const auto a = picture("a.bmp"), b = picture("b.bmp");
  ASSERT_TRUE(set_read_only(a));
  open(a);
  command(cmd::DeleteFile);
  EXPECT_FALSE(file_exists(a));
  EXPECT_EQ(shown(), b);

  fake.refuse_trash = true;
  fake.answers = {platform::MessageAnswer::Yes};
  command(cmd::DeleteToTrash);
  EXPECT_TRUE(file_exists(b));
  EXPECT_EQ(fake.messages, (std::vector<std::u16string>{u"b.bmp をごみ箱に移動しますか？", u"ファイルが削除できませんでした。"}));
  EXPECT_EQ(fake.message_captions, (std::vector<std::u16string>{u"Tesmo64", u"Tesmo64"}));
  EXPECT_EQ(shown(), b);
  EXPECT_TRUE(image());
}

TEST_F(FileCommands, RenameKeepsTheSameNameRefusesAnExistingOneAndMovesTheFile) {
  const auto photo = picture("photo.bmp"), other = picture("other.bmp");
  open(photo);
  app->viewer.build_folder_list();

  script(res::kRenameDialogId, {{DialogStep::Enter}});  // the name as it is
  command(cmd::Rename);
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(fake.dialogs[0].texts.at(res::kRenameField), u"photo.bmp");
  EXPECT_EQ(fake.dialogs[0].text_selections.at(res::kRenameField), std::make_pair(0, 5));  // "photo", after the whole name got the focus
  EXPECT_TRUE(file_exists(photo));
  EXPECT_TRUE(fake.messages.empty());

  script(res::kRenameDialogId, {{DialogStep::SetText, res::kRenameField, u"other.bmp"}, {DialogStep::Enter}});
  command(cmd::Rename);
  EXPECT_EQ(fake.messages, std::vector<std::u16string>{u"指定されたファイルは既に存在します。\n別の名前を指定してください。"});
  EXPECT_TRUE(file_exists(photo));
  EXPECT_EQ(read_file(other), read_file(picture("expected.bmp")));  // untouched

  const auto bytes = read_file(photo);
  script(res::kRenameDialogId, {{DialogStep::SetText, res::kRenameField, u"renamed.bmp"}, {DialogStep::Enter}});
  command(cmd::Rename);
  const std::u16string renamed = tmp.file("renamed.bmp");
  EXPECT_FALSE(file_exists(photo));
  EXPECT_EQ(read_file(renamed), bytes);
  EXPECT_EQ(shown(), renamed);
  const int32_t at = find_folder_entry(app->viewer.folder_list, renamed);
  ASSERT_GE(at, 0);
  EXPECT_EQ(at, app->viewer.shown_index);
  EXPECT_EQ(app->viewer.folder_list[static_cast<size_t>(at)].name, u"renamed.bmp");
  EXPECT_EQ(app->viewer.folder_list[static_cast<size_t>(at)].hash, path_hash(renamed));
  EXPECT_EQ(app->shell.window->title().substr(0, renamed.size()), renamed);
}

TEST_F(FileCommands, UnsavedChangesCancelARenameWhenTheUserSaysNo) {
  const auto photo = picture("photo.bmp");
  open(photo);
  app->doc.view().flags |= kModified;
  fake.answers = {MessageAnswer::No};
  command(cmd::Rename);
  EXPECT_EQ(fake.messages, std::vector<std::u16string>{u"変更をセーブしますか？"});
  EXPECT_TRUE(fake.dialogs.empty());
  EXPECT_EQ(shown(), photo);
}

TEST_F(FileCommands, CopyAsksBeforeOverwritingAndRemembersTheFolder) {
  const auto a = picture("a.bmp", 4, 3, 0xFF112233u);
  const auto existing = picture("dest/a.bmp", 2, 2);
  const auto before = read_file(existing);
  open(a);
  const std::u16string dest = tmp.folder() + u"dest";
  fake.folder_answers = {dest};
  fake.answers = {MessageAnswer::No};
  command(cmd::CopyToFolder);
  ASSERT_EQ(fake.folder_requests.size(), 1u);
  EXPECT_EQ(fake.folder_requests[0].title, u"コピー先のフォルダーを選択してください。");
  EXPECT_EQ(fake.folder_requests[0].initial_folder, tmp.folder());  // nothing remembered yet
  EXPECT_EQ(fake.messages,
            std::vector<std::u16string>{u"コピー先のフォルダーには、既に同じファイルが存在します。\nファイルを上書きしますか？"});
  EXPECT_EQ(read_file(existing), before);
  EXPECT_TRUE(app->shell.settings().copy_folder.empty());

  fake.folder_answers = {dest};
  fake.answers = {MessageAnswer::Yes};
  command(cmd::CopyToFolder);
  EXPECT_EQ(read_file(existing), read_file(a));
  EXPECT_TRUE(file_exists(a));
  EXPECT_EQ(shown(), a);
  EXPECT_EQ(stored_settings().copy_folder, dest);

  fake.folder_answers = {tmp.folder() + u"new/deeper"};  // missing folders are made
  command(cmd::CopyToFolder);
  EXPECT_EQ(fake.folder_requests.back().initial_folder, dest);
  EXPECT_EQ(read_file(tmp.file("new/deeper/a.bmp")), read_file(a));
}

TEST_F(FileCommands, MoveDeletesTheSourceAndStepsToTheNextFile) {
  const auto a = picture("a.bmp", 4, 3, 0xFF112233u), b = picture("b.bmp");
  const auto bytes = read_file(a);
  open(a);
  fake.clock_ms += 100;  // past the navigation interval
  const std::u16string dest = tmp.folder() + u"dest";
  fake.folder_answers = {dest};
  command(cmd::MoveToFolder);
  EXPECT_EQ(fake.folder_requests[0].title, u"移動先のフォルダーを選択してください。");
  EXPECT_FALSE(file_exists(a));
  EXPECT_EQ(read_file(tmp.file("dest/a.bmp")), bytes);
  EXPECT_EQ(shown(), b);
  EXPECT_EQ(stored_settings().move_folder, dest);

  // Moving into the file's own folder must not lose it.
  fake.clock_ms += 100;
  fake.folder_answers = {tmp.folder()};
  command(cmd::MoveToFolder);
  EXPECT_TRUE(file_exists(b));
  EXPECT_TRUE(fake.messages.empty());
}

TEST_F(FileCommands, DeleteMacFilesRemovesDotFilesAndMacFoldersButKeepsPictures) {
  for (const char* f : {".DS_Store", "._a.bmp", "2EDS_~!3", "sub/.hidden", "sub/__MACOSX/deep/x.bmp",
                        "__MACOSX/._a.bmp", ".dotfolder/inner.bmp"}) {
    ASSERT_EQ(file_replace(tmp.file(f), std::vector<uint8_t>{1}), 0);
  }
  const auto a = picture("a.bmp"), keep = picture("sub/keep.bmp"), inner = tmp.file(".dotfolder/inner.bmp");
  ASSERT_TRUE(set_read_only(tmp.file("._a.bmp")));
  const std::u16string root = tmp.folder().substr(0, tmp.folder().size() - 1);
  fake.folder_answers = {root};
  command(cmd::DeleteMacFiles);
  EXPECT_EQ(fake.folder_requests[0].title, u"削除するファイルのあるフォルダーを選択してください。");
  std::vector<std::string> left;
  for (const auto& e : fs::recursive_directory_iterator(tmp.path())) {
    if (e.is_regular_file() && e.path().parent_path().filename() != "savedata") {
      left.push_back(fs::relative(e.path(), tmp.path()).string());
    }
  }
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, (std::vector<std::string>{".dotfolder/inner.bmp", "a.bmp", "sub/keep.bmp"}));
  EXPECT_FALSE(fs::exists(tmp.path() / "sub/__MACOSX"));
  EXPECT_EQ(fake.messages, std::vector<std::u16string>{u"Mac 固有ファイルを削除しました。"});
  EXPECT_EQ(fake.message_icons, std::vector<platform::MessageIcon>{platform::MessageIcon::Information});
  EXPECT_EQ(stored_settings().mac_file_folder, root);
  (void)a, (void)keep, (void)inner;
}

TEST_F(FileCommands, ExternalProgramsStartWithTheShownFileOrAskForTheirPath) {
  const auto a = picture("a.bmp");
  open(a);
  command(cmd::ImageEditor2);  // no editor set: a warning, then Preferences
  command(cmd::BinaryEditor);
  EXPECT_EQ(fake.messages, (std::vector<std::u16string>{u"画像編集ツールが設定されていません。",
                                                         u"バイナリー エディターが設定されていません。"}));
  ASSERT_EQ(fake.dialogs.size(), 2u);
  EXPECT_EQ(fake.dialogs[0].id, res::kPreferencesDialogId);
  EXPECT_TRUE(fake.started.empty());

  // A path written to the settings file meanwhile (by another instance) is read before the start.
  SettingsStore other(tmp.folder());
  other.load();
  other.settings().image_editor_2 = u"/opt/paint tool/bin/paint";
  ASSERT_EQ(other.save(), 0);
  const uint32_t before = fake.clock_ms;
  command(cmd::ImageEditor2);
  ASSERT_EQ(fake.started.size(), 1u);
  EXPECT_EQ(fake.started[0].program, u"/opt/paint tool/bin/paint");
  EXPECT_EQ(fake.started[0].arguments, std::vector<std::u16string>{a});  // one argument, no quotes
  EXPECT_EQ(fake.started[0].working_folder, u"/opt/paint tool/bin/");
  EXPECT_EQ(fake.clock_ms - before, 100u);
}

TEST_F(FileCommands, ManualAndHomePageOpenAsDocuments) {
  // The program in bin/ and its shared data in share/tesmo64/, as built and as installed; F1 reaches
  // the manual through the accelerators of the active window.
  platform::FakePlatform desk;
  desk.max_idle_polls = 2;
  auto installed = testing::make_fake_viewer(desk, tmp.folder() + u"bin/");
  const std::u16string manual = tmp.folder() + u"share/tesmo64/manual/";
  for (const char16_t* page : {u"ja/index.html", u"en/index.html"}) {
    fs::create_directories(to_fs_path(manual + page).parent_path());
    ASSERT_EQ(file_replace(manual + page, std::vector<uint8_t>{'<', 'p', '>'}), 0);
  }
  const char* old = std::getenv("LANG");
  const std::string saved = old ? old : "";
  struct Case {
    const char* lang;  // null: unset
    const char16_t* page;
  };
  for (const Case& c : {Case{nullptr, u"ja/index.html"}, Case{"ja_JP.UTF-8", u"ja/index.html"},
                        Case{"C.UTF-8", u"ja/index.html"}, Case{"en_GB.UTF-8", u"en/index.html"}}) {
    if (c.lang) setenv("LANG", c.lang, 1);
    else unsetenv("LANG");
    desk.documents.clear();
    desk.idle_polls = 0;
    desk.push(platform::Event{.kind = platform::EventKind::Activate, .code = platform::Active});
    desk.push_key(platform::key::function(1));
    run_message_loop(*installed);
    ASSERT_EQ(desk.documents.size(), 1u) << (c.lang ? c.lang : "unset");
    EXPECT_EQ(desk.documents[0], manual + c.page);
  }
  // Without the manual nothing opens and the message names the page looked for.
  unsetenv("LANG");
  fs::remove_all(to_fs_path(manual));
  desk.documents.clear();
  EXPECT_EQ(open_manual(installed->viewer), 1);
  EXPECT_TRUE(desk.documents.empty());
  ASSERT_FALSE(desk.messages.empty());
  EXPECT_NE(desk.messages.back().find(manual + u"ja/index.html"), std::u16string::npos);
  if (old) setenv("LANG", saved.c_str(), 1);
  else unsetenv("LANG");

  command(cmd::HomePage);
  ASSERT_EQ(fake.documents.size(), 1u);
  EXPECT_EQ(fake.documents[0].substr(0, 8), u"https://");
}

TEST_F(FileCommands, PreferencesWritesTheSettingsOnlyWhenSomethingChanged) {
  fs::remove(to_fs_path(settings_path()));
  const SystemSettings start = app->shell.settings();
  script(res::kPreferencesDialogId, {{DialogStep::Press, kSkinOkId}});
  command(cmd::Preferences);
  ASSERT_EQ(fake.dialogs.size(), 1u);
  EXPECT_EQ(fake.dialogs[0].texts.at(res::kPrefGridSpacing), u"64");
  EXPECT_EQ(fake.dialogs[0].texts.at(res::kPrefCameraPattern), u"*.jpg");
  EXPECT_FALSE(fs::exists(to_fs_path(settings_path())));

  script(res::kPreferencesDialogId, {{DialogStep::SetText, res::kPrefGridSpacing, u"32"}, {DialogStep::Escape}});
  command(cmd::Preferences);
  EXPECT_EQ(app->shell.settings(), start);
  EXPECT_FALSE(fs::exists(to_fs_path(settings_path())));

  fake.open_answers = {u"/usr/bin/hexer"};
  fake.folder_answers = {u"/plug"};
  script(res::kPreferencesDialogId, {{DialogStep::SetText, res::kPrefGridSpacing, u" 32px"},
                                     {DialogStep::SetText, res::kPrefWheelInterval, u"-7"},
                                     {DialogStep::SetText, res::kPrefTextEditor, std::u16string(300, u'e')},
                                     {DialogStep::Press, res::kPrefBinaryEditorBrowse},
                                     {DialogStep::Press, res::kPrefPluginBrowse},
                                     {DialogStep::Press, res::kPrefCameraBrowse},
                                     {DialogStep::Enter}});
  command(cmd::Preferences);
  ASSERT_EQ(fake.open_requests.size(), 1u);
  EXPECT_EQ(fake.open_requests[0].title, u"バイナリー エディターを選択してください。");
  EXPECT_EQ(fake.open_requests[0].filter[0].first, u"実行ファイル (*.exe)");
  EXPECT_EQ(fake.folder_requests[0].title, u"プラグインの場所を選択してください。");
  EXPECT_EQ(fake.folder_requests[0].initial_folder, start.plugin_folder);
  const SystemSettings stored = stored_settings();
  EXPECT_EQ(stored, app->shell.settings());
  EXPECT_EQ(stored.grid_spacing, 32);
  EXPECT_EQ(stored.wheel_interval, -7);
  EXPECT_EQ(stored.binary_editor, u"/usr/bin/hexer");
  EXPECT_EQ(stored.plugin_folder, u"/plug");
  EXPECT_EQ(stored.text_editor, std::u16string(259, u'e'));
  EXPECT_EQ(stored.grid_divisions, start.grid_divisions);
}

}  // namespace
}  // namespace tesmo
