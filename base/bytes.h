// Bounded byte readers and a little-endian writer. Every byte of a file goes through a reader that
// never reads past its data: a read beyond the end yields zeros and sets a sticky failure flag.
#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace tesmo {

class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}
  ByteReader(const void* data, size_t size)
      : data_(static_cast<const uint8_t*>(data), size) {}

  uint8_t u8() { return need(1) ? data_[pos_++] : 0; }
  uint16_t u16le() { return static_cast<uint16_t>(take(2, false)); }
  uint32_t u32le() { return static_cast<uint32_t>(take(4, false)); }
  uint64_t u64le() { return take(8, false); }
  uint16_t u16be() { return static_cast<uint16_t>(take(2, true)); }
  uint32_t u32be() { return static_cast<uint32_t>(take(4, true)); }
  int32_t i32le() { return static_cast<int32_t>(u32le()); }
  int16_t i16le() { return static_cast<int16_t>(u16le()); }

  // Copies `n` bytes into `out`; on a short read copies nothing and fails.
  bool bytes(void* out, size_t n) {
    if (!need(n)) return false;
    if (n) std::memcpy(out, data_.data() + pos_, n);
    pos_ += n;
    return true;
  }
  // The next `n` bytes as a view (empty and failed when fewer remain).
  std::span<const uint8_t> view(size_t n) {
    if (!need(n)) return {};
    auto s = data_.subspan(pos_, n);
    pos_ += n;
    return s;
  }
  bool skip(size_t n) {
    if (!need(n)) return false;
    pos_ += n;
    return true;
  }
  // Moves to an absolute offset; an offset beyond the end fails.
  bool seek(size_t offset) {
    if (offset > data_.size()) return fail();
    pos_ = offset;
    return true;
  }

  size_t position() const { return pos_; }
  size_t size() const { return data_.size(); }
  size_t remaining() const { return data_.size() - pos_; }
  bool ok() const { return ok_; }
  std::span<const uint8_t> data() const { return data_; }

 private:
  bool fail() {
    ok_ = false;
    return false;
  }
  bool need(size_t n) { return n <= remaining() ? true : fail(); }
  uint64_t take(size_t n, bool big_endian) {
    if (!need(n)) return 0;
    uint64_t v = 0;
    for (size_t i = 0; i < n; ++i) {
      uint64_t b = data_[pos_ + i];
      v |= big_endian ? b << (8 * (n - 1 - i)) : b << (8 * i);
    }
    pos_ += n;
    return v;
  }

  std::span<const uint8_t> data_;
  size_t pos_ = 0;
  bool ok_ = true;
};

// Appends little- or big-endian fields to a record built in memory, in file order.
class ByteWriter {
 public:
  explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}

  void u8(uint8_t v) { out_.push_back(v); }
  void u16le(uint16_t v) { put(v, 2, false); }
  void u32le(uint32_t v) { put(v, 4, false); }
  void u64le(uint64_t v) { put(v, 8, false); }
  void u16be(uint16_t v) { put(v, 2, true); }
  void u32be(uint32_t v) { put(v, 4, true); }
  void bytes(const void* data, size_t n) {
    auto* p = static_cast<const uint8_t*>(data);
    out_.insert(out_.end(), p, p + n);
  }
  void zeros(size_t n) { out_.insert(out_.end(), n, 0); }
  size_t size() const { return out_.size(); }

 private:
  void put(uint64_t v, size_t n, bool big_endian) {
    for (size_t i = 0; i < n; ++i) {
      size_t shift = big_endian ? 8 * (n - 1 - i) : 8 * i;
      out_.push_back(static_cast<uint8_t>(v >> shift));
    }
  }
  std::vector<uint8_t>& out_;
};

// Fixed-offset little-endian stores into a sized record; false (and nothing written) when the field
// would not fit.
bool store_u32le(std::span<uint8_t> record, size_t offset, uint32_t value);
uint32_t load_u32le(std::span<const uint8_t> record, size_t offset);

// A zero-terminated UTF-16 string field of `field_bytes` bytes: stored truncated so that the
// terminator always fits; read up to the first zero or the field's end.
bool store_u16_field(std::span<uint8_t> record, size_t offset, size_t field_bytes,
                     std::u16string_view text);
std::u16string load_u16_field(std::span<const uint8_t> record, size_t offset, size_t field_bytes);

}  // namespace tesmo
