// Step text: a step list written by hand, one step a line ("#" starts a comment). A line is an
// operation's name (its Japanese name or ASCII alias; the effects as "effect N") followed by the
// values its dialog asks, as key=value words, for example
//   resize width=320 height=240 filter=bilinear
//   effect 0 p1=40 p2=40 p3=40
//   save format=png pixel-format=6
// Text values (paths) are written in double quotes. A key left out takes the value the dialog
// starts with. Each line makes the same 1024-byte step the batch dialog makes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "edit/batch_steps.h"

namespace tesmo {

// The operation's ASCII alias ("resize", "effect 12"); empty outside 0–53.
std::string batch_operation_alias(int32_t operation);
// The keys the operation's step takes, separated by spaces ("width height filter"); empty for none.
std::string batch_operation_keys(int32_t operation);

// One step as a line of step text (UTF-8), every stored value written out.
std::string batch_step_text(const BatchStep& step);

// The steps of a step text (UTF-8), or the first error ("line 3: unknown key \"size\"").
struct BatchTextResult {
  std::vector<BatchStep> steps;
  std::string error;
};
BatchTextResult parse_batch_text(std::string_view text);

}  // namespace tesmo
