#include <gtest/gtest.h>

#include "base/bytes.h"
#include "base/zuk.h"
#include "pack_fixture.h"
#include "tools/pack/archive.h"

namespace tesmo {
namespace {

using testing::PackFolder;

std::optional<ArchiveReader> open_archive(const PackFolder& f) { return ArchiveReader::open_file(f.archive()); }

TEST(ArchiveLayout, OneRawEntryWithAndWithoutTimeTable) {
  for (uint32_t options : {uint32_t{PackIndependent}, PackIndependent | PackTimeTable}) {
    SCOPED_TRACE(options);
    PackFolder f;
    f.write_sized("a.bin", 100);
    ASSERT_EQ(f.run("\"a.bin\",\n", options), 0);
    auto bytes = f.bytes("list.dat");
    const bool times = options & PackTimeTable;
    ASSERT_EQ(bytes.size(), 4096u + 16 + (times ? 12 : 0));
    EXPECT_TRUE(has_zuk_signature(bytes));
    EXPECT_EQ(load_u32le(bytes, 4), 0u);
    EXPECT_EQ(load_u32le(bytes, 8), 4096u);  // 2148 rounded up
    EXPECT_EQ(load_u32le(bytes, 12), 1u);
    EXPECT_TRUE(same_second(load_pack_time(bytes, 16, false), *file_write_time(f.path("list.lst"))));
    EXPECT_TRUE(std::all_of(bytes.begin() + 32, bytes.begin() + 2048, [](uint8_t b) { return b == 0; }));
    EXPECT_TRUE(std::all_of(bytes.begin() + 2048, bytes.begin() + 2148, [](uint8_t b) { return b == 0x5A; }));
    EXPECT_TRUE(std::all_of(bytes.begin() + 2148, bytes.begin() + 4096, [](uint8_t b) { return b == 0; }));
    EXPECT_EQ(load_u32le(bytes, 4096), 2048u);
    EXPECT_EQ(load_u32le(bytes, 4100), 100u);
    EXPECT_EQ(load_u32le(bytes, 4104), 0xFFFFFFFFu);  // level −1
    EXPECT_EQ(load_u32le(bytes, 4108), 0u);
    if (times) {
      EXPECT_TRUE(same_second(load_pack_time(bytes, 4112, true), *file_write_time(f.path("a.bin"))));
    }
  }
}

TEST(ArchiveLayout, DummyLastEntrySetsTheIndexOffset) {
  PackFolder f;
  f.write_sized("a.bin", 100);
  ASSERT_EQ(f.run("\"a.bin\",\n//#A:5000\n//#Z:1\n", PackIndependent | PackTimeTable), 0);
  auto reader = open_archive(f);
  ASSERT_TRUE(reader);
  ASSERT_EQ(reader->count(), 2u);
  EXPECT_EQ(reader->index()[1].offset, 5000u);
  EXPECT_EQ(reader->index()[1].size, 0u);
  EXPECT_EQ(reader->header().index_offset, 6144u);
  auto bytes = f.bytes("list.dat");
  ASSERT_EQ(bytes.size(), 6144u + 2 * 28);
  EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 12, bytes.end()), std::vector<uint8_t>(12, 0));  // dummy's time
}

TEST(ArchiveLayout, DependentArchiveIsDataFromZero) {
  PackFolder f;
  f.write_sized("a.bin", 100, 1);
  f.write_sized("b.bin", 10, 2);
  ASSERT_EQ(f.run("\"a.bin\",\n\"b.bin\",\n", PackOffsetFile), 0);
  auto bytes = f.bytes("list.dat");
  ASSERT_EQ(bytes.size(), 2048u + 10);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes[99], 1);
  EXPECT_EQ(bytes[100], 0);
  EXPECT_EQ(bytes[2048], 2);
  EXPECT_EQ(f.text("fid_list_offset.txt"),
            "\t       0,\t\t// FID_A_BIN\r\n\t    2048,\t\t// FID_B_BIN\r\n\t    2058\r\n");
}

