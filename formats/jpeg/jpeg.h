// JPEG through the JPEG library: recognition, decoding of grey, RGB and CMYK images straight into
// the pixel buffer, the writer's three layouts with the Exif block of another file carried over,
// and the lossless rotations and flips. Library errors never end the process: each operation
// returns its failure instead.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "formats/codec.h"

namespace tesmo::jpeg {

// Probe contract of the registry. The file form reads the file; the memory form needs a non-empty
// span (the registry passes none, so it never opens JPEG from memory; a JAB file passes the JPEG
// part with the length its header records). Only the header is read here: grey → pixel format 0,
// RGB → 1, CMYK → 2; any other colour space, or a side outside 1–32767, declines.
ProbeResult probe(const ImageSource& source, ImageInfo& info, bool want_text);

// Decodes into the pixel buffer, alpha 255. A library error, or coded data that ends before the
// last row (the library would invent the missing rows), is a fault: the picture is not whole.
// Data cut after the last row's data (a missing end marker) and bytes after the end marker are not.
ReadFault decode(ReaderState& state, std::span<uint32_t> pixels);

// Writes pixel format 0 (grey), 1 (RGB) or 2 (CMYK) at request.quality (below 1 as 1, above 100
// as 100), carrying over the Exif block of request.exif_source when that file starts with one.
// 0 or 1; the previous file stays on failure.
int save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request);

// The complete file the writer would write (Exif block included), or nothing when the pixel format
// is unknown, a side is outside 1–65500, `pixels` is short, or the library fails.
std::optional<std::vector<uint8_t>> encode(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                                           int32_t pixel_format, int32_t quality,
                                           const std::u16string& exif_source);

// Transform codes of the lossless transform.
enum TransformCode : int {
  kTransformNone = 0,
  kTransformFlipHorizontal = 1,
  kTransformFlipVertical = 2,
  kTransformTranspose = 3,
  kTransformTransverse = 4,
  kTransformRotate90 = 5,   // clockwise
  kTransformRotate180 = 6,
  kTransformRotate270 = 7,  // clockwise
};

// Rotates or flips the JPEG file `input` without recompression into `output` (which may be the
// same path), copying every marker; edge blocks that do not fill a whole coding unit stay where
// they are. 0 on success; 1 for a code outside 0–7, an unreadable or damaged input, or an output
// that cannot be written (the previous output file then stays as it was).
int lossless_transform(const std::u16string& output, const std::u16string& input, int code);

}  // namespace tesmo::jpeg
