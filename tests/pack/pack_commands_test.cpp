// The pack tools through `tesmo`: blocks, the packing run and archives read back entry for entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <signal.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "app/command_line.h"
#include "app/windowless.h"
#include "cli/commands.h"
#include "devtools/pack_worker.h"
#include "formats/bmp/bmp.h"
#include "formats/jab/jab.h"
#include "formats/jpeg/jpeg.h"
#include "formats/registry.h"
#include "pack_fixture.h"
#include "pack_test_util.h"
#include "tests/cli/run_tesmo.h"
#include "tools/pack/archive.h"
#include "tools/pack/block.h"

namespace tesmo {
namespace {

using testing::PackFolder;

using testing::Outcome;
using testing::tesmo_run;

std::string u8(const std::u16string& s) { return utf16_to_utf8(s); }

TEST(PackCommands, EmbeddedArchiveListsItsPicturesAndExtractsThem) {
  Outcome listed = tesmo_run({"archive", "list", "--embedded"});
  ASSERT_EQ(listed.code, 0);
  std::vector<std::string> lines;
  for (size_t at = 0, end; (end = listed.out.find('\n', at)) != std::string::npos; at = end + 1) {
    lines.push_back(listed.out.substr(at, end - at));
  }
  ASSERT_EQ(lines.size(), 69u);
  EXPECT_TRUE(lines[0].starts_with("0 2048 ")) << lines[0];
  EXPECT_TRUE(lines[0].ends_with(" 6 0 16x16")) << lines[0];
  EXPECT_TRUE(lines[16].ends_with(" 6 0 721x560")) << lines[16];
  EXPECT_TRUE(lines[19].ends_with(" 6 0 44x63")) << lines[19];
  EXPECT_TRUE(lines[68].starts_with("68 ")) << lines[68];
  EXPECT_TRUE(lines[68].ends_with(" 6 0 320x161")) << lines[68];

  PackFolder f;
  const std::string out = u8(f.path("star.bmp"));
  ASSERT_EQ(tesmo_run({"archive", "extract", "--embedded", "1", out}).code, 0);
  auto bmp = f.bytes("star.bmp");
  ASSERT_EQ(bmp.size(), 54u + 16 * 16 * 4);  // a 32-bit 16 × 16 BMP
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(tesmo_run({"archive", "extract", "--embedded", "69", out}).code, 1);
}

TEST(PackCommands, BlocksRoundTripThroughFiles) {
  PackFolder f;
  auto text = testing::sample_text(30000);
  f.write("in.bin", text);
  const std::string in = u8(f.path("in.bin")), block = u8(f.path("b.blk")), back = u8(f.path("back.bin"));
  for (const std::vector<std::string>& make : {std::vector<std::string>{"block", "deflate", in, block, "9"},
                                               std::vector<std::string>{"block", "lzss", in, block}}) {
    SCOPED_TRACE(make[1]);
    ASSERT_EQ(tesmo_run(make).code, 0);
    ASSERT_EQ(tesmo_run({"block", "expand", block, back}).code, 0);
    EXPECT_EQ(f.bytes("back.bin"), text);
  }
  EXPECT_EQ(tesmo_run({"block", "expand", in, back}).code, 1);  // not a block
  EXPECT_EQ(tesmo_run({"block", "deflate", in, block, "10"}).code, 2);
  EXPECT_EQ(tesmo_run({"block", "squeeze", in, block}).code, 2);
  EXPECT_EQ(tesmo_run({"block", "lzss", u8(f.path("none")), block}).code, 1);
}

TEST(PackCommands, PackedArchiveReadsBackEntryForEntry) {
  PackFolder f;
  f.write("pics/a.bmp", testing::random_bytes(5000));
  f.write("pics/b.txt", testing::sample_text(9000));
  f.write("c.jpg", std::string(700, 'j'));
  f.write("list.lst", "//#C:6\n\"pics/a.bmp\",\n//#C:10\n//#F:3\n\"pics/b.txt\",\n//#Z:1\n\"c.jpg\",\n");
  Outcome packed = tesmo_run({"pack", u8(f.path("list.lst")), "0xF1", "FID_"});
  ASSERT_EQ(packed.code, 0);
  EXPECT_EQ(packed.out, "pack: [" + u8(f.path("list.lst")) + "], option=0x000000F1, prefix=[FID_] - complete.\n");
  EXPECT_TRUE(f.exists("fid_list.txt"));

  // The archive's index agrees with the offset and size texts of the same run.
  auto numbers = [&](const char* name) {
    std::vector<long> v;
    std::string text = f.text(name);
    for (size_t at = 0; at < text.size(); at = text.find('\n', at) + 1) v.push_back(std::stol(text.substr(at + 1)));
    return v;
  };
  std::vector<long> offsets = numbers("fid_list_offset.txt"), sizes = numbers("fid_list_size.txt");
  ASSERT_EQ(offsets.size(), 5u);
  ASSERT_EQ(sizes.size(), 5u);
  const char* levels_and_values[] = {" 6 0", " 10 3", " -1 3", " -1 3"};
  std::string expected;
  for (int i = 0; i < 4; ++i) {
    expected += std::to_string(i) + " " + std::to_string(offsets[i]) + " " + std::to_string(sizes[i]) +
                levels_and_values[i] + "\n";
  }
  Outcome listed = tesmo_run({"archive", "list", u8(f.archive())});
  ASSERT_EQ(listed.code, 0);
  EXPECT_EQ(listed.out, expected);
  EXPECT_EQ(offsets[0], 2048);
  EXPECT_EQ(sizes[0], 5016);  // random bytes: stored
  const char* sources[] = {"pics/a.bmp", "pics/b.txt", nullptr, "c.jpg"};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    ASSERT_EQ(tesmo_run({"archive", "extract", u8(f.archive()), std::to_string(i), u8(f.path("out.bin"))}).code, 0);
    EXPECT_EQ(f.bytes("out.bin"), sources[i] ? f.bytes(sources[i]) : std::vector<uint8_t>{});
  }
  EXPECT_EQ(tesmo_run({"archive", "extract", u8(f.archive()), "4", u8(f.path("out.bin"))}).code, 1);
  EXPECT_EQ(tesmo_run({"archive", "list", u8(f.path("c.jpg"))}).code, 1);
  EXPECT_EQ(tesmo_run({"pack", u8(f.path("list.lst")), "many", "FID_"}).code, 2);

