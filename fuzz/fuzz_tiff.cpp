// Fuzz target: the TIFF adapter (directory checks, strip reading, sample conversion). Memory
// sources are declined by design, so the file form carries the run; the memory form checks that.
#include "formats/png_tiff/png_tiff.h"
#include "fuzz/fuzz_driver.h"

TESMO_FUZZ_READER(tesmo::tiff::probe, tesmo::tiff::decode)
