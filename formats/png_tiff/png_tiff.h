// PNG and TIFF through their libraries: which image kinds are accepted, how samples become pixels,
// and the writers (PNG: 8-bit RGB or RGBA, rows filtered as the PNG library filters them, our own
// file layout around a fast deflate; TIFF: grey, RGB or RGBA, 8 bits, deflate, one strip). Library errors and warnings are never shown; they end the operation.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "formats/codec.h"

namespace tesmo::png {

// Probe contract of the registry. Accepts RGB and RGBA (8 or 16 bits), grey + alpha (8 or 16),
// palette (1, 2, 4, 8 bits) and grey (1–16 bits) images; reads the header and the palette only.
// The file form needs more than 3 bytes; both forms compare the first four signature bytes.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text);

// Decodes into the pixel buffer with the gamma correction the file asks for (screen gamma 2.2),
// 16-bit samples scaled to 8. Palette and grey images go through the colour table (the palette as
// stored: transparency is not used). A library error (cut data, a damaged zlib stream, a wrong
// chunk checksum) is a fault with the library's text: the picture is then not whole.
ReadFault decode(ReaderState& state, std::span<uint32_t> pixels);

// Writes pixel format 0 (RGB) or 1 (RGBA); 0 or 1, the previous file stays on failure.
int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request);

// The complete file the writer would write, or nothing for an unknown pixel format, a side below
// 1, a short `pixels`, or memory running out. Never larger than the PNG library's file at level 9
// on flat graphics and small pictures; on photographs within 2 % of it.
std::optional<std::vector<uint8_t>> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                                           int32_t pixel_format);

}  // namespace tesmo::png

namespace tesmo::tiff {

// Probe contract of the registry: the file form only (memory sources decline). Reads the first
// directory and all of its strips; accepts grey (2–32 bits), RGB / YCbCr (3 or 4 samples of 8,
// 16, 24 or 32 bits), palette (2, 4, 8, 16 bits) and CMYK (8 or 16 bits) images in strips.
// Tiled images, 1-bit images and strips that cannot be read decline.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text);

// Converts the strips into the pixel buffer (the most significant byte of wide samples). Strips
// that do not hold every row completely are a fault (the rows they do hold are converted).
ReadFault decode(ReaderState& state, std::span<uint32_t> pixels);

// Writes pixel format 0 (grey), 1 (RGB) or 2 (RGBA) with deflate compression as one strip; 0 or 1,
// the previous file stays on failure.
int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request);

// The complete file the writer would write, or nothing (unknown pixel format, a side below 1, a
// short `pixels`, or a library failure).
std::optional<std::vector<uint8_t>> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                                           int32_t pixel_format);

}  // namespace tesmo::tiff
