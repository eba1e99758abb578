// Private to formats/png_tiff: the PNG library's error and warning handlers. An error jumps back
// to the png_jmpbuf target of the operation in progress (set in a small function that holds no
// objects with destructors); warnings are dropped. Nothing is ever printed.
#pragma once

#include <png.h>

namespace tesmo::png {

[[noreturn]] void on_error(png_structp png, png_const_charp message);
void on_warning(png_structp png, png_const_charp message);

}  // namespace tesmo::png
