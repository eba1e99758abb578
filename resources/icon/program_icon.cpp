// The program's icon images, assembled into the program from the files the icon generator drew.
#include "resources/program_icon.h"

extern "C" {
struct TesmoIconImage {
  const uint8_t* data;
  uint64_t size;
};
extern const TesmoIconImage tesmo_program_icon_table[];
extern const uint64_t tesmo_program_icon_count;
}

namespace tesmo::resources {

std::vector<std::span<const uint8_t>> program_icon() {
  std::vector<std::span<const uint8_t>> images;
  for (uint64_t i = 0; i < tesmo_program_icon_count; ++i) {
    images.emplace_back(tesmo_program_icon_table[i].data, static_cast<size_t>(tesmo_program_icon_table[i].size));
  }
  return images;
}

}  // namespace tesmo::resources
