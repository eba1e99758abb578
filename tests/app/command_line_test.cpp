#include "app/command_line.h"

#include <gtest/gtest.h>

namespace tesmo {
namespace {

using Args = std::vector<std::u16string>;

TEST(CommandLine, WindowlessFormsNeedTheirExactArgumentCount) {
  auto pack = parse_command_line({u"tesmo64", u"list.lst", u"/vardo", u"0xF1", u"pre"});
  EXPECT_EQ(pack.tool, WindowlessTool::PackRun);
  EXPECT_EQ(pack.tool_path, u"list.lst");
  EXPECT_EQ(pack.pack_options, 0xF1u);
  EXPECT_EQ(pack.pack_prefix, u"pre");

  // "/vardo" may stand anywhere; the list is still argument 1.
  auto moved = parse_command_line({u"p", u"a.lst", u"17", u"x", u"/vardo"});
  EXPECT_EQ(moved.tool, WindowlessTool::PackRun);
  EXPECT_EQ(moved.pack_options, 0u);  // the option is argument 3, "x", which reads as 0
  EXPECT_EQ(moved.pack_prefix, u"/vardo");

  auto b2t = parse_command_line({u"p", u"some.bin", u"/b2t"});
  EXPECT_EQ(b2t.tool, WindowlessTool::BinaryToText);
  EXPECT_EQ(b2t.tool_path, u"some.bin");

  // Wrong counts: ignored, the window opens argument 1.
  for (const Args& args : {Args{u"p", u"pic.bmp", u"/vardo", u"1"}, Args{u"p", u"f", u"/b2t", u"extra"},
                           Args{u"p", u"/b2t"}}) {
    auto cl = parse_command_line(args);
    EXPECT_EQ(cl.tool, WindowlessTool::None);
    EXPECT_TRUE(cl.has_path);
    EXPECT_EQ(cl.path, args[1]);
  }
}

TEST(CommandLine, WindowlessFormEndsTheScan) {
  auto cl = parse_command_line({u"p", u"x.bin", u"/b2t"});
  EXPECT_FALSE(cl.full_screen);
  auto first = parse_command_line({u"p", u"/b2t", u"/f"});
  EXPECT_EQ(first.tool, WindowlessTool::BinaryToText);
  EXPECT_EQ(first.tool_path, u"/b2t");
  EXPECT_FALSE(first.full_screen);
}

TEST(CommandLine, SwitchesMatchExactlyAndThePathIsArgumentOne) {
  struct Case {
    Args args;
    bool full_screen;
    bool has_index;
    int32_t index;
  };
  const Case cases[] = {
      {{u"p", u"pic.bmp", u"/f"}, true, false, -1},
      {{u"p", u"/f", u"pic.bmp"}, true, false, -1},
      {{u"p", u"pic.bmp", u"/F"}, false, false, -1},
      {{u"p", u"pic.bmp", u"/fx"}, false, false, -1},
      {{u"p", u"pic.bmp", u"/a0x10"}, false, true, 16},
      {{u"p", u"pic.bmp", u"/a0X1f"}, false, true, 31},
      {{u"p", u"pic.bmp", u"/a12"}, false, true, 12},
      {{u"p", u"pic.bmp", u"/a0x"}, false, true, 0},   // "0x" alone is decimal 0
      {{u"p", u"pic.bmp", u"/a"}, false, false, -1},   // needs more than two characters
      {{u"p", u"pic.bmp", u"/A5"}, false, false, -1},
      {{u"p", u"pic.bmp", u"/a3", u"/a7"}, false, true, 7},  // the last one wins
  };
  for (const Case& c : cases) {
    auto cl = parse_command_line(c.args);
    EXPECT_EQ(cl.tool, WindowlessTool::None);
    EXPECT_EQ(cl.full_screen, c.full_screen);
    EXPECT_EQ(cl.has_list_index, c.has_index);
    if (c.has_index) {
      EXPECT_EQ(cl.list_index, c.index);
    }
    EXPECT_EQ(cl.path, c.args[1]);
  }
  auto none = parse_command_line({u"p"});
  EXPECT_FALSE(none.has_path);
  EXPECT_TRUE(none.path.empty());
}

TEST(CommandLine, NumbersAreDecimalOrPrefixedHexadecimal) {
  const std::pair<std::u16string, uint32_t> cases[] = {
      {u"0x10", 16}, {u"0XfF", 255}, {u"010", 10}, {u"12abc", 12}, {u"", 0},
      {u"-3", 0xFFFFFFFDu}, {u"0xFFFFFFFF", 0xFFFFFFFFu}, {u"0x1g", 1}, {u"0x", 0},
  };
  for (const auto& [text, value] : cases) EXPECT_EQ(parse_command_line_number(text), value);
}

}  // namespace
}  // namespace tesmo
