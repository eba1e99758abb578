// DDS textures: the top-level image of uncompressed (16-bit RGB by masks, 24/32-bit, grey, alpha,
// grey-alpha, 4- and 8-bit palettes), block-compressed (DXT1–DXT5, ATI2) and floating-point (16-
// and 32-bit grey and ARGB) surfaces; the writer's nine uncompressed layouts. Mipmaps past the
// first level are ignored; cube maps and volume textures are rejected.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "formats/codec.h"

namespace tesmo::dds {

// Probe contract of the registry. The file form needs at least the 128-byte header and reads
// only the first level's bytes (and the palette); the memory form needs the header in its bytes.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text);

// Decodes into the pixel buffer layout. Never fails: bytes the data does not hold read as zero.
void decode(ReaderState& state, std::span<uint32_t> pixels);

// Writes pixel format 0–8 (grey, alpha, grey-alpha, 4:4:4:4, 1:5:5:5, 5:6:5, 5:5:5, 24-bit,
// 32-bit), rows from the top; 0 or 1.
int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request);

// The complete file the writer would write, or empty when the pixel format is unknown, a side is
// negative, `pixels` holds fewer than width × height, or the data size does not fit its 32-bit field.
std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            int32_t pixel_format);

}  // namespace tesmo::dds
