// Private to formats/pcx: the reader state kept between probe and decode.
#pragma once

#include <cstdint>
#include <span>

#include "base/file_io.h"
#include "formats/codec.h"

namespace tesmo::pcx {

inline constexpr uint64_t kHeaderBytes = 128;
inline constexpr uint64_t kPaletteBytes = 768;  // 256 entries of red, green, blue

struct PcxState final : ReaderState {
  PcxState() = default;
  PcxState(const PcxState&) = delete;  // `data` may point into `owned`
  PcxState& operator=(const PcxState&) = delete;

  FileBytes owned;                // the file form's bytes
  std::span<const uint8_t> data;  // the whole file image: `owned` or the caller's memory
  int32_t width = 0;
  int32_t height = 0;
  uint32_t planes = 0;            // 3 (red, green, blue) or 1 (palette indices)
  uint32_t bytes_per_line = 0;    // one plane of one row
  bool run_length = false;
};

}  // namespace tesmo::pcx