  f.write("bad.lst", "\"missing.bin\",\n");
  Outcome failed = tesmo_run({"pack", u8(f.path("bad.lst")), "1", "FID_"});
  EXPECT_EQ(failed.code, 1);
  EXPECT_NE(failed.out.find("[error] dat: ファイルが見つかりません。"), std::string::npos);
  EXPECT_NE(failed.out.find("option=0x00000001, prefix=[FID_] - failed.\n"), std::string::npos);
}

// A failed run leaves no archive at its target: neither a partial one nor the previous run's,
// which a build could take for this run's output.
TEST(PackCommands, AFailedRunLeavesNoArchive) {
  PackFolder f;
  f.write("a.bin", testing::random_bytes(3000));
  for (const char* options : {"0x1", "0x0"}) {  // independent and dependent archives
    SCOPED_TRACE(options);
    f.write("list.lst", "\"a.bin\",\n");
    ASSERT_EQ(tesmo_run({"pack", u8(f.path("list.lst")), options, "FID_"}).code, 0);
    ASSERT_TRUE(f.exists("list.dat"));
    f.write("list.lst", "\"a.bin\",\n\"missing.bin\",\n");
    EXPECT_EQ(tesmo_run({"pack", u8(f.path("list.lst")), options, "FID_"}).code, 1);
    EXPECT_FALSE(f.exists("list.dat"));
  }
}

// The temporaries beside an archive: names that start with "." + the archive's name.
size_t temporaries_of(const PackFolder& f, const std::string& archive_name) {
  size_t n = 0;
  for (const auto& e : std::filesystem::directory_iterator(to_fs_path(f.folder()))) {
    n += e.path().filename().string().rfind("." + archive_name + ".", 0) == 0;
  }
  return n;
}

// A process id that no running process has: a child's, after it ended.
pid_t ended_process() {
  const pid_t child = fork();
  if (child == 0) _exit(0);
  waitpid(child, nullptr, 0);
  return child;
}

// A run removes the temporaries a killed run of the same target left behind (a running process's
// stay), and its own temporary never survives it.
TEST(PackCommands, ARunRemovesTheStaleTemporariesOfItsTarget) {
  PackFolder f;
  f.write("a.bin", testing::random_bytes(3000));
  f.write("list.lst", "\"a.bin\",\n");
  const std::string stale = ".list.dat.tesmo-tmp." + std::to_string(ended_process()) + ".0";
  const std::string running = ".list.dat.tesmo-tmp." + std::to_string(getpid()) + ".999";
  f.write(stale.c_str(), std::string(5000, 's'));
  f.write(running.c_str(), std::string(10, 'r'));
  f.write(".other.dat.tesmo-tmp.1.0", "another target's");
  ASSERT_EQ(tesmo_run({"pack", u8(f.path("list.lst")), "0x1", "FID_"}).code, 0);
  EXPECT_FALSE(f.exists(stale.c_str()));
  EXPECT_TRUE(f.exists(running.c_str()));
  EXPECT_TRUE(f.exists(".other.dat.tesmo-tmp.1.0"));
  EXPECT_EQ(temporaries_of(f, "list.dat"), 1u);
}

// SIGTERM in the middle of a run, from either entry (the toolbox, or the viewer's windowless run):
// the temporary being written goes with the process.
TEST(PackCommands, ASignalRemovesTheTemporaryBeingWritten) {
  PackFolder f;
  std::string list = "//#C:9\n";
  for (int i = 0; i < 4; ++i) {
    const std::string name = "big" + std::to_string(i) + ".bin";
    f.write(name.c_str(), testing::random_bytes(8u << 20, static_cast<uint32_t>(i + 1)));
    list += "\"" + name + "\",\n";
  }
  f.write("list.lst", list);
  const std::string lst = u8(f.path("list.lst"));
  const std::function<int()> entries[] = {
      [&] {
        const char* argv[] = {"tesmo", "pack", lst.c_str(), "0x1", "FID_"};
        return cli::run(5, argv);
      },
      [&] {
        return run_windowless(parse_command_line({u"tesmo64", f.path("list.lst"), u"/vardo", u"0x1", u"FID_"}))
            .value_or(-1);
      },
  };
  for (const auto& entry : entries) {
    const pid_t child = fork();
    if (child == 0) _exit(entry());
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (temporaries_of(f, "list.dat") == 0 && std::chrono::steady_clock::now() < give_up) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(temporaries_of(f, "list.dat"), 1u);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    kill(child, SIGTERM);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status));  // the run was still going
    EXPECT_EQ(WTERMSIG(status), SIGTERM);
    EXPECT_EQ(temporaries_of(f, "list.dat"), 0u);
    EXPECT_FALSE(f.exists("list.dat"));
  }
}

