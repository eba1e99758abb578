// The description texts of the shown picture: what the File Information dialog lists and what the
// file-information panel draws. Built on demand from the view state, surface 1's description, the
// colour counts of surfaces 1 and 2 and the file itself.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "document/view_state.h"
#include "formats/image.h"

namespace tesmo {

class Viewer;

struct FileInfoTexts {
  std::u16string name;            // after the shown path's last separator (the display name of a generated picture)
  std::u16string folder;          // the folder part with its trailing separator (the display name likewise)
  int32_t image_count = 1;        // the decoded description's image count, at least 1
  std::u16string format_name;
  std::u16string format_detail;   // "%s / %s": the pixel text and the extra text when there is one
  std::u16string compression;
  std::u16string size_and_depth;  // "%d x %d x %d": decoded width, height and bits per pixel
  int32_t colours = 0;            // distinct colours of surface 1
  int32_t alpha_colours = 0;      // and of surface 2 (0 without one)
  std::u16string file_size;       // "%d バイト (%d KB)"; empty when the file cannot be opened
  std::u16string file_time;       // "%04d/%02d/%02d %02d:%02d:%02d", last write in local time
  std::u16string load_time;       // "%.3f 秒 (%d フレーム)"
};

// The texts of the shown picture. Counting colours walks both pictures: the panel, rebuilt often,
// leaves it out (`count_colours` false: both counts 0).
FileInfoTexts file_info_texts(Viewer& viewer, bool count_colours = true);

// The format detail: the pixel text, and " / " with the extra text when there is one (CP932).
std::string format_detail_text(const ImageInfo& info);
// The decoded size and depth, "%d x %d x %d".
std::string decoded_size_text(const ViewState& v);

// The pieces with their own format, for callers and tests that have the values at hand.
std::u16string file_size_text(uint64_t bytes);
std::u16string file_time_text(std::filesystem::file_time_type written);
std::u16string load_time_text(uint32_t milliseconds);

}  // namespace tesmo
