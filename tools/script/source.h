// Script sources: the two encodings and the line structure. A source is held as units: the bytes
// of an 8-bit (CP932) source one per unit, or the UTF-16 units after the FF FE mark. Every rule of
// the language reads units; scans step over the second byte of a CP932 double-byte character.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tesmo::script {

struct SourceText {
  std::u16string units;
  bool utf16 = false;
};

// False when the bytes cannot be a whole source: a UTF-16 source (FF FE first) of odd length has
// lost part of its last unit.
bool source_complete(std::span<const uint8_t> bytes);

// FF FE at the start of a source of at least 3 bytes marks UTF-16 little-endian (the mark is
// skipped; an odd last byte is dropped); anything else is 8-bit CP932.
SourceText source_decode(std::span<const uint8_t> bytes);

// One line: `text` runs from the first unit after the skipped leading blanks to the line end
// (CR LF or LF, not included); `indented` when blanks were skipped.
struct SourceLine {
  std::u16string_view text;
  bool indented = false;
};

enum class LineScan { Line, End, NoLineEnd };

// Reads the line at `pos` and moves `pos` past its line end. Leading tabs are skipped, and leading
// spaces too unless `keep_spaces` (the text lines of "msg"). End: the source ended during the
// skip. NoLineEnd: the last line has no line end.
LineScan line_scan(const SourceText& source, size_t& pos, bool keep_spaces, SourceLine& line);

// Units of the character at text[i]: 2 for a CP932 lead byte with a second byte after it.
size_t char_units(const SourceText& source, std::u16string_view text, size_t i);
// The position of the first `c` outside double-byte characters, or npos.
size_t find_unit(const SourceText& source, std::u16string_view text, char16_t c);
// True when `text` ends with `suffix` and the suffix starts on a character boundary.
bool ends_with_chars(const SourceText& source, std::u16string_view text, std::u16string_view suffix);

// The text as CP932 bytes (names and numbers are looked up in this form).
std::string to_ansi(const SourceText& source, std::u16string_view text);
// Source units as UTF-16 for messages.
std::u16string display_text(const SourceText& source, std::u16string_view text);
// CP932 bytes as UTF-16 for messages.
std::u16string ansi_display(std::string_view text);
// At most `limit` bytes of CP932 text, cut on a character boundary.
std::string ansi_prefix(std::string_view text, size_t limit);

constexpr bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }

}  // namespace tesmo::script
