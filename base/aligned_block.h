// Aligned memory for pixel blocks, auxiliary maps and whole-file buffers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

namespace tesmo {

// Returns memory taken by the aligned form of operator new with the same alignment.
struct AlignedRelease {
  size_t alignment = 0;
  void operator()(std::byte* p) const { ::operator delete(p, std::align_val_t{alignment}); }
};

// An owned block of raw bytes whose start is 32-byte aligned. Blocks of 2 MiB or more are 2 MiB
// aligned, rounded up to whole 2 MiB pages and advised for transparent huge pages: first-touch page
// faults otherwise dominate the cost of a fresh large picture. The contents are not cleared.
class AlignedBlock {
 public:
  static constexpr size_t kAlignment = 32;
  static constexpr size_t kHugePage = size_t{2} << 20;

  AlignedBlock() = default;

  // A block of `bytes` bytes; empty (false) when `bytes` is 0 or the memory cannot be had. Never
  // throws.
  static AlignedBlock allocate(size_t bytes);

  explicit operator bool() const { return data_ != nullptr; }
  std::byte* data() const { return data_.get(); }
  size_t size() const { return size_; }

 private:
  std::unique_ptr<std::byte, AlignedRelease> data_;
  size_t size_ = 0;
};

}  // namespace tesmo
