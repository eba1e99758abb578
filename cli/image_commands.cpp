// The image commands of the toolbox: info, convert and the decode benchmark.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "base/text.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "formats/registry.h"

namespace tesmo::cli {
namespace {

// Probes and decodes `path`; the reason when no reader accepts it or its picture is not whole.
std::string decode_file(const std::string& path, ImageInfo& info, std::vector<uint32_t>& pixels) {
  ImageFile file = image_file_create(true);
  if (image_probe(file, utf8_to_utf16(path)) != 0) return file.fault;
  info = file.info;
  pixels.assign(static_cast<size_t>(info.width) * static_cast<size_t>(info.height), 0);
  const int result = image_decode(file, pixels);
  image_file_close(file);
  return result == 0 ? std::string() : file.fault;
}

std::string text(const std::string& cp932) { return utf16_to_utf8(cp932_to_utf16(cp932)); }

}  // namespace

int cmd_info(Args args) {
  if (args.size() != 1) return usage_error(command_named("info"));
  ImageFile file = image_file_create(true);
  if (image_probe(file, utf8_to_utf16(args[0])) != 0) return fail(std::string(args[0]) + ": " + file.fault);
  const ImageInfo& i = file.info;
  std::printf("format: %d\npixel_format: %d\ncolour_model: %d\nwidth: %d\nheight: %d\nbits: %d\n"
              "channels: %d\nhas_alpha: %d\n", i.format, i.pixel_format, i.colour_model, i.width, i.height,
              i.bits, i.channels, i.has_alpha);
  std::printf("format_name: %s\nextensions: %s\npixel_text: %s\ncompression_text: %s\nextra_text: %s\n",
              text(i.format_name).c_str(), text(i.extensions).c_str(), text(i.pixel_text).c_str(),
              text(i.compression_text).c_str(), text(i.extra_text).c_str());
  std::printf("image_count: %d\n", i.image_count);
  image_file_close(file);
  return 0;
}

int cmd_convert(Args args) {
  static const char* const kOptions[] = {"--format", "--pixel-format", "--quality", "--compress"};
  ParsedArgs p = parse_args(args, kOptions);
  if (!p.ok || p.positional.size() != 2) return usage_error(command_named("convert"));
  ImageInfo info;
  std::vector<uint32_t> pixels;
  if (std::string fault = decode_file(p.positional[0], info, pixels); !fault.empty()) {
    return fail(p.positional[0] + ": " + fault);
  }

  SaveRequest r;
  r.path = utf8_to_utf16(p.positional[1]);
  r.format = static_cast<int32_t>(p.integer("--format").value_or(format_for_file_name(r.path)));
  r.pixel_format = static_cast<int32_t>(
      p.integer("--pixel-format").value_or(format_save_options(r.format).default_index));
  r.quality = static_cast<int32_t>(p.integer("--quality").value_or(100));
  r.compress = static_cast<int32_t>(p.integer("--compress").value_or(0));
  if (r.format == kFormatFnt) r.fnt_header_text = info.extra_text;
  if (image_save(pixels, info.width, info.height, r) != 0) return fail("cannot write " + p.positional[1]);
  return 0;
}

int cmd_bench_decode(Args args) {
  static const char* const kOptions[] = {"--repeat"};
  ParsedArgs p = parse_args(args, kOptions);
  int64_t repeat = p.integer("--repeat").value_or(20);
  if (!p.ok || p.positional.size() != 1 || repeat < 1) return usage_error(command_named("bench"));
  std::u16string path = utf8_to_utf16(p.positional[0]);
  std::vector<uint32_t> pixels;
  std::vector<double> times;
  for (int64_t n = 0; n < repeat; ++n) {
    auto start = std::chrono::steady_clock::now();
    ImageFile file = image_file_create(false);
    if (image_probe(file, path) != 0) return fail(p.positional[0] + ": " + file.fault);
    size_t count = static_cast<size_t>(file.info.width) * static_cast<size_t>(file.info.height);
    if (pixels.size() < count) pixels.resize(count);  // one work buffer, as a reused surface
    if (image_decode(file, pixels) != 0) return fail(p.positional[0] + ": " + file.fault);
    image_file_close(file);
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::printf("decode_ms_median: %.3f\n", median(times));
  return 0;
}

}  // namespace tesmo::cli
