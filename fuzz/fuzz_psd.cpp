// Fuzz target: the PSD reader, memory and file forms, probe then decode.
#include "formats/psd/psd.h"
#include "fuzz/fuzz_driver.h"

TESMO_FUZZ_READER(tesmo::psd::probe, tesmo::psd::decode)
