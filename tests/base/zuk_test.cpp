#include "base/zuk.h"

#include <gtest/gtest.h>

#include "base/text.h"

namespace tesmo {
namespace {

TEST(NameHash, MatchesTheWrappingSignedArithmetic) {
  // Expected values computed with arbitrary-precision integers, reduced to 32 bits.
  EXPECT_EQ(name_hash(std::string_view("abc")), 136518u);
  EXPECT_EQ(name_hash(std::u16string_view(u"C:/data/file_000123.bmp")), 1108411111u);
  EXPECT_EQ(name_hash(std::u16string_view(u"ZUK_TESMO_ZUK_TESMO")), 2093919515u);
  // 8-bit characters count as signed, UTF-16 units as unsigned: the same text hashes differently.
  EXPECT_EQ(name_hash(std::string_view(utf16_to_cp932(u"あいう"))), 333839164u);
  EXPECT_EQ(name_hash(std::u16string_view(u"あいう")), 17382156u);
  EXPECT_EQ(name_hash(std::string_view("")), 0u);
  static_assert(name_hash_finish(0x80000000u) == 0x80000000u);
  static_assert(name_hash_finish(0xFFFFFFFFu) == 1u);
}

TEST(Signature, FourBytesWithTheZero) {
  const uint8_t good[] = {'Z', 'U', 'K', 0, 9};
  const uint8_t bad[] = {'Z', 'U', 'K', ' '};
  EXPECT_TRUE(has_zuk_signature(good));
  EXPECT_FALSE(has_zuk_signature(bad));
  EXPECT_FALSE(has_zuk_signature(std::span<const uint8_t>(good, 3)));
}

}  // namespace
}  // namespace tesmo
