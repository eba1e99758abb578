// PNG recognition and decoding. The probe reads the header and the palette; the decoder reads the
// rows one at a time (interlaced images as a whole, which the library combines) and converts each
// into the pixel buffer.
#include <algorithm>
#include <array>
#include <cstdio>
#include <vector>

#include "base/aligned_block.h"
#include "base/bytes.h"
#include "base/file_io.h"
#include "formats/png_tiff/png_library.h"
#include "formats/png_tiff/png_tiff.h"

namespace tesmo::png {

// The message goes to the operation's fault text when it gave one as the error pointer.
[[noreturn]] void on_error(png_structp png, png_const_charp message) {
  if (auto* fault = static_cast<ReadFault*>(png_get_error_ptr(png)); fault && message) *fault = message;
  png_longjmp(png, 1);
}
void on_warning(png_structp, png_const_charp) {}

namespace {

constexpr size_t kSignatureBytes = 4;  // compared before the library reads the whole signature
constexpr double kScreenGamma = 2.2;
constexpr double kDefaultFileGamma = 0.45455;
constexpr uint32_t kOpaque = 0xFF000000u;

using Table = std::array<uint32_t, 256>;

struct PngState final : ReaderState {
  PngState() = default;
  PngState(const PngState&) = delete;  // `data` may point into `owned`
  PngState& operator=(const PngState&) = delete;

  FileBytes owned;
  std::span<const uint8_t> data;  // the whole file image: `owned` or the caller's memory
  Table table{};                  // palette and grey images: index → pixel
  double file_gamma = kDefaultFileGamma;
  int colour_type = 0;
  int bit_depth = 0;
  bool interlaced = false;
  int32_t width = 0;
  int32_t height = 0;
};

// The library objects over a bounded memory source: a read past the end is a library error.
struct Reader {
  explicit Reader(std::span<const uint8_t> data) : source(data) {}
  ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
  Reader(const Reader&) = delete;
  Reader& operator=(const Reader&) = delete;

