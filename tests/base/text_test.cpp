#include "base/text.h"

#include <gtest/gtest.h>

namespace tesmo {
namespace {

TEST(Text, Cp932RoundTripsJapaneseAndAscii) {
  const std::u16string wide = u"画像 file ファイル情報 ｱｲｳ";
  std::string ansi = utf16_to_cp932(wide);
  // "画" is 0x89 0xE6 in Shift JIS; half-width katakana are one byte each.
  ASSERT_GE(ansi.size(), 2u);
  EXPECT_EQ(static_cast<uint8_t>(ansi[0]), 0x89);
  EXPECT_EQ(static_cast<uint8_t>(ansi[1]), 0xE6);
  EXPECT_EQ(static_cast<uint8_t>(ansi.back()), 0xB3);  // ｳ
  EXPECT_EQ(cp932_to_utf16(ansi), wide);
}

TEST(Text, UnmappableCharactersAreReplacedNotDropped) {
  EXPECT_EQ(utf16_to_cp932(u"a\U0001F600b"), "a?b");  // a surrogate pair is one character
  EXPECT_EQ(cp932_to_utf16("a\x81"), u"a\u30FB");      // a lead byte at the end
  EXPECT_EQ(cp932_to_utf16(std::string("x\xA0y", 3)), u"x\u30FBy");
}

TEST(Text, LeadBytesAreExactlyTheTwoRanges) {
  for (int b = 0; b < 256; ++b) {
    bool expected = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    EXPECT_EQ(is_cp932_lead_byte(static_cast<uint8_t>(b)), expected) << b;
  }
}

TEST(Text, Utf8RoundTripAndFieldLength) {
  EXPECT_EQ(utf16_to_utf8(utf8_to_utf16("Tesmo64 画像")), "Tesmo64 画像");
  EXPECT_EQ(utf8_to_utf16("a\xFFz"), u"a\uFFFDz");
  const char16_t field[5] = {u'a', u'b', 0, u'c', u'd'};
  EXPECT_EQ(u16_length(field, 5), 2u);
  EXPECT_EQ(u16_length(field, 1), 1u);
}

}  // namespace
}  // namespace tesmo
