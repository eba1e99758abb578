// Fuzz target: the JPEG adapter (error handling around the library, header checks, the copy of the
// decoded rows into the pixel buffer), memory and file forms.
#include "formats/jpeg/jpeg.h"
#include "fuzz/fuzz_driver.h"

TESMO_FUZZ_READER(tesmo::jpeg::probe, tesmo::jpeg::decode)