TEST(ArchiveLayout, AlignmentTogglesWithEachADirective) {
  PackFolder f;
  for (const char* n : {"a.bin", "b.bin", "c.bin", "d.bin"}) f.write_sized(n, 100);
  ASSERT_EQ(f.run("\"a.bin\",\n//#A:32\n\"b.bin\",\n\"c.bin\",\n//#A:32\n\"d.bin\",\n", PackIndependent), 0);
  auto reader = open_archive(f);
  ASSERT_TRUE(reader);
  std::vector<uint32_t> offsets;
  for (const auto& e : reader->index()) offsets.push_back(e.offset);
  EXPECT_EQ(offsets, (std::vector<uint32_t>{2048, 2176, 2304, 4096}));
}

TEST(ArchiveLayout, ReaderGivesBackEveryEntry) {
  PackFolder f;
  auto text = std::string(3000, 'x') + "tail";
  f.write("t.txt", text);
  f.write("p.jpg", std::string(500, 'j'));
  f.write("e.bin", "");
  ASSERT_EQ(f.run("//#C:6\n//#F:42\n\"t.txt\",\n\"p.jpg\",\n//#C:10\n\"t.txt\",\n\"e.bin\",\n//#C:0\n\"t.txt\",\n",
                  PackIndependent),
            0);
  auto reader = open_archive(f);
  ASSERT_TRUE(reader);
  ASSERT_EQ(reader->count(), 5u);
  const int32_t levels[] = {6, -1, 10, 10, 0};
  for (uint32_t i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(reader->index()[i].level, levels[i]);
    EXPECT_EQ(reader->index()[i].user_value, 42);
  }
  auto as_text = [](const std::optional<std::vector<uint8_t>>& d) { return d ? std::string(d->begin(), d->end()) : "<none>"; };
  EXPECT_EQ(as_text(reader->entry_data(0)), text);
  EXPECT_EQ(as_text(reader->entry_data(1)), std::string(500, 'j'));
  EXPECT_EQ(as_text(reader->entry_data(2)), text);
  EXPECT_EQ(reader->index()[3].size, 0u);  // LZSS of an empty file stores nothing
  EXPECT_EQ(as_text(reader->entry_data(3)), "");
  EXPECT_EQ(as_text(reader->entry_data(4)), text);
  EXPECT_FALSE(reader->entry_data(5));

  auto memory = f.bytes("list.dat");
  auto in_memory = ArchiveReader::open_memory(memory);
  ASSERT_TRUE(in_memory);
  EXPECT_EQ(in_memory->entry_bytes(2), reader->entry_bytes(2));
}

std::vector<uint8_t> small_archive() {
  PackArchiveHeader header{2048, 2, {}};
  auto bytes = archive_header_bytes(header);
  PackIndexEntry index[] = {{32, 10, -1, 0}, {2000, 100, -1, 0}};  // the second runs past the end
  auto table = archive_index_bytes(index, nullptr);
  bytes.insert(bytes.end(), table.begin(), table.end());
  return bytes;
}

TEST(ArchiveReader, RefusesWhatLiesOutsideTheData) {
  auto good = small_archive();
  ASSERT_TRUE(ArchiveReader::open_memory(good));
  struct Case {
    const char* what;
    size_t offset;
    uint32_t value;
  };
  const Case cases[] = {
      {"no signature", 0, 0},
      {"index past the end", 8, 2049},
      {"count too large", 12, 3},
      {"count wraps the index size", 12, 0x10000001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto bytes = good;
    store_u32le(bytes, c.offset, c.value);
    EXPECT_FALSE(ArchiveReader::open_memory(bytes));
  }
  auto bytes = good;
  store_u32le(bytes, 12, 0xFFFFFFFF);  // counts as no entries
  auto empty = ArchiveReader::open_memory(bytes);
  ASSERT_TRUE(empty);
  EXPECT_EQ(empty->count(), 0u);

  auto reader = ArchiveReader::open_memory(good);
  EXPECT_TRUE(reader->entry_bytes(0));
  EXPECT_FALSE(reader->entry_bytes(1));
  EXPECT_FALSE(reader->entry_data(1));
  EXPECT_FALSE(ArchiveReader::open_memory(std::span(good).first(31)));
  testing::TempFolder tmp;
  EXPECT_FALSE(ArchiveReader::open_file(tmp.file("missing.dat")));
}

TEST(ArchiveReader, EveryTruncationIsRefused) {
  // The index of two 16-byte entries ends the archive at 2048 + 32: any shorter copy lacks part of
  // it (or the header) and is refused. The whole archive gives its first entry, 10 bytes from the
  // zeros of the header area, stored raw.
  auto whole = small_archive();
  ASSERT_EQ(whole.size(), 2048u + 2 * 16);
  for (size_t n = 0; n < whole.size(); ++n) {
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + static_cast<long>(n));
    EXPECT_FALSE(ArchiveReader::open_memory(cut)) << n;
  }
  auto reader = ArchiveReader::open_memory(whole);
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->entry_data(0), std::vector<uint8_t>(10, 0));
  EXPECT_FALSE(reader->entry_data(1));
  EXPECT_FALSE(reader->entry_data(2));
}

