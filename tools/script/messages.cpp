// The error gate of the script compiler.
#include "tools/script/messages.h"

#include "base/text.h"

namespace tesmo::script {

std::u16string decimal(int64_t value) { return u16(std::to_string(value)); }

std::u16string format_error(int line, std::u16string_view pattern, std::initializer_list<std::u16string_view> args) {
  std::u16string out;
  auto arg = args.begin();
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern.substr(i, 3) == u"%5d") {
      std::u16string number = decimal(line);
      if (number.size() < 5) out.append(5 - number.size(), u' ');
      out += number;
      i += 2;
    } else if (pattern[i] == u'%' && i + 1 < pattern.size() && (pattern[i + 1] == u's' || pattern[i + 1] == u'd') &&
               arg != args.end()) {
      out += *arg++;
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

bool Diagnostics::error_at(int line, std::u16string_view pattern, std::initializer_list<std::u16string_view> args) {
  if (failed_) return false;
  failed_ = true;
  line_ = pattern.starts_with(u"%5d") ? line : 0;
  text_ = format_error(line, pattern, args);
  if (text_.size() > kErrorTextMax) text_.resize(kErrorTextMax);
  return false;
}

}  // namespace tesmo::script
