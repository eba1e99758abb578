// Writes the built-in sample pictures with the system's own writers: a test card with colour bars
// and fine lines, a smooth gradient, a picture with a soft alpha channel, and an icon; then the same
// pictures in the TGA, PCX, SGI, FNT, PIC, DDS, JPEG, PNG and JAB formats.
//   tesmo_make_samples OUTPUT_FOLDER
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/file_io.h"
#include "base/text.h"
#include "formats/bmp/bmp.h"
#include "formats/dds/dds.h"
#include "formats/jpeg/jpeg.h"
#include "formats/png_tiff/png_tiff.h"
#include "formats/pic/pic.h"
#include "formats/fnt/fnt.h"
#include "formats/jab/jab.h"
#include "formats/pcx/pcx.h"
#include "formats/sgi/sgi.h"
#include "formats/tga/tga.h"

namespace {

using Pixels = std::vector<uint32_t>;

constexpr uint32_t argb(uint32_t a, uint32_t r, uint32_t g, uint32_t b) {
  return (a << 24) | (r << 16) | (g << 8) | b;
}

// Seven colour bars over the top two thirds; below them a grey ramp, then one-pixel lines and a
// checkerboard that show the resampling filters at work.
Pixels test_card(int w, int h) {
  static constexpr uint32_t kBars[] = {argb(255, 192, 192, 192), argb(255, 192, 192, 0), argb(255, 0, 192, 192),
                                       argb(255, 0, 192, 0),     argb(255, 192, 0, 192), argb(255, 192, 0, 0),
                                       argb(255, 0, 0, 192)};
  Pixels p(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t c;
      if (y < h * 2 / 3) {
        c = kBars[x * 7 / w];
      } else if (y < h * 3 / 4) {
        uint32_t v = static_cast<uint32_t>(x * 255 / (w - 1));
        c = argb(255, v, v, v);
      } else if (x < w / 2) {
        c = (x % (1 + (x * 4 / w))) == 0 ? argb(255, 255, 255, 255) : argb(255, 0, 0, 0);
      } else {
        c = ((x / 4 + y / 4) % 2) ? argb(255, 255, 255, 255) : argb(255, 16, 16, 16);
      }
      p[static_cast<size_t>(y) * w + x] = c;
    }
  }
  return p;
}

Pixels gradient(int w, int h) {
  Pixels p(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      uint32_t r = static_cast<uint32_t>(x * 255 / (w - 1));
      uint32_t g = static_cast<uint32_t>(y * 255 / (h - 1));
      uint32_t b = static_cast<uint32_t>(255 - (x + y) * 255 / (w + h - 2));
      p[static_cast<size_t>(y) * w + x] = argb(255, r, g, b);
    }
  }
  return p;
}

// A warm disc whose alpha falls off smoothly towards its edge.
Pixels soft_alpha(int w, int h) {
  Pixels p(static_cast<size_t>(w) * h);
  const double cx = w / 2.0, cy = h / 2.0, radius = std::min(w, h) * 0.45;
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / radius;
      double a = d >= 1 ? 0 : 1 - d * d;
      auto alpha = static_cast<uint32_t>(std::lround(a * 255));
      p[static_cast<size_t>(y) * w + x] = argb(alpha, 255, static_cast<uint32_t>(120 + 100 * a), 40);
    }
  }
  return p;
}

// An icon file holding one 32-bit image: directory, entry, then the bitmap without its file header
// (height doubled for the transparency mask that follows the rows).
std::vector<uint8_t> icon_file(const Pixels& px, int size) {
  std::vector<uint8_t> bmp = tesmo::bmp::encode(px, size, size, 6);
  constexpr size_t kFileHeader = 14;
  std::vector<uint8_t> body(bmp.begin() + kFileHeader, bmp.end());
  tesmo::store_u32le(body, 8, static_cast<uint32_t>(size * 2));
  size_t mask_row = ((static_cast<size_t>(size) + 31) / 32) * 4;
  body.insert(body.end(), mask_row * size, 0);
  std::vector<uint8_t> out;
  tesmo::ByteWriter w(out);
  w.u16le(0);  // reserved
  w.u16le(1);  // icon
  w.u16le(1);  // one image
  w.u8(static_cast<uint8_t>(size));
  w.u8(static_cast<uint8_t>(size));
  w.u8(0);     // colours
  w.u8(0);     // reserved
  w.u16le(1);  // planes
  w.u16le(32);
  w.u32le(static_cast<uint32_t>(body.size()));
  w.u32le(6 + 16);
  w.bytes(body.data(), body.size());
  return out;
}

// The soft-alpha picture as JAB: its colour as a JPEG file, its alpha bytes as the plane.
std::vector<uint8_t> jab_file(int size) {
  const Pixels p = soft_alpha(size, size);
  std::vector<uint8_t> alpha(p.size());
  for (size_t i = 0; i < p.size(); ++i) alpha[i] = static_cast<uint8_t>(p[i] >> 24);
  auto jpeg = tesmo::jpeg::encode(p, size, size, 1, 90, {});
  if (!jpeg) return {};
  return tesmo::jab::encode(*jpeg, alpha, size, size).value_or(std::vector<uint8_t>{});
}

