// The format table, the probe order, and the registry queries built on them.
#include "formats/registry.h"

#include <algorithm>

#include "base/file_io.h"
#include "base/text.h"
#include "formats/bmp/bmp.h"
#include "formats/dds/dds.h"
#include "formats/fnt/fnt.h"
#include "formats/jab/jab.h"
#include "formats/jpeg/jpeg.h"
#include "formats/pcx/pcx.h"
#include "formats/pic/pic.h"
#include "formats/png_tiff/png_tiff.h"
#include "formats/psd/psd.h"
#include "formats/sgi/sgi.h"
#include "formats/tga/tga.h"

namespace tesmo {
namespace {

struct PixelFormatEntry {
  const char* text;
  int32_t bits;
};

// Savable layouts per format, in the order the save-options dialog lists them.
constexpr PixelFormatEntry kBmpFormats[] = {
    {"5:5:5 RGB (16 bit)", 16},    {"1:5:5:5 ARGB (16 bit)", 16}, {"5:6:5 RGB (16 bit)", 16},
    {"4:4:4 RGB (16 bit)", 16},    {"4:4:4:4 ARGB (16 bit)", 16}, {"8:8:8 RGB (24 bit)", 24},
    {"8:8:8:8 ARGB (32 bit)", 32}};
constexpr PixelFormatEntry kDdsFormats[] = {
    {"Gray (256 colors)", 8},      {"Alpha (256 colors)", 8},     {"Gray Alpha (256 colors)", 16},
    {"4:4:4:4 ARGB (16 bit)", 16}, {"1:5:5:5 ARGB (16 bit)", 16}, {"5:6:5 RGB (16 bit)", 16},
    {"5:5:5 RGB (16 bit)", 16},    {"8:8:8 RGB (24 bit)", 24},    {"8:8:8:8 ARGB (32 bit)", 32}};
constexpr PixelFormatEntry kJpegFormats[] = {
    {"Gray (256 colors)", 8}, {"8:8:8 RGB (24 bit)", 24}, {"8:8:8:8 CMYK (32 bit)", 32}};
constexpr PixelFormatEntry kPcxFormats[] = {{"8:8:8 RGB (24 bit)", 24}};
constexpr PixelFormatEntry kRgbArgbFormats[] = {{"8:8:8 RGB (24 bit)", 24}, {"8:8:8:8 ARGB (32 bit)", 32}};
constexpr PixelFormatEntry kSgiFormats[] = {
    {"Gray (256 colors)", 8}, {"8:8:8 RGB (24 bit)", 24}, {"8:8:8:8 ARGB (32 bit)", 32}};
constexpr PixelFormatEntry kTgaFormats[] = {
    {"Gray (256 colors)", 8}, {"5:5:5 RGB (16 bit)", 16}, {"8:8:8 RGB (24 bit)", 24},
    {"8:8:8:8 ARGB (32 bit)", 32}};
constexpr PixelFormatEntry kTiffFormats[] = {
    {"Gray (8 bit)", 8}, {"8:8:8 RGB (24 bit)", 24}, {"8:8:8:8 ARGB (32 bit)", 32}};
constexpr PixelFormatEntry kFntFormats[] = {{"Alpha (256 colors)", 8}};
// JAB has one layout that is never listed: the pack tool writes JAB files, not the Save dialog.
constexpr PixelFormatEntry kJabFormats[] = {{"8:8:8:8 RGB (32 bit)", 32}};

// Keeps the stored index (pixel_format_for_alpha).
constexpr int8_t K = -2;

struct FormatRow {
  int32_t id;
  int slot;  // reader-state slot of ImageFile
  const char* name;
  const char* extensions;
  const char* filter;
  std::span<const PixelFormatEntry> savable = {};
  int32_t save_count;  // how many of `savable` the dialogs offer
  int32_t default_index;
  uint32_t flags = 0;
  bool accepts_memory;  // JPEG, PSD and TIFF are opened only from files
  // Stored index → index to write back with alpha / without alpha; K keeps it.
  std::span<const int8_t> with_alpha = {};
  std::span<const int8_t> without_alpha = {};
  ProbeFn probe;  // every format is read by its own codec
  DecodeFn decode;
  SaveFn save = nullptr;  // null: the format is read, never written
};

constexpr int8_t kBmpWith[] = {1, 1, 1, 4, 4, 6, 6};
constexpr int8_t kBmpWithout[] = {0, 0, 2, 3, 3, 5, 5};
constexpr int8_t kDdsWith[] = {2, 1, 2, 3, 4, 4, 4, 8, 8};
constexpr int8_t kDdsWithout[] = {0, 1, 0, 6, 6, 5, 6, 7, 7};
constexpr int8_t kRgbArgbWith[] = {1, 1};
constexpr int8_t kRgbArgbWithout[] = {0, 0};
constexpr int8_t kSgiWith[] = {2, 2, 2};
constexpr int8_t kSgiWithout[] = {0, 1, 1};
constexpr int8_t kTgaWith[] = {3, 3, 3, 3};
constexpr int8_t kTgaWithout[] = {K, K, K, 2};
constexpr int8_t kTiffWith[] = {2, 2, 2};
constexpr int8_t kTiffWithout[] = {K, K, 1};

// One row per format, in identifier order. A new format touches one row and its own folder.
const FormatRow kFormats[kFormatCount] = {
    {.id = kFormatBmp, .slot = 0, .name = "BMP", .extensions = "*.bmp;*.ico;*.cur",
     .filter = "BMP (*.bmp, *.ico, *.cur)", .savable = kBmpFormats, .save_count = 7, .default_index = 6,
     .accepts_memory = true, .with_alpha = kBmpWith, .without_alpha = kBmpWithout, .probe = bmp::probe,
     .decode = whole_decode<bmp::decode>, .save = bmp::save},
    {.id = kFormatDds, .slot = 1, .name = "DDS", .extensions = "*.dds", .filter = "DDS (*.dds)", .savable = kDdsFormats,
     .save_count = 9, .default_index = 8, .accepts_memory = true, .with_alpha = kDdsWith, .without_alpha = kDdsWithout,
     .probe = dds::probe, .decode = whole_decode<dds::decode>, .save = dds::save},
    {.id = kFormatJpeg, .slot = 2, .name = "JPEG", .extensions = "*.jpg;*.jpeg", .filter = "JPEG (*.jpg, *.jpeg)",
     .savable = kJpegFormats, .save_count = 3, .default_index = 1, .flags = kSaveQualityAvailable,
     .accepts_memory = false, .probe = jpeg::probe, .decode = jpeg::decode, .save = jpeg::save},
    {.id = kFormatPcx, .slot = 3, .name = "PCX", .extensions = "*.pcx", .filter = "PCX (*.pcx)", .savable = kPcxFormats,
     .save_count = 1, .default_index = 0, .accepts_memory = true, .probe = pcx::probe,
     .decode = whole_decode<pcx::decode>, .save = pcx::save},
    {.id = kFormatPng, .slot = 5, .name = "PNG", .extensions = "*.png", .filter = "PNG (*.png)",
     .savable = kRgbArgbFormats, .save_count = 2, .default_index = 1, .accepts_memory = true,
     .with_alpha = kRgbArgbWith, .without_alpha = kRgbArgbWithout, .probe = png::probe, .decode = png::decode,
     .save = png::save},
    {.id = kFormatSgi, .slot = 7, .name = "SGI", .extensions = "*.sgi;*.rgb;*.rgba;*.bw",
     .filter = "SGI (*.sgi, *.rgb, *.rgba, *.bw)", .savable = kSgiFormats, .save_count = 3, .default_index = 2,
     .accepts_memory = true, .with_alpha = kSgiWith, .without_alpha = kSgiWithout, .probe = sgi::probe,
     .decode = whole_decode<sgi::decode>, .save = sgi::save},
    {.id = kFormatTga, .slot = 8, .name = "TGA", .extensions = "*.tga", .filter = "TGA (*.tga)", .savable = kTgaFormats,
     .save_count = 4, .default_index = 3, .accepts_memory = true, .with_alpha = kTgaWith, .without_alpha = kTgaWithout,
     .probe = tga::probe, .decode = whole_decode<tga::decode>, .save = tga::save},
    {.id = kFormatTiff, .slot = 9, .name = "TIFF", .extensions = "*.tif", .filter = "TIFF (*.tif)",
     .savable = kTiffFormats, .save_count = 3, .default_index = 2, .accepts_memory = false, .with_alpha = kTiffWith,
     .without_alpha = kTiffWithout, .probe = tiff::probe, .decode = tiff::decode, .save = tiff::save},
    {.id = kFormatPsd, .slot = 6, .name = "PSD / Photoshop", .extensions = "*.psd", .filter = "PSD / Photoshop (*.psd)",
     .save_count = 0, .default_index = -1, .accepts_memory = false, .probe = psd::probe,
     .decode = whole_decode<psd::decode>},
    {.id = kFormatPic, .slot = 4, .name = "PIC / SOFTIMAGE", .extensions = "*.pic", .filter = "PIC / SOFTIMAGE (*.pic)",
     .savable = kRgbArgbFormats, .save_count = 2, .default_index = 1,
     .flags = kSaveCompressAvailable | kSaveCompressChecked, .accepts_memory = true, .with_alpha = kRgbArgbWith,
     .without_alpha = kRgbArgbWithout, .probe = pic::probe, .decode = whole_decode<pic::decode>, .save = pic::save},
    {.id = kFormatFnt, .slot = 10, .name = "FNT", .extensions = "*.fnt", .filter = "FNT (*.fnt)",
     .savable = kFntFormats, .save_count = 1, .default_index = 0, .accepts_memory = true, .probe = fnt::probe,
     .decode = whole_decode<fnt::decode>, .save = fnt::save},
    {.id = kFormatJab, .slot = 11, .name = "JPEG and BMP", .extensions = "*.jab", .filter = "JPEG and BMP (*.jab)",
     .savable = kJabFormats, .save_count = 0, .default_index = 0, .accepts_memory = true, .probe = jab::probe,
     .decode = jab::decode, .save = jab::save},
};

// Strong signatures first; TGA has no signature and its header checks alone decide, so it is last.
constexpr int32_t kProbeOrder[kFormatCount] = {kFormatBmp, kFormatDds,  kFormatFnt, kFormatJab,
                                               kFormatJpeg, kFormatPcx, kFormatPic, kFormatPng,
                                               kFormatPsd, kFormatSgi,  kFormatTiff, kFormatTga};

// The Save As list of single extensions.
constexpr std::pair<const char*, int32_t> kExtensionEntries[] = {
    {"*.bmp", kFormatBmp}, {"*.ico", kFormatBmp},  {"*.cur", kFormatBmp}, {"*.dds", kFormatDds},
    {"*.fnt", kFormatFnt}, {"*.jab", kFormatJab},  {"*.jpg", kFormatJpeg}, {"*.jpeg", kFormatJpeg},
    {"*.pcx", kFormatPcx}, {"*.pic", kFormatPic},  {"*.png", kFormatPng}, {"*.psd", kFormatPsd},
    {"*.sgi", kFormatSgi}, {"*.rgb", kFormatSgi},  {"*.rgba", kFormatSgi}, {"*.bw", kFormatSgi},
    {"*.tga", kFormatTga}, {"*.tif", kFormatTiff},
};
static_assert(std::size(kExtensionEntries) == 18);

constexpr const char* kNotRecognised = "not a picture any reader recognises";

const FormatRow* row_of(int32_t format) {
  for (const FormatRow& r : kFormats) {
    if (r.id == format) return &r;
  }
  return nullptr;
}

// Why a path cannot be probed at all; empty when it names a file that can be read.
ReadFault path_fault(const std::u16string& path) {
  if (is_directory(path)) return "a folder, not a file";
  if (!file_exists(path)) return "no such file";
  if (!read_file_prefix(path, 1)) return "cannot open the file";
  return {};
}

int probe_with(ImageFile& file, const ImageSource& source) {
  file.format = kFormatNone;
  file.fault.clear();
  if (source.from_file()) file.fault = path_fault(*source.path);
  if (!file.fault.empty()) return 1;
  for (int32_t id : kProbeOrder) {
    const FormatRow& row = *row_of(id);
    file.info = ImageInfo{};
    if (!source.from_file() && !row.accepts_memory) continue;
    ProbeResult result = row.probe(source, file.info, file.want_text);
    // The first reader that knew the data as its own and still refused it tells why.
    if (!result) {
      if (file.fault.empty() && !result.reason.empty()) file.fault = std::string(row.name) + ": " + result.reason;
      continue;
    }
    const ImageInfo& i = file.info;
    if (i.width < 1 || i.height < 1 || i.width > kMaxImageSide || i.height > kMaxImageSide) continue;
    file.fault.clear();
    file.states[row.slot] = std::move(result.state);
    file.format = id;
    file.info.format = id;
    if (file.want_text && file.info.format_name.empty()) {
      file.info.format_name = row.name;
      file.info.extensions = row.extensions;
    }
    return 0;
  }
  file.info = ImageInfo{};
  if (file.fault.empty()) file.fault = kNotRecognised;
  return 1;
}

}  // namespace

int32_t format_at(int k) {
  if (k < 0 || k >= 31) return -1;
  return format_order[static_cast<size_t>(k)];
}

ImageFile image_file_create(bool want_text) {
  ImageFile f;
  f.want_text = want_text;
  return f;
}

int image_probe(ImageFile& file, const std::u16string& path) {
  ImageSource source;
  source.path = &path;
  return probe_with(file, source);
}

int image_probe_memory(ImageFile& file, std::span<const uint8_t> memory) {
  ImageSource source;
  source.memory = memory;
  return probe_with(file, source);
}

int image_decode(ImageFile& file, std::span<uint32_t> pixels) {
  const FormatRow* row = row_of(file.format);
  if (!row || !row->decode || !file.states[row->slot]) {
    file.fault = "no picture was accepted";
    return 1;
  }
  size_t needed = static_cast<size_t>(file.info.width) * static_cast<size_t>(file.info.height);
  if (pixels.size() < needed) {
    file.fault = "no room for the picture";
    return 1;
  }
  ReadFault fault = row->decode(*file.states[row->slot], pixels.first(needed));
  if (fault.empty()) return 0;
  file.fault = std::string(row->name) + ": " + fault;
  return 1;
}

void image_file_close(ImageFile& file) {
  for (auto& s : file.states) s.reset();
  file.format = kFormatNone;
}

int image_save(std::span<const uint32_t> pixels, int32_t width, int32_t height, const SaveRequest& request) {
  if (request.path.empty()) return 1;
  const FormatRow* row = row_of(request.format);
  if (!row || !row->save) return 1;
  if (width < 0 || height < 0 ||
      pixels.size() < static_cast<size_t>(width) * static_cast<size_t>(height)) {
    return 1;
  }
  return row->save(pixels, width, height, request);
}

SaveOptions format_save_options(int32_t format) {
  const FormatRow* row = row_of(format);
  if (!row) return SaveOptions{};
  return SaveOptions{row->save_count, row->default_index, row->flags};
}

std::pair<const char*, int32_t> format_pixel_format(int32_t format, int32_t index) {
  const FormatRow* row = row_of(format);
  if (!row || index < 0 || static_cast<size_t>(index) >= row->savable.size()) return {nullptr, 0};
  return {row->savable[static_cast<size_t>(index)].text, row->savable[static_cast<size_t>(index)].bits};
}

int32_t pixel_format_for_alpha(const ImageInfo& info, bool has_alpha) {
  if (info.format == kFormatJab) return 0;
  const FormatRow* row = row_of(info.format);
  if (!row) return -1;
  std::span<const int8_t> rule = has_alpha ? row->with_alpha : row->without_alpha;
  int32_t stored = info.pixel_format;
  if (stored < 0 || static_cast<size_t>(stored) >= rule.size()) return stored;
  int8_t result = rule[static_cast<size_t>(stored)];
  return result == K ? stored : result;
}

const char* format_name(int32_t format) {
  const FormatRow* row = row_of(format);
  return row ? row->name : "";
}

const char* format_filter_text(int32_t format) {
  const FormatRow* row = row_of(format);
  return row ? row->filter : "";
}

std::string format_extensions(int32_t format, int index) {
  const FormatRow* row = row_of(format);
  if (!row) return {};
  std::string_view list = row->extensions;
  if (index < 0) return index == -1 ? std::string(list) : std::string();
  for (int i = 0; i < index; ++i) {
    size_t semi = list.find(';');
    if (semi == std::string_view::npos) return {};
    list.remove_prefix(semi + 1);
  }
  return std::string(list.substr(0, list.find(';')));
}

const char* extension_entry(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kExtensionEntries))) return "";
  return kExtensionEntries[index].first;
}

