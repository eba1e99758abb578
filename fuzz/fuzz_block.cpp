// Fuzz target: compressed blocks as the readers expand them (block_expand into an exact output of
// the recorded length and into a short one) and as the tools decode them (block_decode).
#include "fuzz/fuzz_driver.h"
#include "tools/pack/block.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tesmo;
  std::vector<uint8_t> block = fuzz::exact_copy(data, size);
  if (auto header = block_header(block)) {
    // The readers size the output from what they expect; a budget keeps the run fast.
    size_t length = std::min<size_t>(header->raw_length, 1u << 16);
    std::vector<uint8_t> out(length);
    BlockStream stream;
    block_expand(stream, out, block);
    std::vector<uint8_t> half(length / 2);
    BlockStream small{.input_chunk = 7, .output_chunk = 5};
    block_expand(small, half, block);
  }
  block_decode(block);
  return 0;
}
