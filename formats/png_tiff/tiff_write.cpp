// The TIFF writer: 8-bit grey, RGB or RGBA samples, deflate compression (code 32946), the whole
// image as strip 0. The file is built in memory through the library's client streams.
#include <algorithm>
#include <cstdio>

#include "base/file_io.h"
#include "formats/png_tiff/png_tiff.h"
#include "formats/png_tiff/tiff_library.h"

namespace tesmo::tiff {
namespace {

// A growing in-memory file for the library's client procedures.
struct MemoryFile {
  std::vector<uint8_t> bytes;
  uint64_t position = 0;
};

MemoryFile& file_of(thandle_t h) { return *static_cast<MemoryFile*>(h); }

tmsize_t read_proc(thandle_t h, void* out, tmsize_t n) {
  MemoryFile& f = file_of(h);
  if (n < 0 || f.position >= f.bytes.size()) return 0;
  const size_t count = std::min<uint64_t>(static_cast<uint64_t>(n), f.bytes.size() - f.position);
  std::copy_n(f.bytes.begin() + static_cast<ptrdiff_t>(f.position), count, static_cast<uint8_t*>(out));
  f.position += count;
  return static_cast<tmsize_t>(count);
}

tmsize_t write_proc(thandle_t h, void* data, tmsize_t n) {
  MemoryFile& f = file_of(h);
  if (n < 0) return -1;
  const uint64_t end = f.position + static_cast<uint64_t>(n);
  try {
    if (end > f.bytes.size()) f.bytes.resize(static_cast<size_t>(end));
  } catch (const std::bad_alloc&) {
    return -1;
  }
  std::copy_n(static_cast<const uint8_t*>(data), n, f.bytes.begin() + static_cast<ptrdiff_t>(f.position));
  f.position = end;
  return n;
}

toff_t seek_proc(thandle_t h, toff_t offset, int whence) {
  MemoryFile& f = file_of(h);
  const uint64_t base = whence == SEEK_CUR ? f.position : whence == SEEK_END ? f.bytes.size() : 0;
  f.position = base + offset;
  return f.position;
}

int close_proc(thandle_t) { return 0; }
toff_t size_proc(thandle_t h) { return file_of(h).bytes.size(); }
int map_proc(thandle_t, void**, toff_t*) { return 0; }
void unmap_proc(thandle_t, void*, toff_t) {}

struct Layout {
  uint16_t samples;
  uint16_t photometric;
};

// By pixel format: grey, RGB, RGBA (four samples with no ExtraSamples tag).
constexpr Layout kLayouts[] = {{1, PHOTOMETRIC_MINISBLACK}, {3, PHOTOMETRIC_RGB}, {4, PHOTOMETRIC_RGB}};

std::vector<uint8_t> samples_of(std::span<const uint32_t> pixels, size_t count, uint16_t samples) {
  std::vector<uint8_t> out(count * samples);
  uint8_t* dst = out.data();
  for (size_t i = 0; i < count; ++i) {
    const uint32_t p = pixels[i];
    if (samples == 1) {
      *dst++ = grey_of(p);
      continue;
    }
    *dst++ = static_cast<uint8_t>(p >> 16);
    *dst++ = static_cast<uint8_t>(p >> 8);
    *dst++ = static_cast<uint8_t>(p);
    if (samples == 4) *dst++ = static_cast<uint8_t>(p >> 24);
  }
  return out;
}

bool write_tiff(TIFF* tif, uint32_t width, uint32_t height, const Layout& layout, std::vector<uint8_t>& samples) {
  const bool tagged = TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width) && TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height) &&
                      TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_DEFLATE) &&
                      TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
                      TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, layout.photometric) &&
                      TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8) &&
                      TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, layout.samples);
  if (!tagged) return false;
  if (TIFFWriteEncodedStrip(tif, 0, samples.data(), static_cast<tmsize_t>(samples.size())) < 0) return false;
  return TIFFFlush(tif) == 1;
}

}  // namespace

std::optional<std::vector<uint8_t>> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                                           int32_t pixel_format) {
  if (pixel_format < 0 || pixel_format >= static_cast<int32_t>(std::size(kLayouts))) return std::nullopt;
  if (width < 1 || height < 1) return std::nullopt;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (pixels.size() < count) return std::nullopt;
  const Layout& layout = kLayouts[pixel_format];
  std::vector<uint8_t> samples = samples_of(pixels, count, layout.samples);
  Options options;
  if (!options.get()) return std::nullopt;
  MemoryFile file;
  bool written = false;
  {
    Handle h(TIFFClientOpenExt("memory", "w", &file, read_proc, write_proc, seek_proc, close_proc, size_proc,
                               map_proc, unmap_proc, options.get()));
    if (!h.tif) return std::nullopt;
    written = write_tiff(h.tif, static_cast<uint32_t>(width), static_cast<uint32_t>(height), layout, samples);
  }
  if (!written) return std::nullopt;
  return std::move(file.bytes);
}

int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request) {
  if (request.path.empty()) return 1;
  std::optional<std::vector<uint8_t>> bytes = encode(pixels, width, height, request.pixel_format);
  if (!bytes) return 1;
  return write_image_file(request.path, *bytes);
}

}  // namespace tesmo::tiff
