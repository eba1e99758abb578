// The `tesmo` toolbox: one row per command, dispatched by name. Commands print UTF-8 and return
// 0 on success, 1 on failure (a one-line reason on stderr), 2 on a usage error.
#pragma once

#include <span>
#include <string_view>

namespace tesmo::cli {

using Args = std::span<const char* const>;  // the command's own arguments (after its name)

struct Command {
  std::string_view name;
  std::string_view usage;    // argument synopsis
  std::string_view summary;  // one line for `tesmo help`
  int (*run)(Args args);
};

std::span<const Command> commands();

// Dispatches argv[1] to its command; prints the usage when it is missing or unknown.
int run(int argc, const char* const* argv);

int fail(std::string_view reason);        // prints "tesmo: reason", returns 1
int usage_error(const Command& command);  // prints the usage, returns 2
const Command& command_named(std::string_view name);

int cmd_help(Args args);
int cmd_b2t(Args args);
int cmd_path(Args args);
int cmd_lst(Args args);
int cmd_info(Args args);
int cmd_convert(Args args);
int cmd_bench(Args args);         // dispatches to the bench_* commands by kind
int cmd_bench_decode(Args args);  // the arguments after "decode"
int cmd_bench_zoom(Args args);    // the arguments after "zoom"
int cmd_bench_block(Args args);   // the arguments after "block"
int cmd_bench_encode(Args args);  // the arguments after "encode"
int cmd_bench_pack(Args args);    // the arguments after "pack"
int cmd_bench_step(Args args);    // the arguments after "step"
int cmd_pack(Args args);
int cmd_block(Args args);
int cmd_archive(Args args);
int cmd_text(Args args);
int cmd_scale(Args args);
int cmd_effect(Args args);
int cmd_op(Args args);
int cmd_exif(Args args);
int cmd_lossless(Args args);
int cmd_compile(Args args);
int cmd_steps(Args args);
int cmd_batch(Args args);
int cmd_edit(Args args);
int cmd_bench_batch(Args args);  // the arguments after "batch"

}  // namespace tesmo::cli
