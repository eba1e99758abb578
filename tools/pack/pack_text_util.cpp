// Line splitting, CP932-aware scans and message formatting of the packing run.
#include "tools/pack/pack_text_util.h"

#include "base/text.h"

namespace tesmo {

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    size_t stop = end > start && text[end - 1] == '\r' ? end - 1 : end;
    lines.push_back(text.substr(start, stop - start));
    start = end + 1;
  }
  return lines;
}

size_t char_length(std::string_view text, size_t i) {
  return is_cp932_lead_byte(static_cast<uint8_t>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

size_t find_first_char(std::string_view text, char c) {
  for (size_t i = 0; i < text.size(); i += char_length(text, i)) {
    if (text[i] == c) return i;
  }
  return std::string_view::npos;
}

size_t find_last_char(std::string_view text, char c) {
  size_t found = std::string_view::npos;
  for (size_t i = 0; i < text.size(); i += char_length(text, i)) {
    if (text[i] == c) found = i;
  }
  return found;
}

std::u16string format_message(std::u16string_view pattern, std::initializer_list<std::u16string_view> args) {
  std::u16string out;
  auto arg = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    bool placeholder = pattern[i] == u'%' && i + 1 < pattern.size() &&
                (pattern[i + 1] == u's' || pattern[i + 1] == u'd' || pattern[i + 1] == u'c');
    if (placeholder && arg != args.end()) {
      out += *arg++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::u16string decimal(int64_t value) { return u16(std::to_string(value)); }

}  // namespace tesmo
