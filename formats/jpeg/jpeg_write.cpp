// The JPEG writer: grey, RGB (stored as YCbCr) and CMYK samples from the pixel buffer, the
// library's defaults for that colour space, quantisation scaled by the quality, and the Exif block
// of another file carried over in front of the new stream.
#include <algorithm>

#include "base/bytes.h"
#include "base/file_io.h"
#include "formats/exif/exif.h"
#include "formats/jpeg/jpeg.h"
#include "formats/jpeg/jpeg_library.h"

namespace tesmo::jpeg {
namespace {

constexpr int32_t kMaxSide = JPEG_MAX_DIMENSION;

// Exif size tags the carried-over block is updated with.
constexpr uint16_t kTagImageWidth = 256;
constexpr uint16_t kTagImageLength = 257;
constexpr uint16_t kTagPixelXDimension = 40962;
constexpr uint16_t kTagPixelYDimension = 40963;

// Start marker, APP1 marker, then the APP1 length (its own two bytes included).
constexpr uint8_t kExifStart[] = {0xFF, 0xD8, 0xFF, 0xE1};
constexpr size_t kApp1LengthField = 4;
constexpr size_t kStartMarkerBytes = 2;

// One row of samples from one row of pixels.
using RowFn = void (*)(const uint32_t* src, uint8_t* dst, size_t width);

void row_grey(const uint32_t* src, uint8_t* dst, size_t width) {
  for (size_t x = 0; x < width; ++x) dst[x] = grey_of(src[x]);
}

// Inverted CMYK as Adobe files store it, which is what the reader expects: K holds the largest of
// red, green and blue, and each colour sample its channel relative to K, so that reading the
// samples back gives the colours again (to within one step).
void row_cmyk(const uint32_t* src, uint8_t* dst, size_t width) {
  for (size_t x = 0; x < width; ++x, dst += 4) {
    const uint32_t b = src[x] & 0xFF, g = (src[x] >> 8) & 0xFF, r = (src[x] >> 16) & 0xFF;
    const uint32_t k = std::max({r, g, b});
    const uint32_t half = k / 2;
    dst[0] = static_cast<uint8_t>(k ? (r * 255 + half) / k : 0);
    dst[1] = static_cast<uint8_t>(k ? (g * 255 + half) / k : 0);
    dst[2] = static_cast<uint8_t>(k ? (b * 255 + half) / k : 0);
    dst[3] = static_cast<uint8_t>(k);
  }
}

struct Plan {
  J_COLOR_SPACE input_space;
  int components;
  RowFn row;  // null: the pixel rows are fed as they are
};

// By pixel format: grey, RGB, CMYK. RGB goes in as the pixel buffer's own blue-green-red-x bytes,
// which the library reads as red, green and blue and stores as YCbCr.
constexpr Plan kPlans[] = {
    {JCS_GRAYSCALE, 1, row_grey},
    {JCS_EXT_BGRX, 4, nullptr},
    {JCS_CMYK, 4, row_cmyk},
};

struct Job {
  std::span<const uint32_t> pixels;
  JDIMENSION width = 0;
  JDIMENSION height = 0;
  const Plan* plan = nullptr;
  int quality = 0;
  bool jfif = true;
  uint8_t* scratch = nullptr;  // one row of samples when the plan converts
};

bool compress(Compressor& c, const Job& job) {
  if (setjmp(c.errors.jump)) return false;
  jpeg_mem_dest(&c.cinfo, &c.buffer, &c.size);
  c.cinfo.image_width = job.width;
  c.cinfo.image_height = job.height;
  c.cinfo.input_components = job.plan->components;
  c.cinfo.in_color_space = job.plan->input_space;
  jpeg_set_defaults(&c.cinfo);
  jpeg_set_quality(&c.cinfo, job.quality, TRUE);  // baseline tables, each entry limited to 1–255
  c.cinfo.write_JFIF_header = job.jfif ? TRUE : FALSE;
  jpeg_start_compress(&c.cinfo, TRUE);
  while (c.cinfo.next_scanline < job.height) {
    const uint32_t* src = job.pixels.data() + static_cast<size_t>(c.cinfo.next_scanline) * job.width;
    JSAMPROW row = job.scratch;
    if (job.plan->row) {
      job.plan->row(src, job.scratch, job.width);
    } else {
      // The library only reads input rows.
      row = reinterpret_cast<JSAMPROW>(const_cast<uint32_t*>(src));
    }
    jpeg_write_scanlines(&c.cinfo, &row, 1);
  }
  jpeg_finish_compress(&c.cinfo);
  return true;
}

// The whole APP1 segment of `source` when the file starts with the start marker and an APP1
// segment that it holds completely; empty otherwise.
std::vector<uint8_t> exif_segment(const std::u16string& source) {
  if (source.empty()) return {};
  std::optional<std::vector<uint8_t>> head = read_file_prefix(source, kApp1LengthField + 0xFFFF);
  if (!head || head->size() < kApp1LengthField + 2 || !std::equal(std::begin(kExifStart), std::end(kExifStart), head->begin())) {
    return {};
  }
  const size_t length = ByteReader(std::span<const uint8_t>(*head).subspan(kApp1LengthField, 2)).u16be();
  const size_t total = kApp1LengthField + length;
  if (length < 2 || head->size() < total) return {};
  head->resize(total);
  return std::move(*head);
}

}  // namespace

std::optional<std::vector<uint8_t>> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                                           int32_t pixel_format, int32_t quality,
                                           const std::u16string& exif_source) {
  if (pixel_format < 0 || pixel_format >= static_cast<int32_t>(std::size(kPlans))) return std::nullopt;
  if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return std::nullopt;
  if (pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) return std::nullopt;

  std::vector<uint8_t> exif = exif_segment(exif_source);
  std::vector<uint8_t> scratch(static_cast<size_t>(width) * 4);
  Job job;
  job.pixels = pixels;
  job.width = static_cast<JDIMENSION>(width);
  job.height = static_cast<JDIMENSION>(height);
  job.plan = &kPlans[pixel_format];
  job.quality = std::clamp(quality, 1, 100);
  job.jfif = exif.empty();  // the Exif block stands where the JFIF header would
  job.scratch = scratch.data();
  Compressor c;
  if (!c.create() || !compress(c, job) || c.size < kStartMarkerBytes) return std::nullopt;

  std::span<const uint8_t> stream(c.buffer, c.size);
  if (exif.empty()) return std::vector<uint8_t>(stream.begin(), stream.end());
  // The Exif file's start marker and APP1 segment, then the new stream after its own start marker.
  std::vector<uint8_t> out = std::move(exif);
  out.insert(out.end(), stream.begin() + kStartMarkerBytes, stream.end());
  ExifEdits edits;
  exif_set_value(edits, kTagImageWidth, static_cast<uint32_t>(width));
  exif_set_value(edits, kTagPixelXDimension, static_cast<uint32_t>(width));
  exif_set_value(edits, kTagImageLength, static_cast<uint32_t>(height));
  exif_set_value(edits, kTagPixelYDimension, static_cast<uint32_t>(height));
  exif_update_bytes(edits, out);  // a block the writer cannot parse is carried over unchanged
  return out;
}

int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request) {
  if (request.path.empty()) return 1;
  std::optional<std::vector<uint8_t>> bytes =
      encode(pixels, width, height, request.pixel_format, request.quality, request.exif_source);
  if (!bytes) return 1;
  return write_image_file(request.path, *bytes);
}

}  // namespace tesmo::jpeg
