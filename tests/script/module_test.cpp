// Modules on disk: writing, the "bin" tree of includes, macro modules and their calls, and the
// definitions modules that scripts include.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <sys/stat.h>

#include "base/file_io.h"
#include "script_test_util.h"
#include "temp_folder.h"

namespace tesmo {
namespace {

using testing::code_of;
using testing::data_of;
using testing::header_bytes;
using testing::param;
using Bytes = std::vector<uint8_t>;

class ScriptModules : public ::testing::Test {
 protected:
  void put(const char* name, std::string_view text) {
    std::filesystem::create_directories((tmp.path() / name).parent_path());
    std::ofstream(tmp.path() / name, std::ios::binary) << text;
  }
  // Compiles base/NAME.txt into base/bin/NAME.sce, as the tree of includes expects.
  int build(const char* name, std::string_view text) {
    std::string source = std::string(name) + ".txt";
    put(source.c_str(), text);
    return script_compile(compiler, tmp.folder(), tmp.folder() + u"bin/" + u16(name) + u".sce",
                          tmp.file(source.c_str()));
  }
  Bytes module(const char* name) { return read_file(tmp.folder() + u"bin/" + u16(name) + u".sce").value_or(Bytes{}); }
  std::string error() const { return utf16_to_utf8(compiler.error_text); }

  testing::TempFolder tmp;
  ScriptCompiler compiler;
};

// A macro record written out from its field table.
Bytes macro_record(std::string_view name, uint32_t offset, uint32_t length, uint32_t count,
                   std::initializer_list<uint32_t> slots, std::initializer_list<uint8_t> kinds) {
  Bytes r(128, 0);
  std::copy(name.begin(), name.end(), r.begin());
  auto put32 = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) r[at + i] = static_cast<uint8_t>(v >> (8 * i));
  };
  put32(32, offset);
  put32(36, length);
  put32(44, count);
  size_t i = 0;
  for (uint32_t s : slots) put32(48 + 4 * i++, s);
  i = 0;
  for (uint8_t k : kinds) r[112 + i++] = k;
  return r;
}

TEST_F(ScriptModules, AMacroModuleHoldsBodiesAndRecords) {
  ASSERT_EQ(build("lib", "#macro \"addto\" // adds\r\n#type 2 0x3\r\nadd\r\np0, p1\r\n#macro\r\n"
                         "#type 16\r\n#macro \"go\"\r\njump\r\np0\r\n#macro\r\n"), 0) << error();
  Bytes expected = header_bytes(1, 17, 256, 0, 0);
  expected.push_back(0x29);
  param(expected, 32, 0);
  param(expected, 32, 1);
  expected.push_back(0x11);
  param(expected, 32, 0);
  Bytes first = macro_record("addto", 0, 11, 2, {1, 6}, {2, 3});
  Bytes second = macro_record("go", 11, 6, 1, {12}, {16});
  expected.insert(expected.end(), first.begin(), first.end());
  expected.insert(expected.end(), second.begin(), second.end());
  Bytes got = module("lib");
  ASSERT_EQ(got.size(), expected.size());
  EXPECT_TRUE(std::equal(got.begin() + 48, got.end(), expected.begin() + 48));
  EXPECT_TRUE(std::equal(got.begin(), got.begin() + 32, expected.begin()));
}

TEST_F(ScriptModules, MacroCallsCopyTheBodyWithTheArguments) {
  ASSERT_EQ(build("sub/lib", "#macro \"addto\"\r\n#type 2 3\r\nadd\r\np0, p1\r\n#macro\r\n"
                             "#macro \"say\"\r\n#type 4\r\ntrace\r\np0\r\n#macro\r\n"
                             "#macro \"go\"\r\n#type 16\r\njump\r\np0\r\n#macro\r\n"
                             "#macro \"stop\"\r\nret\r\n#macro\r\n"), 0) << error();
  // The include is relative to the including source's folder; ".." is resolved.
  ASSERT_EQ(build("sub/main", "#include \"../sub/lib.txt\"\r\naddto\r\nr2, 5\r\nsay\r\n\"hi\"\r\nsay\r\n\"hi\"\r\n"
                              "go\r\nend\r\nstop\r\nend:\r\n"), 0) << error();
  Bytes program = module("sub/main");
  Bytes code = {0x29};
  param(code, 2, 2);
  param(code, 1, 5);
  code.push_back(0x09);
  param(code, 4, 0);
  code.push_back(0x09);
  param(code, 4, 0);  // the same text shares its string
  code.push_back(0x11);
  param(code, 16, 30);
  code.push_back(0x0D);
  EXPECT_EQ(code_of(program), code);
  EXPECT_EQ(data_of(program), (Bytes{'h', 'i', 0}));
  EXPECT_EQ(testing::le32(program, 16), 4u);
}

