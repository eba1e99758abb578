#include "tools/path_generator.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <vector>

namespace tesmo {
namespace {

constexpr int32_t kLineFloat = 0, kLineInt = 1, kSine = 2, kEight = 3, kBicubic = 4;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
  return lines;
}

struct TableCase {
  const char* what;
  PathRequest request;
  std::string text;
};

TEST(PathGenerator, LinesAndSineArchTables) {
  const TableCase cases[] = {
      {"int line 0..100, 3 values", {kLineInt, 0, 100, 3, 0}, "\t{0},\r\n\t{50},\r\n\t{100},\r\n"},
      {"float line runs down from A", {kLineFloat, 100, 0, 3, 0},
       "\t{100.000000f},\r\n\t{50.000000f},\r\n\t{0.000000f},\r\n"},
      {"float line up, 5 values", {kLineFloat, 0, 8, 5, 0},
       "\t{0.000000f},\r\n\t{2.000000f},\r\n\t{4.000000f},\r\n\t{6.000000f},\r\n\t{8.000000f},\r\n"},
      {"single-precision digits", {kLineFloat, 0, 1, 4, 0},
       "\t{0.000000f},\r\n\t{0.333333f},\r\n\t{0.666667f},\r\n\t{1.000000f},\r\n"},
      {"one value is A going up", {kLineInt, 7, 20, 1, 0}, "\t{7},\r\n"},
      {"one value is A going down", {kLineFloat, 7, 3, 1.9f, 0}, "\t{7.000000f},\r\n"},
      // Half is added and the sum truncated toward zero, so negative values move up by one.
      {"int rounding of negatives", {kLineInt, -10, 0, 3, 0}, "\t{-9},\r\n\t{-4},\r\n\t{0},\r\n"},
      {"fewer than one value", {kLineInt, 0, 100, 0.99f, 0}, ""},
      {"negative count", {kLineFloat, 0, 100, -3, 0}, ""},
      {"count beyond 32 bits", {kLineInt, 0, 100, 1e20f, 0}, ""},
      {"count not a number", {kSine, 0, 100, NAN, 0}, ""},
      // sin(π) in double precision is about 3e-15: the last value prints as zero.
      {"sine arch 0..100, 3 values", {kSine, 0, 100, 3, 0}, "\t{0.000000f},\r\n\t{100.000000f},\r\n\t{0.000000f},\r\n"},
      {"sine arch with the ends swapped", {kSine, 100, 0, 3, 0},
       "\t{0.000000f},\r\n\t{100.000000f},\r\n\t{0.000000f},\r\n"},
      {"sine arch from a base of 10", {kSine, 10, 30, 5, 0},
       // angles 0, 45, 90, 135, 180 degrees: 10 + 20 × sin
       "\t{10.000000f},\r\n\t{24.142136f},\r\n\t{30.000000f},\r\n\t{24.142136f},\r\n\t{10.000000f},\r\n"},
      {"single sine value is the lower end", {kSine, 50, 20, 1, 0}, "\t{20.000000f},\r\n"},
      {"unknown type", {9, 0, 100, 3, 0}, ""},
  };
  for (const TableCase& c : cases) {
    auto text = path_table_text(c.request);
    ASSERT_TRUE(text.has_value()) << c.what;
    EXPECT_EQ(*text, c.text) << c.what;
  }
}

TEST(PathGenerator, FigureEightInFixedPoint) {
  auto text = path_table_text({kEight, 0, 360, 1.0f, 1.0f});
  ASSERT_TRUE(text.has_value());
  const auto lines = lines_of(*text);
  ASSERT_EQ(lines.size(), 361u);
  EXPECT_EQ(lines[0], "\t{0, 0},");
  // 45°: x = √2/2 × 4096 = 2896.3, y = sin·cos = 1/2 → 2048.
  EXPECT_EQ(lines[45], "\t{2896, 2048},");
  EXPECT_EQ(lines[90], "\t{4096, 0},");
  EXPECT_EQ(lines[180], "\t{0, 0},");
  EXPECT_EQ(lines[270], "\t{-4096, 0},");
  EXPECT_EQ(lines[315], "\t{-2896, -2048},");

  // The scales stretch each axis; the degrees count down when A ≥ B, one line when A = B.
  EXPECT_EQ(path_table_text({kEight, 90, 88, 2.0f, 3.0f}),
            "\t{8192, 0},\r\n\t{8191, 214},\r\n\t{8187, 429},\r\n");
  EXPECT_EQ(path_table_text({kEight, 45, 45, 2.0f, 3.0f}), "\t{5793, 6144},\r\n");
}

TEST(PathGenerator, BicubicKernelIgnoresTheFields) {
  auto text = path_table_text({kBicubic, 0, 360, 1.0f, 1.0f});
  ASSERT_TRUE(text.has_value());
  const auto lines = lines_of(*text);
  ASSERT_EQ(lines.size(), 8193u);
  EXPECT_EQ(lines[0], "\t4096,");  // x = 0
  EXPECT_EQ(lines[1], "\t0,");     // x = 2
  EXPECT_EQ(lines[2], "\t0,");     // x = 1
  EXPECT_EQ(lines[3], "\t1517,");  // x = 2/3: (1.25 × 8/27 − 2.25 × 4/9 + 1) × 4096 = 1517.04
  EXPECT_EQ(lines[4], "\t2432,");  // x = 1/2: 0.59375 × 4096
  EXPECT_EQ(lines[8192], "\t4095,");  // x = 1/4096: just under one
  EXPECT_EQ(path_table_text({kBicubic, -7, 5, 0, NAN}), text);
}

TEST(PathGenerator, TablesPastOneMebibyteAreRefusedQuickly) {
  // 149796 lines of "\t{1},\r\n" (7 bytes) fill all but 4 bytes of the mebibyte ...
  auto fits = path_table_text({kLineInt, 1, 1, 149796, 0});
  ASSERT_TRUE(fits.has_value());
  EXPECT_EQ(fits->size(), 149796u * 7);
  EXPECT_EQ(kPathTextLimit - fits->size(), 4u);
  // ... one line more does not; and neither do ranges that would take billions of lines.
  EXPECT_FALSE(path_table_text({kLineInt, 1, 1, 149797, 0}).has_value());
  EXPECT_FALSE(path_table_text({kLineFloat, 0, 100, 2e9f, 0}).has_value());
  EXPECT_FALSE(path_table_text({kEight, INT_MIN, INT_MAX, 1, 1}).has_value());
  EXPECT_FALSE(path_table_text({kEight, INT_MAX, INT_MIN, 1, 1}).has_value());
}

TEST(PathGenerator, EveryTypeHasItsNameAndDefaults) {
  const auto& types = path_types();
  EXPECT_EQ(types[1].name, u"Line (int)");
  EXPECT_EQ(types[2].name, u"Sin (0 to 180 deg.)");
  EXPECT_EQ(types[3].name, u"Lemniscate of Gerono");
  for (int t = 0; t < 3; ++t) {
    EXPECT_EQ(types[static_cast<size_t>(t)].defaults, (std::array<std::u16string_view, 4>{u"0", u"100", u"60", u"0"}));
  }
  for (int t = 3; t < 5; ++t) {
    EXPECT_EQ(types[static_cast<size_t>(t)].defaults,
              (std::array<std::u16string_view, 4>{u"0", u"360", u"1.0", u"1.0"}));
  }
}

}  // namespace
}  // namespace tesmo
