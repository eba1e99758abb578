#include "tools/dummy_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/file_io.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

using SU = SizeUnit;

TEST(DummyFile, SizeFieldIsHeldToItsUnit) {
  struct Case {
    int32_t typed;
    SU unit;
    int32_t held;
  };
  const Case cases[] = {
      {-5, SU::Bytes, 0},          {-1, SU::MegaBytes, 0},     {2000000000, SU::Bytes, 2000000000},
      {2097151, SU::KiloBytes, 2097151}, {2097152, SU::KiloBytes, 2097151}, {2047, SU::MegaBytes, 2047},
      {2048, SU::MegaBytes, 2047}, {2048, SU::KiloBytes, 2048}, {0, SU::MegaBytes, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(clamp_dummy_size(c.typed, c.unit), c.held) << c.typed;
}

TEST(DummyFile, SizeInBytes) {
  EXPECT_EQ(dummy_size_bytes(3, SU::KiloBytes), 3072);
  EXPECT_EQ(dummy_size_bytes(5, SU::Bytes), 5);
  EXPECT_EQ(dummy_size_bytes(2, SU::MegaBytes), 2 * 1048576);
  EXPECT_EQ(dummy_size_bytes(2047, SU::MegaBytes), 2047LL * 1048576);
  EXPECT_EQ(dummy_size_bytes(2097151, SU::KiloBytes), 2097151LL * 1024);
  // A unit changed after typing can push the size past 32 bits: an empty file.
  EXPECT_EQ(dummy_size_bytes(2048, SU::MegaBytes), 0);
  EXPECT_EQ(dummy_size_bytes(6000, SU::MegaBytes), 0);
  EXPECT_EQ(dummy_size_bytes(-4, SU::KiloBytes), 0);
}

TEST(DummyFile, WritesZerosAndKeepsTheOldFileOnFailure) {
  testing::TempFolder tmp;
  const std::u16string path = tmp.file("out/dummy.bin");
  int writes = 0;
  ASSERT_EQ(write_dummy_file(path, 3072, [&] { ++writes; }), 0);
  EXPECT_EQ(read_file(path), std::vector<uint8_t>(3072, 0));
  EXPECT_EQ(writes, 1);

  // A read-only file is replaced; a zero size leaves an empty file.
  ASSERT_TRUE(set_read_only(path));
  ASSERT_EQ(write_dummy_file(path, 0), 0);
  EXPECT_EQ(read_file(path), std::vector<uint8_t>{});

  // Nothing can be written over a folder; it stays.
  std::filesystem::create_directories(tmp.path() / "folder");
  EXPECT_EQ(write_dummy_file(tmp.file("folder"), 10), 1);
  EXPECT_TRUE(is_directory(tmp.file("folder")));
  EXPECT_EQ(write_dummy_file(u"", 10), 1);
}

TEST(DummyFile, LargeFilesAreWrittenInPiecesOf32MiB) {
  testing::TempFolder tmp;
  int writes = 0;
  const int64_t size = kDummyWriteChunk + 5;
  ASSERT_EQ(write_dummy_file(tmp.file("big.bin"), size, [&] { ++writes; }), 0);
  EXPECT_EQ(std::filesystem::file_size(tmp.path() / "big.bin"), static_cast<uintmax_t>(size));
  EXPECT_EQ(writes, 2);
}

TEST(DummyFile, CopyNames) {
  struct Case {
    const char16_t* source;
    const char16_t* prefix;
    int32_t digits, number;
    const char16_t* name;
  };
  const Case cases[] = {
      {u"/c/a/pic.bmp", u"img_", 4, 1, u"/c/a/img_0001.bmp"},
      {u"/c/a/pic.bmp", u"img_", 4, 3, u"/c/a/img_0003.bmp"},
      {u"/c/a/pic.bmp", u"img_", 5, 1, u"/c/a/img_00010.bmp"},
      {u"/c/a/pic.bmp", u"img_", 5, 3, u"/c/a/img_00030.bmp"},
      {u"/c/a/pic.bmp", u"img_", 2, 12345, u"/c/a/img_123450.bmp"},  // any count but 4: ×10 in five digits
      {u"/c/a/pic.tar.GZ", u"", 4, 7, u"/c/a/0007.GZ"},
      {u"/c/a.d/pic", u"n", 4, 7, u"/c/a.d/n0007"},  // a dot in a folder is no extension
      {u"pic.bmp", u"x", 4, -5, u"x-005.bmp"},
      {u"/c/a/pic.bmp", u"sub/", 4, 10000, u"/c/a/sub/10000.bmp"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dummy_copy_name(c.source, c.prefix, c.digits, c.number), c.name) << c.number;
  }
}

TEST(DummyFile, NumberedCopiesReplaceAndMakeFolders) {
  testing::TempFolder tmp;
  const std::u16string source = tmp.file("pic.bmp");
  std::ofstream(tmp.path() / "pic.bmp", std::ios::binary) << "PICTURE";
  std::ofstream(tmp.path() / "img_0002.bmp", std::ios::binary) << "old and longer";
  ASSERT_EQ(make_numbered_copies(source, u"img_", 4, 1, 3), 0);
  for (const char* name : {"img_0001.bmp", "img_0002.bmp", "img_0003.bmp"}) {
    auto data = read_file(tmp.file(name));
    ASSERT_TRUE(data) << name;
    EXPECT_EQ(std::string(data->begin(), data->end()), "PICTURE") << name;
  }
  EXPECT_FALSE(file_exists(tmp.file("img_0000.bmp")));
  EXPECT_FALSE(file_exists(tmp.file("img_0004.bmp")));

  ASSERT_EQ(make_numbered_copies(source, u"deep/er/", 5, 0, 1), 0);
  EXPECT_TRUE(file_exists(tmp.file("deep/er/00000.bmp")));
  EXPECT_TRUE(file_exists(tmp.file("deep/er/00010.bmp")));

  EXPECT_EQ(make_numbered_copies(source, u"none_", 4, 3, 2), 0);  // to below from: nothing
  EXPECT_EQ(make_numbered_copies(source, u"none_", 0, 1, 2), 0);  // no digits: nothing
  EXPECT_FALSE(file_exists(tmp.file("none_0002.bmp")));
  EXPECT_EQ(make_numbered_copies(tmp.file("missing.bmp"), u"m_", 4, 1, 2), 1);
  EXPECT_FALSE(file_exists(tmp.file("m_0001.bmp")));
}

}  // namespace
}  // namespace tesmo
