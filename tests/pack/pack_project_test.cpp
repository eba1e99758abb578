// The file pack module's project file (both layouts) and the list lines made from a folder.
#include "tools/pack/pack_project.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/bytes.h"
#include "base/file_io.h"
#include "temp_folder.h"
#include "tools/pack/pack_folder_lines.h"

namespace tesmo {
namespace {

using testing::TempFolder;
using namespace std::string_literals;

// Record n of the current layout starts after the 4-byte project number.
constexpr size_t record_at(size_t n) { return 4 + n * 1640; }

std::u16string u16_at(const std::vector<uint8_t>& data, size_t offset, size_t units) {
  std::u16string s;
  for (size_t i = 0; i < units; ++i) s.push_back(static_cast<char16_t>(data[offset + 2 * i] | data[offset + 2 * i + 1] << 8));
  return s;
}

PackProjectFile sample_file() {
  PackProjectFile f = pack_project_defaults();
  f.current = 5;
  PackProject& p = f.projects[5];
  p.list_path = u"/work/データ/list.lst";
  p.archive_path = u"/work/out/data.dat";
  p.export_dir = u"/work/include/";
  p.prefix = "ID_";
  p.options = 0x1F3;
  return f;
}

TEST(PackProjectFile, FieldsSitAtTheirOffsetsAndReadBack) {
  const PackProjectFile f = sample_file();
  const std::vector<uint8_t> data = pack_project_encode(f);
  ASSERT_EQ(data.size(), 52484u);
  EXPECT_EQ(load_u32le(data, 0), 5u);
  const size_t r = record_at(5);
  ASSERT_EQ(r, 8204u);
  EXPECT_EQ(u16_at(data, r + 0, 19), u"/work/データ/list.lst\0"s);
  EXPECT_EQ(u16_at(data, r + 520, 19), u"/work/out/data.dat\0"s);
  EXPECT_EQ(u16_at(data, r + 1040, 15), u"/work/include/\0"s);
  EXPECT_EQ(std::string(data.begin() + r + 1560, data.begin() + r + 1564), std::string("ID_\0", 4));
  EXPECT_EQ(load_u32le(data, r + 1624), 0x1F3u);
  for (size_t i = r + 1628; i < r + 1640; ++i) EXPECT_EQ(data[i], 0) << i;  // reserved
  // The neighbouring record keeps the defaults.
  EXPECT_EQ(std::string(data.begin() + record_at(6) + 1560, data.begin() + record_at(6) + 1565), std::string("FID_\0", 5));
  EXPECT_EQ(load_u32le(data, record_at(6) + 1624), 1u);
  EXPECT_EQ(pack_project_decode(data), f);
}

TEST(PackProjectFile, SaveAndLoadThroughTheFile) {
  TempFolder tmp;
  const std::u16string path = pack_project_path(tmp.folder());
  EXPECT_EQ(path, tmp.folder() + u"savedata/tool_vardo32.sav");
  EXPECT_EQ(pack_project_load(path), pack_project_defaults());  // no file yet
  ASSERT_EQ(pack_project_save(path, sample_file()), 0);        // creates "savedata"
  ASSERT_TRUE(set_read_only(path));
  PackProjectFile again = sample_file();
  again.current = 9;
  ASSERT_EQ(pack_project_save(path, again), 0);  // a read-only file is replaced too
  EXPECT_EQ(std::filesystem::file_size(to_fs_path(path)), 52484u);
  EXPECT_EQ(pack_project_load(path), again);
}

TEST(PackProjectFile, AnyOtherSizeGivesTheDefaults) {
  for (size_t size : {0u, 4u, 27523u, 27525u, 52483u, 52485u}) {
    const std::vector<uint8_t> data(size, 0x41);
    const PackProjectFile f = pack_project_decode(data);
    EXPECT_EQ(f.current, 0) << size;
    for (const PackProject& p : f.projects) {
      EXPECT_EQ(p.prefix, "FID_") << size;
      EXPECT_EQ(p.options, 1) << size;
      EXPECT_TRUE(p.list_path.empty() && p.archive_path.empty() && p.export_dir.empty()) << size;
    }
  }
}

TEST(PackProjectFile, OlderLayoutIsConverted) {
  std::vector<uint8_t> data(27524, 0);
  store_u32le(data, 0, 7);
  const size_t r = 4 + 3 * 860;
  const std::string list = "C:\\\x83\x66\x81\x5B\x83\x5E\\a.lst";  // "データ" in CP932
  std::copy(list.begin(), list.end(), data.begin() + r);
  const std::string archive = "C:\\out\\a.dat";
  std::copy(archive.begin(), archive.end(), data.begin() + r + 260);
  const std::string dir = "C:\\inc\\";
  std::copy(dir.begin(), dir.end(), data.begin() + r + 520);
  const std::string prefix = "OLD_";
  std::copy(prefix.begin(), prefix.end(), data.begin() + r + 780);
  store_u32le(data, r + 844, 0x93);

  const PackProjectFile f = pack_project_decode(data);
  EXPECT_EQ(f.current, 7);
  const PackProject& p = f.projects[3];
  EXPECT_EQ(p.list_path, u"C:\\データ\\a.lst");
  EXPECT_EQ(p.archive_path, u"C:\\out\\a.dat");
  EXPECT_EQ(p.export_dir, u"C:\\inc\\");
  EXPECT_EQ(p.prefix, "OLD_");
  EXPECT_EQ(p.options, 0x93);
  EXPECT_EQ(f.projects[0], PackProject{});  // old records are copied, not defaulted
  // The next save writes the current layout.
  EXPECT_EQ(pack_project_encode(f).size(), 52484u);
  EXPECT_EQ(pack_project_decode(pack_project_encode(f)), f);
}

// Paths that fill their whole field (no terminator) read as the 259 units a save keeps, in both
// layouts, so that loading, saving and loading again gives the same project.
TEST(PackProjectFile, UnterminatedPathsReadAsWhatTheNextSaveKeeps) {
  std::vector<uint8_t> old(27524, 0);
  std::fill_n(old.begin() + 4 + 860 + 520, 260, uint8_t{'a'});  // project 1's export folder, 260 bytes
  std::vector<uint8_t> current = pack_project_encode(pack_project_defaults());
  for (size_t i = 0; i < 260; ++i) current[4 + 2 * 1640 + 2 * i] = 'b';  // project 2's list, 260 units
  const PackProjectFile from_old = pack_project_decode(old);
  const PackProjectFile from_current = pack_project_decode(current);
  EXPECT_EQ(from_old.projects[1].export_dir, std::u16string(259, u'a'));
  EXPECT_EQ(from_current.projects[2].list_path, std::u16string(259, u'b'));
  EXPECT_EQ(from_current.projects[2].archive_path, u"");
  EXPECT_EQ(pack_project_decode(pack_project_encode(from_old)), from_old);
  EXPECT_EQ(pack_project_decode(pack_project_encode(from_current)), from_current);
}

TEST(PackProjectFile, ProjectNumberOutsideTheRangeBecomesZero) {
  for (uint32_t stored : {32u, 0xFFFFFFFFu, 0x80000000u}) {
    std::vector<uint8_t> data = pack_project_encode(pack_project_defaults());
    store_u32le(data, 0, stored);
    EXPECT_EQ(pack_project_decode(data).current, 0) << stored;
  }
}

TEST(PackProjectType, ChoiceAndOptionBitsBothWays) {
  struct Case {
    int32_t options;
    int type;
  };
  for (const Case& c : {Case{0, 0}, Case{0x1, 1}, Case{0x2, 0}, Case{0x3, 2}, Case{0x1F1, 1}, Case{0x1F3, 2},
                        Case{0x10, 0}}) {
    EXPECT_EQ(pack_type_of_options(c.options), c.type) << c.options;
  }
  EXPECT_EQ(pack_options_of_type(0), 0);
  EXPECT_EQ(pack_options_of_type(1), 0x1);
  EXPECT_EQ(pack_options_of_type(2), 0x3);
  EXPECT_EQ(pack_options_of_type(-1), 0);  // no choice made
}

TEST(PackProjectPrefix, CutToTheFieldWithoutSplittingACharacter) {
  struct Case {
    std::string in;
    size_t kept;
  };
  const std::string a62(62, 'A');
  for (const Case& c : {Case{std::string(63, 'A'), 63}, Case{std::string(64, 'A'), 63}, Case{a62 + "\x83\x41", 62},
                        Case{a62 + "B\x83\x41", 63}, Case{"FID_", 4}}) {
    EXPECT_EQ(pack_prefix_fit(c.in), c.in.substr(0, c.kept));
  }
  // A stored field without a terminator reads as its first 63 bytes.
  std::vector<uint8_t> data = pack_project_encode(pack_project_defaults());
  std::fill_n(data.begin() + record_at(0) + 1560, 64, 'X');
  EXPECT_EQ(pack_project_decode(data).projects[0].prefix, std::string(63, 'X'));
}

class FolderLines : public ::testing::Test {
 protected:
  void touch(const char* name) {
    ASSERT_EQ(file_replace(tmp.file(name), std::vector<uint8_t>{1}), 0);
  }
  TempFolder tmp;
};

TEST_F(FolderLines, OwnFilesOrSubfoldersTooInTheListsOrder) {
  for (const char* name : {"b.txt", "a.bmp", "sub0.txt", "sub/a.bmp", "sub/z/c.txt", ".svn/entries", ".svnkeep",
                           "\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF.bmp"}) {  // "データ.bmp" in UTF-8
    touch(name);
  }
  std::filesystem::create_directories(tmp.path() / "empty");
  // '\\' sorts after digits, so "sub0.txt" comes before the files in "sub"; ".svn" paths are left out.
  EXPECT_EQ(pack_folder_lines(tmp.folder(), false),
            "\"a.bmp\",\r\n\"b.txt\",\r\n\"sub0.txt\",\r\n\"\x83\x66\x81\x5B\x83\x5E.bmp\",\r\n");
  EXPECT_EQ(pack_folder_lines(tmp.folder(), true),
            "\"a.bmp\",\r\n\"b.txt\",\r\n\"sub0.txt\",\r\n\"sub/a.bmp\",\r\n\"sub/z/c.txt\",\r\n"
            "\"\x83\x66\x81\x5B\x83\x5E.bmp\",\r\n");
}

TEST_F(FolderLines, NothingForAnEmptyOrMissingFolder) {
  std::filesystem::create_directories(tmp.path() / "empty/inner");
  EXPECT_EQ(pack_folder_lines(tmp.file("empty"), true), "");
  EXPECT_EQ(pack_folder_lines(tmp.file("missing"), true), "");
}

}  // namespace
}  // namespace tesmo
