// Fuzz target: any bytes through the registry's whole probe order, from memory and from a file,
// then the decoder of whichever reader accepted them.
#include "fuzz/fuzz_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tesmo::fuzz::drive_registry(data, size);
  return 0;
}
