// Command-line scanning: the windowless forms first come first served, then the viewer switches.
#include "app/command_line.h"

namespace tesmo {
namespace {

int digit_value(char16_t c, int base) {
  int v = -1;
  if (c >= u'0' && c <= u'9') v = c - u'0';
  else if (c >= u'a' && c <= u'f') v = c - u'a' + 10;
  else if (c >= u'A' && c <= u'F') v = c - u'A' + 10;
  return v < base ? v : -1;
}

uint32_t read_digits(std::u16string_view text, int base) {
  uint32_t v = 0;
  for (char16_t c : text) {
    int d = digit_value(c, base);
    if (d < 0) break;
    v = v * static_cast<uint32_t>(base) + static_cast<uint32_t>(d);
  }
  return v;
}

}  // namespace

uint32_t parse_command_line_number(std::u16string_view text) {
  if (text.size() >= 3 && text[0] == u'0' && (text[1] == u'x' || text[1] == u'X')) {
    return read_digits(text.substr(2), 16);
  }
  bool negative = !text.empty() && text[0] == u'-';
  if (negative || (!text.empty() && text[0] == u'+')) text.remove_prefix(1);
  uint32_t v = read_digits(text, 10);
  return negative ? 0u - v : v;
}

CommandLine parse_command_line(const std::vector<std::u16string>& args) {
  CommandLine cl;
  const size_t count = args.size();
  for (size_t i = 1; i < count; ++i) {
    const std::u16string& a = args[i];
    if (a == u"/vardo" && count == 5) {
      cl.tool = WindowlessTool::PackRun;
      cl.tool_path = args[1];
      cl.pack_options = parse_command_line_number(args[3]);
      cl.pack_prefix = args[4];
      return cl;
    }
    if (a == u"/b2t" && count == 3) {
      cl.tool = WindowlessTool::BinaryToText;
      cl.tool_path = args[1];
      return cl;
    }
    if (a == u"/f") {
      cl.full_screen = true;
    } else if (a.size() > 2 && a[0] == u'/' && a[1] == u'a') {
      cl.has_list_index = true;
      cl.list_index = static_cast<int32_t>(parse_command_line_number(std::u16string_view(a).substr(2)));
    }
  }
  if (count > 1) {
    cl.has_path = true;
    cl.path = args[1];
  }
  return cl;
}

}  // namespace tesmo
