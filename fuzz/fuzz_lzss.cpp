// Fuzz target: the LZSS decoder on a bare code stream. The first two bytes give the output size
// (so that short and exact outputs are both tried), the rest is the code.
#include "fuzz/fuzz_driver.h"
#include "tools/pack/lzss.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  size_t length = data[0] | (size_t{data[1]} << 8);
  std::vector<uint8_t> code = tesmo::fuzz::exact_copy(data + 2, size - 2);
  std::vector<uint8_t> out(length);
  tesmo::lzss_decode(code, out);
  return 0;
}
