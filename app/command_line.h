// The viewer's command line: an image path, "/f" for full screen, a slash-a list index, and the two
// windowless forms "/vardo" (packing run) and "/b2t" (binary-to-text).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tesmo {

enum class WindowlessTool { None, PackRun, BinaryToText };

struct CommandLine {
  WindowlessTool tool = WindowlessTool::None;
  // PackRun: list path (argument 1), option number (argument 3), prefix (argument 4).
  // BinaryToText: the input file in `tool_path`.
  std::u16string tool_path;
  uint32_t pack_options = 0;
  std::u16string pack_prefix;

  bool full_screen = false;        // "/f"
  bool has_list_index = false;     // "/a<number>"
  int32_t list_index = -1;
  bool has_path = false;           // more than the program name was given
  std::u16string path;             // always argument 1
};

// Scans `args` (argument 0 is the program) from the first argument to the last. A windowless form
// matches only with its exact argument count (5 for "/vardo", 3 for "/b2t") and ends the scan;
// with another count it is ignored. Switches are matched exactly and case-sensitively; anything
// else is ignored. Never fails.
CommandLine parse_command_line(const std::vector<std::u16string>& args);

// A command-line number: hexadecimal after "0x" or "0X" when the text has at least three
// characters, else decimal. Reading stops at the first character that is not a digit; the value
// wraps to 32 bits.
uint32_t parse_command_line_number(std::u16string_view text);

}  // namespace tesmo
