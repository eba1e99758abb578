// The surface table: every picture the system shows or edits, as 32-bit pixels under an integer key.
//
//   surface_table.cpp  SurfaceTable, find / create / load / save / remove / duplicate / swap, copy_rect
//   surface_fill.cpp   fill, set_alpha, back_buffer_pixel
//   surface_trim.cpp   automatic trim
//   surface_stats.cpp  colour count, histogram
//   compositor.h       blit, the operation table and the operations (their own map)
//
// Pixel: one little-endian word, blue in the lowest byte, then green, red, alpha. Rows run top to
// bottom; the stride is the width. Results: 0 success, 1 failure (2 where an operation says so).
// The window thread changes the table. Only the key index is locked, so that a save worker can look
// up its surface meanwhile; pixels are never locked.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/aligned_block.h"
#include "formats/image.h"

namespace tesmo {

// Keys fixed by convention; the table gives keys no meaning.
enum SurfaceKey : int32_t {
  kKeyViewerTemporary = -3,  // a copy the viewer makes and removes within one step: the preview's
                             // source carrying the alpha channel, a background picture being tried
  kKeyBlurTemporary = -1,
  kKeyTrimTemporary = -2,  // also the displacement snapshot, which stays
  kKeyBackBuffer = 0,
  kKeyImage = 1,
  kKeyAlpha = 2,
  kKeyWork = 3,
  kKeyEditInput = 4,
  kKeyPreview = 5,
  kKeyClipboardView = 14,  // the clipboard's work surface: the view as the window shows it
  kKeyMarkerStar = 15,     // the two marker star pictures of the embedded archive
  kKeyMarkerStarSecond = 16,
  kKeyUndoImage = 17,
  kKeyUndoAlpha = 18,
  kKeyBackground = 19,
  kKeyJobName = 20,  // the background job's progress texts: the file name
  kKeyJobTime = 21,  // and the elapsed time
  kKeyFallingSprites = 30,  // the falling object preview's sprite sheet
};

// Pixels past the picture in every pixel block; they are never part of the picture.
inline constexpr int32_t kSparePixels = 8;
// width × height + 8 must stay a positive 32-bit count; larger sizes fail to be created.
inline constexpr int64_t kMaxSurfacePixels = INT32_MAX - kSparePixels;

struct Rect {
  int32_t x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

// One picture. Owned by the table; the address stays valid until the key is removed or replaced.
struct Surface {
  int32_t key = 0;
  int32_t width = 0;   // 0 × 0 is allowed
  int32_t height = 0;
  AlignedBlock block;  // (width × height + 8) pixels, 32-byte aligned, not cleared when made
  AlignedBlock aux;    // a per-surface map of the lens and polar operations; empty when none
  ImageInfo info;      // what the picture was decoded from; default for a created surface

  uint32_t* pixels() const { return reinterpret_cast<uint32_t*>(block.data()); }
  size_t pixel_count() const { return static_cast<size_t>(width) * static_cast<size_t>(height); }
  std::span<uint32_t> picture() const { return {pixels(), pixel_count()}; }
  size_t buffer_bytes() const { return block.size(); }
};

// The lookup tables the colour operations build on first use; each counts as not built while its
// marker holds the value set here.
struct ColourTables {
  std::vector<uint8_t> colour_balance = not_built(201 * 256);  // not built while [0] is 255
  std::vector<uint8_t> gamma = not_built(1000 * 256);          // not built while [0] is 255
  std::array<uint32_t, 256> noise_palette{0xFFFFFFFFu};        // not built while [0] is all ones
  std::array<uint8_t, 256> posterize{};
  int32_t posterize_levels = -1;  // the level count `posterize` was built for
  std::array<std::array<uint8_t, 256>, 3> tone{};  // red, green, blue
  int32_t tone_curve = -1;                         // the curve and exposures `tone` was built for
  std::array<int32_t, 3> tone_exposure{-1, -1, -1};

 private:
  static std::vector<uint8_t> not_built(size_t n) {
    std::vector<uint8_t> t(n, 0);
    t[0] = 255;
    return t;
  }
};

// The compositor's operation table (compositor.h): one row per op code 0–62.
struct OpRow;
inline constexpr int32_t kOpCount = 63;

// The pseudo-random source of the noise operation: values 0–32767 from the C standard's example
// linear congruential generator. Any uniform source serves; this one is small and reproducible.
class PseudoRandom {
 public:
  explicit PseudoRandom(uint32_t seed) : state_(seed) {}
  int32_t next() {
    state_ = state_ * 1103515245u + 12345u;
    return static_cast<int32_t>((state_ >> 16) & 0x7FFF);
  }

 private:
  uint32_t state_;
};

// The one table of surfaces: at most one surface per key, kept in insertion order. Looking a key up
// is safe while another thread adds or removes other keys (a save worker finds its surface while
// frames go on); the surfaces themselves are not locked.
class SurfaceTable {
 public:
  // Seeds `random` from the millisecond clock; the second form takes the seed (tests, replays).
  SurfaceTable();
  explicit SurfaceTable(uint32_t seed);
  SurfaceTable(const SurfaceTable&) = delete;
  SurfaceTable& operator=(const SurfaceTable&) = delete;

  Surface* find(int32_t key) const;  // null when missing
  Surface& append(std::unique_ptr<Surface> s);  // at the end, replacing any surface under its key
  void remove(int32_t key);                     // a missing key is ignored
  std::vector<int32_t> keys() const;            // in insertion order
  size_t size() const;

