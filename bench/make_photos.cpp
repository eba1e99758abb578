// Writes COUNT photo-like JPEGs of W × H into FOLDER ("photo_000.jpg", …) for the batch
// benchmark: the compositor benchmarks' picture, each file shifted by a few rows so that no two
// files hold the same pixels.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/text.h"
#include "bench/photo.h"
#include "formats/image.h"
#include "formats/registry.h"

int main(int argc, char** argv) {
  if (argc != 6) {
    std::fputs("usage: make_photos FOLDER COUNT W H QUALITY\n", stderr);
    return 2;
  }
  const std::string folder = argv[1];
  const int count = std::atoi(argv[2]), w = std::atoi(argv[3]), h = std::atoi(argv[4]), quality = std::atoi(argv[5]);
  if (count < 1 || w < 1 || h < 1) return 2;
  const std::vector<uint32_t> photo = tesmo::bench::photo(w, h);
  std::vector<uint32_t> pixels(photo.size());
  constexpr int kRowsPerFile = 7;
  for (int n = 0; n < count; ++n) {
    const size_t shift = static_cast<size_t>(n * kRowsPerFile % h) * static_cast<size_t>(w);
    for (size_t i = 0; i < photo.size(); ++i) pixels[i] = photo[(i + shift) % photo.size()] | 0xFF000000u;
    char name[32];
    std::snprintf(name, sizeof name, "/photo_%03d.jpg", n);
    tesmo::SaveRequest r;
    r.path = tesmo::utf8_to_utf16(folder + name);
    r.format = tesmo::kFormatJpeg;
    r.pixel_format = tesmo::format_save_options(tesmo::kFormatJpeg).default_index;
    r.quality = quality;
    if (tesmo::image_save(pixels, w, h, r) != 0) {
      std::fprintf(stderr, "cannot write %s%s\n", folder.c_str(), name);
      return 1;
    }
  }
  return 0;
}
