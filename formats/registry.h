// The format registry: the twelve formats, opening by content in a fixed probe order, decoding,
// the save dispatcher, and the tables the open/save dialogs and the save options read.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "formats/codec.h"
#include "formats/image.h"

namespace tesmo {

inline constexpr int kFormatCount = 12;

// The user-visible order of the formats (alphabetical by name); slots after the twelfth hold −1.
inline constexpr std::array<int32_t, 32> format_order = {
    kFormatBmp, kFormatDds, kFormatFnt, kFormatJab, kFormatJpeg, kFormatPcx, kFormatPic,
    kFormatPng, kFormatPsd, kFormatSgi, kFormatTga, kFormatTiff, -1, -1, -1, -1, -1, -1, -1, -1,
    -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};

// format_order[k] for k in 0…30, −1 beyond (or once −1 is met).
int32_t format_at(int k);

// One opened image between probe and decode.
struct ImageFile {
  int32_t format = kFormatNone;
  // One reader state per format, in the slot order Bmp, Dds, Jpeg, Pcx, Pic, Png, Psd, Sgi, Tga,
  // Tiff, Fnt, Jab; at most one is kept after a probe.
  std::array<std::unique_ptr<ReaderState>, kFormatCount> states;
  ImageInfo info;
  bool want_text = false;
  // Why the last probe or decode failed, prefixed with the format's name where a reader found it
  // ("no such file", "BMP: truncated header", "PNG: IDAT: CRC error"); empty after success.
  std::string fault;
};

ImageFile image_file_create(bool want_text);

// Offers the data to the readers in the fixed order BMP, DDS, FNT, JAB, JPEG, PCX, PIC, PNG, PSD,
// SGI, TIFF, TGA (strong signatures first; TGA has none, so it goes last). 0 when one accepted
// (format, info.format and the name texts set), 1 when none did (`fault` then says why). JPEG, PSD
// and TIFF decline memory sources. Call once per ImageFile.
int image_probe(ImageFile& file, const std::u16string& path);
int image_probe_memory(ImageFile& file, std::span<const uint8_t> memory);

// Writes info.width × info.height pixels of the accepted image into `pixels` (at least that many).
// 0 when the picture came whole from the data; 1 (`fault` says why) when the data is damaged or
// ends before the last row: such a picture must not be shown or saved as if it were whole.
int image_decode(ImageFile& file, std::span<uint32_t> pixels);

// Releases the reader state and the bytes it owns; format becomes −1.
void image_file_close(ImageFile& file);

// Writes `pixels` as `request` says (format, pixel format, options). 1 for an empty path, an
// unknown or unwritable format (PSD), an index outside the format's table, or a failed write.
int image_save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request);

// Save options and savable pixel formats. Unknown formats: count 0, default −1, flags 0.
SaveOptions format_save_options(int32_t format);
// Entry `index` of the savable table: (description, bits); text null for PSD and unknown formats
// or an index outside the table.
std::pair<const char*, int32_t> format_pixel_format(int32_t format, int32_t index);
// The index to write an image back in its own format now that it has (or lacks) alpha; −1 when it
// cannot be written back as it is.
int32_t pixel_format_for_alpha(const ImageInfo& info, bool has_alpha);

const char* format_name(int32_t format);         // "BMP"; "" for unknown
const char* format_filter_text(int32_t format);  // "BMP (*.bmp, *.ico, *.cur)"; "" for unknown
// One extension ("*.ico") for index ≥ 0, the list form ("*.bmp;*.ico;*.cur") for −1; "" otherwise.
std::string format_extensions(int32_t format, int index);
// The flat Save As list: 0 "*.bmp" … 17 "*.tif"; "" outside it.
const char* extension_entry(int index);
int32_t extension_entry_format(int index);  // the format of that entry, −1 outside

// The format Save As picks for a typed file name: its extension (from the last '.', A–Z lowered)
// against the flat list; the first writable match wins, anything else is BMP.
int32_t format_for_file_name(const std::u16string& name);

// The open or save dialog's filter: (display text, patterns) pairs in format order, UTF-16.
std::vector<std::pair<std::u16string, std::u16string>> build_file_filter(bool for_save);

}  // namespace tesmo
