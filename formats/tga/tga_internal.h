// Private to formats/tga: the reader state kept between probe and decode.
#pragma once

#include <cstdint>
#include <span>

#include "base/file_io.h"
#include "formats/codec.h"

namespace tesmo::tga {

// How one stored pixel becomes a pixel of the buffer.
enum class PixelKind { kGrey, kMapped, kRgb16, kRgb24, kRgba32 };

struct TgaState final : ReaderState {
  TgaState() = default;
  TgaState(const TgaState&) = delete;  // `data` may point into `owned`
  TgaState& operator=(const TgaState&) = delete;

  FileBytes owned;                // the file form's bytes (never more than the file holds)
  std::span<const uint8_t> data;  // the whole file image: `owned` or the caller's memory
  uint64_t map_at = 0;            // first colour-map entry
  uint32_t map_length = 0;        // colour-map entries
  uint32_t entry_bytes = 0;       // 3 or 4 for colour-mapped pictures
  uint64_t pixels_at = 0;         // stored pixels, or the run-length packets
  int32_t width = 0;
  int32_t height = 0;
  PixelKind kind = PixelKind::kGrey;
  bool run_length = false;
  bool top_down = false;          // descriptor bit 5: the first stored row is the top one
};

}  // namespace tesmo::tga
