// Fuzz target: the pack archive reader from memory and from a file: header, index, and the stored
// bytes and expanded data of the entries.
#include "fuzz/fuzz_driver.h"
#include "tools/pack/archive.h"

namespace {

void read_entries(const tesmo::ArchiveReader& archive) {
  uint32_t count = std::min<uint32_t>(archive.count() + 1, 64);  // one past the end as well
  for (uint32_t i = 0; i < count; ++i) {
    archive.entry_bytes(i);
    archive.entry_data(i);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tesmo;
  std::vector<uint8_t> bytes = fuzz::exact_copy(data, size);
  if (auto archive = ArchiveReader::open_memory(bytes)) read_entries(*archive);
  std::u16string path = fuzz::write_work_file("input.dat", bytes);
  if (auto archive = ArchiveReader::open_file(path)) read_entries(*archive);
  return 0;
}
