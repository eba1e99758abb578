// The records every image passes through: format identifiers, the description of an opened image
// (ImageInfo), what one save writes (SaveRequest), and the pixel buffer contract.
//
// Pixel buffer: width × height pixels of 4 bytes, blue, green, red, alpha, rows from the top of the
// image down, no padding. Decoders write every pixel they decode, alpha included (255 where the
// stored image has none, unless the format says otherwise).
#pragma once

#include <cstdint>
#include <string>

namespace tesmo {

// Format identifiers; −1 is none. 3 and 10–14 are unused.
enum ImageFormat : int32_t {
  kFormatNone = -1,
  kFormatBmp = 1,
  kFormatDds = 2,
  kFormatJpeg = 4,
  kFormatPcx = 5,
  kFormatPng = 6,
  kFormatSgi = 7,
  kFormatTga = 8,
  kFormatTiff = 9,
  kFormatPsd = 15,
  kFormatPic = 16,
  kFormatFnt = 17,
  kFormatJab = 18,
};

enum ColourModel : int32_t { kModelGrey = 1, kModelPalette = 2, kModelRgb = 3, kModelCmyk = 4 };

// Width and height every reader accepts (PSD: up to 30000).
inline constexpr int32_t kMaxImageSide = 32767;

// The description of an opened image, filled by a reader's probe. Texts are CP932 and are filled
// only when the ImageFile asks for them; each fits its stored field (47, 31, 47, 47, 47 bytes).
struct ImageInfo {
  int32_t format = kFormatNone;
  int32_t pixel_format = -1;  // index in the format's savable table, −1 when not writable as stored
  int32_t colour_model = 0;
  int32_t width = 0;
  int32_t height = 0;
  int32_t bits = 0;       // stored bits per pixel, all channels
  int32_t channels = 0;
  int32_t has_alpha = 0;
  std::string format_name;
  std::string extensions;
  std::string pixel_text;
  std::string compression_text;
  std::string extra_text;  // "V-Flip", "Interlace", or the FNT header text
  int32_t image_count = 0;

  bool operator==(const ImageInfo&) const = default;
};

// One save. Paths are UTF-16 (at most 260 units where they are stored).
struct SaveRequest {
  std::u16string path;
  int32_t format = kFormatNone;
  int32_t pixel_format = 0;
  int32_t compress = 0;   // PIC: run-length compression
  int32_t quality = 0;    // JPEG: 1–100
  std::u16string exif_source;
  std::u16string jab_jpeg_path;
  std::u16string jab_alpha_path;
  std::string fnt_header_text;  // CP932, at most 47 bytes
};

// What the save-options dialog offers for a format.
struct SaveOptions {
  int32_t count = 0;
  int32_t default_index = -1;
  uint32_t flags = 0;
};

enum SaveOptionFlag : uint32_t {
  kSaveCompressAvailable = 1u << 20,
  kSaveCompressChecked = 1u << 21,
  kSaveQualityAvailable = 1u << 24,
};

// The grey value every grey writer stores (not the histogram's weights).
constexpr uint8_t grey_of(uint32_t pixel) {
  uint32_t b = pixel & 0xFF, g = (pixel >> 8) & 0xFF, r = (pixel >> 16) & 0xFF;
  return static_cast<uint8_t>((151 * r + 77 * g + 28 * b) >> 8);
}

}  // namespace tesmo
