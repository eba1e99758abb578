// The header texts of a packing run and the text cleaning of ".txt" sources.
#include <cstdio>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "tools/pack/pack_run.h"
#include "tools/pack/pack_text_util.h"

namespace tesmo {
namespace {

std::string padded_number(const char* format, int32_t value) {
  char cell[32];
  std::snprintf(cell, sizeof cell, format, value);
  return cell;
}

std::string spaces(size_t width, size_t used) { return std::string(width > used ? width - used : 0, ' '); }

// Offsets and sizes are printed as signed 32-bit numbers, so a missing source shows −1.
std::string number_lines(const Packer& p, bool offsets) {
  std::string text;
  for (const PackEntry& e : p.entries) {
    text += padded_number("\t%8d,\t\t// ", static_cast<int32_t>(offsets ? e.offset : e.size));
    text += e.identifier + "\r\n";
  }
  uint32_t end = p.entries.empty() || !offsets ? 0 : p.entries.back().offset + p.entries.back().size;
  return text + padded_number("\t%8d\r\n", static_cast<int32_t>(end));
}

std::string identifier_lines(const Packer& p) {
  std::string text;
  for (const PackEntry& e : p.entries) text += "\t" + e.identifier + ",\r\n";
  return text + "\t" + p.prefix + "MAX\r\n";
}

// Definitions line up their numbers one column after the longest identifier; a dummy's line is
// commented out, its two slashes taken from the padding.
std::string definition_lines(const Packer& p) {
  std::string text;
  for (size_t i = 0; i < p.entries.size(); ++i) {
    const PackEntry& e = p.entries[i];
    text += e.dummy ? "//#define " : "#define ";
    text += e.identifier + spaces(p.longest_identifier, e.identifier.size() + (e.dummy ? 2 : 0));
    text += padded_number(" %d\r\n", static_cast<int32_t>(i));
  }
  text += "#define " + p.prefix + "MAX" + spaces(p.longest_identifier, p.prefix.size() + 3);
  return text + padded_number(" %d\r\n", static_cast<int32_t>(p.entries.size()));
}

}  // namespace

std::string pack_text(const Packer& packer, PackText kind) {
  switch (kind) {
    case PackText::Identifiers: return identifier_lines(packer);
    case PackText::Offsets: return number_lines(packer, true);
    case PackText::Sizes: return number_lines(packer, false);
    case PackText::Definitions: return definition_lines(packer);
  }
  return {};
}

std::u16string pack_text_name(const std::u16string& archive_path, PackText kind) {
  static constexpr std::u16string_view kSuffix[] = {u"_id.txt", u"_offset.txt", u"_size.txt", u".txt"};
  static_assert(std::size(kSuffix) == static_cast<size_t>(PackText::Definitions) + 1);
  std::u16string base = name_part(archive_path);
  base = base.substr(0, base.rfind(u'.'));
  return u"fid_" + base + std::u16string(kSuffix[static_cast<int>(kind)]);
}

int pack_write_text(Packer& packer, const std::u16string& path, PackText kind) {
  std::string text = pack_text(packer, kind);
  if (file_replace(path, std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size())) == 0) return 0;
  packer.add_error(format_message(msg::kExportFailed, {path}));
  return 1;
}

std::vector<uint8_t> text_clean(std::span<const uint8_t> text) {
  std::string_view all(reinterpret_cast<const char*>(text.data()), text.size());
  std::vector<uint8_t> out;
  out.reserve(text.size() + text.size() / 2);
  for (std::string_view line : split_lines(all)) {
    if (line.empty() || line.starts_with("//")) continue;
    size_t first = line.find_first_not_of(' ');
    line = first == std::string_view::npos ? std::string_view() : line.substr(first, line.find_last_not_of(' ') - first + 1);
    out.insert(out.end(), line.begin(), line.end());
    out.push_back('\r');
    out.push_back('\n');
  }
  return out;
}

std::u16string pack_progress_text(size_t done, size_t count) {
  char text[64];
  std::snprintf(text, sizeof text, "%3d%% (%d/%d)", count ? static_cast<int>(done * 100 / count) : 0,
                static_cast<int>(done), static_cast<int>(count));
  return u16(text);
}

}  // namespace tesmo
