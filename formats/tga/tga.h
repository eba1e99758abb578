// TGA (Targa) images: uncompressed and run-length grey, colour-mapped and true-colour pictures;
// the writer stores uncompressed grey, 5:5:5, 24-bit and 32-bit pictures. TGA has no signature,
// so the registry offers it data last.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "formats/codec.h"

namespace tesmo::tga {

// Probe contract of the registry. Accepts types 1, 2, 3, 9 and 10 with 8 (grey or 24/32-bit colour
// map), 16, 24 or 32 bits per pixel and sides 1–32767; the file form also needs more than 18 bytes
// and the memory form the 18-byte header. Never reads outside the source.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text);

// Decodes into the pixel buffer layout (at least width × height pixels, else nothing is written).
// Bytes the data does not hold (a short file, a run-length stream that ends early, colour-map
// entries past the stored map) read as zero.
void decode(ReaderState& state, std::span<uint32_t> pixels);

// Writes pixel format 0–3 (grey, 5:5:5, 24-bit, 32-bit) uncompressed, rows top to bottom; 0 or 1.
int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request);

// The complete file the writer would write; empty for an unknown pixel format, a side outside
// 1–65535, fewer than width × height pixels, or a file that would pass 2 GiB - 1 bytes.
std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            int32_t pixel_format);

}  // namespace tesmo::tga
