// Definitions, conditional sections, comments and the definitions module they produce.
#include <gtest/gtest.h>

#include "script_test_util.h"

namespace tesmo {
namespace {

using testing::code_of;
using testing::compile_text;
using testing::header_bytes;
using Bytes = std::vector<uint8_t>;

// One 76-byte definition record written out from its field table.
void record(Bytes& out, std::string_view name, bool has_value, bool used, int32_t value, uint32_t hash) {
  Bytes r(76, 0);
  std::copy(name.begin(), name.end(), r.begin());
  r[64] = has_value;
  r[67] = used;
  for (int i = 0; i < 4; ++i) r[68 + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
  for (int i = 0; i < 4; ++i) r[72 + i] = static_cast<uint8_t>(hash >> (8 * i));
  out.insert(out.end(), r.begin(), r.end());
}

TEST(ScriptPreprocessor, OnlyDefinitionsMakeADefinitionsModule) {
  auto r = compile_text("// header\r\n#define A 1 and words\r\n#define B -2\r\n#define C // bare\r\n"
                        "#define AB 0x10\r\nlabel:\r\n");
  ASSERT_EQ(r.result, 0) << r.error;
  Bytes expected = header_bytes(2, 4, 0, 0, 0);
  // Hashes by h = h * 37 + c: one letter is its code; "AB" is 65 * 37 + 66.
  record(expected, "A", true, false, 1, 65);
  record(expected, "B", true, false, -2, 66);
  record(expected, "C", false, false, 0, 67);
  record(expected, "AB", true, false, 16, 65 * 37 + 66);
  EXPECT_EQ(r.image, expected);
  // No lines at all: an empty definitions module.
  EXPECT_EQ(compile_text("").image, header_bytes(2, 0, 0, 0, 0));
}

TEST(ScriptPreprocessor, ConditionalSectionsSkipAndInvert) {
  const char* with = "#define A\r\n";
  const char* body = "#ifdef A\r\nfunc\r\n1\r\n#else\r\nfunc\r\n2\r\n#endif // done\r\n"
                     "#ifndef A\r\nfunc\r\n3\r\n#endif\r\n";
  EXPECT_EQ(code_of(compile_text(std::string(with) + body).image), (Bytes{1, 1, 1, 0, 0, 0}));
  EXPECT_EQ(code_of(compile_text(body).image), (Bytes{1, 1, 2, 0, 0, 0, 1, 1, 3, 0, 0, 0}));
  // Inside a skipped section unknown instructions and definitions are not looked at ...
  auto skipped = compile_text("#ifdef NO\r\nnonsense\r\n#define X 010\r\n#include bad\r\n#endif\r\nret\r\n");
  EXPECT_EQ(skipped.result, 0) << skipped.error;
  EXPECT_EQ(code_of(skipped.image), (Bytes{0x0D}));
  // ... but an unknown directive and a nested "#ifdef" still are.
  EXPECT_EQ(compile_text("#ifdef NO\r\n#bogus\r\n#endif\r\n").error, "    2: [#bogus]\n\n  不明なプリプロセッサーです。");
  EXPECT_EQ(compile_text("#ifdef NO\r\n#ifdef NO\r\n").error, "    2: \n\n  #ifdef 内で #ifdef は使用できません。");
}

TEST(ScriptPreprocessor, CommentsAndBlocks) {
  // A block ends only at a line beginning with "*/"; "/* ... */" on one line keeps it open.
  auto r = compile_text("/*\r\nfoo\r\n*/ anything\r\n  // note\r\nret\r\n/* one line */\r\nbar\r\n");
  ASSERT_EQ(r.result, 0) << r.error;
  EXPECT_EQ(code_of(r.image), (Bytes{0x0D}));
}

TEST(ScriptPreprocessor, DirectiveErrorsCarryTheirLineAndExactText) {
  std::string long_name(64, 'N');
  const struct {
    std::string source;
    std::string error;
  } cases[] = {
      {"#foo\r\n", "    1: [#foo]\n\n  不明なプリプロセッサーです。"},
      {"#definex\r\n", "    1: [#definex]\n\n  不明なプリプロセッサーです。"},
      {"#abcdefghijklmnopqrst x\r\n", "    1: [#abcdefghijklmno]\n\n  不明なプリプロセッサーです。"},
      {"#define\r\n", "    1: \n\n  #define に定義名がありません。"},
      {"#define " + long_name + "\r\n", "    1: [" + long_name.substr(0, 63) + "...]\n\n  #define の定義名が長すぎます。"},
      {"#define A\r\n#define A 2\r\n", "    2: [A]\n\n  定義名が重複しています。"},
      {"#define A 010\r\n", "    1: [010]\n\n  不正な書式です。\n  即値の先頭に不要な'0'が含まれています。"},
      {"#define A\r\nfunc\r\nA\r\n", "    3: [A]\n\n  未定義の定数です。"},
      {"#ifdef A\r\n#ifndef B\r\n", "    2: \n\n  #ifdef 内で #ifndef は使用できません。"},
      {"#ifndef A\r\n#ifdef B\r\n", "    2: \n\n  #ifndef 内で #ifdef は使用できません。"},
      {"#ifndef A\r\n#ifndef B\r\n", "    2: \n\n  #ifndef 内で #ifndef は使用できません。"},
      {"#ifdef A\r\n#else\r\n#ifdef B\r\n", "    3: \n\n  #else 内で #ifdef は使用できません。"},
      {"#ifdef A\r\n#else\r\n#ifndef B\r\n", "    3: \n\n  #else 内で #ifndef は使用できません。"},
      {"#ifdef\r\n", "    1: \n\n  #ifdef に定義名がありません。"},
      {"#ifndef  \r\n", "    1: \n\n  #ifndef に定義名がありません。"},
      {"#ifdef " + long_name + "\r\n", "    1: [" + long_name.substr(0, 63) + "...]\n\n  #ifdef の定義名が長すぎます。"},
      {"#ifndef " + long_name + "\r\n", "    1: [" + long_name.substr(0, 63) + "...]\n\n  #ifndef の定義名が長すぎます。"},
      {"#ifdef A\r\n#else\r\n#else\r\n", "    3: \n\n  #else 内で #else は使用できません。"},
      {"#else\r\n", "    1: \n\n  #else と #ifdef/#ifndef がペアになっていません。"},
      {"#ifdef A\r\n#else // no\r\n", "    2: \n\n  #else の末尾に不要な文字列が存在します。"},
      {"#endif\r\n", "    1: \n\n  #endif と #ifdef/#ifndef/#else がペアになっていません。"},
      {"#ifdef A\r\n#endif x\r\n", "    2: \n\n  #endif の末尾に不要な文字列が存在します。"},
      {"ret\r\n#ifdef A\r\nret\r\n", "    2: \n\n  #ifdef が閉じられていません。"},
      {"#ifndef A\r\n\r\n", "    1: \n\n  #ifndef が閉じられていません。"},
      {"#ifdef A\r\n#else\r\nret\r\n", "    2: \n\n  #else が閉じられていません。"},
      {"#type 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17\r\n", "    1: #type\n\n  パラメーターの数が上限 (16) を超えています。"},
  };
  for (const auto& c : cases) {
    auto r = compile_text(c.source);
    EXPECT_EQ(r.result, 1) << c.source;
    EXPECT_EQ(r.error, c.error) << c.source;
  }
}

}  // namespace
}  // namespace tesmo
