// The ZUK signature that opens the system's own binary files, and the name hash of paths and
// identifiers.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace tesmo {

// "ZUK" and a zero byte: settings, batch files, FNT images, compressed blocks, pack archives and
// script modules begin with it.
inline constexpr std::array<uint8_t, 4> kZukSignature = {'Z', 'U', 'K', 0};

// True when `data` begins with the four signature bytes.
constexpr bool has_zuk_signature(std::span<const uint8_t> data) {
  return data.size() >= 4 && data[0] == 'Z' && data[1] == 'U' && data[2] == 'K' && data[3] == 0;
}

// h = h × 37 + c over the characters with 32-bit wrap-around, then |h| taken as signed. An 8-bit
// character counts as signed (CP932 bytes above 0x7F are negative), a UTF-16 unit as unsigned.
// The most negative value has no positive counterpart and stays 0x80000000.
constexpr uint32_t name_hash_add(uint32_t h, int32_t c) { return h * 37u + static_cast<uint32_t>(c); }

constexpr uint32_t name_hash_finish(uint32_t h) {
  return static_cast<int32_t>(h) < 0 ? 0u - h : h;
}

constexpr uint32_t name_hash(std::string_view text) {
  uint32_t h = 0;
  for (char c : text) h = name_hash_add(h, static_cast<signed char>(c));
  return name_hash_finish(h);
}

constexpr uint32_t name_hash(std::u16string_view text) {
  uint32_t h = 0;
  for (char16_t c : text) h = name_hash_add(h, c);
  return name_hash_finish(h);
}

}  // namespace tesmo
