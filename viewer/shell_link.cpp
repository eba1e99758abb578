// Shortcut files: the fixed header, then optional sections announced by the link flags.
#include "viewer/shell_link.h"

#include <algorithm>
#include <array>
#include <filesystem>

#include "base/bytes.h"
#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"

namespace tesmo {
namespace {

constexpr uint32_t kHeaderSize = 0x4C;
// The link class id 00021401-0000-0000-C000-000000000046 as stored (first three fields little-endian).
constexpr std::array<uint8_t, 16> kLinkClassId = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                                  0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr size_t kMaxLinkFile = 1 << 20;  // shortcuts are small; anything larger is not one

enum LinkFlag : uint32_t {
  kHasIdList = 0x01,
  kHasLinkInfo = 0x02,
  kHasName = 0x04,
  kHasRelativePath = 0x08,
  kIsUnicode = 0x80,
};
constexpr uint32_t kVolumeIdAndLocalBasePath = 0x01;  // link information flag
constexpr uint32_t kLinkInfoUnicodeHeader = 0x24;     // header size that carries the UTF-16 offsets

// A zero-terminated 8-bit string (ANSI code page) starting at `offset` of `block`.
std::u16string ansi_at(std::span<const uint8_t> block, uint32_t offset) {
  if (offset >= block.size()) return {};
  auto rest = block.subspan(offset);
  auto end = std::find(rest.begin(), rest.end(), uint8_t{0});
  return cp932_to_utf16(std::string(rest.begin(), end));
}

std::u16string utf16_at(std::span<const uint8_t> block, uint32_t offset) {
  std::u16string out;
  for (size_t i = offset; i + 1 < block.size(); i += 2) {
    char16_t c = static_cast<char16_t>(block[i] | block[i + 1] << 8);
    if (c == 0) break;
    out.push_back(c);
  }
  return out;
}

// The link information block: its local base path, when it has one.
std::u16string local_base_path(std::span<const uint8_t> info) {
  ByteReader r(info);
  r.u32le();  // size
  const uint32_t header_size = r.u32le();
  const uint32_t flags = r.u32le();
  r.u32le();  // volume id offset
  const uint32_t base_offset = r.u32le();
  r.u32le();  // network link offset
  r.u32le();  // common path suffix offset
  if (!r.ok() || !(flags & kVolumeIdAndLocalBasePath)) return {};
  if (header_size >= kLinkInfoUnicodeHeader) {
    const uint32_t unicode_offset = r.u32le();
    if (r.ok() && unicode_offset) return utf16_at(info, unicode_offset);
  }
  return ansi_at(info, base_offset);
}

// One string of the string data: a count of characters, then the characters.
std::optional<std::u16string> counted_string(ByteReader& r, bool unicode) {
  const uint16_t count = r.u16le();
  auto raw = r.view(static_cast<size_t>(count) * (unicode ? 2 : 1));
  if (!r.ok()) return std::nullopt;
  if (!unicode) return cp932_to_utf16(std::string(raw.begin(), raw.end()));
  std::u16string s(count, u'\0');
  for (size_t i = 0; i < count; ++i) s[i] = static_cast<char16_t>(raw[2 * i] | raw[2 * i + 1] << 8);
  return s;
}

std::u16string native_separators(std::u16string s) {
  std::replace(s.begin(), s.end(), u'\\', kPathSeparator);
  return s;
}

}  // namespace

std::optional<ShellLinkTarget> parse_shell_link(std::span<const uint8_t> bytes) {
  ByteReader r(bytes);
  if (r.u32le() != kHeaderSize) return std::nullopt;
  auto clsid = r.view(16);
  if (!r.ok() || !std::equal(clsid.begin(), clsid.end(), kLinkClassId.begin())) return std::nullopt;
  const uint32_t flags = r.u32le();
  if (!r.seek(kHeaderSize)) return std::nullopt;
  ShellLinkTarget target;
  if (flags & kHasIdList) r.skip(r.u16le());
  if (flags & kHasLinkInfo) {
    const size_t start = r.position();
    const uint32_t size = r.u32le();
    if (!r.ok() || size < 4 || !r.seek(start)) return std::nullopt;
    auto info = r.view(size);
    if (!r.ok()) return std::nullopt;
    target.local_base_path = local_base_path(info);
  }
  const bool unicode = flags & kIsUnicode;
  if (flags & kHasName && !counted_string(r, unicode)) return std::nullopt;
  if (flags & kHasRelativePath) {
    auto relative = counted_string(r, unicode);
    if (!relative) return std::nullopt;
    target.relative_path = *relative;
  }
  if (!r.ok()) return std::nullopt;
  return target;
}

std::optional<std::u16string> resolve_shell_link(const std::u16string& link_path) {
  auto bytes = read_file_prefix(link_path, kMaxLinkFile);
  if (!bytes) return std::nullopt;
  auto target = parse_shell_link(*bytes);
  if (!target) return std::nullopt;
  std::optional<std::u16string> relative, absolute;
  if (!target->relative_path.empty()) {
    auto joined = to_fs_path(directory_part(link_path)) / to_fs_path(native_separators(target->relative_path));
    relative = from_fs_path(joined.lexically_normal());
  }
  if (!target->local_base_path.empty()) absolute = native_separators(target->local_base_path);
  if (relative && file_exists(*relative)) return relative;
  if (absolute && file_exists(*absolute)) return absolute;
  if (relative) return relative;
  return absolute;
}

}  // namespace tesmo
