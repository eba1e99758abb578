// TIFF recognition and decoding: the first directory's fields decide the kind; its strips are read
// one after another into the reader state, and the decoder converts them into pixels.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "base/aligned_block.h"
#include "base/file_io.h"
#include "base/path.h"
#include "formats/png_tiff/png_tiff.h"
#include "formats/png_tiff/tiff_library.h"

namespace tesmo::tiff {
namespace {

// Samples wider than 8 bits arrive in host byte order; their top byte is their last one here.
static_assert(std::endian::native == std::endian::little);

constexpr uint32_t kOpaque = 0xFF000000u;

enum class Kind { kGrey, kRgb, kPalette, kCmyk };

struct TiffState final : ReaderState {
  AlignedBlock block;  // the strips of the first directory, one after another
  size_t filled = 0;   // bytes of `block` the strips gave
  std::vector<uint32_t> table;  // palette images: index → pixel
  Kind kind = Kind::kGrey;
  uint16_t photometric = 0;
  bool planar = false;
  uint32_t samples = 0;
  uint32_t sample_bits = 0;  // effective bits per sample
  uint32_t bits = 0;         // samples × sample_bits
  size_t stride = 0;         // bytes per stored row (per plane for planar data)
  int32_t width = 0;
  int32_t height = 0;