TEST_F(ScriptModules, DefinitionsModulesAreIncludedByTheirSource) {
  ASSERT_EQ(build("fid", "#define ONE 1\r\n#define TWO 2\r\n#define FLAG\r\n"), 0) << error();
  ASSERT_EQ(build("main", "#include \"fid.txt\"\r\n#ifdef FLAG\r\nfunc\r\nTWO * 3\r\n#endif\r\n"), 0) << error();
  Bytes code = {0x01};
  param(code, 1, 6);
  EXPECT_EQ(code_of(module("main")), code);
  // A definitions module passes included definitions on, the used flag telling this compilation.
  ASSERT_EQ(build("more", "#include \"fid.txt\"\r\n#define THREE ONE\r\n"), 0) << error();
  Bytes more = module("more");
  ASSERT_EQ(more.size(), 48u + 4 * 76);
  EXPECT_EQ(testing::le32(more, 8), 4u);
  EXPECT_EQ(more[48 + 67], 1);  // ONE
  EXPECT_EQ(more[48 + 76 + 67], 0);
  EXPECT_EQ(more[48 + 3 * 76], 'T');
}

TEST_F(ScriptModules, IncludeErrors) {
  ASSERT_EQ(build("fid", "#define ONE 1\r\n"), 0) << error();
  put("nobin.txt", "");
  const std::string base = utf16_to_utf8(tmp.folder());
  const struct {
    std::string source;
    std::string error;
  } cases[] = {
      {"#include\r\n", "    1: #include\n\n  ファイル名が指定されていません。"},
      {"#include fid.txt\r\n", "    1: \n\n  <文字列型>でありません。"},
      {"#include \"fid.txt\r\n", "    1: \n\n  <文字列型>でありません。"},
      {"#include \"a\tb\"\r\n", "    1: \n\n  <文字列型>でありません。"},
      {"#include \"" + std::string(256, 'x') + "\"\r\n",
       "    1: [" + std::string(255, 'x') + "...]\n\n  <文字列型>: 制限を超えています。"},
      {"#include \"sub\\fid.txt\"\r\n", "    1: #include\n\n  パスに '\\' は使用できません。\n  '/' を使用してください。"},
      {"#include \"fid.txt\" x\r\n", "    1: #include\n\n  行末が不正です。"},
      {"#include \"none.txt\"\r\n", "    1: #include\n\n  [" + base + "none.txt]が見つかりません。"},
      {"#include \"nobin.txt\"\r\n", "    1: #include\n\n  [" + base + "nobin.txt]が見つかりません。"},
      {"#define X 1\r\n#include \"fid.txt\"\r\n", "    2: #include\n\n  [" + base + "fid.txt] のインクルード前に定義が存在します。"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(build("main", c.source), 1) << c.source;
    EXPECT_EQ(error(), c.error) << c.source;
  }
  // A program module is not a library.
  ASSERT_EQ(build("prog", "ret\r\n"), 0);
  EXPECT_EQ(build("main", "#include \"prog.txt\"\r\n"), 1);
  EXPECT_EQ(error(), "    1: #include\n\n  [" + base + "prog.txt]が見つかりません。");
}

TEST_F(ScriptModules, MacroDefinitionErrors) {
  const struct {
    const char* source;
    const char* error;
  } cases[] = {
      {"#macro\r\n", "    1: #macro\n\n  マクロ名が指定されていません。"},
      {"#macro m\r\n", "    1: #macro\n\n  <文字列型>でありません。"},
      {"#macro \"m\" x\r\n", "    1: #macro\n\n  行末が不正です。"},
      {"#macro \"m\"\r\nret\r\n#macro x\r\n", "    3: #macro\n\n  行末が不正です。"},
      {"#macro \"m\"\r\n#type 2\r\nret\r\n#macro\r\n", "    4: \n\n  マクロ内のパラメーター数 (0) が定義 (1) と異なります。"},
      {"#macro \"m\"\r\npush\r\np16\r\n#macro\r\n", "    3: [p16]\n\n  <パラメーター型>: 範囲外の値です。"},
      {"#macro \"m\"\r\npush\r\n\"s\"\r\n#macro\r\n", "    3: [\"s\"]\n\n  マクロ内で文字列は使用できません。"},
      {"#macro \"m\"\r\nmsg\r\nhi@P\r\n#macro\r\n", "    3: [hi@P]\n\n  マクロ内でテキストは使用できません。"},
      {"ret\r\n#macro \"m\"\r\nret\r\n", "    2: #macro\n\n  マクロが閉じられていません。"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(build("m", c.source), 1) << c.source;
    EXPECT_EQ(error(), c.error) << c.source;
  }
}

// Macro modules that other programs or damage produced: every length is checked before use.
TEST_F(ScriptModules, DamagedMacroModulesAreRejected) {
  put("lib.txt", "");
  auto write_module = [&](const Bytes& bytes) {
    ASSERT_EQ(file_replace(tmp.folder() + u"bin/lib.sce", bytes), 0);
  };
  const std::string path = utf16_to_utf8(tmp.folder()) + "bin/lib.sce";
  // A slot position outside the body.
  Bytes bad = header_bytes(1, 6, 128, 0, 0);
  bad.push_back(0x07);
  param(bad, 32, 0);
  Bytes rec = macro_record("m", 0, 6, 1, {3}, {2});
  bad.insert(bad.end(), rec.begin(), rec.end());
  write_module(bad);
  EXPECT_EQ(build("main", "#include \"lib.txt\"\r\n"), 1);
  EXPECT_EQ(error(), "\n\n  マクロ ファイル: [" + path + "]\n  マクロ [m] の定義が不正です。");
  // Lengths beyond the file.
  write_module(header_bytes(1, 1000, 128, 0, 0));
  EXPECT_EQ(build("main", "#include \"lib.txt\"\r\n"), 1);
  EXPECT_EQ(error(), "\n\n  マクロ ファイル: [" + path + "]\n  ファイル サイズ (48 bytes) が不正です。");
  // 321 macros.
  Bytes many = header_bytes(1, 0, 321 * 128, 0, 0);
  many.resize(48 + 321 * 128);
  write_module(many);
  EXPECT_EQ(build("main", "#include \"lib.txt\"\r\n"), 1);
  EXPECT_EQ(error(), "\n\n  マクロ ファイル: [" + path + "]\n  マクロ登録数 (321) が上限 (320) を超えました。");
  // Too large a file.
  Bytes huge = header_bytes(1, 0, 0, 0, 0);
  huge.resize(204801);
  write_module(huge);
  EXPECT_EQ(build("main", "#include \"lib.txt\"\r\n"), 1);
  EXPECT_EQ(error(), "\n\n  マクロ ファイル: [" + path + "]\n  ファイル サイズ (204801 bytes) が不正です。");
  // A definitions module whose records run past its end, and one without records.
  Bytes defs = header_bytes(2, 2, 0, 0, 0);
  defs.resize(48 + 76);
  write_module(defs);
  EXPECT_EQ(build("main", "#include \"lib.txt\"\r\n"), 1);
  EXPECT_EQ(error(), "    1: #include\n\n  [" + path + "] が開けません。");
  write_module(header_bytes(2, 0, 0, 0, 0));
  EXPECT_EQ(build("main", "#include \"lib.txt\"\r\n"), 1);
  EXPECT_EQ(error(), "    1: #include\n\n  [" + path + "] のファイル サイズが 0 です。");
}

TEST_F(ScriptModules, OutputIsReplacedOnlyAfterASuccessfulCompilation) {
  ASSERT_EQ(build("p", "ret\r\n"), 0);
  Bytes good = module("p");
  ASSERT_EQ(good.size(), 49u);
  // The header's time is the source's last-write time in local time.
  struct stat st {};
  ASSERT_EQ(::stat((tmp.path() / "p.txt").c_str(), &st), 0);
  std::tm tm{};
  localtime_r(&st.st_mtim.tv_sec, &tm);
  EXPECT_EQ(good[32] | (good[33] << 8), tm.tm_year + 1900);
  EXPECT_EQ(good[34], tm.tm_mon + 1);
  EXPECT_EQ(good[36], tm.tm_wday);
  EXPECT_EQ(good[38], tm.tm_mday);
  EXPECT_EQ(good[44], tm.tm_sec);
  EXPECT_EQ(build("p", "bad\r\n"), 1);
  EXPECT_EQ(module("p"), good);
  // A missing source and an output that cannot be written have messages without a line.
  EXPECT_EQ(script_compile(compiler, tmp.folder(), tmp.file("x.sce"), tmp.file("missing.txt")), 1);
  EXPECT_EQ(error(), "\n  ファイルが開けません。");
  EXPECT_EQ(compiler.error_line, 0);
  std::filesystem::create_directories(tmp.path() / "dir.sce");
  put("q.txt", "ret\r\n");
  EXPECT_EQ(script_compile(compiler, tmp.folder(), tmp.file("dir.sce"), tmp.file("q.txt")), 1);
  EXPECT_EQ(error(), "\n  write SCE file - failed.");
}

}  // namespace
}  // namespace tesmo
