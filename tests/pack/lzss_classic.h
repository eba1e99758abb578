// The classic 4096 / 18 / 2 binary-tree LZSS encoder, written plainly as the reference the
// system's encoder must match byte for byte (tests) and be timed against (benchmarks). The one
// change from the classic: the initial window holds zero bytes instead of spaces.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tesmo::testing {

class ClassicLzss {
 public:
  // The code stream (without block header) of `in`.
  std::vector<uint8_t> encode(std::span<const uint8_t> in) {
    std::vector<uint8_t> out;
    init_tree();
    for (int i = 0; i < N + F - 1; ++i) text_buf[i] = 0;
    uint8_t code_buf[17];
    code_buf[0] = 0;
    int code_buf_ptr = 1;
    uint8_t mask = 1;
    int s = 0, r = N - F, len;
    size_t next = 0;
    for (len = 0; len < F && next < in.size(); len++) text_buf[r + len] = in[next++];
    if (len == 0) return out;
    for (int i = 1; i <= F; i++) insert_node(r - i);
    insert_node(r);
    do {
      if (match_length > len) match_length = len;
      if (match_length <= THRESHOLD) {
        match_length = 1;
        code_buf[0] |= mask;
        code_buf[code_buf_ptr++] = text_buf[r];
      } else {
        code_buf[code_buf_ptr++] = static_cast<uint8_t>(match_position);
        code_buf[code_buf_ptr++] =
            static_cast<uint8_t>(((match_position >> 4) & 0xf0) | (match_length - (THRESHOLD + 1)));
      }
      if ((mask = static_cast<uint8_t>(mask << 1)) == 0) {
        out.insert(out.end(), code_buf, code_buf + code_buf_ptr);
        code_buf[0] = 0;
        code_buf_ptr = mask = 1;
      }
      int last_match_length = match_length, i;
      for (i = 0; i < last_match_length && next < in.size(); i++) {
        uint8_t c = in[next++];
        delete_node(s);
        text_buf[s] = c;
        if (s < F - 1) text_buf[s + N] = c;
        s = (s + 1) & (N - 1);
        r = (r + 1) & (N - 1);
        insert_node(r);
      }
      while (i++ < last_match_length) {
        delete_node(s);
        s = (s + 1) & (N - 1);
        r = (r + 1) & (N - 1);
        if (--len) insert_node(r);
      }
    } while (len > 0);
    if (code_buf_ptr > 1) out.insert(out.end(), code_buf, code_buf + code_buf_ptr);
    return out;
  }

 private:
  static constexpr int N = 4096, F = 18, THRESHOLD = 2, NIL = N;

  void init_tree() {
    for (int i = N + 1; i <= N + 256; i++) rson[i] = NIL;
    for (int i = 0; i < N; i++) dad[i] = NIL;
  }

  void insert_node(int r) {
    int i, p, cmp = 1;
    uint8_t* key = &text_buf[r];
    p = N + 1 + key[0];
    rson[r] = lson[r] = NIL;
    match_length = 0;
    for (;;) {
      if (cmp >= 0) {
        if (rson[p] != NIL) p = rson[p];
        else { rson[p] = r; dad[r] = p; return; }
      } else {
        if (lson[p] != NIL) p = lson[p];
        else { lson[p] = r; dad[r] = p; return; }
      }
      for (i = 1; i < F; i++)
        if ((cmp = key[i] - text_buf[p + i]) != 0) break;
      if (i > match_length) {
        match_position = p;
        if ((match_length = i) >= F) break;
      }
    }
    dad[r] = dad[p];
    lson[r] = lson[p];
    rson[r] = rson[p];
    dad[lson[p]] = r;
    dad[rson[p]] = r;
    if (rson[dad[p]] == p) rson[dad[p]] = r;
    else lson[dad[p]] = r;
    dad[p] = NIL;
  }

  void delete_node(int p) {
    int q;
    if (dad[p] == NIL) return;
    if (rson[p] == NIL) q = lson[p];
    else if (lson[p] == NIL) q = rson[p];
    else {
      q = lson[p];
      if (rson[q] != NIL) {
        do { q = rson[q]; } while (rson[q] != NIL);
        rson[dad[q]] = lson[q];
        dad[lson[q]] = dad[q];
        lson[q] = lson[p];
        dad[lson[p]] = q;
      }
      rson[q] = rson[p];
      dad[rson[p]] = q;
    }
    dad[q] = dad[p];
    if (rson[dad[p]] == p) rson[dad[p]] = q;
    else lson[dad[p]] = q;
    dad[p] = NIL;
  }

  uint8_t text_buf[N + F - 1];
  int match_position = 0, match_length = 0;
  int lson[N + 1], rson[N + 257], dad[N + 1];
};

}  // namespace tesmo::testing
