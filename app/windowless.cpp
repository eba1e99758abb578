// Windowless runs: they return before any window or display is needed.
#include "app/windowless.h"

#include <cstdio>

#include "base/temporary_files.h"
#include "devtools/pack_worker.h"
#include "tools/binary_to_text.h"
#include "tools/pack/pack_run.h"

namespace tesmo {

std::optional<int> run_windowless(const CommandLine& cl) {
  // A run stopped by Ctrl+C or a kill leaves no half-written temporary beside its output.
  if (cl.tool != WindowlessTool::None) remove_temporaries_on_signals();
  switch (cl.tool) {
    case WindowlessTool::BinaryToText: return binary_to_text_file(cl.tool_path);
    case WindowlessTool::PackRun: {
      Packer packer;  // standard error stands in for the debug output
      attach_pack_tools(packer);
      return pack_run_windowless(packer, cl.tool_path, cl.pack_options, cl.pack_prefix, stderr);
    }
    case WindowlessTool::None: break;
  }
  return std::nullopt;
}

}  // namespace tesmo
