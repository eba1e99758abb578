// Private to formats/png_tiff: the zlib stream of the PNG writer's image data. A fast whole-buffer
// deflate does the work; data so redundant that it shrinks many times over (flat graphics) is
// also given to zlib at level 9 with the filtered-data strategy, which is cheap on such data and
// there sometimes finds the shorter stream, as is small data; the shorter of the two is kept.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "base/aligned_block.h"

namespace tesmo::png {

struct ZlibStream {
  AlignedBlock block;
  size_t size = 0;  // the stream's bytes at the start of `block`
  std::span<const uint8_t> bytes() const { return {reinterpret_cast<const uint8_t*>(block.data()), size}; }
};

// A complete zlib stream (header, deflate data, Adler-32) of `data`; nothing when memory runs out.
std::optional<ZlibStream> zlib_stream(std::span<const uint8_t> data);

}  // namespace tesmo::png
