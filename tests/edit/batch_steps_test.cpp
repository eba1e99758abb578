// The batch's step list as data: names and list places, the ".batch" file at its byte offsets,
// and the pictures a run takes from a folder.
#include "edit/batch_steps.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "base/bytes.h"
#include "base/file_io.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

TEST(BatchOperations, NamesAndListPlaces) {
  EXPECT_EQ(batch_operation_name(0), u"ファイルの保存");
  EXPECT_EQ(batch_operation_name(10), u"キャンバスの回転 - 角度を指定");
  EXPECT_EQ(batch_operation_name(18), u"ロスレス回転");
  EXPECT_EQ(batch_operation_name(19), u"色調補正 - 明るさ");
  EXPECT_EQ(batch_operation_name(53), u"合成 - カラー キー");
  EXPECT_EQ(batch_operation_name(54), u"");
  EXPECT_EQ(batch_operation_name(-1), u"");
  // The rotations are listed left, 180°, right, by angle, left-right, top-bottom.
  const int32_t shown[] = {5, 6, 7, 10, 8, 9};
  for (int k = 0; k < 6; ++k) EXPECT_EQ(batch_operation_at(5 + k), shown[k]);
  for (int32_t op = 0; op < kBatchOperationCount; ++op) {
    EXPECT_FALSE(batch_operation_name(op).empty()) << op;
    EXPECT_EQ(batch_operation_at(batch_list_position(op)), op);
  }
  EXPECT_EQ(batch_operation_at(54), -1);
  EXPECT_EQ(batch_list_position(54), -1);
}

TEST(BatchFile, StepsSitAtTheirOffsets) {
  std::vector<BatchStep> steps(2);
  steps[0].operation = kBatchImageSize;
  steps[0].set_field(0, 640);
  steps[0].set_field(1, 480);
  steps[0].set_field(2, 16);
  steps[1].operation = kBatchConnect;
  steps[1].set_field(0, 1);
  steps[1].set_text(1, 260, u"/pictures/ほか");
  steps[1].set_field(131, 8);
  const std::vector<uint8_t> bytes = batch_file_bytes(steps);
  ASSERT_EQ(bytes.size(), 16u + 2 * 1024);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 4), (std::vector<uint8_t>{'Z', 'U', 'K', 0}));
  EXPECT_EQ(load_u32le(bytes, 4), 256u);
  EXPECT_EQ(load_u32le(bytes, 8), 256u);
  EXPECT_EQ(load_u32le(bytes, 12), 2u);
  EXPECT_EQ(load_u32le(bytes, 16), 1u);      // image size
  EXPECT_EQ(load_u32le(bytes, 20), 640u);
  EXPECT_EQ(load_u32le(bytes, 28), 16u);
  EXPECT_EQ(load_u32le(bytes, 1040), 11u);   // connect
  EXPECT_EQ(load_u32le(bytes, 1044), 1u);
  EXPECT_EQ(bytes[1048], '/');
  EXPECT_EQ(load_u32le(bytes, 1044 + 4 + 520), 8u);  // the sides after the 260-unit path
  auto back = read_batch_file(bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, steps);
  EXPECT_EQ((*back)[1].text(1, 260), u"/pictures/ほか");
}

// Foreign and damaged files are ignored: the third field must be above 255, the list not empty, the
// steps all present and known.
TEST(BatchFile, ForeignOrDamagedFilesAreIgnored) {
  std::vector<BatchStep> one(1);
  one[0].operation = kBatchAlphaNew;
  const std::vector<uint8_t> good = batch_file_bytes(one);
  ASSERT_TRUE(read_batch_file(good).has_value());
  struct Row {
    const char* what;
    size_t offset;
    uint32_t value;
  };
  for (const Row& r : {Row{"signature", 2, 0x4B4B4B4Bu}, Row{"second field 255", 4, 255}, Row{"third field 255", 8, 255},
                       Row{"third field negative", 8, 0x80000000u}, Row{"no steps", 12, 0},
                       Row{"more steps than the file holds", 12, 2}, Row{"huge count", 12, 0xFFFFFFFFu},
                       Row{"unknown operation", 16, 54}, Row{"negative operation", 16, 0xFFFFFFFFu}}) {
    std::vector<uint8_t> bad = good;
    store_u32le(bad, r.offset, r.value);
    EXPECT_FALSE(read_batch_file(bad).has_value()) << r.what;
  }
  std::vector<uint8_t> third_above = good;
  store_u32le(third_above, 8, 300);
  EXPECT_TRUE(read_batch_file(third_above).has_value());
  EXPECT_FALSE(read_batch_file(std::span(good).first(good.size() - 1)).has_value());
  EXPECT_FALSE(read_batch_file({}).has_value());
}

TEST(BatchFolder, SuffixesPickTheFilesOfTheFolderAndItsSubfolders) {
  EXPECT_EQ(batch_suffixes(u"*.png;*.jpg"), (std::vector<std::u16string>{u".png", u".jpg"}));
  EXPECT_EQ(batch_suffixes(u"*.bmp;;x"), (std::vector<std::u16string>{u".bmp"}));
  EXPECT_TRUE(batch_suffixes(u"").empty());

  testing::TempFolder tmp;
  for (const char* name : {"b.png", "a.JPG", "c.bmp", "d.png.txt", "sub/e.png", "sub/deeper/f.jpg"}) {
    ASSERT_EQ(file_replace(tmp.file(name), std::vector<uint8_t>{1}), 0);
  }
  std::filesystem::create_directories(tmp.path() / "folder.png");
  const auto suffixes = batch_suffixes(u"*.png;*.jpg");
  EXPECT_EQ(batch_files(tmp.folder(), suffixes, false),
            (std::vector<std::u16string>{tmp.file("a.JPG"), tmp.file("b.png")}));
  EXPECT_EQ(batch_files(tmp.folder(), suffixes, true),
            (std::vector<std::u16string>{tmp.file("a.JPG"), tmp.file("b.png"), tmp.file("sub/e.png"),
                                         tmp.file("sub/deeper/f.jpg")}));
  EXPECT_TRUE(batch_files(tmp.folder() + u"missing", suffixes, true).empty());
}

}  // namespace
}  // namespace tesmo
