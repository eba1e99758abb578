// Fuzz target: the PCX reader, memory and file forms, probe then decode.
#include "formats/pcx/pcx.h"
#include "fuzz/fuzz_driver.h"

TESMO_FUZZ_READER(tesmo::pcx::probe, tesmo::pcx::decode)