// A picture with a varied alpha channel, for the J directive.
std::vector<uint32_t> jab_picture(int w, int h) {
  std::vector<uint32_t> px;
  for (int i = 0; i < w * h; ++i) px.push_back(uint32_t(i * 29 % 256) << 24 | (0x406080u + uint32_t(i % w)));
  return px;
}

TEST(PackCommands, JDirectiveStoresMadeJabFilesAndDeletesThem) {
  PackFolder f;
  const int w = 20, h = 12;
  const std::vector<uint32_t> px = jab_picture(w, h);
  const std::vector<uint8_t> jpeg = jpeg::encode(px, w, h, 1, 90, {}).value_or(std::vector<uint8_t>{});
  ASSERT_FALSE(jpeg.empty());
  std::vector<uint8_t> alpha;
  for (uint32_t p : px) alpha.push_back(uint8_t(p >> 24));
  f.write("pics/a.bmp", bmp::encode(px, w, h, 6));    // 32-bit, with a companion: becomes JAB
  f.write("pics/z/a.jpg", jpeg);
  f.write("pics/b.bmp", bmp::encode(px, w, h, 6));    // no companion: packed as it is
  f.write("pics/c.BMP", bmp::encode(px, w, h, 0));    // 16-bit: the writer refuses, the BMP is packed
  f.write("pics/z/c.jpg", jpeg);
  f.write("pics/d.bmp", bmp::encode(px, w, h, 6));    // before the J directive: not converted
  f.write("pics/z/d.jpg", jpeg);
  f.write("list.lst", "//#C:9\n\"pics/d.bmp\",\n//#J:1\n\"pics/a.bmp\",\n\"pics/b.bmp\",\n\"pics/c.BMP\",\n");
  Outcome packed = tesmo_run({"pack", u8(f.path("list.lst")), "1", "FID_"});
  ASSERT_EQ(packed.code, 0) << packed.out;
  EXPECT_EQ(packed.out.find("[error]"), std::string::npos);
  EXPECT_FALSE(f.exists("pics/z/a.jab"));
  EXPECT_FALSE(f.exists("pics/z/c.jab"));

  auto reader = ArchiveReader::open_file(f.archive());
  ASSERT_TRUE(reader);
  ASSERT_EQ(reader->count(), 4u);
  const int32_t levels[] = {9, -1, 9, 9};
  for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(reader->index()[i].level, levels[i]) << i;
  for (uint32_t i : {0u, 2u, 3u}) {
    std::optional<std::vector<uint8_t>> block = reader->entry_bytes(i);
    ASSERT_TRUE(block);
    EXPECT_EQ(block_header(*block)->method, uint32_t(BlockMethod::Deflate)) << i;
    EXPECT_EQ(block_decode(*block), f.bytes(i == 0 ? "pics/d.bmp" : i == 2 ? "pics/b.bmp" : "pics/c.BMP")) << i;
  }

  // Entry 1 is the JAB file, stored unchanged, and opens with the BMP's alpha.
  std::optional<std::vector<uint8_t>> jab_file = reader->entry_bytes(1);
  ASSERT_TRUE(jab_file);
  EXPECT_EQ(jab_file, jab::encode(jpeg, alpha, w, h));
  ImageFile image = image_file_create(false);
  ASSERT_EQ(image_probe_memory(image, *jab_file), 0);
  EXPECT_EQ(image.format, kFormatJab);
  std::vector<uint32_t> out(px.size());
  image_decode(image, out);
  for (size_t i = 0; i < px.size(); ++i) EXPECT_EQ(out[i] >> 24, px[i] >> 24) << i;
}

