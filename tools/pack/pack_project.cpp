// The file pack module's project file: both layouts, field by field at their offsets.
#include "tools/pack/pack_project.h"

#include <algorithm>

#include "base/bytes.h"
#include "base/file_io.h"
#include "base/text.h"
#include "base/user_folders.h"
#include "tools/pack/pack_list.h"

namespace tesmo {
namespace {

constexpr size_t kCurrentOffset = 0;
constexpr size_t kFirstRecord = 4;

// The current record: three UTF-16 paths of 260 units, the prefix, the options, 12 reserved bytes.
constexpr size_t kPathBytes = 520;
constexpr size_t kListOffset = 0;
constexpr size_t kArchiveOffset = 520;
constexpr size_t kExportOffset = 1040;
constexpr size_t kPrefixOffset = 1560;
constexpr size_t kOptionsOffset = 1624;
constexpr size_t kReservedBytes = 12;
static_assert(kListOffset + kPathBytes == kArchiveOffset && kArchiveOffset + kPathBytes == kExportOffset);
static_assert(kExportOffset + kPathBytes == kPrefixOffset && kPrefixOffset + kPackPrefixBytes == kOptionsOffset);
static_assert(kOptionsOffset + 4 + kReservedBytes == kPackProjectRecordSize);
static_assert(kPackProjectFileSize == 52484);

// The older record: the same fields with 8-bit paths of 260 bytes.
constexpr size_t kOldPathBytes = 260;
constexpr size_t kOldListOffset = 0;
constexpr size_t kOldArchiveOffset = 260;
constexpr size_t kOldExportOffset = 520;
constexpr size_t kOldPrefixOffset = 780;
constexpr size_t kOldOptionsOffset = 844;
static_assert(kOldExportOffset + kOldPathBytes == kOldPrefixOffset);
static_assert(kOldPrefixOffset + kPackPrefixBytes == kOldOptionsOffset);
static_assert(kOldOptionsOffset + 4 + kReservedBytes == kPackProjectOldRecordSize);
static_assert(kPackProjectOldFileSize == 27524);

// A zero-terminated 8-bit field: up to the first zero or the field's end.
std::string load_text_field(std::span<const uint8_t> data, size_t offset, size_t field_bytes) {
  const auto field = data.subspan(offset, field_bytes);
  const auto end = std::find(field.begin(), field.end(), uint8_t{0});
  return std::string(field.begin(), end);
}

void store_text_field(std::span<uint8_t> data, size_t offset, size_t field_bytes, std::string_view text) {
  const size_t n = std::min(text.size(), field_bytes - 1);
  std::copy_n(text.begin(), n, data.begin() + static_cast<ptrdiff_t>(offset));
}

// A stored path is at most 259 units and its terminator. A field that fills its whole size (260
// units, or the older layout's 260 bytes) is read as the 259 units the next save keeps, so that a
// project reads the same before and after it is saved.
constexpr size_t kPathUnits = kPathBytes / 2 - 1;
std::u16string fit_path(std::u16string path) {
  if (path.size() > kPathUnits) path.resize(kPathUnits);
  return path;
}

PackProject decode_record(std::span<const uint8_t> r) {
  PackProject p;
  p.list_path = fit_path(load_u16_field(r, kListOffset, kPathBytes));
  p.archive_path = fit_path(load_u16_field(r, kArchiveOffset, kPathBytes));
  p.export_dir = fit_path(load_u16_field(r, kExportOffset, kPathBytes));
  p.prefix = pack_prefix_fit(load_text_field(r, kPrefixOffset, kPackPrefixBytes));
  p.options = static_cast<int32_t>(load_u32le(r, kOptionsOffset));
  return p;
}

PackProject decode_old_record(std::span<const uint8_t> r) {
  PackProject p;
  p.list_path = fit_path(cp932_to_utf16(load_text_field(r, kOldListOffset, kOldPathBytes)));
  p.archive_path = fit_path(cp932_to_utf16(load_text_field(r, kOldArchiveOffset, kOldPathBytes)));
  p.export_dir = fit_path(cp932_to_utf16(load_text_field(r, kOldExportOffset, kOldPathBytes)));
  p.prefix = pack_prefix_fit(load_text_field(r, kOldPrefixOffset, kPackPrefixBytes));
  p.options = static_cast<int32_t>(load_u32le(r, kOldOptionsOffset));
  return p;
}

PackProjectFile decode_records(std::span<const uint8_t> data, size_t record_size,
                               PackProject (*decode)(std::span<const uint8_t>)) {
  PackProjectFile file;
  file.current = static_cast<int32_t>(load_u32le(data, kCurrentOffset));
  if (file.current < 0 || file.current >= kPackProjectCount) file.current = 0;
  for (size_t i = 0; i < file.projects.size(); ++i) {
    file.projects[i] = decode(data.subspan(kFirstRecord + i * record_size, record_size));
  }
  return file;
}

}  // namespace

PackProjectFile pack_project_defaults() {
  PackProjectFile file;
  for (PackProject& p : file.projects) {
    p.prefix = kPackProjectDefaultPrefix;
    p.options = kPackProjectDefaultOptions;
  }
  return file;
}

std::vector<uint8_t> pack_project_encode(const PackProjectFile& file) {
  std::vector<uint8_t> data(kPackProjectFileSize, 0);
  store_u32le(data, kCurrentOffset, static_cast<uint32_t>(file.current));
  for (size_t i = 0; i < file.projects.size(); ++i) {
    const PackProject& p = file.projects[i];
    const auto r = std::span<uint8_t>(data).subspan(kFirstRecord + i * kPackProjectRecordSize, kPackProjectRecordSize);
    store_u16_field(r, kListOffset, kPathBytes, p.list_path);
    store_u16_field(r, kArchiveOffset, kPathBytes, p.archive_path);
    store_u16_field(r, kExportOffset, kPathBytes, p.export_dir);
    store_text_field(r, kPrefixOffset, kPackPrefixBytes, pack_prefix_fit(p.prefix));
    store_u32le(r, kOptionsOffset, static_cast<uint32_t>(p.options));
  }
  return data;
}

PackProjectFile pack_project_decode(std::span<const uint8_t> data) {
  if (data.size() == kPackProjectFileSize) return decode_records(data, kPackProjectRecordSize, decode_record);
  if (data.size() == kPackProjectOldFileSize) {
    return decode_records(data, kPackProjectOldRecordSize, decode_old_record);
  }
  return pack_project_defaults();
}

std::u16string pack_project_path(const std::u16string& program_folder) {
  return savedata_folder(program_folder) + u"tool_vardo32.sav";
}

PackProjectFile pack_project_load(const std::u16string& path) {
  const auto data = read_file(path);
  return data ? pack_project_decode(*data) : pack_project_defaults();
}

int pack_project_save(const std::u16string& path, const PackProjectFile& file) {
  return file_replace(path, pack_project_encode(file));
}

int pack_type_of_options(int32_t options) {
  constexpr int32_t kBoth = PackIndependent | PackTimeTable;
  if ((options & kBoth) == kBoth) return 2;
  return (options & PackIndependent) ? 1 : 0;
}

int32_t pack_options_of_type(int type) {
  constexpr int32_t kTypeBits[] = {0, PackIndependent, PackIndependent | PackTimeTable};
  return type >= 0 && type < 3 ? kTypeBits[type] : 0;
}

std::string pack_prefix_fit(std::string prefix) {
  constexpr size_t kLimit = kPackPrefixBytes - 1;
  size_t end = 0;
  for (size_t i = 0; i < prefix.size();) {
    const size_t width = is_cp932_lead_byte(static_cast<uint8_t>(prefix[i])) && i + 1 < prefix.size() ? 2 : 1;
    if (i + width > kLimit) break;
    i += width;
    end = i;
  }
  prefix.resize(end);
  return prefix;
}

}  // namespace tesmo
