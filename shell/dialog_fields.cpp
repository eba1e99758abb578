#include "shell/dialog_fields.h"

#include <algorithm>
#include <limits>
#include <string>

namespace tesmo {

int32_t parse_size_field(std::u16string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == u' ' || text[i] == u'\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) negative = text[i++] == u'-';
  int64_t value = 0;
  constexpr int64_t kLimit = int64_t{std::numeric_limits<int32_t>::max()} + 1;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = std::min(kLimit, value * 10 + (text[i] - u'0'));
  }
  if (negative) value = -value;
  return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

std::u16string decimal(int32_t value) {
  const std::string digits = std::to_string(value);
  return std::u16string(digits.begin(), digits.end());
}

int32_t held_field(platform::Dialog& d, uint16_t id, int32_t lo, int32_t hi) {
  const int32_t typed = parse_size_field(d.text(id));
  const int32_t value = std::clamp(typed, lo, std::max(lo, hi));
  if (value != typed) d.set_text(id, decimal(value));
  return value;
}

}  // namespace tesmo
