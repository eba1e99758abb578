// `tesmo compile` and the windowless packing run's compile step.
#include <gtest/gtest.h>

#include <fstream>

#include "base/file_io.h"
#include "base/text.h"
#include "run_tesmo.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

using testing::Outcome;
using testing::tesmo_run;

TEST(CompileCommand, CompilesWithTheSourceFolderOrTheGivenBase) {
  testing::TempFolder tmp;
  const std::string dir = tmp.path().string() + "/";
  std::filesystem::create_directories(tmp.path() / "inc");
  std::ofstream(tmp.path() / "inc" / "d.txt", std::ios::binary) << "#define N 5\r\n";
  ASSERT_EQ(tesmo_run({"compile", dir + "inc/d.txt", dir + "bin/inc/d.sce", "--base", dir}).code, 0);
  std::ofstream(tmp.path() / "inc" / "m.txt", std::ios::binary) << "#include \"d.txt\"\r\nwait\r\nN\r\n";
  Outcome ok = tesmo_run({"compile", dir + "inc/m.txt", dir + "m.sce", "--base", dir});
  ASSERT_EQ(ok.code, 0) << ok.err;
  auto module = read_file(tmp.file("m.sce")).value_or(std::vector<uint8_t>{});
  ASSERT_EQ(module.size(), 48u + 6);
  EXPECT_EQ(std::vector<uint8_t>(module.begin() + 48, module.end()), (std::vector<uint8_t>{14, 1, 5, 0, 0, 0}));
  // Without --base the source's folder is the base: inc/bin/ holds no module.
  Outcome missing = tesmo_run({"compile", dir + "inc/m.txt", dir + "m2.sce"});
  EXPECT_EQ(missing.code, 1);
  EXPECT_EQ(missing.err, "コンパイル エラー - " + dir + "inc/m.txt\n    1: #include\n\n  [" + dir +
                             "inc/d.txt]が見つかりません。\n");
  EXPECT_EQ(tesmo_run({"compile", dir + "inc/m.txt"}).code, 2);
  EXPECT_EQ(tesmo_run({"compile", "a", "b", "--bass", "c"}).code, 2);
}

// An include resolves against the source's own folder below the base, whichever of the two paths
// is relative to the working folder or absolute, with or without a trailing separator.
TEST(CompileCommand, IncludesResolveForRelativeAndAbsolutePaths) {
  testing::TempFolder tmp;
  const std::filesystem::path proj = tmp.path() / "proj";
  std::filesystem::create_directories(proj / "lib");
  std::filesystem::create_directories(proj / "src");
  std::ofstream(proj / "lib" / "x.txt", std::ios::binary) << "#define N 7\r\n";
  std::ofstream(proj / "src" / "m.txt", std::ios::binary) << "#include \"../lib/x.txt\"\r\nwait\r\nN\r\n";
  const std::string abs = proj.string();
  ASSERT_EQ(tesmo_run({"compile", abs + "/lib/x.txt", abs + "/bin/lib/x.sce", "--base", abs}).code, 0);
  const std::filesystem::path kept = std::filesystem::current_path();
  std::filesystem::current_path(tmp.path());
  for (const std::string source : {std::string("proj/src/m.txt"), abs + "/src/m.txt"}) {
    for (const std::string base : {std::string("proj"), std::string("proj/"), abs, abs + "/"}) {
      SCOPED_TRACE(source + " --base " + base);
      Outcome r = tesmo_run({"compile", source, abs + "/m.sce", "--base", base});
      EXPECT_EQ(r.code, 0) << r.err;
    }
  }
  std::filesystem::current_path(kept);
}

// A UTF-16 source of odd length has lost part of its last unit: reported as unreadable, no module.
TEST(CompileCommand, AUtf16SourceOfOddLengthIsUnreadable) {
  testing::TempFolder tmp;
  const std::string dir = tmp.path().string() + "/";
  std::string whole("\xFF\xFE", 2);
  for (char c : std::string("#define A 1\r\n")) whole += std::string{c, '\0'};
  std::ofstream(tmp.path() / "odd.txt", std::ios::binary) << whole << 'x';
  Outcome r = tesmo_run({"compile", dir + "odd.txt", dir + "odd.sce"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "コンパイル エラー - " + dir + "odd.txt\n\n  ファイルが開けません。\n");
  EXPECT_FALSE(file_exists(tmp.file("odd.sce")));
  std::ofstream(tmp.path() / "even.txt", std::ios::binary) << whole;
  EXPECT_EQ(tesmo_run({"compile", dir + "even.txt", dir + "even.sce"}).code, 0);
}

TEST(CompileCommand, TheWindowlessPackRunCompilesItsDefinitionHeader) {
  testing::TempFolder tmp;
  std::ofstream(tmp.path() / "set.lst", std::ios::binary) << "\"x.bin\",\r\n";
  Outcome r = tesmo_run({"pack", tmp.path().string() + "/set.lst", "0x2180", "S_"});
  ASSERT_EQ(r.code, 0) << r.out;
  auto module = read_file(tmp.file("fid_set.sce")).value_or(std::vector<uint8_t>{});
  ASSERT_EQ(module.size(), 48u + 2 * 76);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&module[48])), "S_X_BIN");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&module[48 + 76])), "S_MAX");
  EXPECT_EQ(module[48 + 76 + 68], 1);
}

}  // namespace
}  // namespace tesmo
