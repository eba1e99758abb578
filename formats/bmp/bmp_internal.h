// Private to formats/bmp: the reader state kept between probe and decode, and what the reader
// files share. Nothing outside this folder includes it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "base/file_io.h"
#include "formats/codec.h"

namespace tesmo::bmp {

enum class Container { kBitmap, kIcon, kCursor };
// How 16-bit pixels are split into channels.
enum class Layout16 { k555, k565, k4444 };

// Compression field values; any other value is read as uncompressed rows.
inline constexpr uint32_t kCompressionNone = 0;
inline constexpr uint32_t kCompressionRle8 = 1;
inline constexpr uint32_t kCompressionRle4 = 2;
inline constexpr uint32_t kCompressionBitFields = 3;

inline constexpr uint32_t kOpaque = 0xFF000000u;

struct BmpState final : ReaderState {
  BmpState() = default;
  BmpState(const BmpState&) = delete;  // `data` may point into `owned`
  BmpState& operator=(const BmpState&) = delete;

  FileBytes owned;                // the file form's bytes (at most the file's own size)
  std::span<const uint8_t> data;  // the whole file image: `owned` or the caller's memory
  uint64_t table_at = 0;          // colour table
  uint64_t pixels_at = 0;         // first stored row, or the run-length codes
  uint64_t stride = 0;            // bytes per stored row, a multiple of 4
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits = 0;
  uint32_t compression = kCompressionNone;
  uint32_t image_data_size = 0;
  bool top_down = false;
  Layout16 layout16 = Layout16::k555;
  Container container = Container::kBitmap;
};

// Colour-table entries as finished pixels (alpha 255); indices past the stored table are black.
using Palette = std::array<uint32_t, 256>;

// A byte of the file image; 0 for an offset at or past its end (missing bytes read as 0).
inline uint8_t byte_at(std::span<const uint8_t> data, uint64_t offset) {
  return offset < data.size() ? data[static_cast<size_t>(offset)] : 0;
}

// The output row that stored row `stored` lands in (stored rows run bottom-up unless top-down).
inline size_t output_row(const BmpState& s, uint64_t stored) {
  return static_cast<size_t>(s.top_down ? stored : static_cast<uint64_t>(s.height) - 1 - stored);
}

// True when the state's data is 8-bit or 4-bit run-length codes rather than stored rows.
inline bool is_run_length(const BmpState& s) {
  return (s.bits == 8 && s.compression == kCompressionRle8) ||
         (s.bits == 4 && s.compression == kCompressionRle4);
}

// Expands the run-length codes straight into `pixels` (width × height, already the right size).
void decode_run_length(const BmpState& state, const Palette& palette, std::span<uint32_t> pixels);

}  // namespace tesmo::bmp
