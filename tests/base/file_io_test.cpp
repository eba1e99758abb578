#include "base/file_io.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/path.h"
#include "base/text.h"

namespace tesmo {
namespace {

class FileIo : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("tesmo_file_io_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::u16string path(const char* name) const { return from_fs_path(dir_ / name); }
  std::filesystem::path dir_;
};

TEST_F(FileIo, ReplaceCreatesFoldersAndReplacesReadOnlyFiles) {
  const std::vector<uint8_t> first = {1, 2, 3};
  const std::vector<uint8_t> second = {4, 5};
  std::u16string target = path("a/b/out.bin");
  ASSERT_EQ(file_replace(target, first), 0);
  EXPECT_EQ(read_file(target), first);
  ASSERT_TRUE(set_read_only(target));
  ASSERT_EQ(file_replace(target, second), 0);
  EXPECT_EQ(read_file(target), second);
  // No temporary file is left beside the target.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "a/b"), {}), 1);
}

TEST_F(FileIo, FailedReplaceKeepsWhatWasThere) {
  std::u16string folder = path("folder");
  std::filesystem::create_directories(to_fs_path(folder));
  EXPECT_EQ(file_replace(folder, std::vector<uint8_t>{1}), 1);
  EXPECT_TRUE(is_directory(folder));
  // A parent that is a file cannot be created as a folder.
  std::u16string file = path("plain");
  ASSERT_EQ(file_replace(file, std::vector<uint8_t>{7}), 0);
  EXPECT_EQ(file_replace(file + u"/child", std::vector<uint8_t>{1}), 1);
  EXPECT_EQ(read_file(file), std::vector<uint8_t>{7});
  EXPECT_EQ(file_replace(u"", std::vector<uint8_t>{1}), 1);
}

TEST_F(FileIo, CopiesOverReadOnlyTargetsIntoNewFoldersAndDeletesReadOnlyFiles) {
  const std::u16string source = path("src.bin");
  ASSERT_EQ(file_replace(source, std::vector<uint8_t>{9, 8, 7}), 0);
  ASSERT_TRUE(set_read_only(source));
  const std::u16string target = path("x/y/dst.bin");
  ASSERT_EQ(file_copy_over(source, target), 0);
  EXPECT_EQ(read_file(target), (std::vector<uint8_t>{9, 8, 7}));
  ASSERT_TRUE(set_read_only(target));
  ASSERT_EQ(file_replace(source, std::vector<uint8_t>{1}), 0);
  ASSERT_EQ(file_copy_over(source, target), 0);
  EXPECT_EQ(read_file(target), std::vector<uint8_t>{1});
  EXPECT_EQ(file_copy_over(source, source), 0);  // onto itself: nothing lost
  EXPECT_EQ(read_file(source), std::vector<uint8_t>{1});
  // A missing source or a folder as target fails and leaves the target as it was.
  EXPECT_EQ(file_copy_over(path("missing"), target), 1);
  EXPECT_EQ(file_copy_over(source, path("x")), 1);
  EXPECT_EQ(read_file(target), std::vector<uint8_t>{1});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_ / "x/y"), {}), 1);

  ASSERT_TRUE(set_read_only(target));
  EXPECT_TRUE(file_delete(target));
  EXPECT_FALSE(file_exists(target));
  EXPECT_TRUE(file_delete(target));  // nothing there: nothing left
  EXPECT_FALSE(file_delete(path("x")));  // folders are not files
}

TEST_F(FileIo, ReadsRejectFoldersAndMissingFilesAndHonourPrefixes) {
  EXPECT_FALSE(read_file(path("missing")));
  EXPECT_FALSE(read_file(from_fs_path(dir_)));
  std::u16string f = path("ten");
  ASSERT_EQ(file_replace(f, std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}), 0);
  EXPECT_EQ(read_file_prefix(f, 4)->size(), 4u);
  EXPECT_EQ(read_file_prefix(f, 100)->size(), 10u);
  EXPECT_TRUE(file_exists(f));
  EXPECT_FALSE(file_exists(from_fs_path(dir_)));
  auto bytes = read_file_bytes(f, 6);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(std::vector<uint8_t>(bytes->data(), bytes->data() + bytes->size()),
            (std::vector<uint8_t>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(read_file_bytes(f)->size(), 10u);
  EXPECT_FALSE(read_file_bytes(from_fs_path(dir_)));
  std::u16string empty = path("empty");
  ASSERT_EQ(file_replace(empty, std::vector<uint8_t>{}), 0);
  EXPECT_EQ(read_file_bytes(empty)->size(), 0u);
}

}  // namespace
}  // namespace tesmo
