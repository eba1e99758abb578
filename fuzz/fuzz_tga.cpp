// Fuzz target: the TGA reader, memory and file forms, probe then decode.
#include "formats/tga/tga.h"
#include "fuzz/fuzz_driver.h"

TESMO_FUZZ_READER(tesmo::tga::probe, tesmo::tga::decode)
