// The command table and its dispatch.
#include "cli/commands.h"

#include <cstdio>
#include <string>

#include "base/temporary_files.h"
#include "base/text.h"
#include "tools/binary_to_text.h"

namespace tesmo::cli {
namespace {

constexpr Command kCommands[] = {
    {"help", "", "list the commands", cmd_help},
    {"info", "FILE", "describe FILE as its reader sees it", cmd_info},
    {"convert", "IN OUT [--format ID] [--pixel-format N] [--quality Q] [--compress 0|1]",
     "decode IN and write it as OUT", cmd_convert},
    {"b2t", "FILE", "write FILE's bytes as C hexadecimal initialisers to FILE.txt", cmd_b2t},
    {"path", "TYPE FROM TO SCALE SCALE2 OUT",
     "write a path generator table to OUT (0 float line, 1 int line, 2 sine arch, 3 figure eight, 4 bicubic)",
     cmd_path},
    {"lst", "FOLDER", "write FOLDER/output.lst naming every file below FOLDER (the LST generator)", cmd_lst},
    {"bench", "decode FILE | zoom FILE W H FILTER | block FILE lzss|deflate LEVEL [--repeat N]"
     " | encode FILE FORMAT [--pixel-format N] [--repeat N] | pack LIST OPTIONS [--jobs N] [--repeat N]"
     " | batch STEPS FOLDER [--jobs N] [--repeat N] | step FOLDER [--prefetch 0|1]",
     "time whole-picture work; prints the median", cmd_bench},
    {"pack", "LIST OPTIONS PREFIX [--jobs N]",
     "the windowless packing run (as tesmo64 LIST /vardo OPTIONS PREFIX) on N threads (default: one per core)",
     cmd_pack},
    {"block", "deflate IN OUT LEVEL | lzss IN OUT | expand IN OUT", "make or expand one compressed block", cmd_block},
    {"archive", "list ARCHIVE|--embedded | extract ARCHIVE|--embedded INDEX OUT",
     "list or extract the entries of an independent pack archive", cmd_archive},
    {"text", "TEXT OUT.bmp [--font 0|1|2] [--style BITS] [--blend 0|1] [--colour 0xRRGGBB] [--width W --height H]",
     "render TEXT with the glyph text renderer into a 32-bit BMP", cmd_text},
    {"scale", "IN OUT W H FILTER",
     "scale IN into a W x H picture (filter 0, 16, 32, 64, 128; +1 centre, +2 keep aspect)", cmd_scale},
    {"op", "SRC OUT OPCODE P1 P2 P3 P4 [--dst DST] [--clip]", "run one compositor operation over the whole picture",
     cmd_op},
    {"exif", "FILE", "one line per Exif display row: tag, item, value, offset (tab-separated)", cmd_exif},
    {"lossless", "IN OUT CODE", "rotate or flip a JPEG without recompression (code 0-7)", cmd_lossless},
    {"compile", "SRC OUT [--base DIR]", "compile a script source into a .sce module (base folder: SRC's folder)",
     cmd_compile},
    {"effect", "IN OUT INDEX P1 P2 P3 P4", "run edit-menu effect INDEX (0-34) with parameters P1-P4, as the batch runner does",
     cmd_effect},
    {"steps", "names | show BATCHFILE | make TEXTFILE OUT.batch",
     "list the batch operations, print a step list as step text, or make a .batch file from step text", cmd_steps},
    {"batch", "STEPS FOLDER [--ext \"*.bmp;*.png\"] [--recurse] [--out DIR] [--jobs N] [--dry-run]",
     "run a step list (.batch file or step text) on every matching picture of FOLDER, as the batch dialog does",
     cmd_batch},
    {"edit", "IN OUT STEP...", "run step-text lines on one picture and write the result as OUT", cmd_edit},
};

// The benchmark kinds of `tesmo bench`.
struct BenchKind {
  std::string_view name;
  int (*run)(Args args);
};
constexpr BenchKind kBenchKinds[] = {
    {"decode", cmd_bench_decode},
    {"zoom", cmd_bench_zoom},
    {"block", cmd_bench_block},
    {"encode", cmd_bench_encode},
    {"pack", cmd_bench_pack},
    {"batch", cmd_bench_batch},
    {"step", cmd_bench_step},
};

// One command per entry: its synopsis, then what it does on an indented line.
void print_usage(FILE* out) {
  std::fputs("usage: tesmo COMMAND [ARGS...]\n", out);
  for (const Command& c : kCommands) {
    std::fprintf(out, "  %.*s%s%.*s\n      %.*s\n", static_cast<int>(c.name.size()), c.name.data(),
                 c.usage.empty() ? "" : " ", static_cast<int>(c.usage.size()), c.usage.data(),
                 static_cast<int>(c.summary.size()), c.summary.data());
  }
}


}  // namespace

std::span<const Command> commands() { return kCommands; }

const Command& command_named(std::string_view name) {
  for (const Command& c : kCommands) {
    if (c.name == name) return c;
  }
  return kCommands[0];
}

int cmd_bench(Args args) {
  if (!args.empty()) {
    for (const BenchKind& k : kBenchKinds) {
      if (k.name == args[0]) return k.run(args.subspan(1));
    }
  }
  return usage_error(command_named("bench"));
}

int fail(std::string_view reason) {
  std::fprintf(stderr, "tesmo: %.*s\n", static_cast<int>(reason.size()), reason.data());
  return 1;
}

int usage_error(const Command& c) {
  std::fprintf(stderr, "usage: tesmo %.*s %.*s\n", static_cast<int>(c.name.size()), c.name.data(),
               static_cast<int>(c.usage.size()), c.usage.data());
  return 2;
}

int cmd_help(Args) {
  print_usage(stdout);
  return 0;
}

int cmd_b2t(Args args) {
  if (args.size() != 1) return usage_error(command_named("b2t"));
  std::u16string path = utf8_to_utf16(args[0]);
  if (binary_to_text_file(path) != 0) {
    return fail(std::string("cannot read ") + args[0] + " or write " + args[0] + ".txt");
  }
  return 0;
}

int run(int argc, const char* const* argv) {
  if (argc < 2) {
    print_usage(stderr);
    return 2;
  }
  // A run stopped by Ctrl+C or a kill leaves no half-written temporary beside its output.
  remove_temporaries_on_signals();
  std::string_view name = argv[1];
  for (const Command& c : kCommands) {
    if (c.name == name) return c.run(Args(argv + 2, static_cast<size_t>(argc - 2)));
  }
  std::fprintf(stderr, "tesmo: unknown command \"%s\"\n", argv[1]);
  print_usage(stderr);
  return 2;
}

}  // namespace tesmo::cli
