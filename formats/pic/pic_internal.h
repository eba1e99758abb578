// Private to formats/pic: header constants shared by the reader and the writer, and the reader
// state. Nothing outside this folder includes it.
#pragma once

#include <cstdint>
#include <span>

#include "base/file_io.h"
#include "formats/codec.h"

namespace tesmo::pic {

inline constexpr uint8_t kMagic[4] = {0x53, 0x80, 0xF6, 0x34};
inline constexpr uint8_t kPictId[4] = {'P', 'I', 'C', 'T'};
inline constexpr uint64_t kCommentAndVersionBytes = 84;  // version float, 80-byte comment
inline constexpr uint16_t kFullFrame = 3;                // the fields value
inline constexpr uint64_t kOnePacketHeader = 108;
inline constexpr uint64_t kTwoPacketHeader = 112;

// Channel packet: chained, size (bits per channel), type, channel mask.
inline constexpr uint8_t kChannelBits = 8;
inline constexpr uint8_t kTypeUncompressed = 0;
inline constexpr uint8_t kTypePureRunLength = 1;  // not read
inline constexpr uint8_t kTypeMixedRunLength = 2;
inline constexpr uint8_t kMaskRgb = 0xE0;  // red 0x80, green 0x40, blue 0x20
inline constexpr uint8_t kMaskAlpha = 0x10;

// How a scanline is stored.
enum class Layout {
  kRgb,       // colour packet only: width red-green-blue triples
  kRgbAlpha,  // colour packet, then an alpha packet of width bytes
  kRgba,      // one packet naming all four channels: width red-green-blue-alpha quads
};

struct PicState final : ReaderState {
  PicState() = default;
  PicState(const PicState&) = delete;  // `data` may point into `owned`
  PicState& operator=(const PicState&) = delete;

  FileBytes owned;                // the file form's bytes
  std::span<const uint8_t> data;  // the whole file image: `owned` or the caller's memory
  uint64_t pixels_at = 0;
  int32_t width = 0;
  int32_t height = 0;
  uint8_t type = kTypeUncompressed;
  Layout layout = Layout::kRgb;
};

}  // namespace tesmo::pic