TEST(ArchiveUpToDate, SecondsCountMillisecondsDoNot) {
  PackFolder f;
  const uint32_t options = PackIndependent | PackTimeTable | PackIdFile | PackSkipIfCurrent;
  f.write_sized("a.bin", 100);
  f.write_sized("b.bin", 100);
  f.set_time("b.bin", 1700000000, 100000000);
  f.write("list.lst", "\"a.bin\",\n//#Z:1\n\"b.bin\",\n");
  f.set_time("list.lst", 1700000100, 100000000);
  ASSERT_EQ(f.run_again(options), 0);
  auto stored_size = [&] { return ArchiveReader::open_file(f.archive())->index()[2].size; };
  ASSERT_EQ(stored_size(), 100u);

  struct Step {
    const char* what;
    const char* file;
    time_t seconds;
    long nanoseconds;
    bool repacked;
    uint32_t stored_size;
  };
  const Step steps[] = {
      {"source milliseconds", "b.bin", 1700000000, 999000000, false, 100},
      {"list milliseconds", "list.lst", 1700000100, 900000000, false, 100},
      {"source seconds", "b.bin", 1700000001, 0, true, 50},
      {"nothing", "b.bin", 1700000001, 0, false, 50},
      {"list seconds", "list.lst", 1700000101, 0, true, 50},
  };
  f.write_sized("b.bin", 50);  // a change only a repack can show
  f.set_time("b.bin", 1700000000, 100000000);
  for (const Step& s : steps) {
    SCOPED_TRACE(s.what);
    std::remove(to_fs_path(f.path("fid_list_id.txt")).c_str());
    f.set_time(s.file, s.seconds, s.nanoseconds);
    ASSERT_EQ(f.run_again(options), 0);
    EXPECT_EQ(f.exists("fid_list_id.txt"), s.repacked);  // a skipped run writes nothing at all
    EXPECT_EQ(stored_size(), s.stored_size);
  }
}

TEST(ArchiveUpToDate, WithoutTimeTableNeverCurrent) {
  PackFolder f;
  f.write_sized("a.bin", 100);
  ASSERT_EQ(f.run("\"a.bin\",\n", PackIndependent), 0);
  f.packer.entries.clear();
  ASSERT_EQ(pack_list_read(f.packer, f.path("list.lst"), 0), 0);
  EXPECT_TRUE(archive_list_unchanged(f.archive(), f.path("list.lst")));
  EXPECT_FALSE(archive_files_current(f.archive(), f.folder(), f.packer.entries));
  EXPECT_FALSE(archive_is_current(f.path("none.dat"), f.path("list.lst"), f.folder(), f.packer.entries));
  // An entry count that differs from the list's is not current either.
  ASSERT_EQ(f.run("\"a.bin\",\n", PackIndependent | PackTimeTable), 0);
  EXPECT_TRUE(archive_files_current(f.archive(), f.folder(), f.packer.entries));
  auto fewer = std::span<const PackEntry>(f.packer.entries).first(0);
  EXPECT_FALSE(archive_files_current(f.archive(), f.folder(), fewer));
  f.write("short.dat", "ZUK");
  EXPECT_FALSE(archive_list_unchanged(f.path("short.dat"), f.path("list.lst")));
}

}  // namespace
}  // namespace tesmo