TEST(PackCommands, BenchBlockPrintsMedianAndSize) {
  PackFolder f;
  f.write("in.bin", testing::sample_text(10000));
  Outcome lzss = tesmo_run({"bench", "block", u8(f.path("in.bin")), "lzss", "--repeat", "2"});
  ASSERT_EQ(lzss.code, 0);
  EXPECT_NE(lzss.out.find("block_ms_median: "), std::string::npos);
  Outcome deflate = tesmo_run({"bench", "block", u8(f.path("in.bin")), "deflate", "6", "--repeat", "1"});
  ASSERT_EQ(deflate.code, 0);
  EXPECT_NE(deflate.out.find("block_bytes: "), std::string::npos);
  EXPECT_EQ(tesmo_run({"bench", "block", u8(f.path("in.bin")), "deflate"}).code, 2);
  EXPECT_EQ(tesmo_run({"bench", "block", u8(f.path("in.bin")), "deflate", "11"}).code, 2);
}

// Everything a packing run leaves: its lines, the archive, the header texts and the names of the files in the folder (no made JAB file or temporary may stay). The outputs
// are deleted, so that the next run starts from the same folder.
std::vector<std::string> run_outputs(PackFolder& f, const std::string& lines) {
  std::vector<std::string> outputs{lines};
  for (const char* name : {"list.dat", "fid_list_id.txt", "fid_list_offset.txt", "fid_list_size.txt", "fid_list.txt"}) {
    const std::vector<uint8_t> bytes = f.bytes(name);
    outputs.push_back(name + std::string(": ") + std::string(bytes.begin(), bytes.end()));
    file_delete(f.path(name));
  }
  std::vector<std::string> files;
  for (const auto& e : std::filesystem::recursive_directory_iterator(to_fs_path(f.folder()))) {
    files.push_back(e.path().string());
  }
  std::sort(files.begin(), files.end());
  outputs.insert(outputs.end(), files.begin(), files.end());
  return outputs;
}

// The lines of the windowless run of the folder's list on `jobs` threads, as the viewer wires it.
std::string windowless_lines(PackFolder& f, unsigned jobs, uint64_t archive_limit) {
  char* text = nullptr;
  size_t size = 0;
  std::FILE* out = open_memstream(&text, &size);
  Packer packer;
  attach_pack_tools(packer);
  packer.jobs = jobs;
  packer.archive_limit = archive_limit;
  pack_run_windowless(packer, f.path("list.lst"), 0xF3, u"FID_", out);
  std::fclose(out);
  std::string lines(text, size);
  std::free(text);
  return lines;
}

