// The surface table: keyed pictures, their creation, decoding, saving, copying and exchange.
#include <algorithm>
#include <chrono>
#include <utility>

#include "formats/registry.h"
#include "surface/compositor.h"
#include "surface/surface.h"

namespace tesmo {
namespace {

// The system's millisecond timer: time since an arbitrary start, wrapping after 49.7 days.
uint32_t millisecond_clock() {
  auto now = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

// A fresh surface of the given size, or null when the size is invalid or memory runs out.
std::unique_ptr<Surface> make_surface(int32_t key, int32_t width, int32_t height) {
  if (width < 0 || height < 0) return nullptr;
  const int64_t picture = int64_t{width} * int64_t{height};
  if (picture > kMaxSurfacePixels) return nullptr;
  auto s = std::make_unique<Surface>();
  s->key = key;
  s->width = width;
  s->height = height;
  s->block = AlignedBlock::allocate(static_cast<size_t>(picture + kSparePixels) * sizeof(uint32_t));
  if (!s->block) return nullptr;
  return s;
}

// The surface of an accepted picture, or null with the fault when the data is not a whole picture
// or memory runs out.
std::unique_ptr<Surface> decoded_surface(ImageFile& file, int32_t key, std::string& fault) {
  std::unique_ptr<Surface> s = make_surface(key, file.info.width, file.info.height);
  if (!s) {
    fault = "not enough memory for the picture";
    return nullptr;
  }
  s->info = file.info;
  if (image_decode(file, s->picture()) != 0) {
    fault = file.fault;
    return nullptr;
  }
  return s;
}

template <typename Probe>
std::unique_ptr<Surface> decode_with(int32_t key, bool want_text, std::string* fault, Probe probe) {
  ImageFile file = image_file_create(want_text);
  std::string why;
  std::unique_ptr<Surface> s;
  if (probe(file) != 0) {
    why = file.fault;
  } else {
    s = decoded_surface(file, key, why);
  }
  image_file_close(file);
  if (!s && fault) *fault = why;
  return s;
}

template <typename Probe>
int load_with(SurfaceTable& t, int32_t key, bool want_text, std::string* fault, Probe probe) {
  t.remove(key);
  std::unique_ptr<Surface> s = decode_with(key, want_text, fault, probe);
  if (!s) return 1;
  t.append(std::move(s));
  return 0;
}

}  // namespace

SurfaceTable::SurfaceTable() : SurfaceTable(millisecond_clock()) {}

SurfaceTable::SurfaceTable(uint32_t seed) : ops(op_table().data()), random(seed) {}

Surface* SurfaceTable::find(int32_t key) const {
  std::lock_guard guard(lock_);
  auto it = index_.find(key);
  return it == index_.end() ? nullptr : it->second;
}

Surface& SurfaceTable::append(std::unique_ptr<Surface> s) {
  remove(s->key);
  std::lock_guard guard(lock_);
  Surface& added = *s;
  index_[added.key] = &added;
  order_.push_back(std::move(s));
  return added;
}

void SurfaceTable::remove(int32_t key) {
  std::unique_ptr<Surface> gone;  // released after the lock, so a large block never holds it up
  std::lock_guard guard(lock_);
  auto it = index_.find(key);
  if (it == index_.end()) return;
  const Surface* s = it->second;
  index_.erase(it);
  auto pos = std::find_if(order_.begin(), order_.end(), [s](const auto& p) { return p.get() == s; });
  gone = std::move(*pos);
  order_.erase(pos);
}

size_t SurfaceTable::size() const {
  std::lock_guard guard(lock_);
  return order_.size();
}

std::vector<int32_t> SurfaceTable::keys() const {
  std::lock_guard guard(lock_);
  std::vector<int32_t> keys;
  keys.reserve(order_.size());
  for (const auto& s : order_) keys.push_back(s->key);
  return keys;
}

Surface* surface_find(const SurfaceTable& t, int32_t key) { return t.find(key); }

int surface_create(SurfaceTable& t, int32_t key, int32_t width, int32_t height) {
  // The old surface goes first: its memory is then free for the new block, which matters for
  // large pictures (no second copy in memory, and the allocator can hand back warm pages).
  t.remove(key);
  std::unique_ptr<Surface> s = make_surface(key, width, height);
  if (!s) return 1;
  t.append(std::move(s));
  return 0;
}

int surface_load(SurfaceTable& t, int32_t key, const std::u16string& path, bool want_text, std::string* fault) {
  return load_with(t, key, want_text, fault, [&](ImageFile& f) { return image_probe(f, path); });
}

std::unique_ptr<Surface> surface_decode(int32_t key, const std::u16string& path, bool want_text, std::string* fault) {
  return decode_with(key, want_text, fault, [&](ImageFile& f) { return image_probe(f, path); });
}

int surface_load(SurfaceTable& t, int32_t key, std::span<const uint8_t> memory, bool want_text,
                 std::string* fault) {
  return load_with(t, key, want_text, fault, [&](ImageFile& f) { return image_probe_memory(f, memory); });
}

int surface_save(const SurfaceTable& t, int32_t key, const std::u16string& path, int32_t bits,
                 const SaveRequest* request) {
  const Surface* s = t.find(key);
  if (!s) return 1;
  SaveRequest r;
  r.path = path;
  if (request) {
    r.format = request->format;
    r.pixel_format = request->pixel_format;
    r.compress = request->compress;
    r.quality = request->quality;
    if (!request->exif_source.empty()) r.exif_source = request->exif_source;
    if (!request->fnt_header_text.empty()) r.fnt_header_text = request->fnt_header_text;
  } else {
    constexpr int32_t kBmp24 = 5, kBmp32 = 6;
    if (bits != 24 && bits != 32) return 1;
    r.format = kFormatBmp;
    r.pixel_format = bits == 24 ? kBmp24 : kBmp32;
  }
  return image_save(s->picture(), s->width, s->height, r);
}

void surface_remove(SurfaceTable& t, int32_t key) { t.remove(key); }

int surface_duplicate(SurfaceTable& t, int32_t dst, int32_t src) {
  // Replacing the destination first would throw the source away when both are the same surface.
  if (dst == src && t.find(src)) return 0;
  t.remove(dst);
  const Surface* source = t.find(src);
  const int32_t w = source ? source->width : 0;
  const int32_t h = source ? source->height : 0;
  std::unique_ptr<Surface> copy = make_surface(dst, w, h);
  if (!copy) return 1;
  if (source) {
    if (w > 0 && h > 0) OpCopy({&t, copy.get(), source, {.width = w, .height = h, .op = kOpCopy}});
    copy->info = source->info;
  }
  t.append(std::move(copy));
  return 0;
}

int surface_swap_pixels(SurfaceTable& t, int32_t a, int32_t b) {
  Surface* sa = t.find(a);
  Surface* sb = t.find(b);
  if (!sa || !sb) return 1;
  // The auxiliary maps describe the old pixels.
  release_aux(*sa);
  release_aux(*sb);
  if (sa == sb) return 0;
  std::swap(sa->block, sb->block);
  std::swap(sa->width, sb->width);
  std::swap(sa->height, sb->height);
  return 0;
}

void copy_rect(Surface& dst, const Surface& src, int32_t x, int32_t y, int32_t w, int32_t h) {
  if (w <= 0 || h <= 0) return;
  OpCopy({nullptr, &dst, &src, {.src_x = x, .src_y = y, .width = w, .height = h, .op = kOpCopy}});
}

std::span<uint8_t> ensure_aux(Surface& s, size_t bytes) {
  if (bytes == 0) {
    release_aux(s);
    return {};
  }
  if (s.aux.size() != bytes) {
    release_aux(s);
    s.aux = AlignedBlock::allocate(bytes);
    if (!s.aux) return {};
  }
  std::span<uint8_t> block(reinterpret_cast<uint8_t*>(s.aux.data()), bytes);
  std::fill(block.begin(), block.end(), uint8_t{0});
  return block;
}

void release_aux(Surface& s) { s.aux = AlignedBlock(); }

}  // namespace tesmo
