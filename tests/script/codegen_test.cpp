// Instruction bytes, strings, labels and message texts against bytes written out from the
// instruction table and the module layout.
#include <gtest/gtest.h>

#include "script_test_util.h"

namespace tesmo {
namespace {

using testing::code_of;
using testing::compile_text;
using testing::data_of;
using testing::header_bytes;
using testing::param;
using Bytes = std::vector<uint8_t>;

Bytes code(std::string_view source) {
  auto r = compile_text(source);
  EXPECT_EQ(r.result, 0) << r.error;
  return code_of(r.image);
}

// A UTF-16 source: the FF FE mark, then each character as a little-endian unit.
std::string utf16_source(std::u16string_view text) {
  std::string s = "\xFF\xFE";
  for (char16_t u : text) {
    s.push_back(static_cast<char>(u & 0xFF));
    s.push_back(static_cast<char>(u >> 8));
  }
  return s;
}

TEST(ScriptCode, ParametersAreKindByteAndLittleEndianValue) {
  EXPECT_EQ(code("push\r\nr3\r\n"), (Bytes{0x03, 0x02, 0x03, 0, 0, 0}));
  EXPECT_EQ(code("mov\r\nr1, 10\r\n"), (Bytes{0x28, 0x02, 0x01, 0, 0, 0, 0x01, 0x0A, 0, 0, 0}));
  EXPECT_EQ(code("mov\nr, -1\n"), (Bytes{0x28, 0x02, 0, 0, 0, 0, 0x01, 0xFF, 0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(code("\tret\r\n  assert\r\n"), (Bytes{0x0D, 0x08}));
  // Tabs after a comma belong to the parameter; "r\t7" still reads register 7.
  EXPECT_EQ(code("unit\r\n0x10,r0xF,   r\t7\r\n"),
            (Bytes{0x3E, 0x01, 0x10, 0, 0, 0, 0x02, 0x0F, 0, 0, 0, 0x02, 0x07, 0, 0, 0}));
  // Register and slot numbers take one sign only, however long the text.
  EXPECT_EQ(code("pop\r\nr+12\r\n"), (Bytes{0x07, 0x02, 12, 0, 0, 0}));
  EXPECT_EQ(compile_text("pop\r\nr" + std::string(100000, '+') + "\r\n").result, 0);
  EXPECT_EQ(compile_text("pop\r\nr-0\r\n").result, 0);
  // A missing parameter is an empty text: no value for the immediate.
  EXPECT_EQ(compile_text("mov\r\nr1\r\n").error, "    2: []\n\n  <イミディエイト型>: 値が見つかりません。");
}

TEST(ScriptCode, AProgramModuleIsHeaderCodeDataAndStringTable) {
  auto r = compile_text("push2\r\n\"ab\", r1\r\n");
  ASSERT_EQ(r.result, 0) << r.error;
  Bytes expected = header_bytes(0, 11, 3, 4, 0);
  expected.push_back(0x04);
  param(expected, 4, 0);
  param(expected, 2, 1);
  expected.insert(expected.end(), {'a', 'b', 0});  // data area
  expected.insert(expected.end(), {0, 0, 0, 0});   // string table: offset 0
  EXPECT_EQ(r.image, expected);
}

TEST(ScriptCode, LabelsArePatchedWithTheirCodeOffsets) {
  Bytes expected = {0x11};
  param(expected, 16, 12);  // "end" lies after jump (6) and push (6)
  expected.push_back(0x03);
  param(expected, 1, 1);
  expected.push_back(0x19);
  param(expected, 16, 0);  // NA
  expected.push_back(0x11);
  param(expected, 16, 0);  // "start" is at 0
  EXPECT_EQ(code("start:\r\njump\r\nend\r\npush\r\n1\r\nend:\r\ncall\r\nNA\r\njump\r\nstart\r\n"), expected);
}

TEST(ScriptCode, StringsFollowTheSourceEncodingWhereTheKindsAllow) {
  // UTF-16 source: "push" takes the string as UTF-16, "script" always as 8-bit.
  auto r = compile_text(utf16_source(u"push\r\n\"aé\"\r\nscript\r\n\"x\", 2\r\n"));
  ASSERT_EQ(r.result, 0) << r.error;
  EXPECT_EQ(testing::le32(r.image, 20), 1u);  // the source encoding
  Bytes expected_code = {0x03};
  param(expected_code, 8, 0);
  expected_code.push_back(0x26);
  param(expected_code, 4, 1);
  param(expected_code, 1, 2);
  EXPECT_EQ(code_of(r.image), expected_code);
  EXPECT_EQ(data_of(r.image), (Bytes{'a', 0, 0xE9, 0, 0, 0, 'x', 0}));
  EXPECT_EQ(Bytes(r.image.end() - 8, r.image.end()), (Bytes{0, 0, 0, 0, 6, 0, 0, 0}));
  // An 8-bit source keeps CP932 bytes as they are; commas inside quotes do not split.
  auto a = compile_text("push2\r\n\"\x83\x41,\", 1\r\n");
  ASSERT_EQ(a.result, 0) << a.error;
  EXPECT_EQ(data_of(a.image), (Bytes{0x83, 0x41, ',', 0}));
}

TEST(ScriptCode, MessageLinesAreJoinedIntoOneString) {
  auto r = compile_text("msg\r\nHello\r\nWorld@P\r\nret\r\n");
  ASSERT_EQ(r.result, 0) << r.error;
  Bytes expected = header_bytes(0, 7, 15, 4, 0);
  expected.push_back(0x3F);
  param(expected, 64, 0);
  expected.push_back(0x0D);
  for (char ch : std::string_view("Hello@LWorld@P")) expected.push_back(static_cast<uint8_t>(ch));
  expected.push_back(0);
  expected.insert(expected.end(), {0, 0, 0, 0});
  EXPECT_EQ(r.image, expected);
  // Leading spaces stay, tabs go; "@W" becomes "@L"; an empty line is an empty text line;
  // comments and preprocessor lines are not text.
  auto m = compile_text("push\r\n\"s\"\r\nmsg\r\n  a\r\n\tb@W\r\n\r\n// note\r\n#define X 1\r\nc@L\r\nd@P\r\n");
  ASSERT_EQ(m.result, 0) << m.error;
  std::string text = "s";
  text.push_back('\0');
  text += "  a@Lb@L@Lc@Ld@P";
  text.push_back('\0');
  EXPECT_EQ(data_of(m.image), Bytes(text.begin(), text.end()));
  Bytes expected_code = {0x03};
  param(expected_code, 4, 0);
  expected_code.push_back(0x3F);
  param(expected_code, 64, 1);
  EXPECT_EQ(code_of(m.image), expected_code);
  // Inside the text, a line with kept leading spaces is not a label.
  auto l = compile_text("msg\r\n  note:\r\nx@P\r\n");
  ASSERT_EQ(l.result, 0) << l.error;
  EXPECT_EQ(data_of(l.image), (Bytes{' ', ' ', 'n', 'o', 't', 'e', ':', '@', 'L', 'x', '@', 'P', 0}));
  // A double-byte character whose second byte is '@' does not make "@P".
  auto d = compile_text("msg\r\n\x81\x40P\r\nz@P\r\n");
  ASSERT_EQ(d.result, 0) << d.error;
  EXPECT_EQ(data_of(d.image), (Bytes{0x81, 0x40, 'P', '@', 'L', 'z', '@', 'P', 0}));
}

TEST(ScriptCode, ErrorsCarryTheirLineAndExactText) {
  const struct {
    const char* source;
    const char* error;
  } cases[] = {
      {"ret", "    1: \n\n  改行コードが見つかりません。"},
      {"ret\r\nret", "    2: \n\n  改行コードが見つかりません。"},
      {"foo\r\n", "    1: [foo]\n\n  不正な命令です。"},
      {"ret \r\n", "    1: [ret ]\n\n  不正な命令です。"},
      {"mov, r1\r\n", "    1: \n\n  命令の行末の書式が不正です。"},
      {"abcdefghijabcdefghijabcdefghijX\r\n", "    1: [abcdefghijabcdefghijabcdefghij...]\n\n  命令が長すぎます。"},
      {"mov\r\nr1, 10,\r\n", "    2: \n\n  パラメーターの行末の書式が不正です。"},
      {"mov\r\nr1, 10, 3\r\n", "    2: \n\n  パラメーターの行末の書式が不正です。"},
      {"mov\r\n10, r1\r\n", "    2: [10]\n\n  パラメーターの型が間違っています。"},
      {"mov\r\nr16, 1\r\n", "    2: [r16]\n\n  <レジスタ型>: 範囲外の値です。"},
      {"mov\r\nr-1, 1\r\n", "    2: [r-1]\n\n  <レジスタ型>: 範囲外の値です。"},
      {"pop\r\n\r\n", "    2: \n\n  最後の行のパラメーターが存在しません。"},
      {"msg\r\n", "    1: \n\n  最後の行のパラメーターが存在しません。"},
      {"msg\r\nabc\r\n\r\ndef\r\n", "    2: \n\n  msg が @P で閉じられていません。"},
      {"jump\r\nnowhere\r\n", "    2: [nowhere]\n\n  ラベルが存在しません。"},
      {"jump\r\nabcdefghijabcdefghijabcdefghijAB\r\n",
       "    2: [abcdefghijabcdefghijabcdefghijA...]\n\n  ラベルが長すぎます。"},
      {"NA:\r\n", "    1: [NA]\n\n  内蔵ラベルは使用できません。"},
      {"a:\r\nret\r\na:\r\n", "    3: [a]\n\n  ラベルが重複しています。"},
      {"abcdefghijabcdefghijabcdefghijAB:\r\n", "    1: [abcdefghijabcdefghijabcdefghijA...]\n\n  ラベルが長すぎます。"},
      {" a:\r\n", "    1: [a:]\n\n  不正な命令です。"},
  };
  for (const auto& c : cases) {
    auto r = compile_text(c.source);
    EXPECT_EQ(r.result, 1) << c.source;
    EXPECT_EQ(r.error, c.error) << c.source;
  }
  // Blanks after the last line end are the end of the source, not a line.
  EXPECT_EQ(compile_text("ret\r\n \t ").result, 0);
  EXPECT_EQ(compile_text("ret\r\n \t ").line, 0);
  EXPECT_EQ(compile_text("\r\n\r\nfoo\r\n").line, 3);
}

}  // namespace
}  // namespace tesmo
