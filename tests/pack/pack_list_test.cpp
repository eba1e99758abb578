#include "tools/pack/pack_list.h"

#include <gtest/gtest.h>

#include "base/file_io.h"
#include "base/text.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

struct ListResult {
  int result;
  std::vector<PackEntry> entries;
  std::vector<std::u16string> errors;
  size_t longest;
};

ListResult read_list(const testing::TempFolder& tmp, std::string_view text, uint32_t options = 0,
                     std::string prefix = "FID_") {
  std::u16string path = tmp.file("list.lst");
  EXPECT_EQ(file_replace(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())), 0);
  Packer p;
  p.prefix = std::move(prefix);
  int r = pack_list_read(p, path, options);
  return {r, p.entries, p.errors, p.longest_identifier};
}

std::vector<std::string> identifiers(const ListResult& r) {
  std::vector<std::string> ids;
  for (const auto& e : r.entries) ids.push_back(e.identifier);
  return ids;
}

TEST(PackList, EveryMessage) {
  struct Case {
    const char* list;
    uint32_t options;
    std::u16string message;
  };
  const Case cases[] = {
      {"/*\n/*\n*/\n", 0, u"lst: /**/ 内に /* は記述できません。"},
      {"\"a\",\n*/\n", 0, u"lst: */ に対応する /* が見つかりません。"},
      {"/*\n\"a\",\n", 0, u"lst: /* に対応する */ が見つかりません。"},
      {"//#A:0\n", 0, u"lst: アライメント (0) が不正な値です"},
      {"//#A:abc\n", 0, u"lst: アライメント (0) が不正な値です"},
      {"//#C:11\n", 0, u"lst: 圧縮レベル (11) が不正な値です"},
      {"//#C:-2\n", 0, u"lst: 圧縮レベル (-2) が不正な値です"},
      {"//#D:8\n", 0, u"lst: 定義の出力書式 (8) が不正な値です"},
      {"//#D:-1\n", 0, u"lst: 定義の出力書式 (-1) が不正な値です"},
      {"//#E:0X12345678\n", 0, u"lst: 暗号化キーの書式が間違っています。[//#E:0X12345678]"},
      {"//#E:0x1234567\n", 0, u"lst: 暗号化キーの書式が間違っています。[//#E:0x1234567]"},
      {"//#E:  12345678\n", 0, u"lst: 暗号化キーの書式が間違っています。[//#E:  12345678]"},
      {"//#T:2\n", 0, u"lst: テキストのクリーン指定 (2) が不正な値です。"},
      {"//#T:-1\n", 0, u"lst: テキストのクリーン指定 (-1) が不正な値です。"},
      {"//#Z:0\n", 0, u"lst: ダミー ファイル数 (0) が不正な値です。"},
      {"//#Z:-3\n", 0, u"lst: ダミー ファイル数 (-3) が不正な値です。"},
      {"\"a\"\n", 0, u"lst: ファイル名の書式が間違っています。[\"a\"]"},
      {"abc.bmp\",\n", 0, u"lst: ファイル名の書式 (行頭) が間違っています。[abc.bmp\",]"},
      {"\"abc.bmp\", \n", 0, u"lst: ファイル名の書式 (行末) が間違っています。[\"abc.bmp\", ]"},
      {"\"abc.bmp\"\n", 0, u"lst: ファイル名の書式 (行末) が間違っています。[\"abc.bmp\"]"},
      {"\"a\\b.bmp\",\n", PackIdFile, u"lst: ファイル名に使用できない文字 (\\) が含まれています。[\"a\\b.bmp\",]"},
      {"\"a b.bmp\",\n", PackDefineFile, u"lst: ファイル名に使用できない文字 ( ) が含まれています。[\"a b.bmp\",]"},
      {"\"\x95\x5C.bmp\",\n", PackIdFile, u"lst: ファイル名に全角文字は使用できません。[\"表.bmp\",]"},
      {"//#Z:32769\n", 0, u"lst: ファイル数の上限を超えています。(32769 > 32768)"},
  };
  testing::TempFolder tmp;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.list);
    ListResult r = read_list(tmp, c.list, c.options);
    EXPECT_EQ(r.result, 1);
    ASSERT_EQ(r.errors.size(), 1u);
    EXPECT_EQ(r.errors[0], c.message);
  }
}

