// The program's binary resources, found by type and id like the resources of an executable.
#include "resources/embedded_resources.h"

#include "resources/skin_pictures.h"

extern "C" const uint8_t tesmo_resource_archive_begin[];
extern "C" const uint8_t tesmo_resource_archive_end[];

namespace tesmo::resources {

std::span<const uint8_t> find_resource(std::u16string_view type, int32_t id) {
  if (type == kResourceArchiveType && id == kResourceArchiveId) {
    return {tesmo_resource_archive_begin, static_cast<size_t>(tesmo_resource_archive_end - tesmo_resource_archive_begin)};
  }
  return {};
}

}  // namespace tesmo::resources
