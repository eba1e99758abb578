#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "app/application.h"
#include "base/bytes.h"
#include "base/file_io.h"
#include "base/text.h"
#include "edit/batch.h"
#include "shell/settings.h"
#include "temp_folder.h"
#include "tools/pack/pack_project.h"

namespace tesmo {
namespace {

std::vector<uint8_t> file_bytes(const SettingsStore& store) { return read_file(store.path()).value_or(std::vector<uint8_t>{}); }

std::u16string text_at(const std::vector<uint8_t>& f, size_t offset) { return load_u16_field(f, offset, 520); }

// Expected defaults, written out from the record's layout independently of the code's tables.
TEST(Settings, FirstStartWritesTheDefaultRecordByteForByte) {
  testing::TempFolder tmp;
  SettingsStore store(tmp.folder());
  store.load();
  auto f = file_bytes(store);
  ASSERT_EQ(f.size(), 262144u);
  EXPECT_TRUE(std::filesystem::is_directory(tmp.path() / "savedata"));
  const uint8_t head[] = {'Z', 'U', 'K', 0, 100, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_TRUE(std::equal(std::begin(head), std::end(head), f.begin()));
  EXPECT_EQ(text_at(f, 32), tmp.folder() + u"plug-in/");
  const std::pair<size_t, uint32_t> numbers[] = {
      {552, 50},   {556, 64},   {560, 4},    {6224, 3},   {6228, 8},   {6232, 7},   {6236, 1},
      {6240, 2},   {6244, 11},  {6248, 10},  {6252, 1},   {6316, 1},   {6320, 1},   {6324, 1},
      {6340, 1},   {6344, 1},   {6348, 1},   {6356, 1},   {9576, 0x80000000u},       {9580, 0x80000000u},
  };
  for (auto [offset, value] : numbers) EXPECT_EQ(load_u32le(f, offset), value) << offset;
  EXPECT_EQ(text_at(f, 1084), u"*.jpg");
  EXPECT_EQ(text_at(f, 8016), u"*.bmp");
  // Background colour: bytes red 0, green 0, blue 255, 0.
  EXPECT_EQ(f[11624], 0);
  EXPECT_EQ(f[11625], 0);
  EXPECT_EQ(f[11626], 255);
  EXPECT_EQ(f[11627], 0);
  // Everything else is zero: count the non-zero bytes the listed fields account for.
  size_t listed = 0;
  for (auto [offset, value] : numbers) {
    for (int i = 0; i < 4; ++i) listed += ((value >> (8 * i)) & 0xFF) != 0;
  }
  // "ZUK", version 100, the ASCII texts (one non-zero byte per unit), the colour's blue byte.
  listed += 3 + 1 + (tmp.folder().size() + 8) + 5 + 5 + 1;
  EXPECT_EQ(static_cast<size_t>(std::count_if(f.begin(), f.end(), [](uint8_t b) { return b != 0; })),
            listed);
}

TEST(Settings, UnrecognisedFilesAreReplacedByDefaults) {
  struct Case {
    const char* what;
    size_t offset;
    uint8_t value;
  };
  const Case cases[] = {{"version 99", 4, 99}, {"foreign signature", 0, 'X'}, {"no zero in signature", 3, ' '}};
  for (const Case& c : cases) {
    testing::TempFolder tmp;
    SettingsStore store(tmp.folder());
    store.settings().wheel_interval = 777;
    ASSERT_EQ(store.save(), 0);
    auto f = file_bytes(store);
    f[c.offset] = c.value;
    ASSERT_EQ(file_replace(store.path(), f), 0);
    SettingsStore again(tmp.folder());
    again.load();
    EXPECT_EQ(again.settings().wheel_interval, 50) << c.what;
    EXPECT_EQ(load_u32le(file_bytes(again), 4), 100u) << c.what;
    EXPECT_EQ(load_u32le(file_bytes(again), 552), 50u) << c.what;
  }
}

TEST(Settings, EveryFieldRoundTripsThroughTheFile) {
  testing::TempFolder tmp;
  SettingsStore store(tmp.folder());
  SystemSettings& s = store.settings();
  s.zoom_algorithm = 4;
  s.window_x = -1200;
  s.window_y = 33;
  s.background_colour = 0x00102030;
  s.binary_editor = u"/usr/bin/バイナリ";
  s.background_image = std::u16string(300, u'x');  // longer than the field: cut to 259 units
  s.camera_transfer_method = 1;
  ASSERT_EQ(store.save(), 0);
  SettingsStore loaded(tmp.folder());
  loaded.load();
  EXPECT_EQ(loaded.settings().zoom_algorithm, 4);
  EXPECT_EQ(loaded.settings().window_x, -1200);
  EXPECT_EQ(loaded.settings().binary_editor, u"/usr/bin/バイナリ");
  EXPECT_EQ(loaded.settings().background_image, std::u16string(259, u'x'));
  s.background_image.resize(259);
  EXPECT_EQ(loaded.settings(), s);
}

TEST(Settings, ShortFileKeepsWhatItDoesNotCover) {
  testing::TempFolder tmp;
  SettingsStore writer(tmp.folder());
  writer.settings().wheel_interval = 99;  // offset 552, inside the short file
  writer.settings().grid_spacing = 12;    // offset 556, cut off
  std::vector<uint8_t> record = encode_settings(writer.settings());
  record.resize(556);
  ASSERT_EQ(file_replace(writer.path(), record), 0);

  SettingsStore store(tmp.folder());
  store.settings().grid_spacing = 31;
  store.load();
  EXPECT_EQ(store.settings().wheel_interval, 99);
  EXPECT_EQ(store.settings().grid_spacing, 31);
  EXPECT_EQ(file_bytes(store).size(), 556u);  // an accepted file is not rewritten by load
}

TEST(Settings, ReadOnlyFileIsReplacedAndFailedSaveKeepsTheRecord) {
  testing::TempFolder tmp;
  SettingsStore store(tmp.folder());
  store.load();
  ASSERT_TRUE(set_read_only(store.path()));
  store.settings().loop = 0;
  EXPECT_EQ(store.save(), 0);
  EXPECT_EQ(load_u32le(file_bytes(store), 6252), 0u);

  // "savedata" is a file: no folder can be made, nothing is written, the record stays.
  testing::TempFolder blocked;
  ASSERT_EQ(file_replace(blocked.file("savedata"), std::vector<uint8_t>{1}), 0);
  SettingsStore failing(blocked.folder());
  failing.load();
  EXPECT_EQ(failing.settings().wheel_interval, 50);
  failing.settings().wheel_interval = 5;
  EXPECT_EQ(failing.save(), 1);
  EXPECT_EQ(failing.settings().wheel_interval, 5);
}

// An environment variable set (or, with nullptr, removed) while the object lives.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~ScopedVariable() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// An unprivileged effective user while the object lives, so that a folder without write permission
// cannot be written by this process either (the administrator may write anywhere).
class UnprivilegedUser {
 public:
  UnprivilegedUser() {
    constexpr uid_t kNobody = 65534;
    if (::geteuid() == 0) switched_ = ::setegid(kNobody) == 0 && ::seteuid(kNobody) == 0;
  }
  ~UnprivilegedUser() {
    if (switched_ && ::seteuid(0) == 0) (void)::setegid(0);
  }

 private:
  bool switched_ = false;
};

// Everything the program keeps in "savedata/" (the settings, the batch step lists, the file pack
// projects) goes beside the program while its folder can be written, else under the user's
// configuration folder ($XDG_CONFIG_HOME when it is an absolute path, else ~/.config).
TEST(Settings, SavedataIsBesideAWritableProgramElseInTheUserConfiguration) {
  struct Case {
    const char* what;
    bool writable;
    const char* config_home;  // absolute below the test folder when it starts with '/'
    const char* expected;     // below the test folder
  };
  const Case cases[] = {
      {"writable program folder", true, "/config", "program/savedata/"},
      {"read-only program folder", false, "/config", "config/tesmo64/savedata/"},
      {"relative configuration folder", false, "config", "home/.config/tesmo64/savedata/"},
  };
  namespace fs = std::filesystem;
  for (const Case& c : cases) {
    testing::TempFolder tmp;
    for (const char* folder : {"program", "config", "home"}) {
      fs::create_directories(tmp.path() / folder);
      fs::permissions(tmp.path() / folder, fs::perms::all);
    }
    if (!c.writable) fs::permissions(tmp.path() / "program", fs::perms::owner_write | fs::perms::group_write |
                                     fs::perms::others_write, fs::perm_options::remove);
    const std::string config = c.config_home[0] == '/' ? tmp.path().string() + c.config_home : c.config_home;
    ScopedVariable config_home("XDG_CONFIG_HOME", config.c_str());
    ScopedVariable home("HOME", (tmp.path() / "home").c_str());
    const std::u16string program = from_fs_path(tmp.path() / "program") + u"/";
    const std::u16string expected = from_fs_path(tmp.path()) + u"/" + utf8_to_utf16(c.expected);
    {
      UnprivilegedUser user;
      Application app(program);
      EXPECT_EQ(read_file(expected + u"system.sav").value_or(std::vector<uint8_t>{}).size(), 262144u) << c.what;
      EXPECT_EQ(batch_folder(app.edit), expected + u"batch/") << c.what;
      EXPECT_TRUE(fs::is_directory(to_fs_path(expected + u"batch/"))) << c.what;
      EXPECT_EQ(pack_project_path(program), expected + u"tool_vardo32.sav") << c.what;
    }
    fs::permissions(tmp.path() / "program", fs::perms::all);
  }
}

TEST(Settings, GridDivisionsBelowOneCountAsOne) {
  SystemSettings s;
  for (int32_t d : {-5, 0, 1}) {
    s.grid_divisions = d;
    EXPECT_EQ(effective_grid_divisions(s), 1);
  }
  s.grid_divisions = 8;
  EXPECT_EQ(effective_grid_divisions(s), 8);
}

}  // namespace
}  // namespace tesmo
