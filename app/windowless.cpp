// Windowless runs: they return before any window or display is needed.
#include "app/windowless.h"

#include <cstdio>

#include "tools/binary_to_text.h"

namespace tesmo {

std::optional<int> run_windowless(const CommandLine& cl) {
  switch (cl.tool) {
    case WindowlessTool::BinaryToText: return binary_to_text_file(cl.tool_path);
    case WindowlessTool::PackRun:
      std::fputs("tesmo64: the packing run is not available in this build\n", stderr);
      return 1;
    case WindowlessTool::None: break;
  }
  return std::nullopt;
}

}  // namespace tesmo
