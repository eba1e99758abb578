// Aligned allocation of pixel blocks and auxiliary maps, with huge-page advice for large blocks.
#include "base/aligned_block.h"

#include <sys/mman.h>

namespace tesmo {

AlignedBlock AlignedBlock::allocate(size_t bytes) {
  AlignedBlock block;
  if (bytes == 0) return block;
  const bool huge = bytes >= kHugePage;
  const size_t alignment = huge ? kHugePage : kAlignment;
  // Whole huge pages, so the advice never covers memory that belongs to someone else.
  size_t reserved = bytes;
  if (huge) {
    if (bytes > SIZE_MAX - (kHugePage - 1)) return block;
    reserved = (bytes + kHugePage - 1) & ~(kHugePage - 1);
  }
  void* p = ::operator new(reserved, std::align_val_t{alignment}, std::nothrow);
  if (!p) return block;
  // Advice only: without transparent huge pages the block still works with small pages.
  if (huge) ::madvise(p, reserved, MADV_HUGEPAGE);
  block.data_ = std::unique_ptr<std::byte, AlignedRelease>(static_cast<std::byte*>(p),
                                                           AlignedRelease{alignment});
  block.size_ = bytes;
  return block;
}

}  // namespace tesmo
