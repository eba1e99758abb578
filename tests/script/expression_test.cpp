// Constant expressions, through the immediate parameter of "func" (a "#define" value cannot hold
// blanks).
#include <gtest/gtest.h>

#include "script_test_util.h"

namespace tesmo {
namespace {

using testing::compile_text;

struct ExpressionCase {
  const char* expression;
  int32_t value;
};

// The immediate value "func" gets from `expression`: code 01, kind 01, value.
int32_t value_of(const std::string& prelude, const char* expression, std::string* error = nullptr) {
  auto r = compile_text(prelude + "func\r\n" + expression + "\r\n");
  if (error) *error = r.error;
  if (r.result != 0) return INT32_MIN + 7;
  auto code = testing::code_of(r.image);
  EXPECT_EQ(code.size(), 6u);
  EXPECT_EQ(code[1], 1);
  return static_cast<int32_t>(testing::le32(code, 2));
}

TEST(ScriptExpression, ValuesFollowThePassOrderAndTheNumberForms) {
  const ExpressionCase cases[] = {
      {"1 + 2 * 3", 7},        {"1 | 2 * 3", 9},         {"(1 + 2) * 3", 9},     {"1 -2", 1},
      {"0x1F", 31},            {"-0x10", -16},           {"0", 0},               {"-0", 0},
      {"+5", 5},               {"7 / 2", 3},             {"-7 / 2", -3},         {"-7 % 3", -1},
      {"1 << 33", 2},          {"-16 >> 2", -4},         {"0xFFFFFFFF >> 28", -1},
      {"6 ^ 3 & 1", 5 & 1},    {"10 - 2 - 3", 5},        {"2 * (3 + (4 - 1))", 12},
      {"99999999999", INT32_MAX}, {"-99999999999", INT32_MIN}, {"0x123456789", -1},
      {"2147483647 + 1", INT32_MIN}, {"-2147483648 / -1", INT32_MIN}, {"A * B", 42},
      {"(A)", 6},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_EQ(value_of("#define A 6\r\n#define B 7\r\n", c.expression, &error), c.value) << c.expression << error;
  }
}

TEST(ScriptExpression, MalformedExpressionsGiveTheirMessages) {
  const struct {
    const char* expression;
    const char* message;
  } cases[] = {
      {"0x1f", "[0x1f]\n\n  不正な書式です。"},
      {"0X10", "[0X10]\n\n  不正な書式です。"},
      {"010", "[010]\n\n  不正な書式です。\n  即値の先頭に不要な'0'が含まれています。"},
      {"12a", "[12a]\n\n  不正な書式です。"},
      {"0x", "[0x]\n\n  不正な書式です。"},
      {"1-2", "[1-2]\n\n  不正な書式です。"},
      {"NOPE", "[NOPE]\n\n  未定義の定数です。"},
      {"BARE", "[BARE]\n\n  未定義の定数です。"},
      {"(1", "[(1]\n\n  <イミディエイト型>: ' ) ' で閉じていません。"},
      {"1)", "[1)]\n\n  <イミディエイト型>: ' ( ' で閉じていません。"},
      {")(", "[)(]\n\n  <イミディエイト型>: ' ) ' で閉じていません。"},
      {"*", "[*]\n\n  <イミディエイト型>: 不正な書式です。"},
      {"()", "[()]\n\n  <イミディエイト型>: 値が見つかりません。"},
      {"1/0", "[1/0]\n\n  <イミディエイト型>: 不正な書式です。"},
      {"1%0", "[1%0]\n\n  <イミディエイト型>: 不正な書式です。"},
      {"(1*2*3*4*5*6*7*8)", "[(1*2*3*4*5*6*7*8)]\n\n  <イミディエイト型>: 制限を超えています。"},
  };
  for (const auto& c : cases) {
    std::string error;
    value_of("#define BARE\r\n", c.expression, &error);
    EXPECT_EQ(error, std::string("    3: ") + c.message) << c.expression;
  }
  // 128 characters are too many; 127 are allowed.
  std::string long_name(127, 'A');
  EXPECT_EQ(value_of("", (long_name).c_str(), nullptr), INT32_MIN + 7);  // undefined, but not too long
  std::string error;
  value_of("", (long_name + "B").c_str(), &error);
  EXPECT_EQ(error, "    2: [" + long_name + "...]\n\n  <イミディエイト型>: 制限を超えています。");
  value_of("", long_name.c_str(), &error);
  EXPECT_EQ(error, "    2: [" + long_name + "]\n\n  未定義の定数です。");
}

TEST(ScriptExpression, FifteenTokensAreTheLimit) {
  EXPECT_EQ(value_of("", "1*2*3*4*5*6*7*1"), 5040);  // 15 tokens
  EXPECT_EQ(value_of("", "(1*2*3*4*5*6*7)"), 5040);
}

TEST(ScriptExpression, AnExpressionMarksTheDefinitionsItUses) {
  auto r = compile_text("#define A 1\r\n#define B 2\r\n#define C A\r\n#define D\r\n");
  ASSERT_EQ(r.result, 0) << r.error;
  EXPECT_EQ(r.image[48 + 67], 1);       // A was used by C
  EXPECT_EQ(r.image[48 + 76 + 67], 0);  // B was not
  EXPECT_EQ(r.image[48 + 3 * 76 + 64], 0);  // D has no value
}

}  // namespace
}  // namespace tesmo
