// `tesmo pack`, `tesmo block`, `tesmo archive` and `tesmo bench block`: the pack tools from the
// command line.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <stdlib.h>
#include <string>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "devtools/pack_worker.h"
#include "shell/dialog_skin.h"
#include "surface/surface.h"
#include "tools/pack/pack.h"

namespace tesmo::cli {
namespace {

constexpr int64_t kDefaultRepeat = 20;
constexpr int64_t kDefaultPackRepeat = 5;  // a packing run takes seconds, not milliseconds
constexpr const char* kBenchPrefix = "FID_";  // the file pack module's default prefix

std::optional<std::vector<uint8_t>> read_input(const std::string& path) { return read_file(utf8_to_utf16(path)); }

int write_output(const std::string& path, std::span<const uint8_t> data) {
  if (file_replace(utf8_to_utf16(path), data) != 0) return fail("cannot write " + path);
  return 0;
}

// A block of `in` made by deflate at `level` or by LZSS (level 10); nothing when it fails.
std::optional<std::vector<uint8_t>> make_block(std::span<const uint8_t> in, int level) {
  if (in.size() > INT32_MAX - kBlockHeaderSize) return std::nullopt;
  std::vector<uint8_t> out(kBlockHeaderSize + in.size());
  int32_t size;
  if (level == kLevelLzss) {
    auto work = std::make_unique<LzssWork>();
    size = block_lzss(*work, out, in);
  } else {
    BlockStream stream;
    size = block_deflate(stream, out, in, level);
  }
  if (size < 0) return std::nullopt;
  out.resize(static_cast<size_t>(size));
  return out;
}

int block_make(const Command& usage, Args args, int level) {
  if (args.size() != 2) return usage_error(usage);
  auto in = read_input(args[0]);
  if (!in) return fail(std::string("cannot read ") + args[0]);
  auto block = make_block(*in, level);
  if (!block) return fail(std::string("cannot make a block of ") + args[0]);
  return write_output(args[1], *block);
}

int block_expand_file(const Command& usage, Args args) {
  if (args.size() != 2) return usage_error(usage);
  auto in = read_input(args[0]);
  if (!in) return fail(std::string("cannot read ") + args[0]);
  auto data = block_decode(*in);
  if (!data) return fail(std::string(args[0]) + " is not an intact compressed block");
  return write_output(args[1], *data);
}

constexpr std::string_view kEmbedded = "--embedded";

// The archive named on the command line, or with --embedded the viewer's embedded resource archive.
std::optional<ArchiveReader> open_archive(const std::string& path) {
  if (path == kEmbedded) {
    auto reader = archive_open_memory(load_resource_archive());
    if (!reader) fail("no embedded archive in this build");
    return reader;
  }
  auto reader = ArchiveReader::open_file(utf8_to_utf16(path));
  if (!reader) fail("cannot read " + path + " as an independent pack archive");
  return reader;
}

// "WxH" of the picture an entry holds, or "-" when it does not decode.
std::string picture_size(const ArchiveReader& reader, uint32_t i) {
  auto data = reader.entry_data(i);
  SurfaceTable table(0);
  if (!data || surface_load(table, 0, std::span<const uint8_t>(*data), false) != 0) return "-";
  const Surface* s = surface_find(table, 0);
  return std::to_string(s->width) + "x" + std::to_string(s->height);
}

int archive_list(const Command& usage, Args args) {
  if (args.size() != 1) return usage_error(usage);
  const bool embedded = args[0] == kEmbedded;
  auto reader = open_archive(args[0]);
  if (!reader) return 1;
  for (uint32_t i = 0; i < reader->count(); ++i) {
    const PackIndexEntry& e = reader->index()[i];
    std::printf("%u %u %u %d %d", i, e.offset, e.size, e.level, e.user_value);
    if (embedded) std::printf(" %s", picture_size(*reader, i).c_str());
    std::printf("\n");
  }
  return 0;
}

int archive_extract(const Command& usage, Args args) {
  if (args.size() != 3) return usage_error(usage);
  auto index = parse_integer(args[1]);
  if (!index || *index < 0) return usage_error(usage);
  auto reader = open_archive(args[0]);
  if (!reader) return 1;
  if (*index >= reader->count()) return fail("the archive has no entry " + std::string(args[1]));
  auto data = reader->entry_data(static_cast<uint32_t>(*index));
  if (!data) return fail("entry " + std::string(args[1]) + " is damaged or lies outside the archive");
  return write_output(args[2], *data);
}

}  // namespace

int cmd_pack(Args args) {
  const Command& usage = command_named("pack");
  static const char* const kOptions[] = {"--jobs"};
  ParsedArgs p = parse_args(args, kOptions);
  if (!p.ok || p.positional.size() != 3) return usage_error(usage);
  auto options = parse_integer(p.positional[1]);
  std::optional<unsigned> jobs = jobs_option(p);
  if (!options || *options < 0 || *options > UINT32_MAX || !jobs) return usage_error(usage);
  Packer packer;
  attach_pack_tools(packer);
  packer.jobs = *jobs;
  int result = pack_run_windowless(packer, utf8_to_utf16(p.positional[0]), static_cast<uint32_t>(*options),
                                   utf8_to_utf16(p.positional[2]), stdout);
  return result == 0 ? 0 : fail("the packing run failed");
}

int cmd_block(Args args) {
  const Command& usage = command_named("block");
  if (args.empty()) return usage_error(usage);
  std::string_view kind = args[0];
  Args rest = args.subspan(1);
  if (kind == "lzss") return block_make(usage, rest, kLevelLzss);
  if (kind == "expand") return block_expand_file(usage, rest);
  if (kind != "deflate" || rest.size() != 3) return usage_error(usage);
  auto level = parse_integer(rest[2]);
  if (!level || *level < 0 || *level > 9) return usage_error(usage);
  return block_make(usage, rest.first(2), static_cast<int>(*level));
}

int cmd_archive(Args args) {
  const Command& usage = command_named("archive");
  if (args.empty()) return usage_error(usage);
  std::string_view kind = args[0];
  if (kind == "list") return archive_list(usage, args.subspan(1));
  if (kind == "extract") return archive_extract(usage, args.subspan(1));
  return usage_error(usage);
}

int cmd_bench_block(Args args) {
  static const char* const kOptions[] = {"--repeat"};
  ParsedArgs p = parse_args(args, kOptions);
  int64_t repeat = p.integer("--repeat").value_or(kDefaultRepeat);
  const size_t n = p.positional.size();
  bool lzss = n >= 2 && p.positional[1] == "lzss";
  std::optional<int64_t> level = lzss ? kLevelLzss : (n == 3 ? parse_integer(p.positional[2]) : std::nullopt);
  bool shape_ok = lzss ? (n == 2 || n == 3) : (n == 3 && p.positional[1] == "deflate");
  if (!p.ok || !shape_ok || repeat < 1 || !level || *level < 0 || *level > kLevelLzss) {
    return usage_error(command_named("bench"));
  }
  auto in = read_input(p.positional[0]);
  if (!in) return fail("cannot read " + p.positional[0]);
  std::vector<double> times;
  size_t bytes = 0;
  for (int64_t i = 0; i < repeat; ++i) {
    auto start = std::chrono::steady_clock::now();
    auto block = make_block(*in, static_cast<int>(*level));
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (!block) return fail("cannot make a block of " + p.positional[0]);
    bytes = block->size();
  }
  std::printf("block_ms_median: %.3f\nblock_bytes: %zu\n", median(times), bytes);
  return 0;
}

// The packing run of LIST with its sources where the list says, and the archive and header
// texts in a scratch folder.
int cmd_bench_pack(Args args) {
  static const char* const kOptions[] = {"--jobs", "--repeat"};
  ParsedArgs p = parse_args(args, kOptions);
  const int64_t repeat = p.integer("--repeat").value_or(kDefaultPackRepeat);
  if (!p.ok || p.positional.size() != 2) return usage_error(command_named("bench"));
  std::optional<int64_t> options = parse_integer(p.positional[1]);
  std::optional<unsigned> jobs = jobs_option(p);
  if (!options || *options < 0 || *options > UINT32_MAX || !jobs || repeat < 1) {
    return usage_error(command_named("bench"));
  }
  ScratchFolder scratch;
  if (!scratch.made()) return fail("cannot make a temporary folder");
  const std::u16string list = utf8_to_utf16(p.positional[0]);
  const std::u16string archive = scratch.folder() + u"pack.dat";
  std::vector<double> times;
  for (int64_t i = 0; i < repeat; ++i) {
    Packer packer;
    attach_pack_tools(packer);
    packer.jobs = *jobs;
    auto start = std::chrono::steady_clock::now();
    int result = pack_run(packer, archive, list, scratch.folder(), scratch.folder(), static_cast<uint32_t>(*options),
                          kBenchPrefix);
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (result != 0) {
      return fail("the packing run failed" + (packer.errors.empty() ? "" : ": " + utf16_to_utf8(packer.errors[0])));
    }
  }
  std::error_code no_archive;
  const uintmax_t bytes = std::filesystem::file_size(to_fs_path(archive), no_archive);
  std::printf("pack_ms_median: %.3f\npack_bytes: %ju\n", median(times), no_archive ? uintmax_t{0} : bytes);
  return 0;
}

}  // namespace tesmo::cli
