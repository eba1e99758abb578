// BMP bitmaps, and the first image of ICO icons and CUR cursors: recognition, decoding of every
// stored layout, and the writer's seven layouts.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "formats/codec.h"

namespace tesmo::bmp {

// Probe contract of the registry: accepts bitmaps, icons and cursors; writes its own name texts
// ("BMP", "Icon (BMP)", "Cursor (BMP)") and extensions.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text);

// Decodes into the pixel buffer layout.
void decode(ReaderState& state, std::span<uint32_t> pixels);

// The alpha plane of a 32-bit image: one byte per pixel (the stored alpha), rows from the top.
// `alpha` holds at least width × height bytes. Other depths write nothing.
void decode_alpha(ReaderState& state, std::span<uint8_t> alpha);

// Writes pixel format 0–6 (5:5:5, 1:5:5:5, 5:6:5, 4:4:4, 4:4:4:4, 24-bit, 32-bit); 0 or 1.
int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request);

// The complete file the writer would write, or empty when the pixel format is unknown, a side is
// negative, `pixels` holds fewer than width × height, or the file would pass 4 GiB - 1 bytes.
std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            int32_t pixel_format);

}  // namespace tesmo::bmp
