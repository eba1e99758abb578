// Fuzz target: the Exif reader over a file image (memory and file forms) and the in-place writer
// on a copy of it, with edits of a SHORT tag, LONG tags and a tag of the sub-section.
#include "formats/exif/exif.h"
#include "fuzz/fuzz_driver.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tesmo;
  std::vector<uint8_t> bytes = fuzz::exact_copy(data, size);
  std::vector<ExifRow> rows;
  exif_read_bytes(bytes, rows);

  rows.clear();
  std::u16string path = fuzz::write_work_file("input.jpg", bytes);
  exif_read(path, rows);

  ExifEdits edits;
  exif_set_value(edits, 274, 1);       // orientation (SHORT)
  exif_set_value(edits, 40962, 640);   // pixel x dimension (SHORT or LONG)
  exif_set_value(edits, 40963, 480);   // pixel y dimension
  exif_set_value(edits, 513, 0);       // thumbnail offset
  exif_update_bytes(edits, bytes);
  return 0;
}
