// `tesmo path` and `tesmo lst`: the path generator's tables and the LST generator without a window.
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "tools/lst_generator.h"
#include "tools/path_generator.h"

namespace tesmo::cli {
namespace {

// A whole-text decimal real number, as the dialog's scale fields hold it.
std::optional<float> parse_real(const std::string& text) {
  double v = 0;
  const char* begin = text.data() + (!text.empty() && text[0] == '+');
  auto r = std::from_chars(begin, text.data() + text.size(), v);
  if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
  return static_cast<float>(v);
}

bool in_int32(const std::optional<int64_t>& v) { return v && *v >= INT32_MIN && *v <= INT32_MAX; }

}  // namespace

int cmd_path(Args args) {
  const Command& usage = command_named("path");
  if (args.size() != 6) return usage_error(usage);
  const auto type = parse_integer(args[0]), from = parse_integer(args[1]), to = parse_integer(args[2]);
  const auto scale = parse_real(args[3]), scale2 = parse_real(args[4]);
  if (!type || *type < 0 || *type >= kPathTypeCount || !in_int32(from) || !in_int32(to) || !scale || !scale2) {
    return usage_error(usage);
  }
  const auto text = path_table_text({static_cast<int32_t>(*type), static_cast<int32_t>(*from),
                                     static_cast<int32_t>(*to), *scale, *scale2});
  if (!text) return fail("the table is larger than 1 MiB");
  const auto bytes = std::span(reinterpret_cast<const uint8_t*>(text->data()), text->size());
  if (file_replace(utf8_to_utf16(args[5]), bytes) != 0) return fail(std::string("cannot write ") + args[5]);
  return 0;
}

int cmd_lst(Args args) {
  if (args.size() != 1) return usage_error(command_named("lst"));
  const std::u16string folder = utf8_to_utf16(args[0]);
  size_t files = 0;
  switch (generate_lst(folder, &files)) {
    case LstResult::NoFiles: return fail(std::string("no file below ") + args[0]);
    case LstResult::WriteFailed: return fail(std::string("cannot write output.lst in ") + args[0]);
    case LstResult::Written: break;
  }
  std::printf("files: %zu\n", files);
  return 0;
}

}  // namespace tesmo::cli
