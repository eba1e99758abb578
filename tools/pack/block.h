// Compressed blocks: a 16-byte header ("ZUK\0", method, raw length, reserved) and a payload that
// is the bytes themselves (stored), an LZSS code stream (lzss.h) or one zlib stream. The header
// does not record the block's own size; the container that holds the block does.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tesmo {

enum class BlockMethod : uint32_t { Stored = 0, Lzss = 1, Deflate = 2 };

inline constexpr size_t kBlockHeaderSize = 16;
inline constexpr size_t kBlockMethodOffset = 4;
inline constexpr size_t kBlockRawLengthOffset = 8;
inline constexpr size_t kBlockReservedOffset = 12;
inline constexpr int32_t kBlockChunk = 32768;  // zlib input and output piece size

// Piece sizes of the zlib operations. The zlib state itself lives inside each call: every call
// starts from a cleared state, so nothing else would be worth keeping between calls.
struct BlockStream {
  int32_t input_chunk = kBlockChunk;  // a value below 1 counts as kBlockChunk
  int32_t output_chunk = kBlockChunk;
};

struct BlockHeader {
  uint32_t method = 0;
  uint32_t raw_length = 0;
};

// The header of `block`; nothing when it is shorter than 16 bytes or lacks the signature.
std::optional<BlockHeader> block_header(std::span<const uint8_t> block);

// Writes signature, method, raw length and a zero reserved field into out[0..16). `out` must
// hold 16 bytes.
void block_write_header(std::span<uint8_t> out, BlockMethod method, uint32_t raw_length);

// Deflates `in` (zlib format, `level` 0–9; 9 is passed to zlib as 8, so both give the same block)
// into a block at the start of `out`. The result is stored instead when 16 + stream < in.size()
// does not hold. Returns the block size, or −1 on a zlib failure, a level out of range, an input
// of 2 GiB or more, or an `out` smaller than 16 + in.size(). Never writes past `out`.
int32_t block_deflate(BlockStream& stream, std::span<uint8_t> out, std::span<const uint8_t> in,
                      int level);

// Expands the block `block` (its size as the container records it) into `out`. A method without
// bit 1 (stored, and LZSS too) is copied as raw_length stored bytes; bit 1 set means one zlib
// stream, inflated with a resynchronisation search after a data error. Bytes after the payload
// are ignored. Returns the bytes written, or −1 when the block is damaged or short, or `out` is
// too small. Never reads past `block` nor writes past `out`.
int32_t block_expand(BlockStream& stream, std::span<uint8_t> out, std::span<const uint8_t> block);

// The data of any block the system makes, LZSS blocks decoded (for tools and tests; the viewer's
// readers use block_expand). Nothing when the block is damaged, or its raw length is more than
// its payload could possibly give.
std::optional<std::vector<uint8_t>> block_decode(std::span<const uint8_t> block);

// XORs byte j of `data` with byte (j mod 4) of `key` taken little-endian. Applying it twice with
// the same key restores the data. Always returns 0.
int scramble_xor(std::span<uint8_t> data, uint32_t key);

}  // namespace tesmo
