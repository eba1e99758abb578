// Fuzz target: the settings loader on any file content (short, long, foreign), and the record
// decoder on the input padded to a whole record.
#include <filesystem>

#include "fuzz/fuzz_driver.h"
#include "shell/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tesmo;
  static const bool folder_made =
      std::filesystem::create_directories(fuzz::work_folder() / "savedata") || true;
  (void)folder_made;
  fuzz::write_work_file("savedata/system.sav", {data, size});
  SettingsStore store(fuzz::work_path(""));
  store.load();
  effective_grid_divisions(store.settings());

  std::vector<uint8_t> record = fuzz::exact_copy(data, std::min(size, SystemSettings::kRecordSize));
  record.resize(SystemSettings::kRecordSize, 0);
  decode_settings(record);
  return 0;
}
