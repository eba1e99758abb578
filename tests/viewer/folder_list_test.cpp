// The folder list (members, order, lookup) and shortcut files.
#include "viewer/folder_list.h"

#include <gtest/gtest.h>

#include "base/bytes.h"
#include "base/file_io.h"
#include "base/text.h"
#include "temp_folder.h"
#include "viewer/shell_link.h"

namespace tesmo {
namespace {

void touch(const std::u16string& path) { ASSERT_EQ(file_replace(path, std::vector<uint8_t>{1, 2, 3}), 0); }

std::vector<std::u16string> names(const std::vector<FolderEntry>& list) {
  std::vector<std::u16string> out;
  for (const FolderEntry& e : list) out.push_back(e.name);
  return out;
}

TEST(FolderList, PathHashWrapsAndTakesTheMagnitude) {
  // Worked out by hand and with 32-bit wrapping outside the code: "ab" = 97 × 37 + 98.
  EXPECT_EQ(path_hash(u""), 0u);
  EXPECT_EQ(path_hash(u"ab"), 3687u);
  EXPECT_EQ(path_hash(u"/pics/photo_0001.jpeg"), 796058199u);
  EXPECT_EQ(path_hash(u"/x/写真.bmp"), 925826755u);
}

TEST(FolderList, ImageFilesInOrdinalOrderWithoutSubfolders) {
  testing::TempFolder tmp;
  for (const char* n : {"c.png", "a.png", "B.png", "notes.txt", "Z.JPEG", "x.rgba", "y.bw", "noext", "d.tiff"}) {
    touch(tmp.file(n));
  }
  std::filesystem::create_directories(tmp.path() / "sub.png");
  const auto list = scan_image_folder(tmp.folder());
  // Upper case sorts before lower case; ".tiff" is not one of the eighteen (".tif" is).
  EXPECT_EQ(names(list), (std::vector<std::u16string>{u"B.png", u"Z.JPEG", u"a.png", u"c.png", u"x.rgba", u"y.bw"}));
  EXPECT_EQ(list[0].path, tmp.folder() + u"B.png");
  EXPECT_EQ(find_folder_entry(list, tmp.folder() + u"c.png"), 3);
  EXPECT_EQ(find_folder_entry(list, tmp.folder() + u"C.png"), -1);
  EXPECT_TRUE(scan_image_folder(tmp.folder() + u"missing/").empty());
}

TEST(FolderList, FirstFileIsFoundDepthFirst) {
  testing::TempFolder tmp;
  std::filesystem::create_directories(tmp.path() / "a" / "b");
  std::filesystem::create_directories(tmp.path() / "empty");
  EXPECT_FALSE(first_file_in(tmp.folder()).has_value());
  touch(tmp.file("a/b/deep.txt"));
  EXPECT_EQ(first_file_in(tmp.folder()), tmp.file("a/b/deep.txt"));
  EXPECT_FALSE(first_file_in(tmp.folder() + u"empty/").has_value());
}

// A shortcut: the 76-byte header with the link class id and flags, then the sections it announces.
std::vector<uint8_t> shell_link(uint32_t flags, const std::vector<uint8_t>& sections) {
  std::vector<uint8_t> b(0x4C, 0);
  store_u32le(b, 0, 0x4C);
  const uint8_t clsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
  std::copy(std::begin(clsid), std::end(clsid), b.begin() + 4);
  store_u32le(b, 0x14, flags);
  b.insert(b.end(), sections.begin(), sections.end());
  return b;
}

std::vector<uint8_t> counted_utf16(std::u16string_view s) {
  std::vector<uint8_t> b{static_cast<uint8_t>(s.size()), static_cast<uint8_t>(s.size() >> 8)};
  for (char16_t c : s) {
    b.push_back(static_cast<uint8_t>(c));
    b.push_back(static_cast<uint8_t>(c >> 8));
  }
  return b;
}

// Link information holding only an ANSI local base path.
std::vector<uint8_t> link_info(const std::string& base) {
  std::vector<uint8_t> b(28, 0);
  store_u32le(b, 4, 28);  // header size
  store_u32le(b, 8, 1);   // volume id and local base path
  store_u32le(b, 16, 28);  // local base path offset
  b.insert(b.end(), base.begin(), base.end());
  b.push_back(0);
  store_u32le(b, 0, static_cast<uint32_t>(b.size()));
  return b;
}

TEST(ShellLink, TargetsAndDamagedFiles) {
  constexpr uint32_t kIdList = 1, kLinkInfo = 2, kName = 4, kRelative = 8, kUnicode = 0x80;
  std::vector<uint8_t> with_everything = {4, 0, 0xAA, 0xBB, 0, 0};  // an id list of 4 bytes
  auto info = link_info("C:\\pics\\abs.bmp");
  with_everything.insert(with_everything.end(), info.begin(), info.end());
  auto name = counted_utf16(u"説明");
  with_everything.insert(with_everything.end(), name.begin(), name.end());
  auto rel = counted_utf16(u"..\\pics\\t.bmp");
  with_everything.insert(with_everything.end(), rel.begin(), rel.end());

  auto full = parse_shell_link(shell_link(kIdList | kLinkInfo | kName | kRelative | kUnicode, with_everything));
  ASSERT_TRUE(full.has_value());
  EXPECT_EQ(full->local_base_path, u"C:\\pics\\abs.bmp");
  EXPECT_EQ(full->relative_path, u"..\\pics\\t.bmp");

  // Cut inside the relative path, a wrong class id, a wrong header size: not a shortcut.
  auto bytes = shell_link(kIdList | kLinkInfo | kName | kRelative | kUnicode, with_everything);
  EXPECT_FALSE(parse_shell_link(std::span(bytes).first(bytes.size() - 3)).has_value());
  auto bad_id = bytes;
  bad_id[5] ^= 1;
  EXPECT_FALSE(parse_shell_link(bad_id).has_value());
  auto bad_size = bytes;
  bad_size[0] = 0x4D;
  EXPECT_FALSE(parse_shell_link(bad_size).has_value());
  EXPECT_FALSE(parse_shell_link(std::vector<uint8_t>(10, 0)).has_value());
}

TEST(ShellLink, RelativeTargetResolvesAgainstTheLinksFolder) {
  testing::TempFolder tmp;
  std::filesystem::create_directories(tmp.path() / "pics");
  touch(tmp.file("pics/t.bmp"));
  const std::u16string link = tmp.file("links/t.lnk");
  ASSERT_EQ(file_replace(link, shell_link(0x88, counted_utf16(u"..\\pics\\t.bmp"))), 0);
  EXPECT_EQ(resolve_shell_link(link), tmp.file("pics/t.bmp"));
  // An absolute target that exists wins over a relative one that does not.
  const std::string absolute = utf16_to_utf8(tmp.file("pics/t.bmp"));
  auto sections = link_info(absolute);
  auto rel = counted_utf16(u"gone.bmp");
  sections.insert(sections.end(), rel.begin(), rel.end());
  ASSERT_EQ(file_replace(link, shell_link(0x8A, sections)), 0);
  EXPECT_EQ(resolve_shell_link(link), tmp.file("pics/t.bmp"));
  EXPECT_FALSE(resolve_shell_link(tmp.file("links/none.lnk")).has_value());
}

}  // namespace
}  // namespace tesmo
