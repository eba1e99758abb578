// The Arbitrary zoom dialog (159): the zoom in percent typed as a number, held to 1–1600.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tesmo {

class Viewer;

// The field's first text for a zoom in 1/256 percent: "%d" when zoom modulo 256 is below 2,
// else "%.2f" (always with a point, whatever the process locale).
std::u16string zoom_field_text(int32_t zoom);

// The number a field holds: leading blanks skipped, then a decimal number with an optional sign,
// point and exponent; what follows is ignored. 0 when none is there.
double parse_zoom_field(std::u16string_view text);

// Shows the dialog with the current zoom x. OK holds the number to 1–1600 (writing the held value
// "1.00" or "1600.00" back into the field) and sets both zooms to number × 256, truncated; returns 0.
// Cancel changes nothing and returns 2; so does a dialog that cannot be shown.
int zoom_arbitrary(Viewer& viewer);

}  // namespace tesmo
