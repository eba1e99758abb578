// Fuzz target: the FNT reader, memory and file forms, probe then decode.
#include "formats/fnt/fnt.h"
#include "fuzz/fuzz_driver.h"

TESMO_FUZZ_READER(tesmo::fnt::probe, tesmo::fnt::decode)