  std::span<const uint8_t> data() const {
    return {reinterpret_cast<const uint8_t*>(block.data()), filled};
  }
};

struct CompressionName {
  uint16_t value;
  const char* text;
};

// Shown exactly as written here, odd spacing and signs included.
constexpr CompressionName kCompressionNames[] = {
    {2, "CCITT modified Huffman RLE"},
    {3, "CCITT T.4 (TIFF 6 name)"},
    {4, "CCITT T.6 (TIFF 6 name)"},
    {5, "Lempel-Ziv  & Welch"},
    {6, "!6.0 JPEG"},
    {7, "JPEG DCT compression"},
    {8, "Deflate compression, as recognized by Adobe"},
    {32766, "NeXT 2-bit RLE"},
    {32771, "#1 w/ word alignment"},
    {32773, "Macintosh RLE"},
    {32809, "ThunderScan RLE"},
    {32895, "IT8 CT w/padding"},
    {32896, "IT8 Linework RLE"},
    {32897, "IT8 Monochrome picture"},
    {32898, "IT8 Binary line art"},
    {32908, "Pixar companded 10bit LZW"},
    {32909, "Pixar companded 11bit ZIP"},
    {32946, "Deflate compression"},
    {32947, "Kodak DCS encoding"},
    {34661, "ISO JBIG"},
    {34676, "SGI Log Luminance RLE"},
    {34677, "SGI Log 24-bit packed"},
    {34712, "Leadtools JPEG2000"},
};

const char* compression_name(uint16_t value) {
  for (const CompressionName& c : kCompressionNames) {
    if (c.value == value) return c.text;
  }
  return "";
}

bool one_of(uint32_t v, std::initializer_list<uint32_t> allowed) {
  return std::find(allowed.begin(), allowed.end(), v) != allowed.end();
}

// The kind, the numeric fields of `info` and (with `want_text`) the pixel text; false to decline.
bool classify(TiffState& s, ImageInfo& info, bool want_text) {
  const uint32_t e = s.sample_bits;
  char text[48] = "";
  info.pixel_format = -1;
  switch (s.photometric) {
    case PHOTOMETRIC_MINISWHITE:
    case PHOTOMETRIC_MINISBLACK:
      if (!one_of(s.bits, {2, 4, 8, 16, 24, 32})) return false;
      s.kind = Kind::kGrey;
      info.colour_model = kModelGrey;
      info.channels = 1;
      if (s.bits <= 8) {
        std::snprintf(text, sizeof text, "Gray (%u colors)", 1u << s.bits);
      } else {
        std::snprintf(text, sizeof text, "Gray (%u bit)", s.bits);
      }
      break;
    case PHOTOMETRIC_RGB:
    case PHOTOMETRIC_YCBCR:
      if (s.samples == 1 || !one_of(e, {8, 16, 24, 32})) return false;
      s.kind = Kind::kRgb;
      info.colour_model = kModelRgb;
      info.channels = static_cast<int32_t>(s.samples);
      info.has_alpha = s.samples == 4;
      if (e == 8) info.pixel_format = s.samples == 4 ? 2 : 1;
      if (s.samples == 4) {
        std::snprintf(text, sizeof text, "%u:%u:%u:%u RGBA (%u bit)", e, e, e, e, s.bits);
      } else {
        std::snprintf(text, sizeof text, "%u:%u:%u RGB (%u bit)", e, e, e, s.bits);
      }
      break;
    case PHOTOMETRIC_PALETTE:
      if (!one_of(e, {2, 4, 8, 16})) return false;
      s.kind = Kind::kPalette;
      info.colour_model = kModelPalette;
      info.channels = 1;
      std::snprintf(text, sizeof text, "Palette RGB (%u colors)", 1u << e);
      break;
    case PHOTOMETRIC_SEPARATED:
      if (!one_of(e, {8, 16})) return false;
      s.kind = Kind::kCmyk;
      info.colour_model = kModelCmyk;
      info.channels = 4;
      std::snprintf(text, sizeof text, "%u:%u:%u:%u CMYK (%u bit)", e, e, e, e, s.bits);
      break;
    default:
      return false;
  }
  info.width = s.width;
  info.height = s.height;
  info.bits = static_cast<int32_t>(s.bits);
  if (want_text) info.pixel_text = text;
  return true;
}

// The colour table: 2^sample_bits entries (the index width the decoder reads), the first ones
// from the colour map's high bytes, the rest opaque black.
bool read_palette(TIFF* tif, uint16_t bits_per_sample, TiffState& s) {
  uint16_t* red = nullptr;
  uint16_t* green = nullptr;
  uint16_t* blue = nullptr;
  if (!TIFFGetField(tif, TIFFTAG_COLORMAP, &red, &green, &blue) || !red || !green || !blue) return false;
  if (!one_of(bits_per_sample, {2, 4, 8, 16}) || s.sample_bits > 16) return false;
  s.table.assign(size_t{1} << s.sample_bits, kOpaque);
  const size_t used = std::min(s.table.size(), size_t{1} << bits_per_sample);
  for (size_t i = 0; i < used; ++i) {
    s.table[i] = kOpaque | static_cast<uint32_t>(red[i] >> 8) << 16 |
                 static_cast<uint32_t>(green[i] >> 8) << 8 | (blue[i] >> 8);
  }
  return true;
}

// Every strip in order, each through the library's encoded-strip reader. False when one cannot be
// read or the space cannot be had.
// `file_bytes` is the size of the file: the strips' block is sized only when the file could fill it
// (stored strips byte for byte; compressed ones within kUnboundedExpansion).
bool read_strips(TIFF* tif, TiffState& s, uint64_t file_bytes, bool compressed) {
  const uint64_t count = TIFFNumberOfStrips(tif);
  if (count == 0) return true;  // accepted with no data
  const uint64_t strip_size = TIFFStripSize64(tif);
  if (strip_size == 0 || strip_size > SIZE_MAX / count) return false;
  if (!picture_within_data(s.width, s.height, strip_size * count, file_bytes,
                           compressed ? kUnboundedExpansion : 1)) {
    return false;
  }
  // Not cleared: only the bytes the strips give are ever read.
  s.block = AlignedBlock::allocate(static_cast<size_t>(strip_size * count));
  if (!s.block) return false;
  auto* base = reinterpret_cast<uint8_t*>(s.block.data());
  for (uint64_t strip = 0; strip < count; ++strip) {
    const tmsize_t got = TIFFReadEncodedStrip(tif, static_cast<uint32_t>(strip), base + s.filled,
                                              static_cast<tmsize_t>(strip_size));
    if (got < 0) return false;
    s.filled += static_cast<size_t>(got);
  }
  return true;
}

// The byte-order mark and 42 of a classic TIFF file, little- or big-endian ("II*\0", "MM\0*"); big
// TIFF files carry 43 in its place.
bool starts_as_tiff(const std::u16string& path) {
  std::optional<std::vector<uint8_t>> head = read_file_prefix(path, 4);
  if (!head || head->size() < 4) return false;
  const std::vector<uint8_t>& h = *head;
  return (h[0] == 'I' && h[1] == 'I' && (h[2] == 42 || h[2] == 43) && h[3] == 0) ||
         (h[0] == 'M' && h[1] == 'M' && h[2] == 0 && (h[3] == 42 || h[3] == 43));
}

// The library's text for a file it opened and then could not use; no reason when it did not
// recognise the file (its own signature check failed) or said nothing.
Verdict library_refusal(const Options& options, bool opened) {
  if (!opened || options.last_error().empty()) return false;
  return Verdict::refused(options.last_error());
}

Verdict probe_file(const std::u16string& path, TiffState& s, ImageInfo& info, bool want_text) {
  Options options;
  if (!options.get()) return false;
  Handle h(TIFFOpenExt(to_fs_path(path).c_str(), "r", options.get()));
  TIFF* tif = h.tif;
  if (!tif) return library_refusal(options, starts_as_tiff(path));
  uint32_t width = 0, height = 0;
  if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height)) return false;
  if (width < 1 || width > kMaxImageSide || height < 1 || height > kMaxImageSide) {
    return Verdict::refused(side_fault(width, height));
  }
  uint16_t bits_per_sample = 1, samples = 1, photometric = 0, planar = PLANARCONFIG_CONTIG, compression = 1;
  TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits_per_sample);
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric)) photometric = 0;
  TIFFGetFieldDefaulted(tif, TIFFTAG_PLANARCONFIG, &planar);
  TIFFGetFieldDefaulted(tif, TIFFTAG_COMPRESSION, &compression);
  if (!one_of(samples, {1, 3, 4}) || TIFFIsTiled(tif)) return false;

  s.width = static_cast<int32_t>(width);
  s.height = static_cast<int32_t>(height);
  s.photometric = photometric;
  s.planar = planar == PLANARCONFIG_SEPARATE;
  s.samples = samples;
  s.stride = static_cast<size_t>(TIFFScanlineSize64(tif));
  // The bits each sample really takes in a row (a 4-bit row of odd width rounds up to whole bytes).
  const uint64_t row_bytes = static_cast<uint64_t>(s.stride) * (s.planar ? samples : 1);
  s.sample_bits = static_cast<uint32_t>(row_bytes * 8 / (uint64_t{samples} * width));
  s.bits = samples * s.sample_bits;
  if (s.stride == 0 || s.sample_bits == 0) return false;
  if (photometric == PHOTOMETRIC_PALETTE && !read_palette(tif, bits_per_sample, s)) return false;
  if (!classify(s, info, want_text)) return false;
  if (want_text) info.compression_text = compression_name(compression);
  std::error_code error;
  const uintmax_t file_bytes = std::filesystem::file_size(to_fs_path(path), error);
  if (error) return false;
  if (!read_strips(tif, s, file_bytes, compression != COMPRESSION_NONE)) {
    return options.last_error().empty() ? Verdict::refused("the strips cannot be read")
                                        : Verdict::refused(options.last_error());
  }
  return true;
}

