// Binary resources built into the program: the embedded pack archive of user-interface pictures
// ("Binary" 135, see skin_pictures.h).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tesmo::resources {

// The bytes of resource `id` of `type`; empty when the program has no such resource.
std::span<const uint8_t> find_resource(std::u16string_view type, int32_t id);

}  // namespace tesmo::resources
