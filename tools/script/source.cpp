// Source decoding and the line structure of script sources.
#include "tools/script/source.h"

#include "base/text.h"

namespace tesmo::script {

namespace {

bool is_utf16(std::span<const uint8_t> bytes) { return bytes.size() >= 3 && bytes[0] == 0xFF && bytes[1] == 0xFE; }

}  // namespace

bool source_complete(std::span<const uint8_t> bytes) { return !is_utf16(bytes) || bytes.size() % 2 == 0; }

SourceText source_decode(std::span<const uint8_t> bytes) {
  SourceText s;
  if (is_utf16(bytes)) {
    s.utf16 = true;
    s.units.reserve((bytes.size() - 2) / 2);
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      s.units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    }
    return s;
  }
  s.units.assign(bytes.begin(), bytes.end());
  return s;
}

LineScan line_scan(const SourceText& source, size_t& pos, bool keep_spaces, SourceLine& line) {
  const std::u16string_view all = source.units;
  const size_t start = pos;
  while (pos < all.size() && (all[pos] == u'\t' || (all[pos] == u' ' && !keep_spaces))) ++pos;
  if (pos == all.size()) return LineScan::End;
  // CP932 second bytes are 0x40 and above, so a line feed is never part of a character.
  size_t lf = all.find(u'\n', pos);
  if (lf == std::u16string_view::npos) return LineScan::NoLineEnd;
  size_t end = lf > pos && all[lf - 1] == u'\r' ? lf - 1 : lf;
  line.text = all.substr(pos, end - pos);
  line.indented = pos != start;
  pos = lf + 1;
  return LineScan::Line;
}

size_t char_units(const SourceText& source, std::u16string_view text, size_t i) {
  if (source.utf16 || i + 1 >= text.size() || text[i] > 0xFF) return 1;
  return is_cp932_lead_byte(static_cast<uint8_t>(text[i])) ? 2 : 1;
}

size_t find_unit(const SourceText& source, std::u16string_view text, char16_t c) {
  for (size_t i = 0; i < text.size(); i += char_units(source, text, i)) {
    if (text[i] == c) return i;
  }
  return std::u16string_view::npos;
}

bool ends_with_chars(const SourceText& source, std::u16string_view text, std::u16string_view suffix) {
  if (text.size() < suffix.size() || text.substr(text.size() - suffix.size()) != suffix) return false;
  const size_t at = text.size() - suffix.size();
  size_t i = 0;
  while (i < at) i += char_units(source, text, i);
  return i == at;
}

std::string to_ansi(const SourceText& source, std::u16string_view text) {
  if (source.utf16) return utf16_to_cp932(text);
  std::string out(text.size(), '\0');
  for (size_t i = 0; i < text.size(); ++i) out[i] = static_cast<char>(text[i]);
  return out;
}

std::u16string display_text(const SourceText& source, std::u16string_view text) {
  return source.utf16 ? std::u16string(text) : cp932_to_utf16(to_ansi(source, text));
}

std::u16string ansi_display(std::string_view text) { return cp932_to_utf16(text); }

std::string ansi_prefix(std::string_view text, size_t limit) {
  size_t i = 0;
  while (i < text.size()) {
    size_t n = is_cp932_lead_byte(static_cast<uint8_t>(text[i])) && i + 1 < text.size() ? 2 : 1;
    if (i + n > limit) break;
    i += n;
  }
  return std::string(text.substr(0, i));
}

}  // namespace tesmo::script
