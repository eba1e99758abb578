// Constant expressions of "#define" values and immediate parameters: numbers, defined names,
// parentheses and the operators & | ^ << >> (first), * / % (second), + - (last), evaluated left
// to right in signed 32-bit arithmetic with wrap-around.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "tools/script/defines.h"
#include "tools/script/messages.h"

namespace tesmo::script {

inline constexpr size_t kExpressionMax = 127;  // characters of one expression
inline constexpr size_t kExpressionTokens = 15;

// The value of `text` (CP932). A defined name used by the expression gets its used flag. On a
// malformed expression, an undefined name or a division by zero: nothing, and the message for
// `line` in `diag`.
std::optional<int32_t> expression_eval(std::string_view text, DefineTable& defines, int line, Diagnostics& diag);

}  // namespace tesmo::script
