// The dummy file generator's work: a zero-filled file of a chosen size, and numbered copies of a
// file beside it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace tesmo {

enum class SizeUnit : int32_t { Bytes = 0, KiloBytes = 1, MegaBytes = 2 };

// The size field after the user changed it: a negative value becomes 0; in kilobytes 2097152 or
// more becomes 2097151, in megabytes 2048 or more becomes 2047 (so the bytes stay below 2 GiB).
int32_t clamp_dummy_size(int32_t value, SizeUnit unit);

// The file's length in bytes: the value shifted left by 10 (K) or 20 (M). A length that does not
// fit a signed 32-bit number (a unit changed after typing) or is negative gives 0: an empty file.
int64_t dummy_size_bytes(int32_t value, SizeUnit unit);

// Writes `size` zero bytes as the new content of `path` (missing folders made, a read-only file
// replaced), at most 32 MiB per write with `after_write` called after each. 0, or 1 when the file
// cannot be written; the previous file is then left as it was.
inline constexpr int64_t kDummyWriteChunk = int64_t{32} << 20;
int write_dummy_file(const std::u16string& path, int64_t size, const std::function<void()>& after_write = {});

// The path of copy `number`: the source's folder, the prefix, the number and the source's extension
// (from the name's last '.', dot included; none without one). Four digits give "%04d" of the number;
// any other count gives "%05d" of ten times the number.
std::u16string dummy_copy_name(std::u16string_view source, std::u16string_view prefix, int32_t digits,
                               int32_t number);

// Copies `source` to the names of numbers `from` … `to` (nothing when `to` < `from` or `digits` < 1),
// each replacing an existing file. 0 when every copy was written; 1 at the first that could not be
// (the source unreadable, the target unwritable), leaving the rest undone.
int make_numbered_copies(const std::u16string& source, std::u16string_view prefix, int32_t digits, int32_t from,
                         int32_t to);

}  // namespace tesmo
