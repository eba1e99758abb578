// `tesmo exif` and `tesmo lossless`: the Exif rows of a JPEG file, and the lossless JPEG transform.
#include <cstdio>
#include <string>
#include <vector>

#include "base/text.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "formats/exif/exif.h"
#include "formats/jpeg/jpeg.h"

namespace tesmo::cli {
namespace {

std::string utf8(const std::string& cp932) { return utf16_to_utf8(cp932_to_utf16(cp932)); }

}  // namespace

int cmd_exif(Args args) {
  if (args.size() != 1) return usage_error(command_named("exif"));
  std::vector<ExifRow> rows;
  const int result = exif_read(utf8_to_utf16(args[0]), rows);
  // The rows read before a failure are printed too.
  for (const ExifRow& r : rows) {
    std::printf("%u\t%s\t%s\t%d\n", r.tag, utf8(r.item).c_str(), utf8(r.value).c_str(), r.offset);
  }
  if (result != 0) return fail(std::string("cannot read the Exif data of ") + args[0]);
  return 0;
}

int cmd_lossless(Args args) {
  if (args.size() != 3) return usage_error(command_named("lossless"));
  const std::optional<int64_t> code = parse_integer(args[2]);
  if (!code || *code < jpeg::kTransformNone || *code > jpeg::kTransformRotate270) {
    return usage_error(command_named("lossless"));
  }
  if (jpeg::lossless_transform(utf8_to_utf16(args[1]), utf8_to_utf16(args[0]), static_cast<int>(*code)) != 0) {
    return fail(std::string("cannot transform ") + args[0] + " into " + args[1]);
  }
  return 0;
}

}  // namespace tesmo::cli
