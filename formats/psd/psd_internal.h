// Private to formats/psd: the reader state kept between probe and decode, and the PackBits
// helpers the decoder uses. Nothing outside this folder includes it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/file_io.h"
#include "formats/codec.h"

namespace tesmo::psd {

enum ColourMode : uint16_t { kBitmap = 0, kGrey = 1, kIndexed = 2, kRgb = 3, kCmyk = 4 };

inline constexpr uint16_t kCompressionRaw = 0;
inline constexpr uint16_t kCompressionPackBits = 1;

// The colour-mode data of an indexed document: 256 red bytes, then 256 green, then 256 blue.
inline constexpr uint64_t kColourDataAt = 30;
inline constexpr uint32_t kPaletteBytes = 768;

struct PsdState final : ReaderState {
  PsdState() = default;
  PsdState(const PsdState&) = delete;  // `data` points into `owned`
  PsdState& operator=(const PsdState&) = delete;

  FileBytes owned;
  std::span<const uint8_t> data;  // the whole file
  uint64_t image_at = 0;          // first byte after the compression field
  uint32_t colour_data_bytes = 0;
  uint16_t compression = kCompressionRaw;
  uint16_t mode = kRgb;
  uint16_t depth = 0;     // bits per channel sample
  uint16_t channels = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint64_t bits = 0;  // depth × channels
  int32_t colour_model = 0;
};

// Where each channel row of PackBits data starts, for the first `wanted` channels (row c × height
// + y at index c × height + y), once every row of every channel has been checked.
struct PackedRows {
  std::vector<uint64_t> starts;
  std::vector<uint16_t> counts;
};

// Checks the byte-count table and every row of every channel: each must lie inside the data, use
// exactly its byte count and give exactly `width` bytes. False at the first row that does not.
bool check_packed_rows(const PsdState& s, uint32_t wanted, PackedRows& rows);

// Expands one checked row into `out` (width bytes).
void expand_packed_row(std::span<const uint8_t> row, std::span<uint8_t> out);

}  // namespace tesmo::psd
