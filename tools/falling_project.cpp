// The falling object project text: writing the four lines and reading them back.
//
// Splitting works on the CP932 bytes directly: the separators (',', ' ', '\r', '\n') are all
// below 0x40, so they can never be the trail byte of a two-byte character.
#include "tools/falling_project.h"

#include <cstdio>
#include <vector>

#include "base/text.h"

namespace tesmo {
namespace {

template <size_t N>
std::string number_line(const std::array<int32_t, N>& values) {
  std::string line;
  char text[16];
  for (size_t i = 0; i < N; ++i) {
    std::snprintf(text, sizeof text, i == 0 ? "%d" : ", %d", values[i]);
    line += text;
  }
  return line + "\r\n";
}

std::vector<std::string_view> split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == separator) {
      parts.push_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

// Lines end at "\n"; a "\r" before it belongs to the line end.
std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines = split(text, '\n');
  for (std::string_view& line : lines) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  }
  return lines;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// The fields of line `index` (none when the text has fewer lines).
std::vector<std::string_view> fields_of(const std::vector<std::string_view>& lines, size_t index) {
  if (index >= lines.size()) return {};
  return split(trimmed(lines[index]), ',');
}

template <size_t N>
void read_numbers(const std::vector<std::string_view>& fields, std::array<int32_t, N>& values) {
  for (size_t i = 0; i < N; ++i) values[i] = i < fields.size() ? parse_project_number(fields[i]) : 0;
}

int digit_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return 99;
}

}  // namespace

std::string format_falling_project(const FallingProject& p) {
  return utf16_to_cp932(p.background) + "\r\n" + utf16_to_cp932(p.sprite) + "\r\n" + number_line(p.fixed) +
         number_line(p.variable);
}

FallingProject parse_falling_project(std::string_view text) {
  const std::vector<std::string_view> lines = split_lines(text);
  FallingProject p;
  for (size_t i = 0; i < 2; ++i) {
    const std::vector<std::string_view> fields = fields_of(lines, i);
    std::u16string path = fields.empty() ? std::u16string() : cp932_to_utf16(fields[0]);
    (i == 0 ? p.background : p.sprite) = std::move(path);
  }
  read_numbers(fields_of(lines, 2), p.fixed);
  read_numbers(fields_of(lines, 3), p.variable);
  return p;
}

int32_t parse_project_number(std::string_view field) {
  size_t i = 0;
  while (i < field.size() && field[i] == ' ') ++i;
  bool negative = false;
  if (i < field.size() && (field[i] == '-' || field[i] == '+')) negative = field[i++] == '-';
  uint32_t base = 10;
  if (i + 1 < field.size() && field[i] == '0' && (field[i + 1] == 'x' || field[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  uint32_t value = 0;
  for (; i < field.size() && static_cast<uint32_t>(digit_value(field[i])) < base; ++i) {
    value = value * base + static_cast<uint32_t>(digit_value(field[i]));
  }
  return static_cast<int32_t>(negative ? 0u - value : value);
}

}  // namespace tesmo
