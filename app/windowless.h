// The runs that need no window: the packing run and the binary-to-text converter.
#pragma once

#include <optional>

#include "app/command_line.h"

namespace tesmo {

// The exit code of the windowless tool the command line names; nothing for a viewer start.
std::optional<int> run_windowless(const CommandLine& command_line);

}  // namespace tesmo