  ByteReader source;
  ReadFault fault;  // the library's error text
  png_structp png = nullptr;
  png_infop info = nullptr;
};

void read_source(png_structp png, png_bytep out, size_t n) {
  auto* source = static_cast<ByteReader*>(png_get_io_ptr(png));
  if (!source->bytes(out, n)) png_error(png, "read past the end of the data");
}

bool open_reader(Reader& r) {
  r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r.fault, on_error, on_warning);
  if (!r.png) return false;
  r.info = png_create_info_struct(r.png);
  if (!r.info) return false;
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_set_read_fn(r.png, &r.source, read_source);
  png_read_info(r.png, r.info);
  return true;
}

struct Description {
  int32_t pixel_format;
  int32_t colour_model;
  int32_t channels;
  int32_t has_alpha;
  const char* text_8;   // 8-bit samples
  const char* text_16;  // 16-bit samples
};

// By colour type; palette and grey texts are built from the depth.
bool describe(int colour_type, int depth, Description& d) {
  const bool wide = depth == 16;
  switch (colour_type) {
    case PNG_COLOR_TYPE_RGB:
      d = {wide ? -1 : 0, kModelRgb, 3, 0, "8:8:8 RGB (24 bit)", "16:16:16 RGB (48 bit)"};
      return depth == 8 || wide;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      d = {wide ? -1 : 1, kModelRgb, 4, 1, "8:8:8:8 ARGB (32 bit)", "16:16:16:16 ARGB (64 bit)"};
      return depth == 8 || wide;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      d = {-1, kModelGrey, 2, 1, "Gray Alpha (256 colors)", "Gray Alpha (65536 colors)"};
      return depth == 8 || wide;
    case PNG_COLOR_TYPE_PALETTE:
      d = {-1, kModelPalette, 1, 0, nullptr, nullptr};
      return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case PNG_COLOR_TYPE_GRAY:
      d = {-1, kModelPalette, 1, 0, nullptr, nullptr};
      return depth == 1 || depth == 2 || depth == 4 || depth == 8 || wide;
    default:
      return false;
  }
}

// The palette as stored (before any transformation), at most 2^depth entries; missing entries
// are opaque black.
void palette_table(const Reader& r, int depth, Table& table) {
  table.fill(kOpaque);
  png_colorp palette = nullptr;
  int count = 0;
  if (!png_get_PLTE(r.png, r.info, &palette, &count) || !palette) return;
  const int used = std::min({count, 1 << depth, static_cast<int>(table.size())});
  for (int i = 0; i < used; ++i) {
    table[static_cast<size_t>(i)] = kOpaque | static_cast<uint32_t>(palette[i].red) << 16 |
                                    static_cast<uint32_t>(palette[i].green) << 8 | palette[i].blue;
  }
}

// The library's evenly spaced grey palette for min(depth, 8) bits.
void grey_table(int depth, Table& table) {
  table.fill(kOpaque);
  const uint32_t levels = 1u << std::min(depth, 8);
  for (uint32_t i = 0; i < levels; ++i) {
    const uint32_t v = i * 255 / (levels - 1);
    table[i] = kOpaque | v << 16 | v << 8 | v;
  }
}

double file_gamma(const Reader& r) {
  double gamma = 0;
  if (!png_get_valid(r.png, r.info, PNG_INFO_sRGB) && png_get_gAMA(r.png, r.info, &gamma) && gamma > 0) {
    return gamma;
  }
  return kDefaultFileGamma;
}

constexpr uint64_t kDeflateExpansion = 1032;

Verdict probe_bytes(PngState& s, ImageInfo& info, bool want_text) {
  if (s.data.size() < kSignatureBytes || png_sig_cmp(s.data.data(), 0, kSignatureBytes) != 0) return false;
  Reader r(s.data);
  if (!open_reader(r)) return Verdict::refused(r.fault.empty() ? kTruncatedHeader : r.fault);
  const uint32_t width = png_get_image_width(r.png, r.info);
  const uint32_t height = png_get_image_height(r.png, r.info);
  if (width < 1 || width > kMaxImageSide || height < 1 || height > kMaxImageSide) {
    return Verdict::refused(side_fault(width, height));
  }
  s.width = static_cast<int32_t>(width);
  s.height = static_cast<int32_t>(height);
  s.colour_type = png_get_color_type(r.png, r.info);
  s.bit_depth = png_get_bit_depth(r.png, r.info);
  s.interlaced = png_get_interlace_type(r.png, r.info) == PNG_INTERLACE_ADAM7;
  s.file_gamma = file_gamma(r);
  Description d{};
  if (!describe(s.colour_type, s.bit_depth, d)) return Verdict::refused("unsupported colour type or bit depth");
  // Deflate gives at most 1032 bytes per byte of stream; each stored row has a filter byte.
  const uint64_t row_bytes = (uint64_t(width) * d.channels * s.bit_depth + 7) / 8 + 1;
  if (!picture_within_data(width, height, row_bytes * height, s.data.size(), kDeflateExpansion)) {
    return Verdict::refused(kTooLargeForData);
  }
  if (s.colour_type == PNG_COLOR_TYPE_PALETTE) palette_table(r, s.bit_depth, s.table);
  if (s.colour_type == PNG_COLOR_TYPE_GRAY) grey_table(s.bit_depth, s.table);

  info.pixel_format = d.pixel_format;
  info.colour_model = d.colour_model;
  info.width = s.width;
  info.height = s.height;
  info.bits = s.bit_depth * d.channels;
  info.channels = d.channels;
  info.has_alpha = d.has_alpha;
  if (want_text) {
    if (d.text_8) {
      info.pixel_text = s.bit_depth == 16 ? d.text_16 : d.text_8;
    } else {
      char text[48];
      std::snprintf(text, sizeof text, "Palette %s (%d colors)",
                    s.colour_type == PNG_COLOR_TYPE_PALETTE ? "RGB" : "Gray", 1 << s.bit_depth);
      info.pixel_text = text;
    }
    if (png_get_compression_type(r.png, r.info) == PNG_COMPRESSION_TYPE_BASE) info.compression_text = "ZIP";
    if (s.interlaced) info.extra_text = "Interlace";
  }
  return true;
}

// One library row (after gamma and 16-to-8 scaling) into one pixel row.
using RowFn = void (*)(const uint8_t* src, uint32_t* dst, size_t width, const Table& table);

void row_rgb(const uint8_t* src, uint32_t* dst, size_t width, const Table&) {
  for (size_t x = 0; x < width; ++x, src += 3) {
    dst[x] = kOpaque | static_cast<uint32_t>(src[0]) << 16 | static_cast<uint32_t>(src[1]) << 8 | src[2];
  }
}

void row_rgba(const uint8_t* src, uint32_t* dst, size_t width, const Table&) {
  for (size_t x = 0; x < width; ++x, src += 4) {
    dst[x] = static_cast<uint32_t>(src[3]) << 24 | static_cast<uint32_t>(src[0]) << 16 |
             static_cast<uint32_t>(src[1]) << 8 | src[2];
  }
}

void row_grey_alpha(const uint8_t* src, uint32_t* dst, size_t width, const Table&) {
  for (size_t x = 0; x < width; ++x, src += 2) {
    const uint32_t v = src[0];
    dst[x] = static_cast<uint32_t>(src[1]) << 24 | v << 16 | v << 8 | v;
  }
}

// Packed indices, the first pixel in the highest bits of each byte; rows start on whole bytes.
template <int Bits>
void row_index(const uint8_t* src, uint32_t* dst, size_t width, const Table& table) {
  constexpr size_t kPerByte = 8 / Bits;
  constexpr uint32_t kMask = (1u << Bits) - 1;
  for (size_t x = 0; x < width; ++x) {
    const size_t shift = 8 - Bits * (x % kPerByte + 1);
    dst[x] = table[(src[x / kPerByte] >> shift) & kMask];
  }
}

// The bytes of one row as the converters read it: samples of at most 8 bits after scaling.
size_t converted_row_bytes(const PngState& s) {
  const size_t channels = s.colour_type == PNG_COLOR_TYPE_RGB         ? 3
                          : s.colour_type == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                          : s.colour_type == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                       : 1;
  const size_t depth = static_cast<size_t>(std::min(s.bit_depth, 8));
  return (static_cast<size_t>(s.width) * channels * depth + 7) / 8;
}

RowFn row_decoder(const PngState& s) {
  switch (s.colour_type) {
    case PNG_COLOR_TYPE_RGB: return row_rgb;
    case PNG_COLOR_TYPE_RGB_ALPHA: return row_rgba;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return row_grey_alpha;
    default: break;
  }
  switch (s.bit_depth) {
    case 1: return row_index<1>;
    case 2: return row_index<2>;
    case 4: return row_index<4>;
    default: return row_index<8>;  // 8 bits, and 16-bit grey scaled to 8
  }
}

// Sets the transformations and gives the row size; 0 after a library error.
size_t start_rows(Reader& r, const PngState& s) {
  if (setjmp(png_jmpbuf(r.png))) return 0;
  png_set_gamma(r.png, kScreenGamma, s.file_gamma);
  if (s.bit_depth == 16) png_set_scale_16(r.png);
  if (s.interlaced) png_set_interlace_handling(r.png);
  png_read_update_info(r.png, r.info);
  return png_get_rowbytes(r.png, r.info);
}

struct RowJob {
  std::span<uint32_t> pixels;
  size_t width = 0;
  size_t height = 0;
  RowFn convert = nullptr;
  const Table* table = nullptr;
  uint8_t* row = nullptr;  // one library row
};

// Reads and converts row by row; false after a library error (rows before it stay converted).
bool read_progressive_rows(Reader& r, const RowJob& job) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  for (size_t y = 0; y < job.height; ++y) {
    png_read_row(r.png, job.row, nullptr);
    job.convert(job.row, job.pixels.data() + y * job.width, job.width, *job.table);
  }
  return true;
}

