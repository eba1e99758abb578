#include "tools/pack/pack_run.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "pack_fixture.h"
#include "pack_test_util.h"
#include "tools/pack/block.h"

namespace tesmo {
namespace {

using testing::bytes_of;
using testing::PackFolder;

std::string data_text(const std::optional<std::vector<uint8_t>>& d) {
  return d ? std::string(d->begin(), d->end()) : "<none>";
}

TEST(PackText, FourOutputsByteForByte) {
  PackFolder f;
  f.write_sized("a.bmp", 100);
  f.write_sized("sub/long_name.txt", 10);
  f.write_sized("c", 5);
  ASSERT_EQ(f.run("\"a.bmp\",\n\"sub/long_name.txt\",\n//#Z:1\n\"c\",\n", 0xF1), 0);
  EXPECT_EQ(f.text("fid_list_id.txt"),
            "\tFID_A_BMP,\r\n"
            "\tFID_SUB_LONG_NAME_TXT,\r\n"
            "\tFID_DUMMY_0000,\r\n"
            "\tFID_C,\r\n"
            "\tFID_MAX\r\n");
  EXPECT_EQ(f.text("fid_list_offset.txt"),
            "\t    2048,\t\t// FID_A_BMP\r\n"
            "\t    4096,\t\t// FID_SUB_LONG_NAME_TXT\r\n"
            "\t    6144,\t\t// FID_DUMMY_0000\r\n"
            "\t    6144,\t\t// FID_C\r\n"
            "\t    6149\r\n");
  EXPECT_EQ(f.text("fid_list_size.txt"),
            "\t     100,\t\t// FID_A_BMP\r\n"
            "\t      10,\t\t// FID_SUB_LONG_NAME_TXT\r\n"
            "\t       0,\t\t// FID_DUMMY_0000\r\n"
            "\t       5,\t\t// FID_C\r\n"
            "\t       0\r\n");
  EXPECT_EQ(f.text("fid_list.txt"),
            "#define FID_A_BMP             0\r\n"
            "#define FID_SUB_LONG_NAME_TXT 1\r\n"
            "//#define FID_DUMMY_0000      2\r\n"
            "#define FID_C                 3\r\n"
            "#define FID_MAX               4\r\n");
}

TEST(PackText, DefinitionWidthsAtTheirLimits) {
  Packer p;
  p.prefix = "LONG_PREFIX_";
  p.entries.resize(2);
  p.entries[0].identifier = "LONG_PREFIX_";  // D = 1 on a name without a dot
  p.entries[1].identifier = "LONG_PREFIX_AB";
  p.entries[1].dummy = true;
  p.longest_identifier = 14;
  EXPECT_EQ(pack_text(p, PackText::Definitions),
            "#define LONG_PREFIX_   0\r\n"
            "//#define LONG_PREFIX_AB 1\r\n"  // no room left: no padding
            "#define LONG_PREFIX_MAX 2\r\n");
  p.entries[0].offset = 0xFFFFFFFF;  // a source that was not found
  EXPECT_EQ(pack_text(p, PackText::Offsets), "\t      -1,\t\t// LONG_PREFIX_\r\n\t       0,\t\t// LONG_PREFIX_AB\r\n\t       0\r\n");
}

TEST(PackText, NamesComeFromTheArchive) {
  EXPECT_EQ(pack_text_name(u"/x/y.v2/data.dat", PackText::Identifiers), u"fid_data_id.txt");
  EXPECT_EQ(pack_text_name(u"/x/data.old.dat", PackText::Offsets), u"fid_data.old_offset.txt");
  EXPECT_EQ(pack_text_name(u"/x/data", PackText::Sizes), u"fid_data_size.txt");
  EXPECT_EQ(pack_text_name(u"data.dat", PackText::Definitions), u"fid_data.txt");
}

TEST(PackText, Cleaning) {
  struct Case {
    const char* in;
    const char* out;
  };
  const Case cases[] = {
      {"", ""},
      {"a", "a\r\n"},
      {"a\nb\n", "a\r\nb\r\n"},  // the result may be longer than the input
      {"  a  \r\n\r\n\n// gone\r\n  // kept\n", "a\r\n// kept\r\n"},
      {"   \nx\r\r\n", "\r\nx\r\r\n"},  // blanks become an empty line; a lone CR stays
      {"\ta\t\n", "\ta\t\r\n"},         // only spaces are trimmed
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    auto out = text_clean(bytes_of(c.in));
    EXPECT_EQ(std::string(out.begin(), out.end()), c.out);
  }
}

TEST(PackRun, LevelsJpegCleaningAndScrambling) {
  PackFolder f;
  auto text = testing::sample_text(20000);
  f.write("t.bin", text);
  f.write("p.jpg", std::string(3000, 'j'));
  f.write("q.JPG", std::string(3000, 'k'));
  f.write("n.txt", "  line one  \n// comment\n\nline two");
  ASSERT_EQ(f.run("//#C:9\n\"t.bin\",\n//#C:8\n\"t.bin\",\n\"p.jpg\",\n\"q.JPG\",\n"
                  "//#C:-1\n//#T:1\n//#E:0x04030201\n\"n.txt\",\n//#C:6\n\"t.bin\",\n",
                  PackIndependent),
            0);
  auto reader = ArchiveReader::open_file(f.archive());
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->entry_bytes(0), reader->entry_bytes(1));  // level 9 makes level 8's block
  EXPECT_EQ(reader->index()[0].level, 9);
  EXPECT_EQ(reader->index()[2].level, -1);
  EXPECT_EQ(reader->index()[3].level, -1);
  EXPECT_EQ(data_text(reader->entry_bytes(2)), std::string(3000, 'j'));
  EXPECT_EQ(data_text(reader->entry_bytes(3)), std::string(3000, 'k'));
  auto cleaned = reader->entry_bytes(4).value();
  scramble_xor(cleaned, 0x04030201);
  EXPECT_EQ(std::string(cleaned.begin(), cleaned.end()), "line one\r\nline two\r\n");
  auto scrambled = text;  // scrambled before it is blocked
  scramble_xor(scrambled, 0x04030201);
  EXPECT_EQ(reader->entry_data(5), scrambled);
}

TEST(PackRun, MissingSourceContinuesAndLeavesNoArchive) {
  PackFolder f;
  f.write_sized("a.bin", 100);
  f.write_sized("b.bin", 100);
  ASSERT_EQ(f.run("\"a.bin\",\n\"gone/missing.bin\",\n\"b.bin\",\n", PackIndependent | PackOffsetFile), 1);
  ASSERT_EQ(f.packer.errors.size(), 1u);
  EXPECT_EQ(f.packer.errors[0],
            u"dat: ファイルが見つかりません。[" + f.path("gone/missing.bin") + u"], path=[" + f.folder() + u"]");
  EXPECT_EQ(f.packer.entries[1].offset, 0xFFFFFFFFu);
  EXPECT_EQ(f.packer.entries[2].offset, 4096u);  // packed all the same
  EXPECT_FALSE(f.exists("list.dat"));
  EXPECT_FALSE(f.exists("fid_list_offset.txt"));
  // A previous archive goes with a failed run (a build must not take it for this run's output),
  // and no temporary file is left beside it.
  f.write("list.dat", "previous");
  ASSERT_EQ(f.run_again(PackIndependent), 1);
  EXPECT_FALSE(f.exists("list.dat"));
  size_t files = 0;
  for (const auto& e : std::filesystem::directory_iterator(to_fs_path(f.folder()))) files += e.is_regular_file();
  EXPECT_EQ(files, 3u);  // a.bin, b.bin, list.lst
}

TEST(PackRun, PipesAreNeitherListsNorSources) {
  PackFolder f;
  ASSERT_EQ(mkfifo(to_fs_path(f.path("pipe.bin")).c_str(), 0600), 0);
  ASSERT_EQ(f.run("\"pipe.bin\",\n", PackIndependent), 1);  // must not wait for a writer
  ASSERT_EQ(f.packer.errors.size(), 1u);
  EXPECT_EQ(f.packer.errors[0],
            u"dat: ファイルが見つかりません。[" + f.path("pipe.bin") + u"], path=[" + f.folder() + u"]");
  Packer p;
  EXPECT_EQ(pack_run(p, f.archive(), f.path("pipe.bin"), f.folder(), f.folder(), PackIndependent, "F_"), 1);
  EXPECT_EQ(p.errors.at(0), u"lst: ファイル サイズが 0 です。[" + f.path("pipe.bin") + u"]");
}

TEST(PackRun, ArchiveLimitStopsTheRun) {
  PackFolder f;
  f.write_sized("a.bin", 100);
  f.write_sized("b.bin", 2000);
  f.write_sized("c.bin", 10);
  f.setup = [](Packer& p) { p.archive_limit = 5000; };
  ASSERT_EQ(f.run("\"a.bin\",\n\"b.bin\",\n\"c.bin\",\n", PackIndependent), 1);
  ASSERT_EQ(f.packer.errors.size(), 1u);
  EXPECT_EQ(f.packer.errors[0],
            u"dat: アーカイブのファイル サイズが 4 GB を超えました。[" + f.path("b.bin") + u"], path=[" + f.folder() + u"]");
  EXPECT_EQ(f.packer.entries[2].offset, 0u);  // never reached
  EXPECT_FALSE(f.exists("list.dat"));

  f.setup = [](Packer& p) { p.archive_limit = 4100; };
  ASSERT_EQ(f.run("\"a.bin\",\n", PackIndependent), 1);  // the data fits, the index would not
  ASSERT_EQ(f.packer.errors.size(), 1u);
  EXPECT_EQ(f.packer.errors[0],
            u"dat: アーカイブのファイル サイズが 4 GB を超えました。[" + f.path("a.bin") + u"], path=[" + f.folder() + u"]");
  EXPECT_EQ(f.run("\"a.bin\",\n", 0), 0);  // a dependent archive has no index
  EXPECT_EQ(f.run("\"a.bin\",\n//#A:5000\n//#Z:1\n", 0), 1);  // nor room for a dummy past the limit
  EXPECT_EQ(f.packer.errors.size(), 1u);
}

TEST(PackRun, ArchiveAndTextFailures) {
  PackFolder f;
  f.write_sized("a.bin", 10);
  f.write("list.lst", "\"a.bin\",\n");
  std::filesystem::create_directories(to_fs_path(f.path("dir.dat")));
  Packer p;
  EXPECT_EQ(pack_run(p, f.path("dir.dat"), f.path("list.lst"), f.folder(), f.folder(), PackIndependent, "F_"), 1);
  ASSERT_EQ(p.errors.size(), 1u);
  EXPECT_EQ(p.errors[0], u"dat: ファイルが開けません。[" + f.path("dir.dat") + u"]");

  // The offset output is blocked by a folder of its name: the identifiers before it stay written,
  // the sizes after it are not.
  std::filesystem::create_directories(to_fs_path(f.path("fid_list_offset.txt")));
  ASSERT_EQ(f.run_again(PackIdFile | PackOffsetFile | PackSizeFile), 1);
  ASSERT_EQ(f.packer.errors.size(), 1u);
  EXPECT_EQ(f.packer.errors[0], u"txt: エクスポートに失敗しました。[" + f.path("fid_list_offset.txt") + u"]");
  EXPECT_TRUE(f.exists("fid_list_id.txt"));
  EXPECT_FALSE(f.exists("fid_list_size.txt"));
  EXPECT_TRUE(f.exists("list.dat"));
}

TEST(PackRun, NoArchiveAndEmptyLists) {
  PackFolder f;
  ASSERT_EQ(f.run("// nothing to pack\n/*\n\"a.bin\",\n*/\n", 0xF3), 0);
  EXPECT_FALSE(f.exists("list.dat"));
  EXPECT_FALSE(f.exists("fid_list_id.txt"));

  ASSERT_EQ(f.run("\"never_opened.bin\",\n", PackNoArchive | PackIdFile | PackSizeFile), 0);
  EXPECT_FALSE(f.exists("list.dat"));
  EXPECT_EQ(f.text("fid_list_id.txt"), "\tFID_NEVER_OPENED_BIN,\r\n\tFID_MAX\r\n");
  EXPECT_EQ(f.text("fid_list_size.txt"), "\t       0,\t\t// FID_NEVER_OPENED_BIN\r\n\t       0\r\n");
}

TEST(PackRun, JabConversionHook) {
  PackFolder f;
  f.write("a.bmp", "BM-bitmap");
  const char* list = "//#J:1\n//#C:6\n\"a.bmp\",\n";
  ASSERT_EQ(f.run(list, PackIndependent), 0);  // no companion: the BMP itself
  EXPECT_EQ(ArchiveReader::open_file(f.archive())->index()[0].level, 6);

  f.write("z/a.jpg", "jpeg");
  ASSERT_EQ(f.run(list, PackIndependent), 1);  // a companion, but no JAB writer in this build
  ASSERT_EQ(f.packer.errors.size(), 1u);
  EXPECT_EQ(f.packer.errors[0], u"dat: JAB 変換はこのビルドに組み込まれていません。[" + f.path("a.bmp") + u"]");

  std::vector<std::u16string> seen;
  f.setup = [&](Packer& p) {
    p.jab_writer = [&](const std::u16string& bmp, const std::u16string& jpeg, const std::u16string& jab) {
      seen = {bmp, jpeg, jab};
      return file_replace(jab, bytes_of("JAB!"));
    };
  };
  ASSERT_EQ(f.run(list, PackIndependent), 0);
  EXPECT_EQ(seen, (std::vector<std::u16string>{f.path("a.bmp"), f.path("z/a.jpg"), f.path("z/a.jab")}));
  auto reader = ArchiveReader::open_file(f.archive());
  EXPECT_EQ(reader->index()[0].level, -1);
  EXPECT_EQ(data_text(reader->entry_data(0)), "JAB!");
  EXPECT_FALSE(f.exists("z/a.jab"));  // deleted once packed
}

TEST(PackRun, CompileHook) {
  PackFolder f;
  f.write_sized("a.bin", 10);
  const char* list = "\"a.bin\",\n";
  const std::u16string source = f.path("fid_list.txt");
  ASSERT_EQ(f.run(list, PackDefineFile | PackCompileDefine), 1);
  ASSERT_EQ(f.packer.errors.size(), 1u);
  EXPECT_EQ(f.packer.errors[0], u"txt: スクリプト コンパイラはこのビルドに組み込まれていません。[" + source + u"]");

  std::vector<std::u16string> seen;
  int answer = 1;
  f.setup = [&](Packer& p) {
    p.define_compiler = [&](const std::u16string& src, const std::u16string& module, const std::u16string& base,
                            std::u16string& error_text) {
      seen = {src, module, base};
      error_text = u"    3: 未定義のシンボル";
      return answer;
    };
  };
  ASSERT_EQ(f.run(list, PackDefineFile | PackCompileDefine), 1);
  EXPECT_EQ(seen, (std::vector<std::u16string>{source, f.path("fid_list.sce"), f.folder()}));
  ASSERT_EQ(f.packer.errors.size(), 1u);
  EXPECT_EQ(f.packer.errors[0], u"txt: 定義ファイルのコンパイルに失敗しました。[" + source + u"]\n    3: 未定義のシンボル");
  answer = 0;
  EXPECT_EQ(f.run(list, PackDefineFile | PackCompileDefine), 0);
  seen.clear();
  EXPECT_EQ(f.run(list, PackCompileDefine), 0);  // without the definitions nothing is compiled
  EXPECT_TRUE(seen.empty());
}

TEST(PackRun, ProgressReportsEachEntry) {
  PackFolder f;
  f.write_sized("a.bin", 10);
  std::vector<std::string> calls;
  f.setup = [&](Packer& p) {
    p.progress.start = [&](const std::u16string& base, size_t count) {
      calls.push_back("start " + std::to_string(count) + (base == f.folder() ? " base" : " ?"));
    };
    p.progress.entry = [&](const PackEntry& e, size_t done, size_t count) {
      calls.push_back(e.name + " " + utf16_to_utf8(pack_progress_text(done, count)));
    };
  };
  ASSERT_EQ(f.run("\"a.bin\",\n//#Z:1\n\"a.bin\",\n", 0), 0);
  EXPECT_EQ(calls, (std::vector<std::string>{"start 3 base", "a.bin  33% (1/3)", "dummy_0000  66% (2/3)",
                                             "a.bin 100% (3/3)"}));
}

std::string windowless(PackFolder& f, const std::u16string& list, uint32_t options, bool& ok) {
  char* text = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  Packer p;
  ok = pack_run_windowless(p, list, options, u"ＩＤ_", out) == 0;
  std::fclose(out);
  std::string result(text, size);
  std::free(text);
  (void)f;
  return result;
}

TEST(PackRun, WindowlessLines) {
  PackFolder f;
  f.write_sized("a.bin", 10);
  f.write("list.lst", "\"a.bin\",\n\"b.bin\",\n");
  bool ok = true;
  std::string lines = windowless(f, f.path("list.lst"), 0xF1, ok);
  EXPECT_FALSE(ok);
  std::string list = utf16_to_utf8(f.path("list.lst"));
  EXPECT_EQ(lines, "[error] dat: ファイルが見つかりません。[" + utf16_to_utf8(f.path("b.bin")) + "], path=[" +
                       utf16_to_utf8(f.folder()) + "].\npack: [" + list +
                       "], option=0x000000F1, prefix=[ＩＤ_] - failed.\n");

  f.write("plain", "\"a.bin\",\n");
  lines = windowless(f, f.path("plain"), 0x41, ok);
  EXPECT_TRUE(ok);
  EXPECT_EQ(lines, "pack: [" + utf16_to_utf8(f.path("plain")) + "], option=0x00000041, prefix=[ＩＤ_] - complete.\n");
  EXPECT_TRUE(f.exists("plain.dat"));
  EXPECT_EQ(f.text("fid_plain_id.txt"), "\t\x82\x68\x82\x63_A_BIN,\r\n\t\x82\x68\x82\x63_MAX\r\n");  // CP932 prefix
}

}  // namespace
}  // namespace tesmo
