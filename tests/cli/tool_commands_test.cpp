// `tesmo path` and `tesmo lst`.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/file_io.h"
#include "run_tesmo.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

using testing::Outcome;
using testing::tesmo_run;

std::string text_of(const std::filesystem::path& p) {
  auto data = read_file(from_fs_path(p));
  return data ? std::string(data->begin(), data->end()) : "<missing>";
}

TEST(ToolCommands, PathWritesTheTable) {
  testing::TempFolder tmp;
  const std::string out = (tmp.path() / "t.txt").string();
  ASSERT_EQ(tesmo_run({"path", "0", "100", "0", "3", "0", out}).code, 0);
  EXPECT_EQ(text_of(tmp.path() / "t.txt"), "\t{100.000000f},\r\n\t{50.000000f},\r\n\t{0.000000f},\r\n");
  ASSERT_EQ(tesmo_run({"path", "3", "90", "90", "1.0", "+1.0", out}).code, 0);
  EXPECT_EQ(text_of(tmp.path() / "t.txt"), "\t{4096, 0},\r\n");

  Outcome big = tesmo_run({"path", "1", "0", "1", "1e7", "0", out});
  EXPECT_EQ(big.code, 1);
  EXPECT_EQ(big.err, "tesmo: the table is larger than 1 MiB\n");
  EXPECT_EQ(text_of(tmp.path() / "t.txt"), "\t{4096, 0},\r\n");
  for (std::vector<std::string> bad : {std::vector<std::string>{"path", "5", "0", "1", "1", "1", out},
                                       {"path", "0", "0", "4294967296", "1", "1", out},
                                       {"path", "0", "0", "1", "1,5", "1", out},
                                       {"path", "0", "0", "1", "1", "1"}}) {
    EXPECT_EQ(tesmo_run(bad).code, 2) << bad[1] << " " << bad[3] << " " << bad[4];
  }
}

TEST(ToolCommands, LstListsAFolderOrFails) {
  testing::TempFolder tmp;
  std::filesystem::create_directories(tmp.path() / "set" / "sub");
  std::ofstream(tmp.path() / "set" / "sub" / "x.bin", std::ios::binary) << "x";
  Outcome ok = tesmo_run({"lst", (tmp.path() / "set").string()});
  ASSERT_EQ(ok.code, 0) << ok.err;
  EXPECT_EQ(ok.out, "files: 1\n");
  EXPECT_EQ(text_of(tmp.path() / "set" / "output.lst"), "\"sub/x.bin\",\r\n");
  EXPECT_EQ(tesmo_run({"lst", (tmp.path() / "set" / "sub" / "none").string()}).code, 1);
  EXPECT_EQ(tesmo_run({"lst"}).code, 2);
}

}  // namespace
}  // namespace tesmo
