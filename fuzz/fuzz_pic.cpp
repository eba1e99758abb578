// Fuzz target: the PIC reader, memory and file forms, probe then decode.
#include "formats/pic/pic.h"
#include "fuzz/fuzz_driver.h"

TESMO_FUZZ_READER(tesmo::pic::probe, tesmo::pic::decode)
