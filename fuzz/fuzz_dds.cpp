// Fuzz target: the DDS reader, memory and file forms, probe then decode.
#include "formats/dds/dds.h"
#include "fuzz/fuzz_driver.h"

TESMO_FUZZ_READER(tesmo::dds::probe, tesmo::dds::decode)