  const OpRow* ops;  // the operation table, kOpCount rows indexed by op code; fixed at construction
  Rect clip;         // applied by the compositor when a caller asks for clipping
  Rect saved_clip;   // where a caller keeps `clip` while it sets its own
  ColourTables tables;
  PseudoRandom random;

 private:
  mutable std::mutex lock_;
  std::vector<std::unique_ptr<Surface>> order_;
  std::unordered_map<int32_t, Surface*> index_;
};

// The surface under `key`, or null.
Surface* surface_find(const SurfaceTable& t, int32_t key);

// Replaces any surface under `key` by a new width × height one with an uncleared pixel block and a
// default `info`, appended at the end. 1 when a side is negative, width × height exceeds
// kMaxSurfacePixels or memory runs out; the key then has no surface (never a stale or half-made one).
int surface_create(SurfaceTable& t, int32_t key, int32_t width, int32_t height);

// Removes any surface under `key`, then opens the file or the complete file image in memory by
// content and decodes it into a new surface (`info` from the reader; texts only with `want_text`).
// 1 when no reader accepts it, its data is damaged or ends before the last row, or memory runs
// out: the key then has no surface, and `fault` (when given) says why.
int surface_load(SurfaceTable& t, int32_t key, const std::u16string& path, bool want_text,
                 std::string* fault = nullptr);
int surface_load(SurfaceTable& t, int32_t key, std::span<const uint8_t> memory, bool want_text,
                 std::string* fault = nullptr);
// The surface `surface_load` would add under `key`, decoded outside any table (on any thread, so a
// picture can be read ahead and later handed to a table with `SurfaceTable::append`); null with
// `fault` when it cannot be read.
std::unique_ptr<Surface> surface_decode(int32_t key, const std::u16string& path, bool want_text,
                                        std::string* fault = nullptr);

// Writes the surface to `path`. With `request`: its format, pixel_format, compress, quality and (when
// not empty) exif_source and fnt_header_text; `bits` and its path are not used. Without: BMP, pixel
// format 5 for 24 bits or 6 for 32. 1 for a missing key, another depth without request, or a failed
// write; else 0.
int surface_save(const SurfaceTable& t, int32_t key, const std::u16string& path, int32_t bits,
                 const SaveRequest* request);

// Releases the surface, its pixel block and auxiliary block; a missing key is ignored.
void surface_remove(SurfaceTable& t, int32_t key);

// Makes `dst` a copy of `src`: size, pixels and info, not the auxiliary block. A missing source gives
// a 0 × 0 destination; dst == src leaves it as it is. 1 when memory runs out (dst then missing).
int surface_duplicate(SurfaceTable& t, int32_t dst, int32_t src);

// Releases both auxiliary blocks and exchanges pixel blocks and sizes; keys, order and `info` stay.
// 1 when either key is missing.
int surface_swap_pixels(SurfaceTable& t, int32_t a, int32_t b);

// Copies the w × h rectangle at (x, y) of `src` to the top-left corner of `dst` with OpCopy. Trusts
// the rectangle: the caller keeps it inside both surfaces.
void copy_rect(Surface& dst, const Surface& src, int32_t x, int32_t y, int32_t w, int32_t h);

// A zeroed, 32-byte-aligned auxiliary block of `bytes` bytes for `s`, replacing the old one (reused
// when it has the same size). Empty when `bytes` is 0 or memory runs out.
std::span<uint8_t> ensure_aux(Surface& s, size_t bytes);
void release_aux(Surface& s);

// Sets every picture pixel to the colour; alpha only, keeping the colours. Missing keys: nothing.
void surface_fill(SurfaceTable& t, int32_t key, uint8_t red, uint8_t green, uint8_t blue, uint8_t alpha);
void surface_set_alpha(SurfaceTable& t, int32_t key, uint8_t alpha);

// The pixel word at (x, y) of the back buffer (key 0); −1 when there is none or (x, y) is outside it.
int64_t back_buffer_pixel(const SurfaceTable& t, int32_t x, int32_t y);

// Side flags of surface_auto_trim.
enum TrimFlag : uint32_t {
  kTrimTop = 1, kTrimBottom = 2, kTrimLeft = 4, kTrimRight = 8, kTrimEqualMargins = 0x100,
};
// Cuts the rows and columns on the flagged sides whose every pixel equals `colour` (all 32 bits);
// with kTrimEqualMargins both opposite sides lose the smaller margin. Builds the result in surface
// −2 and swaps it in. 0 trimmed (`out` = kept rectangle in the old picture), 1 missing key, key −2
// or no memory, 2 nothing to trim (also an entirely `colour` picture); only 0 changes the surface.
int surface_auto_trim(SurfaceTable& t, int32_t key, uint32_t flags, uint32_t colour, Rect& out);

// Distinct red-green-blue values (alpha ignored); 0 for a missing key.
int32_t surface_count_colours(const SurfaceTable& t, int32_t key);

struct Histogram {
  std::array<uint32_t, 256> red{}, green{}, blue{}, alpha{};
  std::array<uint32_t, 4> maxima{};  // the largest counter of red, green, blue, alpha
};
// Counts every pixel's four bytes. 1 for a missing key (`out` untouched), else 0.
int surface_histogram(const SurfaceTable& t, int32_t key, Histogram& out);

}  // namespace tesmo
