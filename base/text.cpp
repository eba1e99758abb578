// Conversions between UTF-16, UTF-8 and CP932 through glibc's iconv.
#include "base/text.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <vector>

namespace tesmo {
namespace {

// One iconv descriptor per conversion and thread; opening one costs more than most conversions.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts `in`; on an unconvertible sequence calls `bad(in_left)` which returns how many input
  // bytes to skip and appends its replacement to `out`.
  template <typename Bad>
  void run(const char* in, size_t in_len, std::string& out, Bad bad) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) return;
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char buffer[4096];
    auto* src = const_cast<char*>(in);
    size_t left = in_len;
    while (left > 0) {
      char* dst = buffer;
      size_t room = sizeof buffer;
      size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      if (r != static_cast<size_t>(-1)) break;
      if (errno == E2BIG) continue;
      size_t skip = bad(src, left, out);
      src += skip;
      left -= skip;
      iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    }
  }

 private:
  iconv_t cd_;
};

std::u16string bytes_to_u16(const std::string& bytes) {
  std::u16string out(bytes.size() / 2, u'\0');
  for (size_t i = 0; i < out.size(); ++i) {
    out[i] = static_cast<char16_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                   (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
  }
  return out;
}

std::string u16_to_bytes(std::u16string_view text) {
  std::string bytes(text.size() * 2, '\0');
  for (size_t i = 0; i < text.size(); ++i) {
    bytes[2 * i] = static_cast<char>(text[i] & 0xFF);
    bytes[2 * i + 1] = static_cast<char>(text[i] >> 8);
  }
  return bytes;
}

void append_u16le(std::string& out, char16_t c) {
  out.push_back(static_cast<char>(c & 0xFF));
  out.push_back(static_cast<char>(c >> 8));
}

// Bytes to skip for one unconvertible UTF-16LE character (a surrogate pair counts as one).
size_t utf16_unit_bytes(const char* src, size_t left) {
  if (left < 2) return left;
  auto unit = static_cast<char16_t>(static_cast<uint8_t>(src[0]) | (static_cast<uint8_t>(src[1]) << 8));
  bool pair = unit >= 0xD800 && unit <= 0xDBFF && left >= 4;
  return pair ? 4 : 2;
}

// UTF-16 through `conv` into its 8-bit encoding; a character with no mapping becomes '?'.
std::string from_utf16(Converter& conv, std::u16string_view text) {
  const std::string in = u16_to_bytes(text);
  std::string out;
  conv.run(in.data(), in.size(), out, [](const char* src, size_t left, std::string& o) {
    o.push_back('?');
    return utf16_unit_bytes(src, left);
  });
  return out;
}

}  // namespace

std::u16string cp932_to_utf16(std::string_view text) {
  thread_local Converter conv("UTF-16LE", "CP932");
  std::string out;
  conv.run(text.data(), text.size(), out, [](const char* src, size_t left, std::string& o) {
    append_u16le(o, u'\u30FB');
    return (left >= 2 && is_cp932_lead_byte(static_cast<uint8_t>(src[0]))) ? size_t{2} : size_t{1};
  });
  return bytes_to_u16(out);
}

std::string utf16_to_cp932(std::u16string_view text) {
  thread_local Converter conv("CP932", "UTF-16LE");
  return from_utf16(conv, text);
}

std::u16string utf8_to_utf16(std::string_view text) {
  thread_local Converter conv("UTF-16LE", "UTF-8");
  std::string out;
  conv.run(text.data(), text.size(), out, [](const char*, size_t, std::string& o) {
    append_u16le(o, u'\uFFFD');
    return size_t{1};
  });
  return bytes_to_u16(out);
}

std::string utf16_to_utf8(std::u16string_view text) {
  thread_local Converter conv("UTF-8", "UTF-16LE");
  return from_utf16(conv, text);
}

std::u16string u16(std::string_view ascii) {
  return std::u16string(ascii.begin(), ascii.end());
}

size_t u16_length(const char16_t* text, size_t limit) {
  size_t n = 0;
  while (n < limit && text[n] != 0) ++n;
  return n;
}

}  // namespace tesmo
