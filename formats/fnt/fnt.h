// FNT, the system's own 8-bit single-channel picture: the ZUK signature, a version, a 32-bit code
// and two 16-bit values that a save writes back, then one byte per pixel, rows from the top.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "formats/codec.h"

namespace tesmo::fnt {

// The three header values, which travel as the header text "0x%08X %03d %03d" (ImageInfo's extra
// text, SaveRequest's FNT header text).
struct Header {
  uint32_t code = 0;
  uint16_t value1 = 0;
  uint16_t value2 = 0;
};

std::string header_text(const Header& header);

// Reads the numbers at character positions 0, 11 and 15 (value 2 further right when value 1 has more
// than three digits: one place after its last digit). A number that starts with "0x" or "0X" and
// has at least 3 characters is hexadecimal, any other decimal; each stops at its first character
// that is not a digit. Nothing when a number is 0 or does not fit its field.
std::optional<Header> parse_header_text(std::string_view text);

// Probe contract of the registry: signature and version 0x01000000, sides 1–32767; the file form
// also needs more than 32 bytes, the memory form the 32-byte header. The extra text is the header
// text.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text);

// Each byte v becomes blue = green = red = v, alpha 255; bytes the data does not hold read as 0.
// Writes nothing when `pixels` holds fewer than width × height.
void decode(ReaderState& state, std::span<uint32_t> pixels);

// Writes pixel format 0 with the grey conversion of each pixel and the header parsed from
// request.fnt_header_text; 1 when that text does not give three non-zero numbers.
int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request);

// The complete file; empty for a side outside 1–65535 or fewer than width × height pixels.
std::vector<uint8_t> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                            const Header& header);

}  // namespace tesmo::fnt
