// Fuzz target: the BMP, ICO and CUR reader, memory and file forms, probe then decode.
#include "formats/bmp/bmp.h"
#include "fuzz/fuzz_driver.h"

TESMO_FUZZ_READER(tesmo::bmp::probe, tesmo::bmp::decode)
