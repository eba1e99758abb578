// What the reader tests share: one reader's probe and decode through the memory and the file form
// of a source, the marker for pixels a decoder leaves alone, and writing test bytes to a file.
//   using Codec = testing::CodecHarness<bmp::probe, bmp::decode>;
//   Probed p = Codec::probe_memory(bytes);   std::vector<uint32_t> px = Codec::decoded(p);
#pragma once

#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "base/path.h"
#include "formats/codec.h"

namespace tesmo::testing {

struct Probed {
  std::unique_ptr<ReaderState> state;
  ImageInfo info;
};

// Pixels the decoder did not write keep this value.
inline constexpr uint32_t kUntouched = 0xDEADBEEF;

inline void write_bytes(const std::u16string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(to_fs_path(path), std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

template <auto Probe, auto Decode>
struct CodecHarness {
  static Probed probe_memory(const std::vector<uint8_t>& bytes, bool want_text = true) {
    Probed p;
    ImageSource source;
    source.memory = bytes;
    p.state = Probe(source, p.info, want_text);
    return p;
  }
  // The memory form keeps pointing into its bytes: no temporaries.
  static Probed probe_memory(std::vector<uint8_t>&& bytes, bool want_text = true) = delete;

  static Probed probe_path(const std::u16string& path, bool want_text = true) {
    Probed p;
    ImageSource source;
    source.path = &path;
    p.state = Probe(source, p.info, want_text);
    return p;
  }

  // The picture the decoder wrote over a block of kUntouched (all kUntouched when it was refused).
  static std::vector<uint32_t> decoded(Probed& p) {
    std::vector<uint32_t> px(static_cast<size_t>(p.info.width) * static_cast<size_t>(p.info.height), kUntouched);
    if (p.state) Decode(*p.state, px);
    return px;
  }

  static std::vector<uint32_t> decode_memory(const std::vector<uint8_t>& bytes) {
    Probed p = probe_memory(bytes);
    EXPECT_NE(p.state, nullptr);
    return decoded(p);
  }
};

}  // namespace tesmo::testing