TEST(PackList, OpenAndEmptyFileMessages) {
  testing::TempFolder tmp;
  Packer p;
  EXPECT_EQ(pack_list_read(p, tmp.file("none.lst"), 0), 1);
  EXPECT_EQ(p.errors.back(), u"lst: ファイルが開けません。[" + tmp.file("none.lst") + u"]");
  ASSERT_EQ(file_replace(tmp.file("empty.lst"), std::vector<uint8_t>{}), 0);
  EXPECT_EQ(pack_list_read(p, tmp.file("empty.lst"), 0), 1);
  EXPECT_EQ(p.errors.back(), u"lst: ファイル サイズが 0 です。[" + tmp.file("empty.lst") + u"]");
  std::u16string folder = tmp.folder();
  EXPECT_EQ(pack_list_read(p, folder, 0), 1);  // a folder is not a disk file
  EXPECT_EQ(p.errors.back(), u"lst: ファイル サイズが 0 です。[" + folder + u"]");
}

TEST(PackList, LinesCommentsAndTheLastLine) {
  testing::TempFolder tmp;
  ListResult r = read_list(tmp,
                           "\"a.bmp\",\r\n"
                           "\n"
                           "// \"ignored.bmp\",\n"
                           "/* anything here\n"
                           "\"in_block.bmp\",\n"
                           "//#C:6\n"  // directives inside a block are obeyed
                           "*/ and here\n"
                           "\"b\r.bmp\",\n"  // a lone CR stays in the line
                           "\"c.bmp\",");  // no line end
  ASSERT_EQ(r.result, 0);
  ASSERT_EQ(r.entries.size(), 3u);
  EXPECT_EQ(r.entries[0].name, "a.bmp");
  EXPECT_EQ(r.entries[0].level, -1);
  EXPECT_EQ(r.entries[1].name, "b\r.bmp");
  EXPECT_EQ(r.entries[1].line, "\"b\r.bmp\",");
  EXPECT_EQ(r.entries[1].level, 6);
  EXPECT_EQ(r.entries[2].name, "c.bmp");
}

TEST(PackList, ShortDirectivesOutsideABlockAreComments) {
  testing::TempFolder tmp;
  ListResult r = read_list(tmp, "//#A:\n//#Q:5\n\"a\",\n/*\n//#C:\n*/\n\"b\",\n");
  ASSERT_EQ(r.result, 0);  // "//#C:" inside the block sets level 0
  ASSERT_EQ(r.entries.size(), 2u);
  EXPECT_EQ(r.entries[0].alignment, 2048u);
  EXPECT_EQ(r.entries[1].level, 0);
}

TEST(PackList, DirectiveValuesAndTheirEntries) {
  testing::TempFolder tmp;
  ListResult r = read_list(tmp,
                           "//#A:32\n//#C:0xA\n//#E:0xDEADbeef\n//#F:-7\n//#J:1\n//#S:1\n//#T:1\n"
                           "\"bin/x.txt\",\n"
                           "//#A:0x40\n//#C:  9 levels\n//#E:0x00000000\n//#F:0x80000000\n//#J:0\n//#T:0\n"
                           "\"y\",\n"
                           "//#A:-1\n//#E:0x123456789\n"
                           "\"z\",\n");
  ASSERT_EQ(r.result, 0);
  ASSERT_EQ(r.entries.size(), 3u);
  const PackEntry& x = r.entries[0];
  EXPECT_EQ(x.alignment, 32u);
  EXPECT_EQ(x.level, 10);
  EXPECT_EQ(x.key, 0xDEADBEEFu);
  EXPECT_EQ(x.user_value, -7);
  EXPECT_TRUE(x.make_jab && x.strip_bin && x.clean_text);
  EXPECT_EQ(x.identifier, "FID_X_TXT");
  const PackEntry& y = r.entries[1];
  EXPECT_EQ(y.alignment, 2048u);  // the second A switches the custom alignment off
  EXPECT_EQ(y.level, 9);
  EXPECT_EQ(y.key, 0u);
  EXPECT_EQ(y.user_value, INT32_MIN);
  EXPECT_FALSE(y.make_jab || y.clean_text);
  EXPECT_EQ(r.entries[2].alignment, 0xFFFFFFFFu);  // on again, with the value as unsigned
  EXPECT_EQ(r.entries[2].key, 0xFFFFFFFFu);        // more digits saturate
}

