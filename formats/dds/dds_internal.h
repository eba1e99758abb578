// Private to formats/dds: header constants shared by the reader and the writer, the reader state,
// and the block decoder the main decoder calls. Nothing outside this folder includes it.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "base/file_io.h"
#include "formats/codec.h"

namespace tesmo::dds {

inline constexpr uint8_t kMagic[4] = {'D', 'D', 'S', ' '};
inline constexpr uint32_t kHeaderSize = 124;      // the size field; the file header is 4 + 124
inline constexpr uint64_t kFileHeaderBytes = 128;
inline constexpr uint32_t kPixelFormatSize = 32;

// Pixel-format flags.
inline constexpr uint32_t kAlphaPixels = 0x1;
inline constexpr uint32_t kAlphaOnly = 0x2;
inline constexpr uint32_t kFourCc = 0x4;
inline constexpr uint32_t kPalette4 = 0x8;
inline constexpr uint32_t kPalette8 = 0x20;
inline constexpr uint32_t kRgb = 0x40;
inline constexpr uint32_t kLuminance = 0x20000;

// Caps 2: faces of a cube map, slices of a volume texture.
inline constexpr uint32_t kCubeMap = 0x200;
inline constexpr uint32_t kVolume = 0x200000;

// What the stored first level holds.
enum class Kind {
  kDxt1,
  kDxt3,  // DXT2 and DXT3: explicit 4-bit alpha
  kDxt5,  // DXT4, DXT5 and ATI2: interpolated alpha
  kHalfGrey,
  kHalfArgb,
  kFloatGrey,
  kFloatArgb,
  kRgb16,
  kRgb24,
  kRgb32,
  kAlpha,
  kGrey,
  kGreyAlpha,
  kPalette4,
  kPalette8,
};

// One channel of a 16-bit pixel: (value >> shift) & max, scaled by 255 / max; max 0 = no channel.
struct Channel16 {
  uint32_t shift = 0;
  uint32_t max = 0;
};

struct DdsState final : ReaderState {
  DdsState() = default;
  DdsState(const DdsState&) = delete;  // `data` may point into `owned`
  DdsState& operator=(const DdsState&) = delete;

  FileBytes owned;                // the file form's header and first level
  std::span<const uint8_t> data;  // the whole file image: `owned` or the caller's memory
  uint64_t palette_at = kFileHeaderBytes;
  uint64_t pixels_at = kFileHeaderBytes;
  Kind kind = Kind::kRgb32;
  int32_t width = 0;
  int32_t height = 0;
  std::array<Channel16, 4> channels16{};  // blue, green, red, alpha
};

// The bytes of a stretch of the data as a view when the data holds them all, else a copy in
// `scratch` whose missing part is zero.
std::span<const uint8_t> stored_bytes(std::span<const uint8_t> data, uint64_t at, size_t n,
                                      std::vector<uint8_t>& scratch);

// Bytes of one stored row (of blocks, for block formats) and the number of such rows.
uint64_t stored_row_bytes(const DdsState& s);
uint64_t stored_rows(const DdsState& s);
// Palette entries (4 bytes each) stored before the pixel data: 16, 256 or 0.
uint64_t palette_entries(Kind kind);

// Decodes DXT1, DXT2/3 or DXT4/5 blocks (width and height multiples of 4).
void decode_blocks(const DdsState& s, std::span<uint32_t> pixels);

}  // namespace tesmo::dds
