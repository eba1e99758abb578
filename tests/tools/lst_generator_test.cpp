#include "tools/lst_generator.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/file_io.h"
#include "base/text.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

namespace fs = std::filesystem;

void touch(const fs::path& p) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << "x";
}

std::string text_of(const std::u16string& path) {
  auto data = read_file(path);
  return data ? std::string(data->begin(), data->end()) : "<missing>";
}

TEST(LstGenerator, ListsNestedFoldersInNameOrderWithForwardSlashes) {
  testing::TempFolder tmp;
  const fs::path root = tmp.path() / "set";
  touch(root / "c.txt");
  touch(root / "b.txt");
  touch(root / "a" / "z.bin");
  touch(root / "a" / "c" / "d.dat");
  touch(root / "B.txt");  // upper case sorts before lower case
  touch(root / to_fs_path(u"日本.txt"));
  fs::create_directories(root / "empty");
  const std::string expected =
      "\"B.txt\",\r\n\"a/c/d.dat\",\r\n\"a/z.bin\",\r\n\"b.txt\",\r\n\"c.txt\",\r\n\"\x93\xFA\x96\x7B.txt\",\r\n";

  // With and without the trailing separator.
  for (const std::u16string& folder : {from_fs_path(root), from_fs_path(root) + u"/"}) {
    const LstListing listing = lst_listing(folder);
    EXPECT_EQ(listing.text, expected);
    EXPECT_EQ(listing.files, 6u);
  }

  ASSERT_EQ(generate_lst(from_fs_path(root)), LstResult::Written);
  EXPECT_EQ(text_of(from_fs_path(root / "output.lst")), expected);
  // A second run finds the list it wrote and names it too.
  ASSERT_EQ(generate_lst(from_fs_path(root)), LstResult::Written);
  EXPECT_EQ(text_of(from_fs_path(root / "output.lst")),
            "\"B.txt\",\r\n\"a/c/d.dat\",\r\n\"a/z.bin\",\r\n\"b.txt\",\r\n\"c.txt\",\r\n\"output.lst\",\r\n"
            "\"\x93\xFA\x96\x7B.txt\",\r\n");
}

TEST(LstGenerator, EmptyOrMissingFoldersWriteNothing) {
  testing::TempFolder tmp;
  fs::create_directories(tmp.path() / "only" / "folders");
  EXPECT_EQ(generate_lst(tmp.file("only")), LstResult::NoFiles);
  EXPECT_FALSE(file_exists(tmp.file("only/output.lst")));
  EXPECT_EQ(generate_lst(tmp.file("missing")), LstResult::NoFiles);
  EXPECT_FALSE(fs::exists(tmp.path() / "missing"));
}

TEST(LstGenerator, LinkedFoldersAreNotEntered) {
  testing::TempFolder tmp;
  touch(tmp.path() / "top" / "f.txt");
  fs::create_directory_symlink(tmp.path() / "top", tmp.path() / "top" / "loop");
  EXPECT_EQ(lst_listing(tmp.file("top")).text, "\"f.txt\",\r\n");
}

TEST(LstGenerator, AListThatCannotBeWrittenLeavesTheOldOne) {
  testing::TempFolder tmp;
  touch(tmp.path() / "set" / "a.txt");
  fs::create_directories(tmp.path() / "set" / "output.lst");  // a folder in the list's place
  EXPECT_EQ(generate_lst(tmp.file("set")), LstResult::WriteFailed);
  EXPECT_TRUE(is_directory(tmp.file("set/output.lst")));
}

}  // namespace
}  // namespace tesmo
