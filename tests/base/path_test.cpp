#include "base/path.h"

#include <gtest/gtest.h>

namespace tesmo {
namespace {

struct PathCase {
  std::u16string path, directory, name, extension;
};

TEST(Path, PartsSplitAtTheLastSeparatorAndDot) {
  const PathCase cases[] = {
      {u"/a/b/pic.BMP", u"/a/b/", u"pic.BMP", u".bmp"},
      {u"/a.dir/noext", u"/a.dir/", u"noext", u""},
      {u"archive.tar.GZ", u"", u"archive.tar.GZ", u".gz"},
      {u"/root/", u"/root/", u"", u""},
      {u".hidden", u"", u".hidden", u".hidden"},
      {u"/x/Ä.JPG", u"/x/", u"Ä.JPG", u".jpg"},  // only A–Z are lowered
  };
  for (const auto& c : cases) {
    EXPECT_EQ(directory_part(c.path), c.directory);
    EXPECT_EQ(name_part(c.path), c.name);
    EXPECT_EQ(extension_of(c.path), c.extension);
  }
}

TEST(Path, ProgramFolderEndsWithSeparator) {
  std::u16string folder = program_folder();
  ASSERT_FALSE(folder.empty());
  EXPECT_EQ(folder.back(), u'/');
  EXPECT_EQ(from_fs_path(to_fs_path(u"/tmp/画像")), u"/tmp/画像");
}

}  // namespace
}  // namespace tesmo
