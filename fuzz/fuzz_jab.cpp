// Fuzz target: the JAB (its JPEG part and its alpha block included) reader, memory and file forms, probe then decode.
#include "formats/jab/jab.h"
#include "fuzz/fuzz_driver.h"

TESMO_FUZZ_READER(tesmo::jab::probe, tesmo::jab::decode)
