// The program's icon ("IDR_ICON"), built into the program: one picture drawn in the sizes desktops
// use, each a PNG file.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tesmo::resources {

// The icon's PNG images, smallest first.
std::vector<std::span<const uint8_t>> program_icon();

}  // namespace tesmo::resources
