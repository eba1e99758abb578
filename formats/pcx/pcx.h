// PCX images: 24-bit three-plane and 8-bit palette pictures, uncompressed or run-length encoded;
// the writer stores uncompressed 24-bit pictures.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "formats/codec.h"

namespace tesmo::pcx {

// Probe contract of the registry. Accepts manufacturer 10, versions 0 and 2–5, encodings 0 and 1,
// 8 bits × 3 planes, or 8 bits × 1 plane at version 5, sides 1–32767, bytes per line above 0. The
// file form also needs more than 128 bytes, the memory form the 128-byte header. An 8-bit picture
// takes its palette from the last 768 bytes of the file image, in both forms.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text);

// Decodes into the pixel buffer layout (at least width × height pixels, else nothing is written).
// Bytes the data does not hold read as zero: opaque black, or palette entry 0 for 8-bit pictures;
// so do the pixels of a row past its bytes per line. Palette bytes before the start of the file
// image read as zero.
void decode(ReaderState& state, std::span<uint32_t> pixels);

// Writes pixel format 0 (24 bits, planes red, green, blue, bytes per line = width); 0 or 1.
int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request);

// The complete file the writer would write; empty for a pixel format other than 0, a side outside
// 1–65535, fewer than width × height pixels, or a file that would pass 4 GiB - 1 bytes.
std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            int32_t pixel_format);

}  // namespace tesmo::pcx
