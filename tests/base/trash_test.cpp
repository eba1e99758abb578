#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/path.h"
#include "base/trash.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

namespace fs = std::filesystem;

std::string read_text(const fs::path& p) {
  std::ifstream in(p);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Two files of one name go to the trash side by side, each with the record of where it came from;
// what cannot be trashed stays where it is.
TEST(Trash, FilesMoveInWithTheirRecordAndNamesStayApart) {
  testing::TempFolder tmp;
  const fs::path root = tmp.path();
  fs::create_directories(root / "pics 1");
  fs::create_directories(root / "写真");
  const fs::path first = root / "pics 1" / "a.bmp", second = root / "写真" / "a.bmp";
  std::ofstream(first) << "one";
  std::ofstream(second) << "two";
  const fs::path trash = root / "trash";

  ASSERT_TRUE(move_to_trash_folder(first.u16string(), trash.u16string()));
  ASSERT_TRUE(move_to_trash_folder(second.u16string(), trash.u16string()));
  EXPECT_FALSE(fs::exists(first));
  EXPECT_FALSE(fs::exists(second));
  EXPECT_EQ(read_text(trash / "files" / "a.bmp"), "one");
  EXPECT_EQ(read_text(trash / "files" / "a 2.bmp"), "two");
  const std::string record = read_text(trash / "info" / "a 2.bmp.trashinfo");
  EXPECT_EQ(record.rfind("[Trash Info]\nPath=" + root.string() + "/%E5%86%99%E7%9C%9F/a.bmp\nDeletionDate=", 0), 0u)
      << record;
  EXPECT_NE(read_text(trash / "info" / "a.bmp.trashinfo").find("/pics%201/a.bmp\n"), std::string::npos);

  const fs::path kept = root / "kept.bmp";
  std::ofstream(kept) << "kept";
  EXPECT_FALSE(move_to_trash_folder(kept.u16string(), u"relative/Trash"));
  EXPECT_FALSE(move_to_trash_folder((root / "missing.bmp").u16string(), trash.u16string()));
  EXPECT_FALSE(move_to_trash_folder(kept.u16string(), u""));
  EXPECT_TRUE(fs::exists(kept));
  EXPECT_FALSE(fs::exists("files"));  // nothing beside the working folder
}

TEST(Trash, TheFolderFollowsTheDataHome) {
  const char* old = std::getenv("XDG_DATA_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_DATA_HOME", "/data/home", 1);
  EXPECT_EQ(user_trash_folder(), u"/data/home/Trash");
  setenv("XDG_DATA_HOME", "relative", 1);  // not absolute: ignored
  const std::u16string fallback = user_trash_folder();
  EXPECT_EQ(fallback.substr(0, 1), u"/");
  EXPECT_EQ(fallback.substr(fallback.size() - 19), u"/.local/share/Trash");
  if (old) setenv("XDG_DATA_HOME", saved.c_str(), 1);
  else unsetenv("XDG_DATA_HOME");
}

}  // namespace
}  // namespace tesmo
