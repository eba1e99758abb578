// Number fields of the dialogs: reading what the user typed, showing a number, holding a field to
// its range.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/dialog.h"

namespace tesmo {

// The whole number a size box holds: leading blanks skipped, an optional sign, then digits;
// what follows is ignored. 0 when there are no digits; beyond the int32 range it saturates.
int32_t parse_size_field(std::u16string_view text);

// The number as the boxes show it.
std::u16string decimal(int32_t value);

// The whole number of box `id` held to lo … hi; a held number replaces the box's text.
int32_t held_field(platform::Dialog& d, uint16_t id, int32_t lo, int32_t hi);

}  // namespace tesmo
