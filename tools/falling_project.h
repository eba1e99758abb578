// The falling object project: a four-line text (CP932, each line ended by "\r\n") holding the
// background picture path, the sprite sheet path, the fifteen fixed parameters and the five
// variable parameters, numbers as "%d, %d, ...".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "tools/falling_objects.h"

namespace tesmo {

struct FallingProject {
  std::u16string background;
  std::u16string sprite;
  FixedParams fixed{};
  VariableParams variable{};
};

// The four lines, paths converted to CP932, numbers with "%d, %d, ..." and each line ended by
// "\r\n".
std::string format_falling_project(const FallingProject& p);
// Lines split at "\r\n" or "\n" and trimmed of spaces; each line's fields split at ','. Paths are
// the first field of lines 1 and 2 (so a comma cuts them); numbers are decimal, or hexadecimal
// after "0x"; whatever is missing reads as 0 (or empty).
FallingProject parse_falling_project(std::string_view text);
// A project number: leading spaces skipped, an optional sign, "0x"/"0X" hexadecimal or decimal
// digits up to the first other character; 0 without digits. Wraps to 32 bits.
int32_t parse_project_number(std::string_view field);

}  // namespace tesmo
