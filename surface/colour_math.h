// The shared per-channel arithmetic of the colour and blend operations (private to surface/).
//
// All of it is computed arithmetically rather than read from tables: the results equal those of the
// scale table and the clamp table over their ranges, and nothing is ever read outside a table when
// an argument leaves them (sums of the 3 × 3 filters reach about ±167 million).
#pragma once

#include <algorithm>
#include <cstdint>

namespace tesmo {

// S(a, x) = (a × x) >> 8 with an arithmetic shift (rounds towards minus infinity); a 0–256,
// x −255–255.
constexpr int32_t scale_by(int32_t a, int32_t x) { return (a * x) >> 8; }

// C: 0 below 0, 255 above 255; any 32-bit argument.
constexpr int32_t clamp_byte(int32_t x) { return x < 0 ? 0 : (x > 255 ? 255 : x); }
constexpr int32_t clamp_byte(int64_t x) { return x < 0 ? 0 : (x > 255 ? 255 : static_cast<int32_t>(x)); }

// B: saturates above 255; arguments 0–767.
constexpr int32_t saturate_byte(int32_t x) { return std::min(x, 255); }

// mix(s, d, α) = s + S(255 − α, d − s): α 255 gives s, α 0 gives d within one step.
constexpr int32_t mix(int32_t s, int32_t d, int32_t alpha) { return s + scale_by(255 - alpha, d - s); }

// Byte `shift / 8` of a pixel word.
constexpr int32_t byte_at(uint32_t p, int shift) { return static_cast<int32_t>((p >> shift) & 0xFFu); }
constexpr int32_t red_of(uint32_t p) { return byte_at(p, 16); }
constexpr int32_t green_of(uint32_t p) { return byte_at(p, 8); }
constexpr int32_t blue_of(uint32_t p) { return byte_at(p, 0); }
constexpr int32_t alpha_of(uint32_t p) { return byte_at(p, 24); }

// A pixel from four bytes, each 0–255.
constexpr uint32_t pixel_of(int32_t a, int32_t r, int32_t g, int32_t b) {
  return static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
         static_cast<uint32_t>(b);
}

constexpr uint32_t kAlphaMask = 0xFF000000u;
constexpr uint32_t kColourMask = 0x00FFFFFFu;

// The alpha byte chosen by an alpha mode: 0 → 0, 1 → the destination's, others → source | destination.
constexpr uint32_t alpha_by_mode(int32_t mode, uint32_t s, uint32_t d) {
  if (mode == 0) return 0;
  if (mode == 1) return d & kAlphaMask;
  return (s | d) & kAlphaMask;
}

}  // namespace tesmo
