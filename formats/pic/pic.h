// PIC images (8-bit red, green, blue and optional alpha channels in chained channel packets),
// uncompressed or with mixed run-length packets: recognition, decoding and the writer.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "formats/codec.h"

namespace tesmo::pic {

// Probe contract of the registry. The file form needs a file of more than 112 bytes; the memory
// form only needs the header inside the given bytes.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text);

// Decodes into the pixel buffer layout. Never fails: bytes the data does not hold read as zero.
void decode(ReaderState& state, std::span<uint32_t> pixels);

// Writes pixel format 0 (24-bit) or 1 (32-bit with an alpha packet), run-length packets when
// `request.compress` is set; 0 or 1.
int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request);

// The complete file the writer would write, or empty when the pixel format is unknown, a side is
// negative or does not fit its 16-bit field, or `pixels` holds fewer than width × height.
std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            int32_t pixel_format, bool compress);

}  // namespace tesmo::pic
