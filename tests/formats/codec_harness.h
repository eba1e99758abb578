// What the reader tests share: one reader's probe and decode through the memory and the file form
// of a source, the marker for pixels a decoder leaves alone, writing test bytes to a file, and the
// walk over damaged copies of a valid file.
//   using Codec = testing::CodecHarness<bmp::probe, bmp::decode>;
//   Probed p = Codec::probe_memory(bytes);   std::vector<uint32_t> px = Codec::decoded(p);
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "base/path.h"
#include "formats/codec.h"
#include "formats/image.h"
#include "temp_folder.h"

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
    p.state = Probe(source, p.info, want_text).state;
    return p;
  }
  // The memory form keeps pointing into its bytes: no temporaries.
  static Probed probe_memory(std::vector<uint8_t>&& bytes, bool want_text = true) = delete;

  static Probed probe_path(const std::u16string& path, bool want_text = true) {
    Probed p;
    ImageSource source;
    source.path = &path;
    p.state = Probe(source, p.info, want_text).state;
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

  // What a seed is, worked out from how the test built it, not by asking the reader.
  struct Truth {
    int32_t width = 0, height = 0;
    size_t header = 0;             // the bytes that hold the size: every shorter prefix is refused
    std::vector<uint32_t> pixels;  // the whole seed's picture (empty: not known by hand)
  };

  // Damaged copies of `seed`, each checked against `truth`: every prefix through the memory form
  // (the prefixes whose lengths are in `file_cuts` also through the file form, each in a fresh
  // file: rewriting one file makes the file system flush on every close), then 400 copies with
  // three bytes changed through the memory form, decoded when the picture is at most 65536 pixels.
  // Every other change falls at or after `bend_from`, so that a long header does not draw them all.
  // A prefix shorter than the header is refused; one that is accepted has the seed's size; as the
  // prefix grows, the pixels that are already right stay right (what is missing only leaves
  // pixels unwritten or filled); the whole seed gives its picture. A changed copy that is accepted
  // has sides within the limits, and the seed's size when only bytes after the header changed.
  // The sanitizers catch reads outside the data.
  struct Damage {
    std::vector<size_t> file_cuts;
    size_t bend_from = 0;
  };
  static void damaged_copies(const std::vector<uint8_t>& seed, const Truth& truth, std::mt19937& rng,
                             const Damage& damage = {}) {
    std::optional<TempFolder> folder;  // named after the test: none while the caller holds one
    if (!damage.file_cuts.empty()) folder.emplace();
    int files = 0;
    std::vector<uint32_t> right_before;  // the pixels the last accepted prefix got right
    for (size_t len = 0; len <= seed.size(); ++len) {
      SCOPED_TRACE(::testing::Message() << "prefix of " << len << " bytes");
      std::vector<uint8_t> cut(seed.begin(), seed.begin() + static_cast<ptrdiff_t>(len));
      Probed p = probe_memory(cut);
      check_prefix(p, truth, len, seed.size(), right_before);
      if (std::find(damage.file_cuts.begin(), damage.file_cuts.end(), len) == damage.file_cuts.end()) continue;
      const std::u16string path = folder->file(("cut" + std::to_string(files++)).c_str());
      write_bytes(path, cut);
      Probed f = probe_path(path);
      std::vector<uint32_t> ignored;
      check_prefix(f, truth, len, seed.size(), ignored);
    }
    const size_t from = damage.bend_from < seed.size() ? damage.bend_from : 0;
    for (int round = 0; round < 400; ++round) {
      std::vector<uint8_t> bent = seed;
      size_t first_change = bent.size();
      for (int k = 0; k < 3; ++k) {
        const size_t at = (k % 2) ? from + rng() % (bent.size() - from) : rng() % bent.size();
        bent[at] = static_cast<uint8_t>(rng());
        first_change = std::min(first_change, at);
      }
      Probed p = probe_memory(bent);
      if (!p.state) continue;
      EXPECT_TRUE(p.info.width >= 1 && p.info.width <= kMaxImageSide && p.info.height >= 1 &&
                  p.info.height <= kMaxImageSide) << p.info.width << "x" << p.info.height;
      if (first_change >= truth.header) {
        EXPECT_EQ(std::pair(p.info.width, p.info.height), std::pair(truth.width, truth.height)) << first_change;
      }
      if (int64_t{p.info.width} * p.info.height <= (1 << 16)) decoded(p);
    }
  }

 private:
  static void check_prefix(Probed& p, const Truth& truth, size_t len, size_t whole,
                           std::vector<uint32_t>& right_before) {
    if (len < truth.header) {
      EXPECT_EQ(p.state, nullptr);
      return;
    }
    if (len == whole) {
      ASSERT_NE(p.state, nullptr);
    }
    if (!p.state) return;
    ASSERT_EQ(std::pair(p.info.width, p.info.height), std::pair(truth.width, truth.height));
    const std::vector<uint32_t> px = decoded(p);
    if (truth.pixels.empty()) return;
    if (len == whole) {
      EXPECT_EQ(px, truth.pixels);
    }
    std::vector<uint32_t> right;
    for (size_t k = 0; k < px.size(); ++k) {
      if (px[k] == truth.pixels[k]) right.push_back(static_cast<uint32_t>(k));
    }
    EXPECT_TRUE(std::includes(right.begin(), right.end(), right_before.begin(), right_before.end()))
        << "a pixel that was right became wrong";
    right_before = std::move(right);
  }
};

}  // namespace tesmo::testing
