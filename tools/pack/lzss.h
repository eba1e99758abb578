// LZSS blocks: the classic 4096 / 18 / 2 code with a zero-filled window. A group is a flag byte
// (bits from the least significant up; 1 = a literal byte, 0 = a two-byte reference) and up to
// eight items. A reference is b0 = position & 0xFF, b1 = ((position >> 4) & 0xF0) | (length − 3),
// the position being the absolute ring index of the match, starting with r = 4078.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace tesmo {

inline constexpr int kLzssRingSize = 4096;
inline constexpr int kLzssLookAhead = 18;  // the longest match
inline constexpr int kLzssThreshold = 2;   // longer matches than this are coded as references
inline constexpr int kLzssStart = kLzssRingSize - kLzssLookAhead;  // 4078, the first write position

// The encoder's work area, owned by the caller for one call. The ring carries 17 extra bytes that
// mirror positions 0–16, so an 18-byte string compares without wrapping. The trees are indexed by
// ring position; right[4097 + c] is the root of the strings whose first byte is c.
struct LzssWork {
  static constexpr int kNil = kLzssRingSize;
  std::array<uint8_t, kLzssRingSize + kLzssLookAhead - 1> ring;
  std::array<int32_t, kLzssRingSize + 1> parent;
  std::array<int32_t, kLzssRingSize + 1> left;
  std::array<int32_t, kLzssRingSize + 1 + 256> right;
  int32_t match_position;
  int32_t match_length;
};

// Codes `in` as an LZSS block at the start of `out`, byte for byte what the classic binary-tree
// encoder makes. Stored instead (method 0, size in.size() + 16) when the code is not shorter than
// the input. Returns the block size; 0 for an empty input (nothing written); −1 when `out` is
// smaller than 16 + in.size() or the input is 2 GiB or more. Never writes past `out`.
int32_t block_lzss(LzssWork& work, std::span<uint8_t> out, std::span<const uint8_t> in);

// Decodes an LZSS code stream until `out` is full. Returns out.size(), or −1 when the code ends
// first or a reference runs past the end of `out`. Bytes after the last needed item are ignored.
int64_t lzss_decode(std::span<const uint8_t> code, std::span<uint8_t> out);

}  // namespace tesmo
