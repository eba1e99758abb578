// Reading a pack list: lines, comment blocks, directives, file lines and identifiers.
#include "tools/pack/pack_list.h"

#include <algorithm>
#include <climits>
#include <cstdio>

#include "base/path.h"
#include "base/text.h"
#include "tools/pack/pack_files.h"
#include "tools/pack/pack_text_util.h"

namespace tesmo {
namespace {

constexpr size_t kDirectiveMinLength = 6;  // outside a comment block: "//#X:" and a value
constexpr size_t kKeyLineMinLength = 15;   // "//#E:0x" and eight hexadecimal digits
constexpr int32_t kLevelMax = kLevelLzss;
constexpr int32_t kFormCount = 8;

std::u16string text16(std::string_view cp932) { return cp932_to_utf16(cp932); }

bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// A directive value as the C library reads numbers: after "0x"/"0X" (at least three characters)
// unsigned hexadecimal saturating at 0xFFFFFFFF; otherwise signed decimal after leading white
// space, saturating at the 32-bit limits. Reading stops at the first other character.
uint32_t directive_value(std::string_view text) {
  if (text.size() >= 3 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    uint64_t v = 0;
    for (size_t i = 2; i < text.size() && hex_digit(text[i]) >= 0; ++i) {
      v = std::min<uint64_t>(v * 16 + static_cast<uint64_t>(hex_digit(text[i])), UINT32_MAX);
    }
    return static_cast<uint32_t>(v);
  }
  size_t i = 0;
  while (i < text.size() && is_space(text[i])) ++i;
  bool negative = i < text.size() && text[i] == '-';
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
  int64_t v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    v = std::min<int64_t>(v * 10 + (text[i] - '0'), int64_t{INT32_MAX} + 1);
  }
  v = negative ? -v : std::min<int64_t>(v, INT32_MAX);
  return static_cast<uint32_t>(static_cast<int32_t>(v));
}

// Where an identifier form starts: the whole name, or after the last, first or second '\\'.
enum class Cut { Whole, Last, First, Second };
struct IdentifierForm {
  Cut cut;
  bool keep_extension;
};
constexpr IdentifierForm kForms[kFormCount] = {
    {Cut::Whole, true}, {Cut::Whole, false}, {Cut::Last, true},    {Cut::Last, false},
    {Cut::First, false}, {Cut::First, true}, {Cut::Second, false}, {Cut::Second, true},
};

std::string_view after_separator(std::string_view name, Cut cut) {
  size_t at = std::string_view::npos;
  if (cut == Cut::Last) at = find_last_char(name, '\\');
  if (cut == Cut::First || cut == Cut::Second) at = find_first_char(name, '\\');
  if (cut == Cut::Second && at != std::string_view::npos) {
    size_t second = find_first_char(name.substr(at + 1), '\\');
    if (second != std::string_view::npos) at += 1 + second;
  }
  return at == std::string_view::npos ? name : name.substr(at + 1);
}

// Cleans in place: '\\', '-', '.', '/' become '_' and a–z upper case; double-byte characters stay.
void clean_identifier(std::string& id) {
  for (size_t i = 0; i < id.size(); i += char_length(id, i)) {
    char& c = id[i];
    if (c == '\\' || c == '-' || c == '.' || c == '/') c = '_';
    else if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
}

bool strict_name_byte(uint8_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
         c == '.' || c == '/' || c == '-';
}

// The list being read: the directive state in force and the entries made so far.
class ListReader {
 public:
  ListReader(Packer& packer, uint32_t options)
      : packer_(packer), strict_((options & (PackIdFile | PackDefineFile)) != 0) {}

  bool line(std::string_view line);
  bool finish();

 private:
  struct Directive {
    char letter;
    bool (ListReader::*apply)(std::string_view line, uint32_t value);
  };
  static const Directive kDirectives[];

  bool error(std::u16string message) {
    packer_.add_error(std::move(message));
    return false;
  }
  bool directive(std::string_view line);
  bool file_line(std::string_view line);
  bool strict_check(std::string_view line);
  void add_entry(PackEntry entry, int form);

  bool alignment(std::string_view, uint32_t v);
  bool level(std::string_view, uint32_t v);
  bool form(std::string_view, uint32_t v);
  bool key(std::string_view line, uint32_t v);
  bool user_value(std::string_view, uint32_t v);
  bool make_jab(std::string_view, uint32_t v);
  bool strip_bin(std::string_view, uint32_t v);
  bool clean_text(std::string_view, uint32_t v);
  bool dummies(std::string_view, uint32_t v);

  Packer& packer_;
  const bool strict_;
  bool in_block_ = false;
  uint64_t count_ = 0;  // every entry, also those past the limit that are no longer kept
  uint32_t dummy_counter_ = 0;
  uint32_t alignment_value_ = 0;
  bool custom_alignment_ = false;
  PackEntry next_;  // the directive values in force, copied into each entry
  int form_ = 0;
};

const ListReader::Directive ListReader::kDirectives[] = {
    {'A', &ListReader::alignment}, {'C', &ListReader::level},      {'D', &ListReader::form},
    {'E', &ListReader::key},       {'F', &ListReader::user_value}, {'J', &ListReader::make_jab},
    {'S', &ListReader::strip_bin}, {'T', &ListReader::clean_text}, {'Z', &ListReader::dummies},
};

bool ListReader::line(std::string_view line) {
  if (line.starts_with("/*")) {
    if (in_block_) return error(std::u16string(msg::kNestedComment));
    in_block_ = true;
    return true;
  }
  if (line.starts_with("*/")) {
    if (!in_block_) return error(std::u16string(msg::kUnopenedComment));
    in_block_ = false;
    return true;
  }
  // Directives are obeyed inside comment blocks too, where the length rule does not apply.
  bool directive_form = line.size() >= 5 && line.starts_with("//#") && line[4] == ':';
  if (directive_form && (in_block_ || line.size() >= kDirectiveMinLength)) return directive(line);
  if (in_block_ || line.starts_with("//")) return true;
  return file_line(line);
}

bool ListReader::finish() {
  if (in_block_) return error(std::u16string(msg::kUnclosedComment));
  if (count_ > kPackMaxEntries) {
    return error(format_message(msg::kTooManyFiles, {decimal(static_cast<int64_t>(count_)),
                                                     decimal(kPackMaxEntries)}));
  }
  return true;
}

bool ListReader::directive(std::string_view line) {
  for (const Directive& d : kDirectives) {
    if (d.letter == line[3]) return (this->*d.apply)(line, directive_value(line.substr(5)));
  }
  return true;  // other letters are ignored
}

// Each A directive stores its value and flips the custom alignment on or off.
bool ListReader::alignment(std::string_view, uint32_t v) {
  if (v == 0) return error(format_message(msg::kBadAlignment, {u"0"}));
  alignment_value_ = v;
  custom_alignment_ = !custom_alignment_;
  next_.alignment = custom_alignment_ ? alignment_value_ : kArchiveDefaultAlignment;
  return true;
}

bool ListReader::level(std::string_view, uint32_t v) {
  auto level = static_cast<int32_t>(v);
  if (level < kLevelRaw || level > kLevelMax) return error(format_message(msg::kBadLevel, {decimal(level)}));
  next_.level = level;
  return true;
}

bool ListReader::form(std::string_view, uint32_t v) {
  auto form = static_cast<int32_t>(v);
  if (form < 0 || form >= kFormCount) return error(format_message(msg::kBadForm, {decimal(form)}));
  form_ = form;
  return true;
}

bool ListReader::key(std::string_view line, uint32_t v) {
  if (line.size() < kKeyLineMinLength || !line.substr(5).starts_with("0x")) {
    return error(format_message(msg::kBadKey, {text16(line)}));
  }
  next_.key = v;
  return true;
}

bool ListReader::user_value(std::string_view, uint32_t v) {
  next_.user_value = static_cast<int32_t>(v);
  return true;
}

bool ListReader::make_jab(std::string_view, uint32_t v) {
  next_.make_jab = v != 0;
  return true;
}

bool ListReader::strip_bin(std::string_view, uint32_t v) {
  next_.strip_bin = v != 0;
  return true;
}

bool ListReader::clean_text(std::string_view, uint32_t v) {
  if (v > 1) return error(format_message(msg::kBadClean, {decimal(static_cast<int32_t>(v))}));
  next_.clean_text = v == 1;
  return true;
}

// Dummies take the alignment and user value in force, level −1 and a counted name. Past the entry
// limit they are only counted, so a huge count cannot exhaust memory before the limit message.
bool ListReader::dummies(std::string_view, uint32_t v) {
  auto n = static_cast<int32_t>(v);
  if (n < 1) return error(format_message(msg::kBadDummy, {decimal(n)}));
  for (int32_t i = 0; i < n; ++i) {
    if (count_ > kPackMaxEntries) {
      count_ += static_cast<uint64_t>(n - i);
      dummy_counter_ += static_cast<uint32_t>(n - i);
      break;
    }
    char name[32];
    std::snprintf(name, sizeof name, "dummy_%04u", dummy_counter_++);
    PackEntry e = next_;
    e.line = std::string("\"") + name + "\"";
    e.name = name;
    e.level = kLevelRaw;
    e.dummy = true;
    add_entry(std::move(e), 0);
  }
  return true;
}

bool ListReader::strict_check(std::string_view line) {
  for (size_t i = 1; i + 2 < line.size(); ++i) {
    auto c = static_cast<uint8_t>(line[i]);
    if (strict_name_byte(c)) continue;
    if (is_cp932_lead_byte(c)) return error(format_message(msg::kDoubleByteName, {text16(line)}));
    return error(format_message(msg::kBadNameChar, {text16(line.substr(i, 1)), text16(line)}));
  }
  return true;
}

bool ListReader::file_line(std::string_view line) {
  if (line.size() <= 3) return error(format_message(msg::kBadName, {text16(line)}));
  if (line[0] != '"') return error(format_message(msg::kBadNameStart, {text16(line)}));
  if (!line.ends_with("\",")) return error(format_message(msg::kBadNameEnd, {text16(line)}));
  if (strict_ && !strict_check(line)) return false;
  std::string_view quoted = line.substr(1);
  PackEntry e = next_;
  e.line = line;
  e.name = quoted.substr(0, find_first_char(quoted, '"'));
  for (size_t i = 0; i < e.name.size(); i += char_length(e.name, i)) {
    if (e.name[i] == '/') e.name[i] = '\\';
  }
  add_entry(std::move(e), form_);
  return true;
}

void ListReader::add_entry(PackEntry entry, int form) {
  if (++count_ > kPackMaxEntries) return;
  entry.identifier = packer_.prefix + pack_identifier(entry.name, form, entry.strip_bin);
  packer_.longest_identifier = std::max(packer_.longest_identifier, entry.identifier.size());
  packer_.entries.push_back(std::move(entry));
}

}  // namespace

void Packer::add_error(std::u16string message) {
  if (message.size() > kPackMaxMessage) message.resize(kPackMaxMessage);
  errors.push_back(std::move(message));
}

std::string pack_identifier(std::string_view name, int form, bool strip_bin) {
  const IdentifierForm& f = kForms[form >= 0 && form < kFormCount ? form : 0];
  std::string_view part = after_separator(name, f.cut);
  if (!f.keep_extension) {
    size_t dot = find_last_char(part, '.');
    part = dot == std::string_view::npos ? std::string_view() : part.substr(0, dot);
  }
  std::string id(part);
  if (strip_bin && id.starts_with("bin\\")) id.erase(0, 4);
  clean_identifier(id);
  return id;
}

std::u16string pack_display_name(std::string_view name) {
  std::string native(name);
  for (size_t i = 0; i < native.size(); i += char_length(native, i)) {
    if (native[i] == '\\') native[i] = static_cast<char>(kPathSeparator);
  }
  return cp932_to_utf16(native);
}

std::u16string pack_source_path(const std::u16string& base_dir, std::string_view name) {
  return base_dir + pack_display_name(name);
}

int pack_list_read(Packer& packer, const std::u16string& list_path, uint32_t options) {
  packer.entries.clear();
  packer.longest_identifier = 0;
  SourceFile file;
  SourceFile::Open opened = file.open(list_path);
  if (opened == SourceFile::Open::Missing) {
    packer.add_error(format_message(msg::kListOpen, {list_path}));
    return 1;
  }
  if (opened == SourceFile::Open::NotRegular || file.size() == 0) {
    packer.add_error(format_message(msg::kListEmpty, {list_path}));
    return 1;
  }
  std::string text(static_cast<size_t>(file.size()), '\0');
  text.resize(file.read_at(0, std::span(reinterpret_cast<uint8_t*>(text.data()), text.size())));
  packer.list_time = file_write_time(list_path).value_or(PackTime{});

  ListReader reader(packer, options);
  for (std::string_view line : split_lines(text)) {
    if (!line.empty() && !reader.line(line)) return 1;
  }
  return reader.finish() ? 0 : 1;
}

}  // namespace tesmo
