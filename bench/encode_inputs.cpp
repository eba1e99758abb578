// Writes the pictures `tesmo bench encode` is timed on into a folder, as 32-bit BMPs with alpha:
// photo.bmp (the photo-like picture) and flat.bmp (the flat graphic), 3000 × 2000 each.
//   encode_inputs DIR && tesmo bench encode DIR/photo.bmp 6 --pixel-format 0
#include <cstdio>
#include <string>

#include "base/file_io.h"
#include "base/text.h"
#include "bench/flat.h"
#include "bench/photo.h"
#include "formats/bmp/bmp.h"

namespace {

constexpr int32_t kWidth = 3000;
constexpr int32_t kHeight = 2000;
constexpr int32_t kBmp32 = 6;  // the BMP writer's 32-bit layout, alpha kept

int write(const std::string& path, const std::vector<uint32_t>& px) {
  if (tesmo::file_replace(tesmo::utf8_to_utf16(path), tesmo::bmp::encode(px, kWidth, kHeight, kBmp32)) == 0) return 0;
  std::fprintf(stderr, "encode_inputs: cannot write %s\n", path.c_str());
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: encode_inputs DIR\n", stderr);
    return 2;
  }
  const std::string dir = argv[1];
  if (write(dir + "/photo.bmp", tesmo::bench::photo(kWidth, kHeight)) != 0) return 1;
  return write(dir + "/flat.bmp", tesmo::bench::flat_graphic(kWidth, kHeight));
}
