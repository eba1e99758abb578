// Whole PNG and JPEG files of a noisy picture (so that their coded data is long), and copies of
// them damaged the ways real files are: cut inside the image data, a broken deflate block, a
// wrong chunk checksum, a missing end chunk or marker, bytes after the end.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "formats/jpeg/jpeg.h"
#include "formats/png_tiff/png_tiff.h"

namespace tesmo::testing {

constexpr int32_t kNoiseSide = 48;

inline std::vector<uint32_t> noise_pixels() {
  std::vector<uint32_t> px(size_t{kNoiseSide} * kNoiseSide);
  uint32_t seed = 12345;
  for (uint32_t& p : px) {
    seed = seed * 1103515245u + 12345u;
    p = 0xFF000000u | (seed >> 8);
  }
  return px;
}

inline std::vector<uint8_t> noise_png() { return *png::encode(noise_pixels(), kNoiseSide, kNoiseSide, 0); }
inline std::vector<uint8_t> noise_jpeg() {
  return *jpeg::encode(noise_pixels(), kNoiseSide, kNoiseSide, 1, 90, u"");
}

inline uint32_t png_chunk_length(const std::vector<uint8_t>& png, size_t at) {
  return uint32_t{png[at]} << 24 | uint32_t{png[at + 1]} << 16 | uint32_t{png[at + 2]} << 8 | png[at + 3];
}

// Where a PNG chunk of `type` starts (its length field); the file's size when there is none.
inline size_t png_chunk(const std::vector<uint8_t>& png, const char* type) {
  for (size_t at = 8; at + 8 <= png.size(); at += 12 + png_chunk_length(png, at)) {
    if (std::string(png.begin() + at + 4, png.begin() + at + 8) == type) return at;
  }
  return png.size();
}

inline std::vector<uint8_t> cut_inside_idat(std::vector<uint8_t> png) {
  const size_t at = png_chunk(png, "IDAT");
  png.resize(at + 8 + png_chunk_length(png, at) / 2);
  return png;
}

// The first deflate block's type becomes the reserved value 3; the checksum is made right again.
inline std::vector<uint8_t> bad_deflate_block(std::vector<uint8_t> png) {
  const size_t at = png_chunk(png, "IDAT");
  const uint32_t length = png_chunk_length(png, at);
  png[at + 8 + 2] |= 0x06;
  const uint32_t crc = static_cast<uint32_t>(crc32(0, png.data() + at + 4, 4 + length));
  for (int i = 0; i < 4; ++i) png[at + 8 + length + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
  return png;
}

inline std::vector<uint8_t> bad_idat_crc(std::vector<uint8_t> png) {
  const size_t at = png_chunk(png, "IDAT");
  png[at + 8 + png_chunk_length(png, at) + 3] ^= 0x5A;
  return png;
}

inline std::vector<uint8_t> without_iend(std::vector<uint8_t> png) {
  png.resize(png_chunk(png, "IEND"));
  return png;
}

// Cut half-way through the coded data after the start-of-scan marker.
inline std::vector<uint8_t> cut_inside_scan(std::vector<uint8_t> jpeg) {
  size_t sos = 2;
  while (sos + 1 < jpeg.size() && !(jpeg[sos] == 0xFF && jpeg[sos + 1] == 0xDA)) ++sos;
  jpeg.resize(sos + (jpeg.size() - sos) / 2);
  return jpeg;
}

inline std::vector<uint8_t> with_tail(std::vector<uint8_t> bytes) {
  bytes.insert(bytes.end(), 100, 0x55);
  return bytes;
}

}  // namespace tesmo::testing
