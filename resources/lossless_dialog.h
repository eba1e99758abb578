// The lossless transform dialog (165 "ロスレス回転"): seven radio buttons, one per transform, and a
// note that the file is overwritten.
#pragma once

#include <array>
#include <cstdint>

#include "platform/dialog.h"

namespace tesmo::resources {

inline constexpr uint16_t kLosslessDialogId = 165;
inline constexpr uint16_t kLosslessFirstChoice = 1201;  // 1201 … 1207 in the order of the choices
inline constexpr int kLosslessChoiceCount = 7;
const platform::DialogTemplate& lossless_dialog();

}  // namespace tesmo::resources
