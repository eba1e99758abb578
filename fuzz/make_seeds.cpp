// Writes the seed corpora of the fuzz targets into <folder>/<target>/: a few small valid inputs per
// target, made by the system's own writers where it has them and built byte by byte where it has
// none (palette and run-length BMP, icons, run-length TGA and SGI, PSD, compressed DDS, Exif).
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "edit/batch_steps.h"
#include "formats/bmp/bmp.h"
#include "formats/dds/dds.h"
#include "formats/fnt/fnt.h"
#include "formats/jab/jab.h"
#include "formats/jpeg/jpeg.h"
#include "formats/pcx/pcx.h"
#include "formats/pic/pic.h"
#include "formats/png_tiff/png_tiff.h"
#include "formats/sgi/sgi.h"
#include "formats/tga/tga.h"
#include "shell/settings.h"
#include "tools/falling_project.h"
#include "tools/pack/archive.h"
#include "tools/pack/block.h"
#include "tools/pack/lzss.h"
#include "tools/pack/pack_project.h"

namespace {

using namespace tesmo;
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

fs::path g_root;

void put(const std::string& target, const std::string& name, const Bytes& bytes) {
  if (bytes.empty()) {
    std::fprintf(stderr, "make_seeds: empty seed %s/%s\n", target.c_str(), name.c_str());
    std::exit(1);
  }
  fs::create_directories(g_root / target);
  std::ofstream(g_root / target / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// An image seed goes to its reader's corpus and to the registry's.
void put_image(const std::string& target, const std::string& name, const Bytes& bytes) {
  put(target, name, bytes);
  put("registry", target + "_" + name, bytes);
}

constexpr int32_t kW = 5, kH = 3;  // odd width: row padding in every layout

std::vector<uint32_t> picture() {
  std::vector<uint32_t> p(kW * kH);
  for (size_t i = 0; i < p.size(); ++i)
    p[i] = static_cast<uint32_t>((i * 0x3A5F17u) ^ (i << 28) ^ 0x80402010u);
  return p;
}

// Bitmap file header + 40-byte information header + table + data.
Bytes bmp_file(int32_t w, int32_t h, uint16_t bits, uint32_t compression, const Bytes& table,
               const Bytes& data) {
  Bytes out;
  ByteWriter o(out);
  o.u8('B'), o.u8('M');
  o.u32le(static_cast<uint32_t>(54 + table.size() + data.size())), o.u32le(0);
  o.u32le(static_cast<uint32_t>(54 + table.size()));
  o.u32le(40), o.u32le(static_cast<uint32_t>(w)), o.u32le(static_cast<uint32_t>(h)), o.u16le(1),
      o.u16le(bits);
  o.u32le(compression), o.u32le(static_cast<uint32_t>(data.size())), o.u32le(2835), o.u32le(2835);
  o.u32le(static_cast<uint32_t>(table.size() / 4)), o.u32le(0);
  o.bytes(table.data(), table.size());
  o.bytes(data.data(), data.size());
  return out;
}

Bytes grey_table(int n) {
  Bytes t;
  for (int i = 0; i < n; ++i) {
    uint8_t v = static_cast<uint8_t>(i * 255 / (n - 1));
    t.insert(t.end(), {v, v, v, 0});
  }
  return t;
}

void bmp_seeds() {
  auto pix = picture();
  for (int f = 0; f <= 6; ++f) put_image("bmp", "layout" + std::to_string(f), bmp::encode(pix, kW, kH, f));
  // 8-bit rows padded to 8 bytes; 4-bit and 1-bit rows padded to 4.
  Bytes rows8;
  for (int y = 0; y < kH; ++y) rows8.insert(rows8.end(), {1, 2, 3, 4, 5, 0, 0, 0});
  put_image("bmp", "palette8", bmp_file(kW, kH, 8, 0, grey_table(16), rows8));
  put_image("bmp", "palette4", bmp_file(kW, -kH, 4, 0, grey_table(16), Bytes(4 * kH, 0x5A)));
  put_image("bmp", "mono", bmp_file(kW, kH, 1, 0, grey_table(2), Bytes(4 * kH, 0xA8)));
  // RLE8: a run, an absolute run, an end of line, a delta and the end of the bitmap.
  Bytes rle8 = {3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 5, 9, 0, 0, 0, 2, 1, 0, 2, 4, 0, 1};
  put_image("bmp", "rle8", bmp_file(kW, kH, 8, 1, grey_table(16), rle8));
  Bytes rle4 = {5, 0x12, 0, 0, 0, 4, 0x34, 0x56, 0, 0, 3, 0x78, 0, 1};
  put_image("bmp", "rle4", bmp_file(kW, kH, 4, 2, grey_table(16), rle4));
  // An icon and a cursor: directory, one entry, a 32-bit bitmap of doubled height and its mask.
  for (uint16_t type : {1, 2}) {
    Bytes bitmap = bmp::encode(pix, kW, kH, 6);
    Bytes info(bitmap.begin() + 14, bitmap.begin() + 54);
    store_u32le(info, 8, 2 * kH);
    Bytes out;
    ByteWriter o(out);
    o.u16le(0), o.u16le(type), o.u16le(1);
    o.u8(kW), o.u8(kH), o.u8(0), o.u8(0), o.u16le(1), o.u16le(32);
    Bytes mask(4 * kH, 0);
    o.u32le(static_cast<uint32_t>(info.size() + (bitmap.size() - 54) + mask.size())), o.u32le(22);
    o.bytes(info.data(), info.size());
    o.bytes(bitmap.data() + 54, bitmap.size() - 54);
    o.bytes(mask.data(), mask.size());
    put_image("bmp", type == 1 ? "icon" : "cursor", out);
  }
}

Bytes tga_header(uint8_t map_type, uint8_t type, uint16_t map_length, uint8_t map_bits, uint8_t bits,
                 uint8_t descriptor) {
  Bytes out;
  ByteWriter o(out);
  o.u8(0), o.u8(map_type), o.u8(type);
  o.u16le(0), o.u16le(map_length), o.u8(map_bits);
  o.u16le(0), o.u16le(0), o.u16le(kW), o.u16le(kH), o.u8(bits), o.u8(descriptor);
  return out;
}

void tga_seeds() {
  auto pix = picture();
  for (int f = 0; f <= 3; ++f) put_image("tga", "layout" + std::to_string(f), tga::encode(pix, kW, kH, f));
  // Run-length true colour: per row a run of three and a raw packet of two (rows top-down).
  Bytes rle = tga_header(0, 10, 0, 0, 24, 0x20);
  for (int y = 0; y < kH; ++y) rle.insert(rle.end(), {0x82, 10, 20, 30, 0x01, 1, 2, 3, 4, 5, 6});
  put_image("tga", "rle24", rle);
  // Colour-mapped, 4 entries of 24 bits, stored and run-length.
  Bytes mapped = tga_header(1, 1, 4, 24, 8, 0);
  for (int i = 0; i < 12; ++i) mapped.push_back(static_cast<uint8_t>(i * 20));
  for (int i = 0; i < kW * kH; ++i) mapped.push_back(static_cast<uint8_t>(i % 4));
  put_image("tga", "mapped", mapped);
  Bytes mapped_rle = tga_header(1, 9, 4, 24, 8, 0);
  for (int i = 0; i < 12; ++i) mapped_rle.push_back(static_cast<uint8_t>(i * 20));
  for (int y = 0; y < kH; ++y) mapped_rle.insert(mapped_rle.end(), {0x84, static_cast<uint8_t>(y)});
  put_image("tga", "mapped_rle", mapped_rle);
  Bytes grey_rle = tga_header(0, 11, 0, 0, 8, 0);
  grey_rle.insert(grey_rle.end(), {0x8E, 0x77});
  put_image("tga", "grey_rle", grey_rle);
}

void sgi_seeds() {
  auto pix = picture();
  for (int f = 0; f <= 2; ++f) put_image("sgi", "layout" + std::to_string(f), sgi::encode(pix, kW, kH, f));
  // Run-length RGB: start and length tables, then one row shared by every scan line.
  Bytes out;
  ByteWriter o(out);
  o.u16be(474), o.u8(1), o.u8(1), o.u16be(3), o.u16be(kW), o.u16be(kH), o.u16be(3);
  o.u32be(0), o.u32be(255), o.u32be(0);
  o.zeros(512 - out.size());
  const uint32_t rows = kH * 3, data_at = 512 + rows * 8;
  Bytes row = {0x83, 9, 8, 7, 2, 50, 0};  // a literal of three, a run of two, the end
  for (uint32_t i = 0; i < rows; ++i) o.u32be(data_at);
  for (uint32_t i = 0; i < rows; ++i) o.u32be(static_cast<uint32_t>(row.size()));
  o.bytes(row.data(), row.size());
  put_image("sgi", "rle_rgb", out);
}

void psd_seeds() {
  for (bool rle : {false, true}) {
    for (uint16_t mode : {1, 3}) {  // grey, RGB
      uint16_t channels = mode == 3 ? 4 : 1;
      Bytes out;
      ByteWriter o(out);
      o.u8('8'), o.u8('B'), o.u8('P'), o.u8('S'), o.u16be(1), o.zeros(6);
      o.u16be(channels), o.u32be(kH), o.u32be(kW), o.u16be(8), o.u16be(mode);
      o.u32be(0), o.u32be(0), o.u32be(0);
      o.u16be(rle ? 1 : 0);
      if (rle) {
        // Per row: a literal of two and a run of three (PackBits: 1, a, b, -2, c).
        for (int i = 0; i < kH * channels; ++i) o.u16be(5);
        for (int i = 0; i < kH * channels; ++i) o.u8(1), o.u8(static_cast<uint8_t>(i)), o.u8(9), o.u8(0xFE), o.u8(200);
      } else {
        for (int i = 0; i < kW * kH * channels; ++i) o.u8(static_cast<uint8_t>(i * 7));
      }
      put_image("psd", std::string(rle ? "rle_" : "raw_") + (mode == 3 ? "rgb" : "grey"), out);
    }
  }
}

Bytes dds_compressed(const char* four_cc, size_t block_bytes) {
  Bytes out;
  ByteWriter o(out);
  o.u8('D'), o.u8('D'), o.u8('S'), o.u8(' ');
  o.u32le(124), o.u32le(0x81007), o.u32le(kH), o.u32le(kW);
  const uint32_t blocks = ((kW + 3) / 4) * ((kH + 3) / 4);
  o.u32le(static_cast<uint32_t>(blocks * block_bytes)), o.u32le(0), o.u32le(1);
  o.zeros(44);
  o.u32le(32), o.u32le(4);
  o.bytes(four_cc, 4);
  o.zeros(20);
  o.u32le(0x1000), o.zeros(16);
  for (size_t i = 0; i < blocks * block_bytes; ++i) o.u8(static_cast<uint8_t>(i * 37 + 11));
  return out;
}

void dds_seeds() {
  auto pix = picture();
  for (int f = 0; f <= 8; ++f) put_image("dds", "layout" + std::to_string(f), dds::encode(pix, kW, kH, f));
  put_image("dds", "dxt1", dds_compressed("DXT1", 8));
  put_image("dds", "dxt3", dds_compressed("DXT3", 16));
  put_image("dds", "dxt5", dds_compressed("DXT5", 16));
}

Bytes jpeg_of(int pixel_format) {
  auto bytes = jpeg::encode(picture(), kW, kH, pixel_format, 75, u"");
  return bytes ? *bytes : Bytes{};
}

void library_seeds() {
  auto pix = picture();
  put_image("pcx", "rgb", pcx::encode(pix, kW, kH, 0));
  for (int f = 0; f <= 1; ++f)
    for (bool compress : {false, true})
      put_image("pic", "layout" + std::to_string(f) + (compress ? "_rle" : ""),
                pic::encode(pix, kW, kH, f, compress));
  put_image("fnt", "alpha", fnt::encode(pix, kW, kH, fnt::Header{0x12345678, 1, 2}));
  for (int f = 0; f <= 2; ++f) put_image("jpeg", "layout" + std::to_string(f), jpeg_of(f));
  for (int f = 0; f <= 1; ++f) put_image("png", "layout" + std::to_string(f), png::encode(pix, kW, kH, f).value_or(Bytes{}));
  for (int f = 0; f <= 2; ++f) put_image("tiff", "layout" + std::to_string(f), tiff::encode(pix, kW, kH, f).value_or(Bytes{}));
  Bytes alpha(kW * kH);
  for (size_t i = 0; i < alpha.size(); ++i) alpha[i] = static_cast<uint8_t>(i * 17);
  put_image("jab", "rgb", jab::encode(jpeg_of(1), alpha, kW, kH).value_or(Bytes{}));
}

// An Exif APP1 segment in the byte order of `big`: main section (orientation, make, sub-section
// link), a thumbnail section, a sub-section (pixel sizes, interoperability link) and an
// interoperability section; then the rest of a real JPEG.
Bytes exif_jpeg(bool big) {
  Bytes tiff;
  ByteWriter o(tiff);
  auto u16 = [&](uint16_t v) { big ? o.u16be(v) : o.u16le(v); };
  auto u32 = [&](uint32_t v) { big ? o.u32be(v) : o.u32le(v); };
  auto entry = [&](uint16_t tag, uint16_t type, uint32_t count, uint32_t value, bool short_value) {
    u16(tag), u16(type), u32(count);
    if (short_value) u16(static_cast<uint16_t>(value)), u16(0);
    else u32(value);
  };
  o.u8(big ? 'M' : 'I'), o.u8(big ? 'M' : 'I');
  u16(42), u32(8);
  // Main at 8: 3 entries (2 + 36 + 4 = 42 bytes) → 50; "Make" text at 50 (6 bytes) → 56.
  u16(3);
  entry(274, 3, 1, 6, true);
  entry(271, 2, 6, 50, false);
  entry(34665, 4, 1, 56, false);
  u32(88);  // the thumbnail section
  o.bytes("Maker", 6);
  // Sub-section at 56: 2 entries (2 + 24 + 4 = 30) → 86, padded to 88.
  u16(2);
  entry(40962, 3, 1, kW, true);
  entry(40963, 4, 1, kH, false);
  u32(0), u16(0);
  // Thumbnail section at 88: offset and length of a thumbnail of 4 bytes at 118.
  u16(2);
  entry(513, 4, 1, 118, false);
  entry(514, 4, 1, 4, false);
  u32(0);
  o.bytes("\xFF\xD8\xFF\xD9", 4);
  Bytes jpeg = jpeg_of(1);
  Bytes out = {0xFF, 0xD8, 0xFF, 0xE1};
  ByteWriter w(out);
  w.u16be(static_cast<uint16_t>(2 + 6 + tiff.size()));
  w.bytes("Exif\0\0", 6);
  w.bytes(tiff.data(), tiff.size());
  w.bytes(jpeg.data() + 2, jpeg.size() - 2);
  return out;
}

Bytes sample_text() {
  std::string text;
  for (int i = 0; i < 40; ++i) text += "entry " + std::to_string(i % 7) + " of the pack list; ";
  return Bytes(text.begin(), text.end());
}

Bytes deflated(const Bytes& in, int level) {
  Bytes out(kBlockHeaderSize + in.size());
  BlockStream stream;
  int32_t n = block_deflate(stream, out, in, level);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

Bytes lzss_block(const Bytes& in) {
  Bytes out(kBlockHeaderSize + in.size());
  auto work = std::make_unique<LzssWork>();
  int32_t n = block_lzss(*work, out, in);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

void pack_seeds() {
  Bytes text = sample_text();
  Bytes stored(kBlockHeaderSize);
  block_write_header(stored, BlockMethod::Stored, 64);
  stored.insert(stored.end(), text.begin(), text.begin() + 64);
  put("block", "stored", stored);
  for (int level : {0, 1, 9}) put("block", "deflate" + std::to_string(level), deflated(text, level));
  Bytes lzss = lzss_block(text);
  put("block", "lzss", lzss);

  Bytes code = {static_cast<uint8_t>(text.size()), static_cast<uint8_t>(text.size() >> 8)};
  code.insert(code.end(), lzss.begin() + kBlockHeaderSize, lzss.end());
  put("lzss", "text", code);
  Bytes small = {20, 0, 0xFF, 'a', 'b', 'c', 'd', 'e', 'f', 'g', 'h', 0x00, 0xEE, 0xF0, 0xEE, 0xF3};
  put("lzss", "reference", small);

  // An archive of a raw entry, a deflated block and an LZSS block at 16-byte alignment.
  std::vector<Bytes> data = {Bytes(text.begin(), text.begin() + 100), deflated(text, 6), lzss};
  std::vector<PackIndexEntry> index;
  Bytes body;
  for (size_t i = 0; i < data.size(); ++i) {
    while (body.size() % 16) body.push_back(0);
    index.push_back({.offset = static_cast<uint32_t>(kArchiveHeaderSize + body.size()),
                     .size = static_cast<uint32_t>(data[i].size()),
                     .level = i == 0 ? kLevelRaw : i == 1 ? 6 : kLevelLzss,
                     .user_value = static_cast<int32_t>(i)});
    body.insert(body.end(), data[i].begin(), data[i].end());
  }
  index.push_back({.offset = 0, .size = 0});  // a dummy entry
  while ((kArchiveHeaderSize + body.size()) % kArchiveIndexAlignment) body.push_back(0);
  PackArchiveHeader header{.index_offset = static_cast<uint32_t>(kArchiveHeaderSize + body.size()),
                           .count = static_cast<uint32_t>(index.size()),
                           .list_time = {2024, 5, 3, 17, 12, 30, 45, 0}};
  for (bool with_times : {false, true}) {
    std::vector<PackTime> times(index.size(), header.list_time);
    Bytes archive = archive_header_bytes(header);
    archive.insert(archive.end(), body.begin(), body.end());
    Bytes table = archive_index_bytes(index, with_times ? &times : nullptr);
    archive.insert(archive.end(), table.begin(), table.end());
    put("archive", with_times ? "times" : "plain", archive);
  }

  const char* lists[] = {
      "\"data\\a.bin\",\n\"data/b.txt\",\n",
      ("//#A:32\n//#C:0xA\n//#E:0xDEADbeef\n//#F:-7\n//#J:1\n//#S:1\n//#T:1\n\"bin\\x.bmp\",\n"
      "//#A:0x40\n//#C:  9 levels\n//#E:0x00000000\n//#F:0x80000000\n//#J:0\n//#T:0\n\"y\",\n"),
      "//#D:3\n/*\n//#C:6\n\"inside\",\n*/\n//#Z:3\n\"after\",\n\x83\x5C\x83\x74\\name.dat\n",
  };
  int n = 0;
  for (const char* list : lists) put("pack_list", "list" + std::to_string(n++), Bytes(list, list + std::strlen(list)));
}

void settings_seeds() {
  SettingsStore store(u"/opt/tesmo/");
  Bytes record = encode_settings(store.settings());
  put("settings", "record", record);
  put("settings", "short", Bytes(record.begin(), record.begin() + 200));
}

// Script sources: instructions with every parameter kind, a message, labels and jumps, the
// preprocessor's directives, a macro definition, and one source in UTF-16.
void script_seeds() {
  const char* sources[] = {
      "push\r\nr3\r\nmov\r\nr1, 10\r\npush2\r\n\"ab\", r1\r\nret\r\n",
      "msg\r\n  Hello\r\nWorld@L\r\nagain@P\r\nret\r\n",
      ("#define A 1\r\n#define B (A + 2) * 3\r\n#ifdef A\r\nmov\r\nr2, B\r\n#else\r\nret\r\n#endif\r\n"
       "top:\r\njump\r\ntop\r\n"),
      "#macro \"addto\" // adds\r\n#type 2 0x3\r\nadd\r\np0, p1\r\n#macro\r\naddto\r\nr1, 5\r\n",
      "script\r\n\"x\", 2\r\n/* block\r\n*/\r\n#include missing\r\n",
  };
  int n = 0;
  for (const char* text : sources) put("script", "source" + std::to_string(n++), Bytes(text, text + std::strlen(text)));
  const std::u16string wide = u"\uFEFFpush\r\n\"a\u00e9\"\r\nret\r\n";
  Bytes utf16;
  for (char16_t c : wide) {
    utf16.push_back(static_cast<uint8_t>(c & 0xFF));
    utf16.push_back(static_cast<uint8_t>(c >> 8));
  }
  put("script", "utf16", utf16);
}

// The tools' project files, each behind its selector byte: a batch list of three steps, the pack
// project file in its current and its older layout, and a falling object project.
void project_seeds() {
  auto with_selector = [](uint8_t selector, const Bytes& bytes) {
    Bytes out{selector};
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
  };
  std::vector<BatchStep> steps(3);
  steps[0].operation = kBatchImageSize;
  steps[0].set_field(0, 640);
  steps[0].set_field(1, 480);
  steps[1].operation = kBatchFirstEffect + 4;
  steps[2].operation = kBatchSave;
  steps[2].set_text(1, 260, u"out\\picture.png");
  put("projects", "batch", with_selector(0, batch_file_bytes(steps)));

  PackProjectFile packs = pack_project_defaults();
  packs.current = 3;
  packs.projects[3] = {u"/data/list.lst", u"/data/game.dat", u"/data/out/", "ID_", 0x7F};
  put("projects", "pack", with_selector(1, pack_project_encode(packs)));
  Bytes old(kPackProjectOldFileSize, 0);
  old[0] = 1;
  std::memcpy(old.data() + 4 + kPackProjectOldRecordSize, "C:\\list.lst", 11);
  put("projects", "pack_old", with_selector(1, old));

  FallingProject falling;
  falling.background = u"/pictures/back.png";
  falling.sprite = u"/pictures/snow.png";
  falling.fixed = {16, 16, 4, 2, 3, 1, 0, -20, 800, 10, 0, 504, 800, 96, 2};
  falling.variable = {200, 30, 120, -5, 40};
  const std::string text = format_falling_project(falling);
  put("projects", "falling", with_selector(2, Bytes(text.begin(), text.end())));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_seeds <corpus folder>\n");
    return 2;
  }
  g_root = argv[1];
  fs::remove_all(g_root);
  bmp_seeds();
  tga_seeds();
  sgi_seeds();
  psd_seeds();
  dds_seeds();
  library_seeds();
  put("exif", "little", exif_jpeg(false));
  put("exif", "big", exif_jpeg(true));
  put("jpeg", "exif", exif_jpeg(false));
  pack_seeds();
  settings_seeds();
  script_seeds();
  project_seeds();
  return 0;
}
