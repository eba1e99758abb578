// The binary-to-text converter: a file's bytes as C hexadecimal initialisers, written beside it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tesmo {

// "0x%02X, " per byte, with "\r\n" after every 16th byte (so the last line ends with one only when
// the length is a multiple of 16). An empty input gives an empty text.
std::string binary_to_text(std::span<const uint8_t> data);

// Reads `path` and writes its text to `path` + ".txt", replacing any existing file. Returns 0 on
// success, −1 when the input cannot be read or the output cannot be written (the old output is then
// left as it was).
int binary_to_text_file(const std::u16string& path);

}  // namespace tesmo
