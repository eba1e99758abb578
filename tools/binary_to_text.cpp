// Binary-to-text: six characters per byte, two more per full line of sixteen.
#include "tools/binary_to_text.h"

#include "base/file_io.h"

namespace tesmo {

std::string binary_to_text(std::span<const uint8_t> data) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text(data.size() * 6 + (data.size() / 16) * 2, '\0');
  char* out = text.data();
  for (size_t i = 0; i < data.size(); ++i) {
    uint8_t b = data[i];
    *out++ = '0';
    *out++ = 'x';
    *out++ = kHex[b >> 4];
    *out++ = kHex[b & 15];
    *out++ = ',';
    *out++ = ' ';
    if (i % 16 == 15) {
      *out++ = '\r';
      *out++ = '\n';
    }
  }
  return text;
}

int binary_to_text_file(const std::u16string& path) {
  auto data = read_file(path);
  if (!data) return -1;
  std::string text = binary_to_text(*data);
  auto bytes = std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size());
  return file_replace(path + u".txt", bytes) == 0 ? 0 : -1;
}

}  // namespace tesmo
