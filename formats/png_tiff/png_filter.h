// Private to formats/png_tiff: the PNG writer's scanlines. Each row of 8-bit red, green, blue (and
// alpha) samples goes through the one of the five row filters (none, sub, up, average, Paeth) whose
// output has the smallest sum of magnitudes (bytes read as signed), the earlier filter on a tie:
// the choice the PNG library makes when every filter is allowed, so the same rows give the same
// bytes.
#pragma once

#include <cstdint>
#include <span>

#include "base/aligned_block.h"

namespace tesmo::png {

// The bytes of the scanlines below: height × (1 + width × (3 or 4)).
size_t scanlines_size(uint32_t width, uint32_t height, bool alpha);

// `height` scanlines of 1 + width × (3 or 4) bytes: the filter type, then the filtered samples.
// `pixels` holds at least width × height pixels. An empty block when memory runs out.
AlignedBlock filtered_scanlines(std::span<const uint32_t> pixels, uint32_t width, uint32_t height,
                                        bool alpha);

}  // namespace tesmo::png