TEST(PackList, IdentifierForms) {
  struct Case {
    int form;
    const char* name;
    const char* identifier;
  };
  const Case cases[] = {
      {0, "chara\\face\\a-1.bmp", "CHARA_FACE_A_1_BMP"},
      {1, "chara\\face\\a-1.bmp", "CHARA_FACE_A_1"},
      {1, "noext", ""},
      {1, "dir.v2\\noext", "DIR"},
      {2, "chara\\face\\a.bmp", "A_BMP"},
      {2, "a.bmp", "A_BMP"},
      {3, "chara\\face\\a.bmp", "A"},
      {3, "a.b.c", "A_B"},
      {4, "chara\\face\\a.bmp", "FACE_A"},
      {4, "a.bmp", "A"},
      {5, "chara\\face\\a.bmp", "FACE_A_BMP"},
      {6, "chara\\face\\a.bmp", "A"},
      {6, "face\\a.bmp", "A"},
      {6, "a.bmp", "A"},
      {6, "x\\y\\z\\a.bmp", "Z_A"},
      {7, "chara\\face\\a.bmp", "A_BMP"},
      {7, "face\\a.bmp", "A_BMP"},
      {7, "a.bmp", "A_BMP"},
      {0, "\x95\x5C\\b.bmp", "\x95\x5C_B_BMP"},  // the second byte of 表 is not a separator
      {2, "\x95\x5C.bmp", "\x95\x5C_BMP"},
      {0, "\x82\x61z.bmp", "\x82\x61Z_BMP"},  // Ａ's second byte is not a lower-case a
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.form) + " " + c.name);
    EXPECT_EQ(pack_identifier(c.name, c.form, false), c.identifier);
  }
}

TEST(PackList, StripBinAndFormsThroughTheList) {
  testing::TempFolder tmp;
  ListResult r = read_list(tmp,
                           "//#S:1\n\"bin/chara/a.bmp\",\n\"Bin/b.bmp\",\n\"bin\",\n"
                           "//#D:1\n\"noext\",\n//#S:0\n//#D:0\n\"bin/c.bmp\",\n",
                           PackDefineFile, "P_");
  ASSERT_EQ(r.result, 0);
  EXPECT_EQ(identifiers(r), (std::vector<std::string>{"P_CHARA_A_BMP", "P_BIN_B_BMP", "P_BIN", "P_", "P_BIN_C_BMP"}));
  EXPECT_EQ(r.entries[0].name, "bin\\chara\\a.bmp");
  EXPECT_EQ(r.longest, std::string("P_CHARA_A_BMP").size());
}

TEST(PackList, DummiesCountAcrossDirectives) {
  testing::TempFolder tmp;
  ListResult r = read_list(tmp, "//#D:3\n//#A:32\n//#F:5\n//#C:6\n//#Z:2\n\"a.bmp\",\n//#Z:1\n", 0, "ID_");
  ASSERT_EQ(r.result, 0);
  EXPECT_EQ(identifiers(r), (std::vector<std::string>{"ID_DUMMY_0000", "ID_DUMMY_0001", "ID_A", "ID_DUMMY_0002"}));
  const PackEntry& d = r.entries[0];
  EXPECT_TRUE(d.dummy);
  EXPECT_EQ(d.name, "dummy_0000");
  EXPECT_EQ(d.alignment, 32u);
  EXPECT_EQ(d.level, -1);
  EXPECT_EQ(d.user_value, 5);
  EXPECT_EQ(r.entries[2].level, 6);
}

TEST(PackList, EntryLimit) {
  testing::TempFolder tmp;
  ListResult r = read_list(tmp, "//#Z:32767\n\"last.bmp\",\n");
  EXPECT_EQ(r.result, 0);
  EXPECT_EQ(r.entries.size(), 32768u);
  r = read_list(tmp, "//#Z:32768\n\"one_more.bmp\",\n");
  EXPECT_EQ(r.result, 1);
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0], u"lst: ファイル数の上限を超えています。(32769 > 32768)");
  // A huge dummy count is counted, not built.
  r = read_list(tmp, "//#Z:2147483647\n//#Z:2147483647\n");
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0], u"lst: ファイル数の上限を超えています。(4294967294 > 32768)");
  // An error after the limit is passed is still the one reported.
  r = read_list(tmp, "//#Z:40000\n//#C:99\n");
  ASSERT_EQ(r.errors.size(), 1u);
  EXPECT_EQ(r.errors[0], u"lst: 圧縮レベル (99) が不正な値です");
}

TEST(PackList, StrictCheckOnlyWithTextOptions) {
  testing::TempFolder tmp;
  const char* list = "\"sub/a b+c.bmp\",\n";
  EXPECT_EQ(read_list(tmp, list, 0).result, 0);
  EXPECT_EQ(read_list(tmp, list, PackOffsetFile | PackSizeFile).result, 0);
  EXPECT_EQ(read_list(tmp, list, PackIdFile).result, 1);
  EXPECT_EQ(read_list(tmp, "\"Az09_.-/x\",\n", PackIdFile | PackDefineFile).result, 0);
}

TEST(PackList, NativePathsOnlyWhenOpened) {
  EXPECT_EQ(pack_source_path(u"/base/", "sub\\a.bmp"), u"/base/sub/a.bmp");
  EXPECT_EQ(pack_source_path(u"", "\x95\x5C\\b.bmp"), u"表/b.bmp");
}

}  // namespace
}  // namespace tesmo
