// The JAB header fields shared by the reader and the writer.
#pragma once

#include <array>
#include <cstdint>

#include "tools/pack/block.h"

namespace tesmo::jab {

inline constexpr std::array<uint8_t, 4> kSignature = {'J', 'A', 'B', 0};
inline constexpr uint32_t kVersion = 0x10000;
// Header, little-endian: signature, version, width, height (offsets 0, 4, 8, 12), a field that must
// be 0 at 16, the JPEG length at 32 and the alpha block size at 36. Every other byte is reserved and
// written 0.
inline constexpr size_t kMustBeZeroAt = 16, kJpegLengthAt = 32, kAlphaSizeAt = 36;
// The alpha block is deflated at this level (the block codec passes 9 to zlib as 8).
inline constexpr int kAlphaLevel = 9;

}  // namespace tesmo::jab
