// `tesmo bench encode`: the save of one decoded picture, timed, and for PNG its peer in the same run,
// the PNG library writing the same rows at compression levels 9 and 6 with every row filter.
#include <png.h>

#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "base/path.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "formats/registry.h"

namespace tesmo::cli {
namespace {

constexpr int64_t kDefaultRepeat = 5;
constexpr int kPeerLevels[] = {9, 6};

double ms_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

struct Picture {
  ImageInfo info;
  std::vector<uint32_t> pixels;
};

std::string decode(const std::string& path, Picture& p) {
  ImageFile file = image_file_create(false);
  if (image_probe(file, utf8_to_utf16(path)) != 0) return file.fault;
  p.info = file.info;
  p.pixels.assign(static_cast<size_t>(p.info.width) * static_cast<size_t>(p.info.height), 0);
  const int result = image_decode(file, p.pixels);
  image_file_close(file);
  return result == 0 ? std::string() : file.fault;
}

void append(png_structp png, png_bytep data, size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + n);
}
void no_flush(png_structp) {}

bool peer_rows(png_structp png, png_infop info, const Picture& p, bool alpha, int level, std::vector<uint8_t>* out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, out, append, no_flush);
  png_set_compression_level(png, level);
  png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_set_IHDR(png, info, static_cast<uint32_t>(p.info.width), static_cast<uint32_t>(p.info.height), 8,
               alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  std::vector<uint8_t> row(static_cast<size_t>(p.info.width) * 4);
  for (size_t y = 0; y < static_cast<size_t>(p.info.height); ++y) {
    uint8_t* d = row.data();
    for (size_t x = 0; x < static_cast<size_t>(p.info.width); ++x) {
      const uint32_t s = p.pixels[y * static_cast<size_t>(p.info.width) + x];
      *d++ = static_cast<uint8_t>(s >> 16);
      *d++ = static_cast<uint8_t>(s >> 8);
      *d++ = static_cast<uint8_t>(s);
      if (alpha) *d++ = static_cast<uint8_t>(s >> 24);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  return true;
}

// The PNG library's file of the picture at `level`; empty when the library fails.
std::vector<uint8_t> peer_png(const Picture& p, bool alpha, int level) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (!png) return out;
  png_infop info = png_create_info_struct(png);
  if (!info || !peer_rows(png, info, p, alpha, level, &out)) out.clear();
  png_destroy_write_struct(&png, &info);
  return out;
}

void print_peers(const Picture& p, int32_t pixel_format, int64_t repeat) {
  for (int level : kPeerLevels) {
    std::vector<double> times;
    size_t bytes = 0;
    for (int64_t n = 0; n < repeat; ++n) {
      const auto start = std::chrono::steady_clock::now();
      bytes = peer_png(p, pixel_format == 1, level).size();
      times.push_back(ms_since(start));
    }
    std::printf("peer_libpng%d_ms_median: %.3f\npeer_libpng%d_bytes: %zu\n", level, median(times), level, bytes);
  }
}

}  // namespace

int cmd_bench_encode(Args args) {
  static const char* const kOptions[] = {"--pixel-format", "--repeat"};
  ParsedArgs p = parse_args(args, kOptions);
  const int64_t repeat = p.integer("--repeat").value_or(kDefaultRepeat);
  const std::optional<int64_t> format = p.positional.size() == 2 ? parse_integer(p.positional[1]) : std::nullopt;
  if (!p.ok || !format || repeat < 1) return usage_error(command_named("bench"));
  Picture picture;
  if (std::string fault = decode(p.positional[0], picture); !fault.empty()) return fail(p.positional[0] + ": " + fault);

  SaveRequest r;
  r.format = static_cast<int32_t>(*format);
  r.pixel_format = static_cast<int32_t>(p.integer("--pixel-format").value_or(format_save_options(r.format).default_index));
  const ScratchFolder scratch;
  if (!scratch.made()) return fail("no temporary folder");
  r.path = scratch.folder() + u"encoded";
  const std::filesystem::path target = to_fs_path(r.path);
  std::vector<double> times;
  for (int64_t n = 0; n < repeat; ++n) {
    const auto start = std::chrono::steady_clock::now();
    const int result = image_save(picture.pixels, picture.info.width, picture.info.height, r);
    times.push_back(ms_since(start));
    if (result != 0) return fail("cannot write the picture in format " + p.positional[1]);
  }
  std::error_code ignored;
  const auto bytes = std::filesystem::file_size(target, ignored);
  std::printf("encode_ms_median: %.3f\nencode_bytes: %ju\n", median(times), static_cast<uintmax_t>(bytes));
  if (r.format == kFormatPng) print_peers(picture, r.pixel_format, repeat);
  return 0;
}

}  // namespace tesmo::cli
