// Fuzz target: the SGI reader, memory and file forms, probe then decode.
#include "formats/sgi/sgi.h"
#include "fuzz/fuzz_driver.h"

TESMO_FUZZ_READER(tesmo::sgi::probe, tesmo::sgi::decode)
