// Fuzz target: the PNG adapter (accepted image kinds, palette and grey tables, the conversion of
// rows into the pixel buffer), memory and file forms.
#include "formats/png_tiff/png_tiff.h"
#include "fuzz/fuzz_driver.h"

TESMO_FUZZ_READER(tesmo::png::probe, tesmo::png::decode)
