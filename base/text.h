// Wide strings (UTF-16, as stored files and the user interface hold them) and the ANSI code page
// CP932 (Shift JIS) used by every 8-bit text the system reads or writes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tesmo {

// True for the first byte of a two-byte CP932 character (0x81–0x9F, 0xE0–0xFC). Every scan over
// 8-bit text steps over the second byte of such a character.
constexpr bool is_cp932_lead_byte(uint8_t b) {
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// CP932 → UTF-16. A byte sequence with no mapping becomes U+30FB and the scan goes on; never fails.
std::u16string cp932_to_utf16(std::string_view text);

// UTF-16 → CP932. A character with no mapping becomes '?'; never fails.
std::string utf16_to_cp932(std::u16string_view text);

// UTF-8 ↔ UTF-16 for the command line and console output. Malformed input becomes U+FFFD / '?'.
std::u16string utf8_to_utf16(std::string_view text);
std::string utf16_to_utf8(std::u16string_view text);

// A UTF-16 literal-free shorthand for ASCII text: u16("abc").
std::u16string u16(std::string_view ascii);

// Length up to the first zero unit, at most `limit` units (fixed-size string fields).
size_t u16_length(const char16_t* text, size_t limit);

}  // namespace tesmo
