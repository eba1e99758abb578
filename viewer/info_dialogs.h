// The information dialogs: File Information (147), Exif Information (146) with its report list and
// row icons, and About (153). Each is skinned, centred on the main window and closed with Esc or the
// close box.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "formats/exif/exif.h"

namespace tesmo {

class Viewer;

// The index field: "%d / %d (frame: %d / %d)" with the 1-based folder position, the list length, 1
// and the image count; "(frame: %d / %d)" when the shown file has no folder list.
std::u16string file_index_text(const Viewer& viewer, int32_t image_count);
// The colour field: "RGB: %d / α: %d".
std::u16string colour_count_text(int32_t colours, int32_t alpha_colours);

int file_information_dialog(Viewer& viewer);

// The row icons of the Exif list, 16 × 16 B, G, R, A pictures drawn with the compositor: the small
// star and the star, the exclamation mark and the question mark.
enum ExifIcon : int { kExifIconStarSmall = 0, kExifIconStar = 1, kExifIconExclamation = 2, kExifIconQuestion = 3 };
inline constexpr int kExifIconSize = 16;
std::array<std::vector<uint32_t>, 4> exif_icon_pictures();

// One row of the list: the icon (−1 none: blank rows), the item, the value and the offset text
// ("0x%08X (%d)" when the offset is not 0).
struct ExifListRow {
  int icon = -1;
  std::array<std::u16string, 4> cells;  // the icon's empty column, item, value, offset
};
// Section headers take the star; items under development ("[開発中]") the exclamation mark; unknown
// tags the question mark; every other item the small star.
ExifListRow exif_list_row(const ExifRow& row);

int exif_information_dialog(Viewer& viewer);
int about_dialog(Viewer& viewer);

}  // namespace tesmo
