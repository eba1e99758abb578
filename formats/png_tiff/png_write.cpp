// The PNG writer: 8-bit RGB or RGBA rows from the top, compression level 9, every row filter
// allowed, no chunks besides the header, the data and the end.
#include <new>

#include "base/file_io.h"
#include "formats/png_tiff/png_library.h"
#include "formats/png_tiff/png_tiff.h"

namespace tesmo::png {
namespace {

constexpr int kCompressionLevel = 9;

struct Writer {
  ~Writer() { png_destroy_write_struct(&png, &info); }
  png_structp png = nullptr;
  png_infop info = nullptr;
  std::vector<uint8_t> out;
};

void write_out(png_structp png, png_bytep data, size_t n) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  bool grown = true;
  try {
    out->insert(out->end(), data, data + n);
  } catch (const std::bad_alloc&) {
    grown = false;
  }
  if (!grown) png_error(png, "out of memory");
}

void flush_out(png_structp) {}

// One pixel row into red, green, blue (and alpha) bytes.
void row_bytes(const uint32_t* src, uint8_t* dst, size_t width, bool alpha) {
  for (size_t x = 0; x < width; ++x) {
    *dst++ = static_cast<uint8_t>(src[x] >> 16);
    *dst++ = static_cast<uint8_t>(src[x] >> 8);
    *dst++ = static_cast<uint8_t>(src[x]);
    if (alpha) *dst++ = static_cast<uint8_t>(src[x] >> 24);
  }
}

struct Job {
  std::span<const uint32_t> pixels;
  uint32_t width = 0;
  uint32_t height = 0;
  bool alpha = false;
  uint8_t* row = nullptr;  // one row of samples
};

bool write_png(Writer& w, const Job& job) {
  if (setjmp(png_jmpbuf(w.png))) return false;
  png_set_write_fn(w.png, &w.out, write_out, flush_out);
  png_set_compression_level(w.png, kCompressionLevel);
  png_set_filter(w.png, PNG_FILTER_TYPE_BASE, PNG_ALL_FILTERS);
  png_set_IHDR(w.png, w.info, job.width, job.height, 8, job.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
               PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(w.png, w.info);
  for (uint32_t y = 0; y < job.height; ++y) {
    row_bytes(job.pixels.data() + static_cast<size_t>(y) * job.width, job.row, job.width, job.alpha);
    png_write_row(w.png, job.row);
  }
  png_write_end(w.png, nullptr);
  return true;
}

}  // namespace

std::optional<std::vector<uint8_t>> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                                           int32_t pixel_format) {
  if (pixel_format != 0 && pixel_format != 1) return std::nullopt;
  if (width < 1 || height < 1) return std::nullopt;
  if (pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return std::nullopt;
  Job job;
  job.pixels = pixels;
  job.width = static_cast<uint32_t>(width);
  job.height = static_cast<uint32_t>(height);
  job.alpha = pixel_format == 1;
  std::vector<uint8_t> row(static_cast<size_t>(width) * (job.alpha ? 4 : 3));
  job.row = row.data();
  Writer w;
  w.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, on_error, on_warning);
  if (!w.png) return std::nullopt;
  w.info = png_create_info_struct(w.png);
  if (!w.info || !write_png(w, job)) return std::nullopt;
  return std::move(w.out);
}

int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request) {
  if (request.path.empty()) return 1;
  std::optional<std::vector<uint8_t>> bytes = encode(pixels, width, height, request.pixel_format);
  if (!bytes) return 1;
  return write_image_file(request.path, *bytes);
}

}  // namespace tesmo::png
