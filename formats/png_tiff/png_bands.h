// Private to formats/png_tiff: one zlib stream made of independently compressed bands of the data,
// each band on its own thread. A whole-buffer deflate ends every band with a final block, so the
// final flag of every band but the last is cleared and the band is closed with an empty stored
// block (which brings the next band to a byte boundary); the Adler-32 at the end covers all bands.
// The band count follows the data's size only, so every machine writes the same bytes.
#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "formats/png_tiff/png_deflate.h"

namespace tesmo::png {

// The zlib stream of `data` deflated at `level` of the whole-buffer compressor; nothing when memory
// or a compressor cannot be had.
std::optional<ZlibStream> banded_zlib_stream(std::span<const uint8_t> data, int level);

}  // namespace tesmo::png