// Reads all passes of an interlaced image into `rows` (one pointer per row).
bool read_interlaced_image(Reader& r, png_bytepp rows) {
  if (setjmp(png_jmpbuf(r.png))) return false;
  png_read_image(r.png, rows);
  return true;
}

// The whole image is needed before any row is complete; nothing is converted after an error.
bool decode_interlaced(Reader& r, const RowJob& job, size_t row_bytes) {
  if (row_bytes > SIZE_MAX / job.height) return false;
  // Not cleared: the seven passes together set every pixel before any row is converted.
  AlignedBlock image = AlignedBlock::allocate(row_bytes * job.height);
  if (!image) return false;
  std::vector<png_bytep> rows(job.height);
  for (size_t y = 0; y < job.height; ++y) rows[y] = reinterpret_cast<png_bytep>(image.data()) + y * row_bytes;
  if (!read_interlaced_image(r, rows.data())) return false;
  for (size_t y = 0; y < job.height; ++y) {
    job.convert(rows[y], job.pixels.data() + y * job.width, job.width, *job.table);
  }
  return true;
}

// The library's text when it gave one.
ReadFault decode_fault(const Reader& r) { return r.fault.empty() ? ReadFault("damaged image data") : r.fault; }

}  // namespace

ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text) {
  auto state = std::make_unique<PngState>();
  if (source.from_file()) {
    std::optional<std::vector<uint8_t>> head = read_file_prefix(*source.path, kSignatureBytes);
    if (!head || head->size() < kSignatureBytes || png_sig_cmp(head->data(), 0, kSignatureBytes) != 0) {
      return nullptr;
    }
    std::optional<FileBytes> bytes = read_file_bytes(*source.path);
    if (!bytes) return ProbeResult::refused("cannot read the file");
    state->owned = std::move(*bytes);
    state->data = state->owned.span();
  } else {
    state->data = source.memory;
  }
  ImageInfo found = info;
  if (Verdict v = probe_bytes(*state, found, want_text); !v) return v;
  info = std::move(found);
  return state;
}

ReadFault decode(ReaderState& reader, std::span<uint32_t> pixels) {
  auto* s = dynamic_cast<PngState*>(&reader);
  const size_t width = s ? static_cast<size_t>(s->width) : 0;
  const size_t height = s ? static_cast<size_t>(s->height) : 0;
  if (!s || pixels.size() < width * height) return "no room for the picture";
  Reader r(s->data);
  if (!open_reader(r)) return decode_fault(r);
  const size_t row_bytes = start_rows(r, *s);
  if (row_bytes < converted_row_bytes(*s)) return decode_fault(r);  // also 0 after a library error
  RowJob job{pixels, width, height, row_decoder(*s), &s->table, nullptr};
  if (s->interlaced) return decode_interlaced(r, job, row_bytes) ? ReadFault() : decode_fault(r);
  std::vector<uint8_t> row(row_bytes);
  job.row = row.data();
  return read_progressive_rows(r, job) ? ReadFault() : decode_fault(r);
}

}  // namespace tesmo::png
