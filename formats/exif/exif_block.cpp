// Exif block location and directory walking, shared by the reader and the writer.
#include "formats/exif/exif_block.h"

#include <algorithm>

#include "base/bytes.h"

namespace tesmo::exif {
namespace {

constexpr uint8_t kMarker = 0xFF;
constexpr uint8_t kStartOfImage = 0xD8;
constexpr uint8_t kApp0 = 0xE0;
constexpr uint8_t kApp1 = 0xE1;
// APP1: marker (2), length (2), "Exif" (4), two zero bytes (2), then the TIFF header.
constexpr size_t kSegmentLengthField = 2;
constexpr size_t kExifNameField = 4;
constexpr size_t kTiffHeaderInSegment = 10;
constexpr uint16_t kTiffMagic = 42;

uint16_t be16(std::span<const uint8_t> file, size_t at) {
  if (at > file.size() || file.size() - at < 2) return 0;
  return ByteReader(file.subspan(at, 2)).u16be();
}

bool is_marker(std::span<const uint8_t> file, size_t at, uint8_t code) {
  return at < file.size() && file.size() - at >= 2 && file[at] == kMarker && file[at + 1] == code;
}

}  // namespace

uint16_t Block::u16(size_t at) const {
  if (!inside(at, 2)) return 0;
  ByteReader r(file.subspan(at, 2));
  return big_endian ? r.u16be() : r.u16le();
}

uint32_t Block::u32(size_t at) const {
  if (!inside(at, 4)) return 0;
  ByteReader r(file.subspan(at, 4));
  return big_endian ? r.u32be() : r.u32le();
}

std::optional<Block> locate(std::span<const uint8_t> file) {
  if (!is_marker(file, 0, kStartOfImage)) return std::nullopt;
  size_t segment = 2;
  if (is_marker(file, 2, kApp0)) segment = 4 + be16(file, 4);
  if (!is_marker(file, segment, kApp1)) return std::nullopt;
  const size_t name = segment + kExifNameField;
  if (name > file.size() || file.size() - name < 4 || file[name] != 'E' || file[name + 1] != 'x' ||
      file[name + 2] != 'i' || file[name + 3] != 'f') {
    return std::nullopt;
  }
  Block b;
  b.file = file;
  b.tiff = segment + kTiffHeaderInSegment;
  b.end = std::min(file.size(), segment + kSegmentLengthField + be16(file, segment + kSegmentLengthField));
  if (!b.inside(b.tiff, 4)) return std::nullopt;
  const uint8_t order0 = file[b.tiff];
  const uint8_t order1 = file[b.tiff + 1];
  if (order0 == 'M' && order1 == 'M') {
    b.big_endian = true;
  } else if (order0 != 'I' || order1 != 'I') {
    return std::nullopt;
  }
  if (b.u16(b.tiff + 2) != kTiffMagic) return std::nullopt;
  return b;
}

std::vector<Entry> read_directory(const Block& block, size_t ifd, uint32_t* next) {
  std::vector<Entry> entries;
  if (next) *next = 0;
  if (!block.inside(ifd, 2)) return entries;
  const size_t count = block.u16(ifd);
  size_t at = ifd + 2;
  for (size_t i = 0; i < count; ++i, at += kEntryBytes) {
    if (!block.inside(at, kEntryBytes)) return entries;  // the rest of the directory is cut off
    entries.push_back(Entry{at, block.u16(at), block.u16(at + 2), block.u32(at + 4)});
  }
  if (next) *next = block.u32(at);
  return entries;
}

}  // namespace tesmo::exif
