// The path generator's tables: sample values as C array initialiser lines ("\r\n" line ends) for
// pasting into game source — a straight line of floats or integers, a half sine arch, a figure
// eight in 4096-per-unit fixed point, or the bicubic filter kernel.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tesmo {

enum class PathType : int32_t { LineFloat = 0, LineInt = 1, SineArch = 2, FigureEight = 3, Bicubic = 4 };
inline constexpr int32_t kPathTypeCount = 5;

// One row of the type list: its name and the texts its four fields take when it is chosen (from,
// to, scale, second scale).
struct PathTypeRow {
  std::u16string_view name;
  std::array<std::u16string_view, 4> defaults;
};
const std::array<PathTypeRow, kPathTypeCount>& path_types();

struct PathRequest {
  int32_t type = 0;  // a PathType; anything else gives an empty table
  int32_t from = 0;  // A
  int32_t to = 0;    // B
  float scale = 0;   // S: the number of values (lines, sine), the x amplitude (figure eight)
  float scale2 = 0;  // T: the y amplitude (figure eight)
};

// The tables are built in a buffer of this size; the bicubic table and long ranges fit.
inline constexpr size_t kPathTextLimit = size_t{1} << 20;

// The table's text. Lines and the sine arch are empty when S truncates to less than 1; the bicubic
// table ignores every field. Nothing when the text would pass kPathTextLimit (building stops there,
// so a huge count or range costs no more than the limit).
std::optional<std::string> path_table_text(const PathRequest& request);

}  // namespace tesmo
