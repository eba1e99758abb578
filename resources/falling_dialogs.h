// The Falling Object Controller dialog (124, modeless): the fifteen fixed parameters on the left,
// the five variable parameters, the project file and the two pictures on the right.
#pragma once

#include <array>
#include <cstdint>

#include "platform/dialog.h"

namespace tesmo::resources {

inline constexpr uint16_t kFallingDialogId = 124;
// Edit fields of the fixed parameters in index order, then of the variable parameters.
inline constexpr std::array<uint16_t, 15> kFallingFixedFields = {1012, 1013, 1014, 1015, 1016, 1017, 1061, 1062,
                                                                 1023, 1024, 1063, 1064, 1065, 1066, 1067};
inline constexpr std::array<uint16_t, 5> kFallingVariableFields = {1051, 1050, 1020, 1021, 1022};
// Up-downs stepping fixed parameters 4, 5 and 14 and every variable parameter. The fade type's
// takes 3015: 3014 belongs to the last variable parameter's, and ids name one control each.
struct FallingUpDown {
  int index;
  uint16_t id;
};
inline constexpr std::array<FallingUpDown, 3> kFallingFixedUpDowns = {{{4, 3004}, {5, 3005}, {14, 3015}}};
inline constexpr std::array<uint16_t, 5> kFallingVariableUpDowns = {3010, 3011, 3012, 3013, 3014};
inline constexpr uint16_t kFallingProjectField = 1058, kFallingProjectBrowse = 1059, kFallingProjectEdit = 1060;
inline constexpr uint16_t kFallingLoad = 1034, kFallingSave = 1035;
inline constexpr uint16_t kFallingBackgroundField = 1052, kFallingBackgroundBrowse = 1054,
                          kFallingBackgroundView = 1056;
inline constexpr uint16_t kFallingSpriteField = 1053, kFallingSpriteBrowse = 1055, kFallingSpriteView = 1057;
inline constexpr uint16_t kFallingPlay = 1, kFallingClose = 2;

const platform::DialogTemplate& falling_dialog();

}  // namespace tesmo::resources
