// Compiles sources held in the test and picks the module apart by the documented layout.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "tools/script/script.h"

namespace tesmo::testing {

struct Compiled {
  int result = 1;
  std::vector<uint8_t> image;
  std::string error;  // UTF-8
  int line = 0;
};

inline Compiled compile_text(std::string_view source, const std::u16string& base = u"/nonexistent-base/",
                             const std::u16string& dir = u"") {
  ScriptCompiler compiler;
  Compiled out;
  std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(source.data()), source.size());
  out.result = script_compile_memory(compiler, bytes, base, dir, script::ModuleTime{}, out.image);
  out.error = utf16_to_utf8(compiler.error_text);
  out.line = compiler.error_line;
  return out;
}

inline uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
  return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// The code area of a program or macro module (after the 48-byte header).
inline std::vector<uint8_t> code_of(const std::vector<uint8_t>& image) {
  if (image.size() < 48) return {};
  return {image.begin() + 48, image.begin() + 48 + le32(image, 8)};
}
inline std::vector<uint8_t> data_of(const std::vector<uint8_t>& image) {
  size_t at = 48 + le32(image, 8);
  return {image.begin() + at, image.begin() + at + le32(image, 12)};
}

// A 48-byte header written out field by field: signature, kind word, three lengths, encoding,
// eight zero bytes and a zero time.
inline std::vector<uint8_t> header_bytes(uint32_t kind, uint32_t a, uint32_t b, uint32_t c, uint32_t encoding) {
  std::vector<uint8_t> h = {'Z', 'U', 'K', 0};
  for (uint32_t v : {0x10000000u + kind, a, b, c, encoding}) {
    for (int i = 0; i < 4; ++i) h.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  h.resize(48, 0);
  return h;
}

// Little-endian bytes of an instruction parameter: kind byte and 32-bit value.
inline void param(std::vector<uint8_t>& out, uint8_t kind, uint32_t value) {
  out.push_back(kind);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace tesmo::testing
