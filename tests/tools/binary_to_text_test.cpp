#include "tools/binary_to_text.h"

#include <gtest/gtest.h>

#include "base/file_io.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

std::string text_of(const std::u16string& path) {
  auto data = read_file(path);
  return data ? std::string(data->begin(), data->end()) : "<missing>";
}

std::vector<uint8_t> counting(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 17);
  return v;
}

TEST(BinaryToText, LinesBreakAfterEverySixteenthByteOnly) {
  std::string line16;
  for (int i = 0; i < 16; ++i) {
    char cell[8];
    std::snprintf(cell, sizeof cell, "0x%02X, ", (i * 17) & 0xFF);
    line16 += cell;
  }
  EXPECT_EQ(binary_to_text({}), "");
  EXPECT_EQ(binary_to_text(counting(16)), line16 + "\r\n");
  EXPECT_EQ(binary_to_text(counting(17)), line16 + "\r\n0x10, ");  // 16 × 17 = 0x110
  std::string two = binary_to_text(counting(32));
  EXPECT_EQ(two.size(), 2 * (16 * 6 + 2));
  EXPECT_EQ(two.substr(two.size() - 2), "\r\n");
  EXPECT_EQ(binary_to_text(std::vector<uint8_t>{0xAB, 0x0F}), "0xAB, 0x0F, ");
}

TEST(BinaryToText, WritesBesideTheInputAndReportsFailure) {
  testing::TempFolder tmp;
  std::u16string in = tmp.file("some.bin");
  ASSERT_EQ(file_replace(in, counting(17)), 0);
  ASSERT_EQ(file_replace(in + u".txt", std::vector<uint8_t>(500, 'x')), 0);  // replaced, not appended
  EXPECT_EQ(binary_to_text_file(in), 0);
  EXPECT_EQ(text_of(in + u".txt"), binary_to_text(counting(17)));

  std::u16string empty = tmp.file("empty");
  ASSERT_EQ(file_replace(empty, std::vector<uint8_t>{}), 0);
  EXPECT_EQ(binary_to_text_file(empty), 0);
  EXPECT_EQ(text_of(empty + u".txt"), "");

  EXPECT_EQ(binary_to_text_file(tmp.file("missing")), -1);
  EXPECT_FALSE(file_exists(tmp.file("missing.txt")));
  EXPECT_EQ(binary_to_text_file(tmp.folder()), -1);  // a folder is not an input
}

}  // namespace
}  // namespace tesmo
