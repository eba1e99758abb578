// Copies, moves and deletes of the file commands on real files: a copy that cannot be made leaves
// the target and the source as they were; a copy keeps the source's time and read-only state.
#include "viewer/file_moves.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>

#include "base/file_io.h"
#include "base/path.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> bytes(const char* text) { return std::vector<uint8_t>(text, text + std::strlen(text)); }

TEST(FileMoves, ACopyReplacesTheTargetAndKeepsTimeAndReadOnlyState) {
  testing::TempFolder tmp;
  const auto from = tmp.file("from.bin"), to = tmp.file("a/b/to.bin");
  ASSERT_EQ(file_replace(from, bytes("new content")), 0);
  const auto when = fs::file_time_type::clock::now() - std::chrono::hours(30);
  fs::last_write_time(to_fs_path(from), when);
  ASSERT_TRUE(set_read_only(from));
  ASSERT_EQ(copy_file_replacing(from, to), 0);  // the folders are made
  EXPECT_EQ(read_file(to), bytes("new content"));
  EXPECT_EQ(fs::last_write_time(to_fs_path(to)), when);
  EXPECT_EQ(fs::status(to_fs_path(to)).permissions(), fs::status(to_fs_path(from)).permissions());
  // A read-only target is replaced as well.
  ASSERT_EQ(file_replace(from, bytes("newer")), 0);
  EXPECT_EQ(copy_file_replacing(from, to), 0);
  EXPECT_EQ(read_file(to), bytes("newer"));
}

TEST(FileMoves, AFailedCopyLeavesTargetAndSource) {
  testing::TempFolder tmp;
  const auto from = tmp.file("from.bin"), to = tmp.file("to.bin"), folder = tmp.file("folder");
  ASSERT_EQ(file_replace(from, bytes("source")), 0);
  ASSERT_EQ(file_replace(to, bytes("target")), 0);
  fs::create_directories(to_fs_path(folder));
  struct Case {
    const char* name;
    std::u16string from, to;
  };
  const Case cases[] = {
      {"missing source", tmp.file("missing.bin"), to},
      {"a folder in the target's place", from, folder},
      {"the same file", from, tmp.folder() + u"./from.bin"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(copy_file_replacing(c.from, c.to), 1);
    EXPECT_EQ(move_file(c.from, c.to), 1);
    EXPECT_EQ(read_file(from), bytes("source"));
    EXPECT_EQ(read_file(to), bytes("target"));
    EXPECT_TRUE(is_directory(folder));
  }
  EXPECT_TRUE(same_file(from, tmp.folder() + u"folder/../from.bin"));
  EXPECT_FALSE(same_file(from, tmp.file("missing.bin")));
}

TEST(FileMoves, AMoveDeletesTheSourceAfterTheCopy) {
  testing::TempFolder tmp;
  const auto from = tmp.file("from.bin"), to = tmp.file("sub/to.bin");
  ASSERT_EQ(file_replace(from, bytes("moving")), 0);
  ASSERT_TRUE(set_read_only(from));
  EXPECT_EQ(move_file(from, to), 0);
  EXPECT_FALSE(file_exists(from));
  EXPECT_EQ(read_file(to), bytes("moving"));
  EXPECT_EQ(delete_file(to), 0);
  EXPECT_EQ(delete_file(to), 0);  // nothing left to delete is no failure
}

TEST(FileMoves, MacCleaningNeverFollowsLinks) {
  testing::TempFolder tmp;
  const fs::path outside_folder = tmp.path().string() + "_outside";  // reached only through links
  const auto outside = from_fs_path(outside_folder / ".keep");
  ASSERT_EQ(file_replace(outside, bytes("x")), 0);
  fs::create_directory_symlink(outside_folder, tmp.path() / "linked");
  fs::create_directory_symlink(outside_folder, tmp.path() / "__MACOSX");
  EXPECT_EQ(delete_mac_files_in(tmp.folder()), 1);  // the "__MACOSX" link itself
  EXPECT_TRUE(file_exists(outside));
  EXPECT_FALSE(fs::exists(fs::symlink_status(tmp.path() / "__MACOSX")));
  EXPECT_TRUE(fs::is_symlink(tmp.path() / "linked"));
  fs::remove_all(outside_folder);
}

}  // namespace
}  // namespace tesmo
