// What one format's codec gives the registry: a probe that accepts or declines the data and keeps
// a reader state, a decoder that fills the pixel buffer from that state, and a writer.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/file_io.h"
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

// Why a reader refused its data or a decoder could not finish, worded where the fault was found
// ("truncated header", the library's own error text). Empty: no fault.
using ReadFault = std::string;

// A header check's verdict: accepted, or refused with its reason. A refusal without a reason
// means the data is simply not this format's (its signature or header checks do not match).
struct Verdict {
  Verdict(bool accepted) : ok(accepted) {}  // NOLINT: plain true/false stay verdicts
  static Verdict refused(ReadFault why) {
    Verdict v(false);
    v.reason = std::move(why);
    return v;
  }
  explicit operator bool() const { return ok; }
  bool ok;
  ReadFault reason;
};

// What a probe gives: the reader state when it accepts, else null and why it refused.
struct ProbeResult {
  ProbeResult() = default;
  ProbeResult(std::nullptr_t) {}  // NOLINT: a refusal without a reason
  template <typename State>
  ProbeResult(std::unique_ptr<State>&& accepted) : state(std::move(accepted)) {}  // NOLINT
  ProbeResult(const Verdict& refusal) : reason(refusal.reason) {}  // NOLINT: a refused verdict
  static ProbeResult refused(ReadFault why) { return Verdict::refused(std::move(why)); }
  explicit operator bool() const { return state != nullptr; }
  friend bool operator==(const ProbeResult& r, std::nullptr_t) { return r.state == nullptr; }

  std::unique_ptr<ReaderState> state;
  ReadFault reason;
};

// Accepts the data (returns the reader state, `info` filled; texts only with `want_text`) or
// declines it (null state, with the reason where the data was this format's but unusable). Never
// reads outside the source.
using ProbeFn = ProbeResult (*)(const ImageSource& source, ImageInfo& info, bool want_text);
// Writes info.width × info.height pixels. A fault (damaged data, data that ends before the last
// row) is returned: the picture is then not whole and must not be shown or saved as if it were.
using DecodeFn = ReadFault (*)(ReaderState& state, std::span<uint32_t> pixels);

// The decoder of a format whose data, once accepted, always gives a whole picture (a short file's
// missing part is filled as the format allows).
template <void (*Decode)(ReaderState&, std::span<uint32_t>)>
ReadFault whole_decode(ReaderState& state, std::span<uint32_t> pixels) {
  Decode(state, pixels);
  return {};
}
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
inline constexpr const char* kTooLargeForData = "the picture its header claims is too large for its data";
inline constexpr const char* kTruncatedHeader = "truncated header";
// The refusal of a file too short for its format's header: a reason only when the file starts with
// the format's signature (otherwise it is simply not this format's data).
inline Verdict short_header(std::span<const uint8_t> head, std::span<const uint8_t> signature) {
  const bool marked = head.size() >= signature.size() && std::equal(signature.begin(), signature.end(), head.begin());
  return marked ? Verdict::refused(kTruncatedHeader) : Verdict(false);
}

// The refusal of a header whose sides lie outside 1–32767.
inline ReadFault side_fault(int64_t width, int64_t height) {
  return "size " + std::to_string(width) + "x" + std::to_string(height) + " outside 1-" +
         std::to_string(kMaxImageSide);
}

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

// Keeps the first `limit` bytes of the file (all of it when it is shorter) in the state as the data
// its decoder reads. false when the file cannot be read or now holds fewer than `at_least` bytes.
template <typename State>
bool keep_file_bytes(const std::u16string& path, State& s, uint64_t limit = UINT64_MAX, size_t at_least = 0) {
  const auto wanted = static_cast<size_t>(std::min<uint64_t>(limit, SIZE_MAX));
  std::optional<FileBytes> bytes = read_file_bytes(path, wanted);
  if (!bytes || bytes->size() < at_least) return false;
  s.owned = std::move(*bytes);
  s.data = s.owned.span();
  return true;
}

// How a codec's file form reads a file: its first `head_bytes` bytes are recognised as the memory
// form recognises a whole file image (a shorter file is refused, with a reason only when it starts
// with `signature`); then the state keeps `kept(state, info)` bytes of the file, or all of it.
template <typename State>
struct FileForm {
  size_t head_bytes;
  std::span<const uint8_t> signature{};
  uint64_t (*kept)(const State& s, const ImageInfo& info) = nullptr;
};

template <typename State, typename Recognise>
Verdict probe_file_form(const std::u16string& path, const FileForm<State>& form, State& s, ImageInfo& info,
                        bool want_text, Recognise recognise) {
  std::optional<std::vector<uint8_t>> head = read_file_prefix(path, form.head_bytes);
  if (!head) return false;
  if (head->size() < form.head_bytes) {
    return form.signature.empty() ? Verdict(false) : short_header(*head, form.signature);
  }
  if (Verdict v = recognise(*head, s, info, want_text); !v) return v;
  return keep_file_bytes(path, s, form.kept ? form.kept(s, info) : UINT64_MAX, form.head_bytes);
}

// The probe most codecs run: the file form reads what it needs itself (`probe_file(path, state,
// info, want_text)`); the memory form recognises the caller's bytes (`recognise(bytes, state, info,
// want_text)`) and points the state's `data` at them. Both forms then ask the codec's
// `data_holds_picture(state)` (found by argument-dependent lookup) whether the data can give the
// picture the header claims. `info` changes only when the data is accepted.
template <typename State, typename FileProbe, typename Recognise>
ProbeResult probe_source(const ImageSource& source, ImageInfo& info, bool want_text, FileProbe probe_file,
                         Recognise recognise) {
  auto state = std::make_unique<State>();
  ImageInfo found = info;
  if (source.from_file()) {
    if (Verdict v = probe_file(*source.path, *state, found, want_text); !v) return v;
  } else {
    if (Verdict v = recognise(source.memory, *state, found, want_text); !v) return v;
    state->data = source.memory;
  }
  if (!data_holds_picture(*state)) return ProbeResult::refused(kTooLargeForData);
  info = std::move(found);
  return state;
}

// The same with the file form described by `form` (probe_file_form).
template <typename State, typename Recognise>
ProbeResult probe_source(const ImageSource& source, ImageInfo& info, bool want_text, const FileForm<State>& form,
                         Recognise recognise) {
  auto probe_file = [&](const std::u16string& path, State& s, ImageInfo& found, bool text) {
    return probe_file_form(path, form, s, found, text, recognise);
  };
  return probe_source<State>(source, info, want_text, probe_file, recognise);
}

// The last step of every own-format writer: the complete output replaces the file at `path`
// (folders created, read-only cleared, written beside and renamed). 0 or 1.
int write_image_file(const std::u16string& path, std::span<const uint8_t> bytes);

// The writer of a format whose encoder builds the whole file from the pixels and the request's
// pixel format (nothing when it cannot): 1 without a path or without a file, else as
// write_image_file.
using PixelFormatEncoder = std::vector<uint8_t> (*)(std::span<const uint32_t> pixels, int32_t width,
                                                    int32_t height, int32_t pixel_format);
int save_encoded(PixelFormatEncoder encode, std::span<const uint32_t> pixels, int32_t width, int32_t height,
                 const SaveRequest& request);

// Copies `text` into a stored text field of `capacity` bytes (terminator included), cutting it
// so that no two-byte CP932 character is split.
std::string fit_text(std::string_view text, size_t capacity);

}  // namespace tesmo
