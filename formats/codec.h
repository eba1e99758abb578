// What one format's codec gives the registry: a probe that accepts or declines the data and keeps
// a reader state, a decoder that fills the pixel buffer from that state, and a writer.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "formats/image.h"

namespace tesmo {

// Where an image comes from: a file path, or a complete file image in memory (with its length).
struct ImageSource {
  const std::u16string* path = nullptr;
  std::span<const uint8_t> memory;
  bool from_file() const { return path != nullptr; }
};

// A format's parsed header and the bytes its decoder will read. The file form owns the bytes; the
// memory form points into the caller's memory, which stays valid until decoding ends.
class ReaderState {
 public:
  virtual ~ReaderState() = default;
};

// Accepts the data (returns the reader state, `info` filled; texts only with `want_text`) or
// declines it (returns null). Never reads outside the source.
using ProbeFn = std::unique_ptr<ReaderState> (*)(const ImageSource& source, ImageInfo& info,
                                                 bool want_text);
// Writes info.width × info.height pixels; data it cannot use leaves those pixels as they were.
using DecodeFn = void (*)(ReaderState& state, std::span<uint32_t> pixels);
// Builds and writes the file of `request`; 0 on success, 1 on failure (old file left as it was).
using SaveFn = int (*)(std::span<const uint32_t> pixels, int32_t width, int32_t height,
                       const SaveRequest& request);

// How much picture a header may claim before its data proves it exists. The caller sizes the pixel
// block (width × height × 4 bytes) from the header alone, so a few bytes claiming 32767 × 32767
// would cost 4 GiB. Up to kUnprovenPixels pixels a header is believed (a short file decodes as far
// as its data goes, the rest left as it was). A larger picture is accepted only when its data could
// give it: `data_bytes` × `max_expansion` must reach `stored_bytes`, the picture's size as stored
// without compression. `max_expansion` is 1 for stored rows and, for coded layouts, the most
// output bytes one byte of code can give (a run-length code's longest run over its code size;
// kUnboundedExpansion for codings without a useful bound, such as JPEG's end-of-band runs).
inline constexpr uint64_t kUnprovenPixels = uint64_t{1} << 20;  // 1024 × 1024: a 4 MiB pixel block
inline constexpr uint64_t kUnboundedExpansion = 1024;

constexpr bool picture_within_data(int64_t width, int64_t height, uint64_t stored_bytes,
                                   uint64_t data_bytes, uint64_t max_expansion) {
  if (width <= 0 || height <= 0) return true;  // the side checks refuse these
  if (uint64_t(width) * uint64_t(height) <= kUnprovenPixels) return true;
  // data_bytes is a file size (below 2^48) and max_expansion at most 2^16: no overflow.
  return data_bytes * max_expansion >= stored_bytes;
}

// The data of a reader state from byte `at` on (0 bytes when `at` lies past its end).
inline uint64_t bytes_from(std::span<const uint8_t> data, uint64_t at) {
  return at < data.size() ? data.size() - at : 0;
}

// The probe most codecs run: the file form reads what it needs itself (`probe_file(path, state,
// info, want_text)`); the memory form recognises the caller's bytes (`recognise(bytes, state, info,
// want_text)`) and points the state's `data` at them. Both forms then ask the codec's
// `data_holds_picture(state)` (found by argument-dependent lookup) whether the data can give the
// picture the header claims. `info` changes only when the data is accepted.
template <typename State, typename FileProbe, typename Recognise>
std::unique_ptr<ReaderState> probe_source(const ImageSource& source, ImageInfo& info, bool want_text,
                                          FileProbe probe_file, Recognise recognise) {
  auto state = std::make_unique<State>();
  ImageInfo found = info;
  if (source.from_file()) {
    if (!probe_file(*source.path, *state, found, want_text)) return nullptr;
  } else {
    if (!recognise(source.memory, *state, found, want_text)) return nullptr;
    state->data = source.memory;
  }
  if (!data_holds_picture(*state)) return nullptr;
  info = std::move(found);
  return state;
}

// The last step of every own-format writer: the complete output replaces the file at `path`
// (folders created, read-only cleared, written beside and renamed). 0 or 1.
int write_image_file(const std::u16string& path, std::span<const uint8_t> bytes);

// Copies `text` into a stored text field of `capacity` bytes (terminator included), cutting it
// so that no two-byte CP932 character is split.
std::string fit_text(std::string_view text, size_t capacity);

}  // namespace tesmo