// Where the samples of row y start and how far apart the pixels are; false when the data does not
// hold the `used` samples of the row completely.
struct RowSamples {
  std::array<const uint8_t*, 4> start{};
  size_t step = 0;  // bytes from one pixel's sample to the next pixel's
};

bool row_samples(const TiffState& s, size_t y, uint32_t used, RowSamples& r) {
  const std::span<const uint8_t> data = s.data();
  const size_t bytes = s.sample_bits / 8;
  const size_t width = static_cast<size_t>(s.width);
  const size_t planes = s.planar ? used : 1;
  // Contiguous rows: a CMYK reading of fewer than four samples reaches into the next pixel.
  const size_t need = s.planar ? width * bytes : ((width - 1) * s.samples + std::max(s.samples, used)) * bytes;
  for (size_t p = 0; p < planes; ++p) {
    const uint64_t at = (uint64_t{p} * static_cast<uint64_t>(s.height) + y) * s.stride;
    if (at > data.size() || data.size() - at < need) return false;
    r.start[p] = data.data() + at;
  }
  for (size_t i = planes; i < used; ++i) r.start[i] = r.start[0] + i * bytes;
  r.step = s.planar ? bytes : s.samples * bytes;
  return true;
}

uint32_t clamp_byte(double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 255.0)); }

// Samples 0–2 read as Y, Cb, Cr.
uint32_t ycbcr_pixel(uint32_t y, uint32_t cb_byte, uint32_t cr_byte, uint32_t alpha) {
  const double cb = static_cast<double>(cb_byte) - 128, cr = static_cast<double>(cr_byte) - 128;
  const uint32_t b = clamp_byte(y + 1.7718 * cb);
  const uint32_t g = clamp_byte(y - 0.3441 * cb - 0.7139 * cr);
  const uint32_t r = clamp_byte(y + 1.402 * cr);
  return alpha << 24 | r << 16 | g << 8 | b;
}

bool decode_rgb(const TiffState& s, std::span<uint32_t> pixels) {
  const size_t width = static_cast<size_t>(s.width);
  const size_t top = s.sample_bits / 8 - 1;
  const bool alpha = s.samples == 4;
  RowSamples r;
  size_t y = 0;
  for (; y < static_cast<size_t>(s.height) && row_samples(s, y, s.samples, r); ++y) {
    uint32_t* dst = pixels.data() + y * width;
    for (size_t x = 0; x < width; ++x) {
      const size_t at = x * r.step + top;
      const uint32_t red = r.start[0][at], green = r.start[1][at], blue = r.start[2][at];
      const uint32_t a = alpha ? r.start[3][at] : 255;
      dst[x] = s.photometric == PHOTOMETRIC_YCBCR ? ycbcr_pixel(red, green, blue, a)
                                                  : a << 24 | red << 16 | green << 8 | blue;
    }
  }
  return y == static_cast<size_t>(s.height);
}

