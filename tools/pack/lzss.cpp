// The LZSS encoder (binary-tree match finder) and decoder.
#include "tools/pack/lzss.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "tools/pack/block.h"

namespace tesmo {
namespace {

constexpr int kNil = LzssWork::kNil;
constexpr int kRingMask = kLzssRingSize - 1;
constexpr int kRootBase = kLzssRingSize + 1;  // right[kRootBase + c]: the tree of first byte c

uint64_t load8(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Compares ring bytes 1–17 of the strings at `a` and `b` (byte 0 is equal within one tree).
// Returns the length of the common prefix (1–18) and the sign of the first difference, as the
// classic byte-by-byte loop does; eight bytes are compared at a time.
int common_prefix(const uint8_t* ring, int a, int b, int& cmp) {
  const uint8_t* x = ring + a;
  const uint8_t* y = ring + b;
  for (int i = 1; i + 8 <= kLzssLookAhead; i += 8) {
    uint64_t diff = load8(x + i) ^ load8(y + i);
    if (diff) {
      int k = i + std::countr_zero(diff) / 8;  // little-endian: the lowest byte comes first
      cmp = x[k] - y[k];
      return k;
    }
  }
  cmp = x[kLzssLookAhead - 1] - y[kLzssLookAhead - 1];
  return cmp ? kLzssLookAhead - 1 : kLzssLookAhead;
}

void tree_reset(LzssWork& w) {
  std::fill(w.right.begin() + kRootBase, w.right.end(), kNil);
  std::fill(w.parent.begin(), w.parent.begin() + kLzssRingSize, kNil);
  w.ring.fill(0);
}

// Inserts the string at `r` into the tree of its first byte, walking right on greater or equal.
// Records the first node with the longest common prefix; a full-length match takes that node's
// place and unlinks it.
void tree_insert(LzssWork& w, int r) {
  int cmp = 1;
  int p = kRootBase + w.ring[r];
  w.right[r] = w.left[r] = kNil;
  w.match_length = 0;
  for (;;) {
    int32_t& child = cmp >= 0 ? w.right[p] : w.left[p];
    if (child == kNil) {
      child = r;
      w.parent[r] = p;
      return;
    }
    p = child;
    int i = common_prefix(w.ring.data(), r, p, cmp);
    if (i > w.match_length) {
      w.match_position = p;
      w.match_length = i;
      if (i >= kLzssLookAhead) break;
    }
  }
  w.parent[r] = w.parent[p];
  w.left[r] = w.left[p];
  w.right[r] = w.right[p];
  w.parent[w.left[p]] = r;
  w.parent[w.right[p]] = r;
  if (w.right[w.parent[p]] == p) w.right[w.parent[p]] = r;
  else w.left[w.parent[p]] = r;
  w.parent[p] = kNil;
}

// Removes node `p`; a node with two children is replaced by the rightmost node of its left subtree.
void tree_delete(LzssWork& w, int p) {
  if (w.parent[p] == kNil) return;
  int q;
  if (w.right[p] == kNil) {
    q = w.left[p];
  } else if (w.left[p] == kNil) {
    q = w.right[p];
  } else {
    q = w.left[p];
    if (w.right[q] != kNil) {
      do q = w.right[q];
      while (w.right[q] != kNil);
      w.right[w.parent[q]] = w.left[q];
      w.parent[w.left[q]] = w.parent[q];
      w.left[q] = w.left[p];
      w.parent[w.left[p]] = q;
    }
    w.right[q] = w.right[p];
    w.parent[w.right[p]] = q;
  }
  w.parent[q] = w.parent[p];
  if (w.right[w.parent[p]] == p) w.right[w.parent[p]] = q;
  else w.left[w.parent[p]] = q;
  w.parent[p] = kNil;
}

// Collects items into groups and appends whole groups to the code area. Once the code would reach
// `room` bytes it stops accepting: such a block is stored instead.
class GroupWriter {
 public:
  GroupWriter(uint8_t* out, size_t room) : out_(out), room_(room) {}

  void literal(uint8_t c) {
    group_[0] |= mask_;
    group_[used_++] = c;
    next();
  }
  void reference(int position, int length) {
    group_[used_++] = static_cast<uint8_t>(position);
    group_[used_++] = static_cast<uint8_t>(((position >> 4) & 0xF0) | (length - (kLzssThreshold + 1)));
    next();
  }
  // Appends a last group that holds at least one item.
  void finish() {
    if (used_ > 1) flush();
  }
  bool fits() const { return fits_; }
  size_t size() const { return size_; }

 private:
  void next() {
    mask_ = static_cast<uint8_t>(mask_ << 1);
    if (mask_ == 0) flush();
  }
  void flush() {
    if (fits_ && size_ + used_ < room_) std::memcpy(out_ + size_, group_, used_);
    else fits_ = false;
    size_ += used_;
    group_[0] = 0;
    used_ = 1;
    mask_ = 1;
  }

  uint8_t* out_;
  size_t room_;
  size_t size_ = 0;
  bool fits_ = true;
  uint8_t group_[1 + 2 * 8] = {};
  size_t used_ = 1;
  uint8_t mask_ = 1;
};

// Puts input byte `c` at ring position `s`, and into the mirror for the first 17 positions.
void ring_put(LzssWork& w, int s, uint8_t c) {
  w.ring[static_cast<size_t>(s)] = c;
  if (s < kLzssLookAhead - 1) w.ring[static_cast<size_t>(s + kLzssRingSize)] = c;
}

// The encoder proper. Returns the code size, or 0 once the code cannot be shorter than the input.
size_t lzss_encode(LzssWork& w, std::span<const uint8_t> in, uint8_t* code) {
  GroupWriter out(code, in.size());
  size_t next = 0;
  int len = 0;
  for (; len < kLzssLookAhead && next < in.size(); ++len) w.ring[kLzssStart + len] = in[next++];
  int r = kLzssStart;
  int s = 0;
  for (int i = 1; i <= kLzssLookAhead; ++i) tree_insert(w, r - i);
  tree_insert(w, r);
  do {
    if (w.match_length > len) w.match_length = len;
    if (w.match_length <= kLzssThreshold) {
      w.match_length = 1;
      out.literal(w.ring[r]);
    } else {
      out.reference(w.match_position, w.match_length);
    }
    if (!out.fits()) return 0;
    const int last = w.match_length;
    int i = 0;
    for (; i < last && next < in.size(); ++i) {
      tree_delete(w, s);
      ring_put(w, s, in[next++]);
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      tree_insert(w, r);
    }
    for (; i < last; ++i) {  // input exhausted: the look-ahead drains
      tree_delete(w, s);
      s = (s + 1) & kRingMask;
      r = (r + 1) & kRingMask;
      if (--len) tree_insert(w, r);
    }
  } while (len > 0);
  out.finish();
  return out.fits() ? out.size() : 0;
}

}  // namespace

int32_t block_lzss(LzssWork& work, std::span<uint8_t> out, std::span<const uint8_t> in) {
  if (in.size() > INT32_MAX - kBlockHeaderSize || out.size() < kBlockHeaderSize + in.size()) return -1;
  if (in.empty()) return 0;
  tree_reset(work);
  size_t code_size = lzss_encode(work, in, out.data() + kBlockHeaderSize);
  const auto raw = static_cast<uint32_t>(in.size());
  if (code_size == 0) {
    block_write_header(out, BlockMethod::Stored, raw);
    std::memcpy(out.data() + kBlockHeaderSize, in.data(), in.size());
    return static_cast<int32_t>(kBlockHeaderSize + in.size());
  }
  block_write_header(out, BlockMethod::Lzss, raw);
  return static_cast<int32_t>(kBlockHeaderSize + code_size);
}

int64_t lzss_decode(std::span<const uint8_t> code, std::span<uint8_t> out) {
  std::array<uint8_t, kLzssRingSize> ring{};
  int r = kLzssStart;
  size_t pos = 0;
  size_t made = 0;
  auto put = [&](uint8_t c) {
    out[made++] = c;
    ring[static_cast<size_t>(r)] = c;
    r = (r + 1) & kRingMask;
  };
  while (made < out.size()) {
    if (pos >= code.size()) return -1;
    const unsigned flags = code[pos++];
    for (int bit = 0; bit < 8 && made < out.size(); ++bit) {
      if (flags & (1u << bit)) {
        if (pos >= code.size()) return -1;
        put(code[pos++]);
        continue;
      }
      if (code.size() - pos < 2) return -1;
      const int position = code[pos] | ((code[pos + 1] & 0xF0) << 4);
      const int length = (code[pos + 1] & 0x0F) + kLzssThreshold + 1;
      pos += 2;
      if (static_cast<size_t>(length) > out.size() - made) return -1;
      for (int k = 0; k < length; ++k) put(ring[static_cast<size_t>((position + k) & kRingMask)]);
    }
  }
  return static_cast<int64_t>(made);
}

}  // namespace tesmo