// A small Exif block (APP1, little-endian): maker, model, orientation 1 and a date, so the
// information panels and the Exif dialog have something to show.
std::vector<uint8_t> exif_block() {
  std::vector<uint8_t> tiff;
  tesmo::ByteWriter w(tiff);
  w.bytes("II", 2);
  w.u16le(42);
  w.u32le(8);  // the first directory follows the header
  const char maker[] = "Tesmo64";
  const char model[] = "Sample Card";
  const char date[] = "2026:12:09 08:00:00";
  constexpr uint32_t kEntries = 4, kDirectoryEnd = 8 + 2 + kEntries * 12 + 4;
  w.u16le(kEntries);
  uint32_t data_at = kDirectoryEnd;
  auto ascii = [&](uint16_t tag, uint32_t size) {
    w.u16le(tag);
    w.u16le(2);  // ASCII
    w.u32le(size);
    w.u32le(data_at);
    data_at += size;
  };
  ascii(0x010F, sizeof maker);
  ascii(0x0110, sizeof model);
  w.u16le(0x0112);  // orientation, SHORT, 1: as stored
  w.u16le(3);
  w.u32le(1);
  w.u32le(1);
  ascii(0x0132, sizeof date);
  w.u32le(0);  // no next directory
  w.bytes(maker, sizeof maker);
  w.bytes(model, sizeof model);
  w.bytes(date, sizeof date);
  std::vector<uint8_t> app1 = {0xFF, 0xE1, 0, 0, 'E', 'x', 'i', 'f', 0, 0};
  app1.insert(app1.end(), tiff.begin(), tiff.end());
  const size_t length = app1.size() - 2;
  app1[2] = static_cast<uint8_t>(length >> 8);
  app1[3] = static_cast<uint8_t>(length & 0xFF);
  return app1;
}

// The JPEG stream with the Exif block right after its start marker.
std::vector<uint8_t> with_exif(std::vector<uint8_t> jpeg) {
  if (jpeg.size() < 2) return {};
  std::vector<uint8_t> app1 = exif_block();
  jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
  return jpeg;
}

bool write(const std::string& folder, const char* name, const std::vector<uint8_t>& bytes) {
  if (bytes.empty() || tesmo::file_replace(tesmo::utf8_to_utf16(folder + "/" + name), bytes) != 0) {
    std::fprintf(stderr, "tesmo_make_samples: cannot write %s/%s\n", folder.c_str(), name);
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: tesmo_make_samples OUTPUT_FOLDER\n", stderr);
    return 2;
  }
  std::string folder = argv[1];
  bool ok = write(folder, "01_test_card.bmp", tesmo::bmp::encode(test_card(640, 480), 640, 480, 5)) &&
            write(folder, "02_gradient.bmp", tesmo::bmp::encode(gradient(512, 384), 512, 384, 5)) &&
            write(folder, "03_soft_alpha.bmp", tesmo::bmp::encode(soft_alpha(320, 320), 320, 320, 6)) &&
            write(folder, "04_icon.ico", icon_file(soft_alpha(48, 48), 48)) &&
            write(folder, "05_soft_alpha.tga", tesmo::tga::encode(soft_alpha(256, 256), 256, 256, 3)) &&
            write(folder, "06_test_card.pcx", tesmo::pcx::encode(test_card(320, 240), 320, 240, 0)) &&
            write(folder, "07_gradient.sgi", tesmo::sgi::encode(gradient(256, 192), 256, 192, 1)) &&
            write(folder, "08_gradient.fnt",
                  tesmo::fnt::encode(gradient(256, 192), 256, 192, tesmo::fnt::Header{0x3042, 12, 16})) &&
            write(folder, "09_soft_alpha.pic", tesmo::pic::encode(soft_alpha(256, 256), 256, 256, 1, true)) &&
            write(folder, "10_test_card.dds", tesmo::dds::encode(test_card(320, 240), 320, 240, 7)) &&
            write(folder, "11_gradient.jpg",
                  with_exif(tesmo::jpeg::encode(gradient(512, 384), 512, 384, 1, 90, {}).value_or(std::vector<uint8_t>{}))) &&
            write(folder, "12_soft_alpha.png",
                  tesmo::png::encode(soft_alpha(320, 320), 320, 320, 1).value_or(std::vector<uint8_t>{})) &&
            write(folder, "13_soft_alpha.jab", jab_file(256)) &&
            write(folder, "14_test_card.tif",
                  tesmo::tiff::encode(test_card(320, 240), 320, 240, 1).value_or(std::vector<uint8_t>{}));
  return ok ? 0 : 1;
}