bool decode_cmyk(const TiffState& s, std::span<uint32_t> pixels) {
  const size_t width = static_cast<size_t>(s.width);
  const bool wide = s.sample_bits == 16;
  RowSamples r;
  size_t y = 0;
  for (; y < static_cast<size_t>(s.height) && row_samples(s, y, 4, r); ++y) {
    uint32_t* dst = pixels.data() + y * width;
    for (size_t x = 0; x < width; ++x) {
      const size_t at = x * r.step;
      std::array<uint64_t, 4> v{};
      for (size_t c = 0; c < 4; ++c) {
        v[c] = wide ? (r.start[c][at] | uint64_t{r.start[c][at + 1]} << 8) : r.start[c][at];
      }
      const uint64_t max = wide ? 65535 : 255;
      const uint64_t divisor = wide ? 0xFFFF00 : 255;
      const uint64_t k = max - v[3];
      const auto channel = [&](uint64_t c) { return static_cast<uint32_t>((max - c) * k / divisor); };
      dst[x] = kOpaque | channel(v[0]) << 16 | channel(v[1]) << 8 | channel(v[2]);
    }
  }
  return y == static_cast<size_t>(s.height);
}

// One grey or index value of `bits` bits at pixel x: packed values scaled for grey (× 85, × 17),
// wider ones by their top byte.
uint32_t packed(const uint8_t* row, size_t x, uint32_t bits, bool scale) {
  switch (bits) {
    case 2: {
      const uint32_t v = (row[x / 4] >> (6 - 2 * (x % 4))) & 3;
      return scale ? v * 85 : v;
    }
    case 4: {
      const uint32_t v = (row[x / 2] >> ((x % 2) ? 0 : 4)) & 15;
      return scale ? v * 17 : v;
    }
    default: {
      const size_t bytes = bits / 8;
      return row[x * bytes + bytes - 1];
    }
  }
}

bool decode_grey(const TiffState& s, std::span<uint32_t> pixels) {
  const std::span<const uint8_t> data = s.data();
  const size_t width = static_cast<size_t>(s.width);
  const size_t need = (width * s.bits + 7) / 8;
  const uint32_t invert = s.photometric == PHOTOMETRIC_MINISWHITE ? 0xFFFFFFu : 0;
  for (size_t y = 0; y < static_cast<size_t>(s.height); ++y) {
    const uint64_t at = uint64_t{y} * s.stride;
    if (at > data.size() || data.size() - at < need) return false;
    const uint8_t* row = data.data() + at;
    uint32_t* dst = pixels.data() + y * width;
    for (size_t x = 0; x < width; ++x) {
      const uint32_t v = packed(row, x, s.bits, true);
      dst[x] = (kOpaque | v << 16 | v << 8 | v) ^ invert;
    }
  }
  return true;
}

bool decode_palette(const TiffState& s, std::span<uint32_t> pixels) {
  const std::span<const uint8_t> data = s.data();
  const size_t width = static_cast<size_t>(s.width);
  const size_t need = (width * s.sample_bits + 7) / 8;
  for (size_t y = 0; y < static_cast<size_t>(s.height); ++y) {
    const uint64_t at = uint64_t{y} * s.stride;
    if (at > data.size() || data.size() - at < need) return false;
    const uint8_t* row = data.data() + at;
    uint32_t* dst = pixels.data() + y * width;
    for (size_t x = 0; x < width; ++x) {
      const uint32_t index = s.sample_bits == 16 ? (row[2 * x] | uint32_t{row[2 * x + 1]} << 8)
                                                 : packed(row, x, s.sample_bits, false);
      dst[x] = s.table[index];  // the table has 2^sample_bits entries
    }
  }
  return true;
}

}  // namespace

ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text) {
  if (!source.from_file()) return nullptr;  // memory sources are declined
  auto state = std::make_unique<TiffState>();
  ImageInfo found = info;
  if (Verdict v = probe_file(*source.path, *state, found, want_text); !v) return v;
  info = std::move(found);
  return state;
}

ReadFault decode(ReaderState& reader, std::span<uint32_t> pixels) {
  auto* s = dynamic_cast<TiffState*>(&reader);
  if (!s || pixels.size() < static_cast<size_t>(s->width) * static_cast<size_t>(s->height)) {
    return "no room for the picture";
  }
  bool whole = false;
  switch (s->kind) {
    case Kind::kGrey: whole = decode_grey(*s, pixels); break;
    case Kind::kRgb: whole = decode_rgb(*s, pixels); break;
    case Kind::kPalette: whole = decode_palette(*s, pixels); break;
    case Kind::kCmyk: whole = decode_cmyk(*s, pixels); break;
  }
  return whole ? ReadFault() : ReadFault("the strips end before the last row");
}

}  // namespace tesmo::tiff
