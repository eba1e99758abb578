// SGI images with one byte per channel: grey, RGB and RGBA, verbatim or run-length encoded;
// the writer stores verbatim pictures. All header fields are big-endian.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "formats/codec.h"

namespace tesmo::sgi {

// Probe contract of the registry. Accepts magic 474, storage 0 or 1, one byte per channel,
// dimension 1–3, sides 1–32767, z size 1, 3 or 4, colour map 0 or 3. The file form also needs
// more than 512 bytes, the memory form the 512-byte header. The source is never modified.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text);

// Decodes into the pixel buffer layout (at least width × height pixels, else nothing is written).
// Channel bytes the data does not hold read as zero: a short file, a row-start table cut short,
// a row whose offset lies past the end, or a run-length row that ends before the width.
void decode(ReaderState& state, std::span<uint32_t> pixels);

// Writes pixel format 0–2 (grey, RGB, RGBA) verbatim, rows bottom-up; 0 or 1.
int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request);

// The complete file the writer would write; empty for an unknown pixel format, a side outside
// 1–65535, fewer than width × height pixels, or a file that would pass 2 GiB - 1 bytes.
std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            int32_t pixel_format);

}  // namespace tesmo::sgi
