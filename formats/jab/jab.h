// JAB ("JPEG and BMP"): a complete JPEG file for the colour and an 8-bit alpha plane in a compressed
// block, behind a 64-byte header. The viewer opens JAB files; only the pack tool writes them, from a
// JPEG file and a 24- or 32-bit BMP file.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/codec.h"

namespace tesmo::jab {

inline constexpr size_t kHeaderBytes = 64;  // the JPEG part starts here

// Probe contract of the registry: more than 64 bytes, "JAB\0", version 0x10000, zero at 16, sides
// 1–32767. Only the header decides; the JPEG part and the block are looked at by decode.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text);

// Decodes the JPEG part (with the length the header records, cut at the end of the data) with
// alpha 255, then takes the alpha bytes from the block when it expands to exactly width × height
// bytes. A JPEG part that is unreadable, damaged or cut (see jpeg::decode), or whose size is not
// the header's, is a fault; a damaged alpha block is not (the picture is then opaque).
ReadFault decode(ReaderState& state, std::span<uint32_t> pixels);

// The complete file from a JPEG file image and a width × height alpha plane (deflated at level 9).
// Nothing when `jpeg` is empty, a side is outside 1–32767, `alpha` is short, or compression fails.
// The JPEG is copied byte for byte and never compared with the sides.
std::optional<std::vector<uint8_t>> encode(std::span<const uint8_t> jpeg, std::span<const uint8_t> alpha,
                                           int32_t width, int32_t height);

// Save contract of the registry, pixels ignored: builds the file at request.path from the JPEG file
// request.jab_jpeg_path and the BMP file request.jab_alpha_path (a 32-bit BMP gives its stored
// alpha, a 24-bit one all 255; the sides are the BMP's). 1 when an input is missing or empty, the
// BMP is not a 24- or 32-bit bitmap, compression fails, or the file cannot be written.
int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request);

// The pack tool's conversion hook: save() with the three paths. 0 when `jab_path` was made.
int write_from_bmp(const std::u16string& bmp_path, const std::u16string& jpeg_path,
                   const std::u16string& jab_path);

}  // namespace tesmo::jab
