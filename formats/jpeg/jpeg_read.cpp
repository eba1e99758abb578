// JPEG recognition and decoding. The probe reads the header only; the decoder runs the library
// with its extended blue-green-red-alpha output, so grey and RGB rows land in the pixel buffer as
// finished pixels. CMYK rows land there as C, M, Y, K bytes and are converted in place.
#include <algorithm>
#include <vector>

#include "base/file_io.h"
#include "formats/jpeg/jpeg.h"
#include "formats/jpeg/jpeg_library.h"

namespace tesmo::jpeg {
namespace {

constexpr uint8_t kStartOfImage[] = {0xFF, 0xD8};

struct JpegState final : ReaderState {
  JpegState() = default;
  JpegState(const JpegState&) = delete;  // `data` may point into `owned`
  JpegState& operator=(const JpegState&) = delete;

  FileBytes owned;                // the file form's bytes
  std::span<const uint8_t> data;  // the whole JPEG stream: `owned` or the caller's memory
  J_COLOR_SPACE colour_space = JCS_UNKNOWN;  // the library's default output colour space
  int32_t width = 0;
  int32_t height = 0;
};

struct Layout {
  J_COLOR_SPACE space;
  int32_t pixel_format;
  int32_t colour_model;
  int32_t channels;
  const char* pixel_text;
};

// The output colour spaces the library picks by default: grey for one-component files, RGB for
// YCbCr and RGB files, CMYK for CMYK and YCCK files.
constexpr Layout kLayouts[] = {
    {JCS_GRAYSCALE, 0, kModelGrey, 1, "Gray (256 colors)"},
    {JCS_RGB, 1, kModelRgb, 3, "8:8:8 RGB (24 bit)"},
    {JCS_CMYK, 2, kModelCmyk, 4, "8:8:8:8 CMYK (32 bit)"},
};

const Layout* layout_of(J_COLOR_SPACE space) {
  for (const Layout& l : kLayouts) {
    if (l.space == space) return &l;
  }
  return nullptr;
}

bool read_header(Decompressor& d, std::span<const uint8_t> data) {
  if (setjmp(d.errors.jump)) return false;
  jpeg_mem_src(&d.cinfo, data.data(), static_cast<unsigned long>(data.size()));
  jpeg_read_header(&d.cinfo, TRUE);
  return true;
}

// Decodes every row into `rows` (one pointer per output row). False after a library error or when
// the output size is not the probed one; rows decoded so far are counted by output_scanline.
// Reaching the end marker is not required: data cut after the last row still gives every row.
bool read_rows(Decompressor& d, J_COLOR_SPACE space, JSAMPROW* rows, JDIMENSION width, JDIMENSION height) {
  if (setjmp(d.errors.jump)) return false;
  d.cinfo.out_color_space = space;
  jpeg_start_decompress(&d.cinfo);
  if (d.cinfo.output_width != width || d.cinfo.output_height != height) return false;
  while (d.cinfo.output_scanline < height) {
    const JDIMENSION at = d.cinfo.output_scanline;
    if (jpeg_read_scanlines(&d.cinfo, rows + at, height - at) == 0) return false;
  }
  return true;
}

// Why the rows are not the picture: the library's error text, or the coded data that ended early.
ReadFault rows_fault(const Decompressor& d) {
  if (d.errors.message[0] != 0) return d.errors.message;
  if (d.errors.data_ran_out) return "the coded data ends before the last row";
  return "the picture's size differs from its header";
}

// C, M, Y, K bytes as stored by Adobe files (inverted) into blue, green, red, alpha 255.
void cmyk_to_pixels(std::span<uint32_t> pixels) {
  for (uint32_t& p : pixels) {
    const uint32_t c = p & 0xFF, m = (p >> 8) & 0xFF, y = (p >> 16) & 0xFF, k = p >> 24;
    const uint32_t r = k - ((255 - c) * k) / 255;
    const uint32_t g = k - ((255 - m) * k) / 255;
    const uint32_t b = k - ((255 - y) * k) / 255;
    p = 0xFF000000u | r << 16 | g << 8 | b;
  }
}

bool starts_as_jpeg(const std::u16string& path) {
  std::optional<std::vector<uint8_t>> head = read_file_prefix(path, sizeof kStartOfImage);
  return head && head->size() == sizeof kStartOfImage && (*head)[0] == kStartOfImage[0] &&
         (*head)[1] == kStartOfImage[1];
}

}  // namespace

ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text) {
  auto state = std::make_unique<JpegState>();
  if (source.from_file()) {
    // The start marker first, so that other formats' large files are not read in vain.
    if (!starts_as_jpeg(*source.path)) return nullptr;
    std::optional<FileBytes> bytes = read_file_bytes(*source.path);
    if (!bytes) return ProbeResult::refused("cannot read the file");
    state->owned = std::move(*bytes);
    state->data = state->owned.span();
  } else {
    if (source.memory.empty()) return nullptr;  // a memory source needs its length
    state->data = source.memory;
  }
  Decompressor d;
  if (!d.create()) return ProbeResult::refused("the JPEG library cannot start");
  if (!read_header(d, state->data)) return ProbeResult::refused(d.errors.message);
  const Layout* layout = layout_of(d.cinfo.out_color_space);
  if (!layout) return ProbeResult::refused("unsupported colour space");
  if (d.cinfo.image_width < 1 || d.cinfo.image_width > kMaxImageSide || d.cinfo.image_height < 1 ||
      d.cinfo.image_height > kMaxImageSide) {
    return ProbeResult::refused(side_fault(d.cinfo.image_width, d.cinfo.image_height));
  }
  // JPEG's coding has no useful bound on its expansion (end-of-band runs, arithmetic coding).
  const uint64_t stored = uint64_t{d.cinfo.image_width} * d.cinfo.image_height * uint64_t(layout->channels);
  if (!picture_within_data(d.cinfo.image_width, d.cinfo.image_height, stored, state->data.size(),
                           kUnboundedExpansion)) {
    return ProbeResult::refused(kTooLargeForData);
  }
  state->colour_space = layout->space;
  state->width = static_cast<int32_t>(d.cinfo.image_width);
  state->height = static_cast<int32_t>(d.cinfo.image_height);

  info.pixel_format = layout->pixel_format;
  info.colour_model = layout->colour_model;
  info.width = state->width;
  info.height = state->height;
  info.bits = 8 * layout->channels;
  info.channels = layout->channels;
  info.has_alpha = 0;
  if (want_text) {
    info.pixel_text = layout->pixel_text;
    info.compression_text = d.cinfo.progressive_mode ? "Progressive JPEG" : "JPEG";
  }
  return state;
}

ReadFault decode(ReaderState& reader, std::span<uint32_t> pixels) {
  auto* s = dynamic_cast<JpegState*>(&reader);
  const size_t width = s ? static_cast<size_t>(s->width) : 0;
  const size_t height = s ? static_cast<size_t>(s->height) : 0;
  if (!s || pixels.size() < width * height) return "no room for the picture";
  const bool cmyk = s->colour_space == JCS_CMYK;
  std::vector<JSAMPROW> rows(height);
  for (size_t y = 0; y < height; ++y) rows[y] = reinterpret_cast<JSAMPROW>(pixels.data() + y * width);
  Decompressor d;
  if (!d.create() || !read_header(d, s->data)) return rows_fault(d);
  const bool whole = read_rows(d, cmyk ? JCS_CMYK : JCS_EXT_BGRA, rows.data(), static_cast<JDIMENSION>(width),
                               static_cast<JDIMENSION>(height));
  if (cmyk) cmyk_to_pixels(pixels.first(std::min<size_t>(d.cinfo.output_scanline, height) * width));
  return whole && !d.errors.data_ran_out ? ReadFault() : rows_fault(d);
}

}  // namespace tesmo::jpeg
