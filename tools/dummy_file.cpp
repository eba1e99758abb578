// Dummy files and numbered copies, streamed through the safe replace so that a failed write never
// destroys the file that was there.
#include "tools/dummy_file.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <limits>
#include <vector>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"

namespace tesmo {
namespace {

constexpr int32_t kMaxKiloBytes = 2097151;  // (2 GiB − 1 KiB) / 1 KiB
constexpr int32_t kMaxMegaBytes = 2047;
constexpr size_t kCopyChunk = size_t{1} << 20;

constexpr int kShiftOf[] = {0, 10, 20};  // by SizeUnit

// The number as printf's "%0<width>d" writes it (the sign counts towards the width).
std::u16string zero_padded(int64_t value, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*" PRId64, width, value);
  return u16(buf);
}

// What follows the last '.' of the name, dot included; empty without one.
std::u16string_view name_extension(std::u16string_view source) {
  const size_t separator = source.rfind(kPathSeparator);
  const size_t name_start = separator == std::u16string_view::npos ? 0 : separator + 1;
  const size_t dot = source.rfind(u'.');
  return dot == std::u16string_view::npos || dot < name_start ? std::u16string_view{} : source.substr(dot);
}

int copy_replacing(const std::u16string& source, const std::u16string& target) {
  std::ifstream in(to_fs_path(source), std::ios::binary);
  if (!in) return 1;
  return file_replace_streamed(target, [&in](const FileSink& sink) {
    std::vector<uint8_t> buffer(kCopyChunk);
    while (in) {
      in.read(reinterpret_cast<char*>(buffer.data()), static_cast<std::streamsize>(buffer.size()));
      const auto got = static_cast<size_t>(in.gcount());
      if (got > 0 && !sink(std::span(buffer.data(), got))) return false;
    }
    return !in.bad();
  });
}

}  // namespace

int32_t clamp_dummy_size(int32_t value, SizeUnit unit) {
  if (value < 0) return 0;
  if (unit == SizeUnit::KiloBytes) return std::min(value, kMaxKiloBytes);
  if (unit == SizeUnit::MegaBytes) return std::min(value, kMaxMegaBytes);
  return value;
}

int64_t dummy_size_bytes(int32_t value, SizeUnit unit) {
  const int64_t bytes = int64_t{value} << kShiftOf[static_cast<int>(unit)];
  return bytes < 0 || bytes > std::numeric_limits<int32_t>::max() ? 0 : bytes;
}

int write_dummy_file(const std::u16string& path, int64_t size, const std::function<void()>& after_write) {
  if (path.empty()) return 1;
  return file_replace_streamed(path, [&](const FileSink& sink) {
    const std::vector<uint8_t> zeros(static_cast<size_t>(std::clamp<int64_t>(size, 0, kDummyWriteChunk)));
    for (int64_t left = size; left > 0;) {
      const int64_t piece = std::min(left, kDummyWriteChunk);
      if (!sink(std::span(zeros.data(), static_cast<size_t>(piece)))) return false;
      left -= piece;
      if (after_write) after_write();
    }
    return true;
  });
}

std::u16string dummy_copy_name(std::u16string_view source, std::u16string_view prefix, int32_t digits,
                               int32_t number) {
  const bool four = digits == 4;
  std::u16string name = directory_part(source);
  name += prefix;
  name += four ? zero_padded(number, 4) : zero_padded(int64_t{number} * 10, 5);
  name += name_extension(source);
  return name;
}

int make_numbered_copies(const std::u16string& source, std::u16string_view prefix, int32_t digits, int32_t from,
                         int32_t to) {
  if (digits < 1) return 0;
  for (int64_t n = from; n <= to; ++n) {
    const auto number = static_cast<int32_t>(n);
    if (copy_replacing(source, dummy_copy_name(source, prefix, digits, number)) != 0) return 1;
  }
  return 0;
}

}  // namespace tesmo
