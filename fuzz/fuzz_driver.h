// What every fuzz target shares: an exact copy of the input (so that a read one byte past the end
// is caught), one fixed temporary file per process for the file forms, and the way the surface
// table drives a reader: probe, then a pixel block of width × height, then decode.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "base/text.h"
#include "formats/codec.h"
#include "formats/image.h"
#include "formats/registry.h"

namespace tesmo::fuzz {

// A folder of this process, removed when the process ends normally. It lies in shared memory when
// the system has it, so that rewriting the input file for every run never waits for a disk.
inline const std::filesystem::path& work_folder() {
  static const std::filesystem::path folder = [] {
    std::error_code ec;
    const std::filesystem::path shm = "/dev/shm";
    const auto base = std::filesystem::is_directory(shm, ec) ? shm : std::filesystem::temp_directory_path();
    auto f = base / ("tesmo-fuzz-" + std::to_string(::getpid()));
    std::filesystem::create_directories(f);
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(work_folder(), ec);
    });
    return f;
  }();
  return folder;
}

inline std::u16string work_path(const std::string& name) {
  return utf8_to_utf16((work_folder() / name).string());
}

// Rewrites the file `name` in the work folder with `data`; returns its path.
inline std::u16string write_work_file(const std::string& name, std::span<const uint8_t> data) {
  std::ofstream out(work_folder() / name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  return work_path(name);
}

inline std::vector<uint8_t> exact_copy(const uint8_t* data, size_t size) {
  return std::vector<uint8_t>(data, data + size);
}

// A reader that accepts a side outside 1–32767 breaks the registry's contract.
inline void check_sides(const ImageInfo& info) {
  if (info.width < 1 || info.height < 1 || info.width > kMaxImageSide || info.height > kMaxImageSide)
    __builtin_trap();
}

// Pictures are decoded up to this many pixels. Larger ones run the same row code many more times
// (instrumented, that costs milliseconds per input and starves the search), so they are probed only:
// the probe, where the size rule for large pictures lives, still sees every claimed size.
inline constexpr size_t kDecodedPixels = size_t{1} << 16;

inline bool worth_decoding(const ImageInfo& info) {
  return static_cast<size_t>(info.width) * static_cast<size_t>(info.height) <= kDecodedPixels;
}

// Probe, then decode into a block of exactly width × height pixels, as the surface table does.
// `decode` is a codec's decoder: with or without a fault result.
template <typename Decode>
void probe_and_decode(ProbeFn probe, Decode decode, const ImageSource& source) {
  ImageInfo info;
  ProbeResult result = probe(source, info, true);
  if (!result) return;
  check_sides(info);
  if (!worth_decoding(info)) return;
  std::vector<uint32_t> pixels(static_cast<size_t>(info.width) * static_cast<size_t>(info.height));
  decode(*result.state, pixels);
}

// One reader through its memory form and its file form.
template <typename Decode>
void drive_reader(ProbeFn probe, Decode decode, const uint8_t* data, size_t size,
                         bool file_form = true, bool memory_form = true) {
  if (memory_form) {
    std::vector<uint8_t> bytes = exact_copy(data, size);
    ImageSource memory{.memory = bytes};
    probe_and_decode(probe, decode, memory);
  }
  if (file_form) {
    std::u16string path = write_work_file("input", {data, size});
    ImageSource file{.path = &path};
    probe_and_decode(probe, decode, file);
  }
}

// The registry as the viewer uses it, for one ImageFile.
inline void registry_decode(ImageFile& file) {
  check_sides(file.info);
  if (!worth_decoding(file.info)) return;
  std::vector<uint32_t> pixels(static_cast<size_t>(file.info.width) *
                               static_cast<size_t>(file.info.height));
  image_decode(file, pixels);
}

inline void drive_registry(const uint8_t* data, size_t size) {
  std::vector<uint8_t> bytes = exact_copy(data, size);
  ImageFile memory = image_file_create(true);
  if (image_probe_memory(memory, bytes) == 0) registry_decode(memory);
  image_file_close(memory);

  std::u16string path = write_work_file("input", {data, size});
  ImageFile file = image_file_create(true);
  if (image_probe(file, path) == 0) registry_decode(file);
  image_file_close(file);
}

}  // namespace tesmo::fuzz

// A target that drives one reader through both forms.
#define TESMO_FUZZ_READER(probe, decode)                                    \
  extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
    tesmo::fuzz::drive_reader(probe, decode, data, size);                   \
    return 0;                                                               \
  }
