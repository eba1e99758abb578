// Fuzz target: the pack list reader with every option bit set (the strict file-name check
// included), then the identifiers of what it read in all eight forms. A Z directive of a few
// bytes adds up to 32768 dummy entries whose names are all "dummy_NNNN"; only the first few go
// through the identifier forms, and the entry list keeps its room from one run to the next, so
// that such inputs do not starve the search with regrowing a list of 32768 entries.
#include "fuzz/fuzz_driver.h"
#include "tools/pack/pack_list.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tesmo;
  std::u16string path = fuzz::write_work_file("input.lst", {data, size});
  static std::vector<PackEntry> room;
  Packer packer;
  packer.entries = std::move(room);
  packer.entries.clear();
  pack_list_read(packer, path, 0xFFFFFFFFu);
  int dummies = 0;
  for (const PackEntry& e : packer.entries) {
    if (e.dummy && ++dummies > 4) continue;
    for (int form = 0; form < 8; ++form) pack_identifier(e.name, form, e.strip_bin);
    pack_source_path(fuzz::work_path(""), e.name);
  }
  room = std::move(packer.entries);
  return 0;
}
