// Fuzz target: the pack list reader with every option bit set (the strict file-name check
// included), then the identifiers of what it read in all eight forms.
#include "fuzz/fuzz_driver.h"
#include "tools/pack/pack_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tesmo;
  std::u16string path = fuzz::write_work_file("input.lst", {data, size});
  Packer packer;
  pack_list_read(packer, path, 0xFFFFFFFFu);
  for (const PackEntry& e : packer.entries) {
    for (int form = 0; form < 8; ++form) pack_identifier(e.name, form, e.strip_bin);
    pack_source_path(fuzz::work_path(""), e.name);
  }
  return 0;
}
