// Private to formats/sgi: the reader state kept between probe and decode.
#pragma once

#include <cstdint>
#include <span>

#include "base/file_io.h"
#include "formats/codec.h"

namespace tesmo::sgi {

inline constexpr uint64_t kHeaderBytes = 512;

struct SgiState final : ReaderState {
  SgiState() = default;
  SgiState(const SgiState&) = delete;  // `data` may point into `owned`
  SgiState& operator=(const SgiState&) = delete;

  FileBytes owned;                // the file form's bytes
  std::span<const uint8_t> data;  // the whole file image: `owned` or the caller's memory (read only)
  int32_t width = 0;
  int32_t height = 0;
  uint32_t channels = 0;          // 1 grey, 3 RGB, 4 RGBA
  // Run-length files: height × channels big-endian row starts (absolute offsets) at 512, read in
  // place, then as many row lengths, which are not needed.
  bool run_length = false;
};

}  // namespace tesmo::sgi
