// The Exif writer: recorded values overwrite the value fields of existing entries in place.
#include <algorithm>

#include "base/file_io.h"
#include "formats/exif/exif.h"
#include "formats/exif/exif_block.h"

namespace tesmo {
namespace {

using exif::Block;
using exif::Entry;

const uint32_t* recorded(const ExifEdits& edits, uint16_t tag) {
  for (const auto& [t, value] : edits.values) {
    if (t == tag) return &value;
  }
  return nullptr;
}

void store(std::span<uint8_t> file, const Block& b, size_t at, uint32_t value, size_t bytes) {
  for (size_t i = 0; i < bytes; ++i) {
    const size_t shift = b.big_endian ? 8 * (bytes - 1 - i) : 8 * i;
    file[at + i] = static_cast<uint8_t>(value >> shift);
  }
}

// The entries of the main and sub sections; false for an entry type above 12, so that a failing
// update writes nothing.
bool entries_to_update(const Block& b, std::vector<Entry>& entries) {
  entries = exif::read_directory(b, b.first_directory());
  uint32_t sub_ifd = 0;
  for (const Entry& e : entries) {
    if (e.tag == exif::kTagExifIfd) sub_ifd = b.u32(e.at + exif::kValueField);
  }
  if (sub_ifd != 0) {
    std::vector<Entry> sub = exif::read_directory(b, b.from_tiff(sub_ifd));
    entries.insert(entries.end(), sub.begin(), sub.end());
  }
  return std::none_of(entries.begin(), entries.end(), [](const Entry& e) { return e.type > exif::kTypeDouble; });
}

}  // namespace

void exif_set_value(ExifEdits& edits, uint16_t tag, uint32_t value) {
  auto it = std::find_if(edits.values.begin(), edits.values.end(), [&](const auto& p) { return p.first == tag; });
  if (it != edits.values.end()) {
    it->second = value;
  } else {
    edits.values.emplace_back(tag, value);
  }
}

int exif_update_bytes(const ExifEdits& edits, std::span<uint8_t> file) {
  std::optional<Block> block = exif::locate(file);
  std::vector<Entry> entries;
  if (!block || !entries_to_update(*block, entries)) return 1;
  for (const Entry& e : entries) {
    const uint32_t* value = recorded(edits, e.tag);
    // A SHORT sits in the first two bytes of the value field in either byte order.
    if (value) store(file, *block, e.at + exif::kValueField, *value, e.type == exif::kTypeShort ? 2 : 4);
  }
  return 0;
}

int exif_update(const ExifEdits& edits, const std::u16string& path) {
  std::optional<std::vector<uint8_t>> file = read_file(path);
  if (!file) return 1;
  if (exif_update_bytes(edits, *file) != 0) return 1;
  return file_replace(path, *file);
}

}  // namespace tesmo