// Entries prepared on several threads leave what the run on one thread leaves, byte for byte,
// whatever order the threads finish in: every directive (with one BMP converted to JAB twice),
// missing sources behind a slow entry (the messages keep the list order), and runs that stop
// half-way while later entries are already prepared.
TEST(PackCommands, ParallelRunsLeaveWhatTheSequentialRunLeaves) {
  PackFolder f;
  f.write("slow.bin", testing::sample_text(1u << 20));  // LZSS: the last to be ready
  f.write("noise.bin", testing::random_bytes(300000));
  f.write("mid.bin", testing::random_bytes(40000, 2));
  f.write("small.txt", "  kept  \n// dropped\n\nlast");
  f.write("pic.jpg", std::string(5000, 'j'));
  const std::vector<uint32_t> px = jab_picture(20, 12);
  f.write("pics/a.bmp", bmp::encode(px, 20, 12, 6));
  f.write("pics/z/a.jpg", jpeg::encode(px, 20, 12, 1, 90, {}).value_or(std::vector<uint8_t>{}));
  const struct {
    const char* what;
    const char* list;
    uint64_t archive_limit;
    size_t messages;
  } kCases[] = {
      {"every directive",
       "//#C:10\n\"slow.bin\",\n//#C:9\n\"noise.bin\",\n//#A:32\n//#F:7\n\"mid.bin\",\n//#Z:2\n//#A:32\n"
       "//#T:1\n//#E:0x01020304\n\"small.txt\",\n//#E:0x00000000\n//#C:6\n\"pic.jpg\",\n//#J:1\n\"pics/a.bmp\",\n"
       "\"mid.bin\",\n\"pics/a.bmp\",\n//#C:10\n\"small.txt\",\n",
       kArchiveMaxSize, 0},
      {"missing sources",
       "//#C:10\n\"slow.bin\",\n\"missing1.bin\",\n\"small.txt\",\n\"gone/missing2.bin\",\n//#C:6\n"
       "\"noise.bin\",\n\"missing3.bin\",\n",
       kArchiveMaxSize, 3},
      {"stop at the archive limit",
       "\"small.txt\",\n\"missing1.bin\",\n\"mid.bin\",\n\"mid.bin\",\n//#C:10\n\"slow.bin\",\n\"missing2.bin\",\n",
       60000, 2},
      {"stop at a source too large",
       "\"small.txt\",\n\"missing1.bin\",\n\"noise.bin\",\n//#C:10\n\"slow.bin\",\n\"missing2.bin\",\n", 100000,
       2},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    f.write("list.lst", c.list);
    const std::vector<std::string> sequential = run_outputs(f, windowless_lines(f, 1, c.archive_limit));
    size_t messages = 0;
    for (size_t at = 0; (at = sequential[0].find("[error]", at)) != std::string::npos; ++at) ++messages;
    EXPECT_EQ(messages, c.messages) << sequential[0];
    EXPECT_EQ(run_outputs(f, windowless_lines(f, 4, c.archive_limit)), sequential);
  }

  // The toolbox's --jobs.
  f.write("list.lst", kCases[0].list);
  const std::string lst = u8(f.path("list.lst"));
  const std::vector<std::string> one = run_outputs(f, tesmo_run({"pack", lst, "0xF3", "FID_", "--jobs", "1"}).out);
  EXPECT_EQ(run_outputs(f, tesmo_run({"pack", lst, "0xF3", "FID_", "--jobs", "3"}).out), one);
  EXPECT_EQ(tesmo_run({"pack", lst, "0xF3", "FID_", "--jobs", "0"}).code, 2);
}

// `tesmo bench pack` packs into a folder of its own and tells the archive's size.
TEST(PackCommands, BenchPackTimesTheRunElsewhere) {
  PackFolder f;
  f.write("a.bin", testing::sample_text(30000));
  f.write("list.lst", "//#C:10\n\"a.bin\",\n//#C:6\n\"a.bin\",\n");
  Outcome bench = tesmo_run({"bench", "pack", u8(f.path("list.lst")), "0xF1", "--jobs", "2", "--repeat", "2"});
  ASSERT_EQ(bench.code, 0) << bench.err;
  EXPECT_FALSE(f.exists("list.dat"));
  ASSERT_EQ(tesmo_run({"pack", u8(f.path("list.lst")), "0xF1", "FID_"}).code, 0);
  EXPECT_NE(bench.out.find("pack_ms_median: "), std::string::npos) << bench.out;
  EXPECT_NE(bench.out.find("\npack_bytes: " + std::to_string(f.bytes("list.dat").size()) + "\n"), std::string::npos)
      << bench.out;
  f.write("bad.lst", "\"missing.bin\",\n");
  EXPECT_EQ(tesmo_run({"bench", "pack", u8(f.path("bad.lst")), "1"}).code, 1);
  EXPECT_EQ(tesmo_run({"bench", "pack", u8(f.path("list.lst")), "1", "--jobs", "0"}).code, 2);
}

}  // namespace
}  // namespace tesmo
