// The packing run's definition header compiled into a definitions module through the hook.
#include <gtest/gtest.h>

#include <fstream>

#include "base/file_io.h"
#include "script_test_util.h"
#include "temp_folder.h"
#include "tools/pack/pack_run.h"

namespace tesmo {
namespace {

using Bytes = std::vector<uint8_t>;

void record(Bytes& out, std::string_view name, int32_t value, uint32_t hash) {
  Bytes r(76, 0);
  std::copy(name.begin(), name.end(), r.begin());
  r[64] = 1;
  for (int i = 0; i < 4; ++i) r[68 + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
  for (int i = 0; i < 4; ++i) r[72 + i] = static_cast<uint8_t>(hash >> (8 * i));
  out.insert(out.end(), r.begin(), r.end());
}

class PackDefinitions : public ::testing::Test {
 protected:
  int run(std::string_view list) {
    std::ofstream(tmp.path() / "data.lst", std::ios::binary) << list;
    packer.define_compiler = script_compile_definitions;
    ::testing::internal::CaptureStderr();  // the compiler's debug output
    int result = pack_run(packer, tmp.file("data.dat"), tmp.file("data.lst"), tmp.folder() + u"script/",
                          tmp.folder(), PackDefineFile | PackCompileDefine | PackNoArchive, "P_");
    debug = ::testing::internal::GetCapturedStderr();
    return result;
  }
  testing::TempFolder tmp;
  Packer packer;
  std::string debug;
};

TEST_F(PackDefinitions, TheDefinitionHeaderBecomesADefinitionsModule) {
  ASSERT_EQ(run("\"a.bmp\",\r\n//#Z:1\r\n\"b.txt\",\r\n"), 0);
  // The dummy's line is commented out; the count still includes it.
  Bytes expected = testing::header_bytes(2, 3, 0, 0, 0);
  record(expected, "P_A_BMP", 0, 0x5a8be272);
  record(expected, "P_B_TXT", 2, 0x5aa8dd40);
  record(expected, "P_MAX", 3, 0x093addd5);
  Bytes module = read_file(tmp.folder() + u"script/fid_data.sce").value_or(Bytes{});
  ASSERT_EQ(module.size(), expected.size());
  EXPECT_TRUE(std::equal(module.begin() + 48, module.end(), expected.begin() + 48));
  EXPECT_TRUE(std::equal(module.begin(), module.begin() + 32, expected.begin()));
}

TEST_F(PackDefinitions, ACompileFailureIsOneErrorListEntry) {
  ASSERT_EQ(run("\"a.bmp\",\r\n\"a.bmp\",\r\n"), 1);
  const std::string source = utf16_to_utf8(tmp.folder()) + "fid_data.txt";
  ASSERT_EQ(packer.errors.size(), 1u);
  EXPECT_EQ(utf16_to_utf8(packer.errors[0]), "txt: 定義ファイルのコンパイルに失敗しました。[" + source +
                                                 "]\n    2: [P_A_BMP]\n\n  定義名が重複しています。");
  EXPECT_EQ(debug, "コンパイル エラー - " + source + "\n    2: [P_A_BMP]\n\n  定義名が重複しています。\n");
  EXPECT_FALSE(file_exists(tmp.folder() + u"script/fid_data.sce"));
}

}  // namespace
}  // namespace tesmo
