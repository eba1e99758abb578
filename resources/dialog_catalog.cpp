// The list of every dialog template.
#include "resources/dialog_catalog.h"

#include <array>

#include "resources/dialog_templates.h"

namespace tesmo::resources {

std::span<const CatalogEntry> all_dialog_templates() {
  static const std::array<CatalogEntry, 25> kAll = {{
      {&zoom_dialog(), true},          {&new_dialog(), true},          {&key_assignment_dialog(), true},
      {&save_options_dialog(), true},  {&effect_dialog(), true},       {&image_size_dialog(), true},
      {&canvas_size_dialog(), true},   {&crop_dialog(), true},         {&trim_dialog(), true},
      {&rotation_dialog(), true},      {&connect_dialog(), true},      {&divide_dialog(), true},
      {&lossless_dialog(), true},      {&batch_dialog(), true},        {&rename_dialog(), true},
      {&file_info_dialog(), true},     {&exif_dialog(), true},         {&about_dialog(), true},
      {&preferences_dialog(), true},   {&file_pack_dialog(), false},   {&pack_progress_dialog(), false},
      {&pack_result_dialog(), false},  {&path_generator_dialog(), false}, {&dummy_file_dialog(), false},
      {&falling_dialog(), false},
  }};
  return kAll;
}

}  // namespace tesmo::resources