int32_t extension_entry_format(int index) {
  if (index < 0 || index >= static_cast<int>(std::size(kExtensionEntries))) return -1;
  return kExtensionEntries[index].second;
}

int32_t format_for_file_name(const std::u16string& name) {
  size_t dot = name.rfind(u'.');
  std::u16string ext = dot == std::u16string::npos ? std::u16string() : name.substr(dot);
  for (char16_t& c : ext) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
  }
  std::string typed = utf16_to_cp932(ext);
  for (const auto& [pattern, format] : kExtensionEntries) {
    if (typed == pattern + 1 && format_save_options(format).count > 0) return format;
  }
  return kFormatBmp;
}

std::vector<std::pair<std::u16string, std::u16string>> build_file_filter(bool for_save) {
  std::vector<std::pair<std::u16string, std::u16string>> pairs;
  std::string all;
  for (int k = 0; format_at(k) != -1; ++k) {
    const FormatRow& row = *row_of(format_at(k));
    if (!all.empty()) all += ';';
    all += row.extensions;
    if (!for_save || row.save_count > 0) {
      pairs.emplace_back(cp932_to_utf16(row.filter), cp932_to_utf16(row.extensions));
    }
  }
  if (!for_save) {
    pairs.insert(pairs.begin(), {u"すべての画像", cp932_to_utf16(all)});
    pairs.emplace_back(u"すべてのファイル (*.*)", u"*.*");
  }
  return pairs;
}

int write_image_file(const std::u16string& path, std::span<const uint8_t> bytes) {
  return file_replace(path, bytes) == 0 ? 0 : 1;
}

int save_encoded(PixelFormatEncoder encode, std::span<const uint32_t> pixels, int32_t width, int32_t height,
                 const SaveRequest& request) {
  if (request.path.empty()) return 1;
  const std::vector<uint8_t> bytes = encode(pixels, width, height, request.pixel_format);
  if (bytes.empty()) return 1;
  return write_image_file(request.path, bytes);
}

std::string fit_text(std::string_view text, size_t capacity) {
  if (capacity == 0) return {};
  size_t limit = capacity - 1;
  size_t end = 0;
  while (end < text.size()) {
    size_t step = is_cp932_lead_byte(static_cast<uint8_t>(text[end])) ? 2 : 1;
    if (end + step > limit || end + step > text.size()) break;
    end += step;
  }
  return std::string(text.substr(0, end));
}

}  // namespace tesmo
