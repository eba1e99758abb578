// Step text: each operation's keys as a table (the step field each fills, its range and the value
// its dialog starts with), the line reader and the line writer.
#include "edit/batch_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <optional>
#include <span>

#include "base/text.h"
#include "edit/effects.h"
#include "formats/image.h"
#include "formats/registry.h"
#include "surface/compositor.h"

namespace tesmo {
namespace {

constexpr int32_t kAny = std::numeric_limits<int32_t>::max();
constexpr int32_t kAnyBelow = std::numeric_limits<int32_t>::min();
constexpr size_t kPathUnits = 260;
constexpr int32_t kFullQuality = 100;
constexpr std::string_view kEffectAlias = "effect";

// How a key's value is written: a number, a named choice, or a quoted text of 260 units.
enum class Kind { Number, Filter, Format, Path };

struct Key {
  std::string_view name;
  Kind kind;
  size_t field;
  int32_t min, max, start;  // the range and the dialog's starting value
};

struct Name {
  std::string_view text;
  int32_t value;
};
constexpr Name kFilterNames[] = {{"nearest", kScaleNearest}, {"bilinear", kScaleBilinear}, {"bicubic", kScaleBicubic},
                                 {"lanczos2", kScaleLanczos2}, {"lanczos3", kScaleLanczos3}};
constexpr Name kFormatNames[] = {{"bmp", kFormatBmp}, {"dds", kFormatDds}, {"jpeg", kFormatJpeg}, {"jpg", kFormatJpeg},
                                 {"pcx", kFormatPcx}, {"png", kFormatPng}, {"sgi", kFormatSgi}, {"tga", kFormatTga},
                                 {"tiff", kFormatTiff}, {"tif", kFormatTiff}, {"pic", kFormatPic}, {"fnt", kFormatFnt}};

constexpr Key kSaveKeys[] = {{"format", Kind::Format, 0, 0, kAny, kFormatBmp},
                             {"pixel-format", Kind::Number, 1, 0, kAny, 0},
                             {"bits", Kind::Number, 2, 0, 32, 0},
                             {"compress", Kind::Number, 3, 0, 1, 0},
                             {"quality", Kind::Number, 4, 0, kFullQuality, kFullQuality}};
constexpr Key kResizeKeys[] = {{"width", Kind::Number, 0, 1, kMaxImageSide, 1},
                               {"height", Kind::Number, 1, 1, kMaxImageSide, 1},
                               {"filter", Kind::Filter, 2, 0, kAny, kScaleNearest}};
constexpr Key kCanvasKeys[] = {{"width", Kind::Number, 0, 1, kMaxImageSide, 1},
                               {"height", Kind::Number, 1, 1, kMaxImageSide, 1},
                               {"align-x", Kind::Number, 2, 1, kMaxImageSide, 1},
                               {"align-y", Kind::Number, 3, 1, kMaxImageSide, 1},
                               {"anchor-x", Kind::Number, 4, 0, 2, 0},
                               {"anchor-y", Kind::Number, 5, 0, 2, 0}};
constexpr Key kCropKeys[] = {{"x", Kind::Number, 0, 0, kMaxImageSide, 0},
                             {"y", Kind::Number, 1, 0, kMaxImageSide, 0},
                             {"width", Kind::Number, 2, 1, kMaxImageSide, 1},
                             {"height", Kind::Number, 3, 1, kMaxImageSide, 1}};
constexpr Key kTrimKeys[] = {{"sides", Kind::Number, 0, 0, 0x1FF, 0}, {"colour", Kind::Number, 1, 0, 0xFFFFFF, 0}};
constexpr Key kRotateKeys[] = {{"angle", Kind::Number, 0, -360, 360, 0}};
constexpr Key kConnectKeys[] = {{"target", Kind::Number, 0, 0, 1, 0},
                                {"path", Kind::Path, 1, 0, 0, 0},
                                {"sides", Kind::Number, 1 + kPathUnits / 2, 1, 15, 1}};
constexpr Key kDivideKeys[] = {{"tile-width", Kind::Number, 0, 1, kMaxImageSide, 1},
                               {"tile-height", Kind::Number, 1, 1, kMaxImageSide, 1},
                               {"bits", Kind::Number, 2, 24, 32, 24},
                               {"limit-x", Kind::Number, 3, 0, kMaxImageSide, 0},
                               {"limit-y", Kind::Number, 4, 0, kMaxImageSide, 0}};
constexpr Key kImportKeys[] = {{"path", Kind::Path, 0, 0, 0, 0}};
constexpr Key kLosslessKeys[] = {{"choice", Kind::Number, 0, 0, 6, 0}};
constexpr std::array<std::string_view, 4> kEffectKeyNames = {"p1", "p2", "p3", "p4"};

struct OperationText {
  std::string_view alias;
  std::span<const Key> keys;
};

// Operations 0–18 by index; the effects are "effect N" with p1–p4.
constexpr std::array<OperationText, kBatchFirstEffect> kOperations{{
    {"save", kSaveKeys},        {"resize", kResizeKeys},          {"canvas", kCanvasKeys},
    {"crop", kCropKeys},        {"trim", kTrimKeys},              {"rotate-left", {}},
    {"rotate-180", {}},         {"rotate-right", {}},             {"flip-left-right", {}},
    {"flip-top-bottom", {}},    {"rotate", kRotateKeys},          {"connect", kConnectKeys},
    {"divide", kDivideKeys},    {"alpha-new", {}},                {"alpha-delete", {}},
    {"alpha-import", kImportKeys}, {"alpha-swap-rgb", {}},        {"alpha-invert", {}},
    {"lossless", kLosslessKeys},
}};

int effect_of(int32_t operation) { return operation - kBatchFirstEffect; }

// An effect's key k: the table's row, its range as the dialog allows it on the largest picture.
Key effect_key(int32_t operation, size_t k) {
  const ParamDescriptor& row = initial_effect(effect_of(operation)).params[k];
  std::array<int32_t, 4> wide{};
  wide[k] = kAny;
  const int32_t max = effect_params_for_picture(effect_of(operation), kMaxImageSide, kMaxImageSide, wide)[k];
  return {kEffectKeyNames[k], Kind::Number, k + 1, row.min, std::max(row.min, max), row.def};
}

std::vector<Key> keys_of(int32_t operation) {
  if (operation >= kBatchFirstEffect) {
    std::vector<Key> keys;
    for (size_t k = 0; k < kEffectKeyNames.size(); ++k) keys.push_back(effect_key(operation, k));
    return keys;
  }
  const auto keys = kOperations[static_cast<size_t>(operation)].keys;
  return {keys.begin(), keys.end()};
}

// An effect row the dialog shows (an unused row is written only when it holds something).
bool effect_row_used(int32_t operation, size_t k) {
  return std::u16string_view(initial_effect(effect_of(operation)).params[k].label) != u"-";
}

std::optional<int32_t> named(std::span<const Name> names, std::string_view text) {
  for (const Name& n : names) {
    if (n.text == text) return n.value;
  }
  return std::nullopt;
}

std::string name_or_number(std::span<const Name> names, int32_t value) {
  for (const Name& n : names) {
    if (n.value == value) return std::string(n.text);
  }
  return std::to_string(value);
}

// A whole-word decimal or "0x" hexadecimal number that fits 32 bits.
std::optional<int32_t> parse_number(std::string_view text) {
  const bool negative = !text.empty() && text[0] == '-';
  std::string_view digits = text.substr(negative ? 1 : 0);
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) digits.remove_prefix(2), base = 16;
  int64_t v = 0;
  const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v, base);
  if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size()) return std::nullopt;
  v = negative ? -v : v;
  if (v < kAnyBelow || v > kAny) return std::nullopt;
  return static_cast<int32_t>(v);
}

// The step text's words after the operation name: key=value, the value possibly in double quotes.
struct Word {
  std::string key, value;
};
std::optional<std::vector<Word>> split_words(std::string_view rest, std::string& error) {
  std::vector<Word> words;
  size_t i = 0;
  while (true) {
    while (i < rest.size() && (rest[i] == ' ' || rest[i] == '\t')) ++i;
    if (i >= rest.size()) return words;
    const size_t eq = rest.find('=', i);
    const size_t space = rest.find_first_of(" \t", i);
    if (eq == std::string_view::npos || eq > space) {
      error = "\"" + std::string(rest.substr(i, space - i)) + "\" is not key=value";
      return std::nullopt;
    }
    Word w{std::string(rest.substr(i, eq - i)), {}};
    i = eq + 1;
    if (i < rest.size() && rest[i] == '"') {
      const size_t close = rest.find('"', i + 1);
      if (close == std::string_view::npos) {
        error = "the value of \"" + w.key + "\" has no closing quote";
        return std::nullopt;
      }
      w.value = rest.substr(i + 1, close - i - 1);
      i = close + 1;
    } else {
      const size_t end = std::min(rest.find_first_of(" \t", i), rest.size());
      w.value = rest.substr(i, end - i);
      i = end;
    }
    words.push_back(std::move(w));
  }
}

std::string quoted(std::string_view word) { return "\"" + std::string(word) + "\""; }

// Stores one key's value; the error when the value does not fit the key.
std::string store(BatchStep& step, const Key& key, const std::string& value) {
  if (key.kind == Kind::Path) {
    const std::u16string path = utf8_to_utf16(value);
    if (path.size() >= kPathUnits) return "the path of \"" + std::string(key.name) + "\" is too long";
    step.set_text(key.field, kPathUnits, path);
    return {};
  }
  std::optional<int32_t> v = key.kind == Kind::Filter ? named(kFilterNames, value)
                             : key.kind == Kind::Format ? named(kFormatNames, value)
                                                        : std::nullopt;
  if (!v) v = parse_number(value);
  if (!v || *v < key.min || *v > key.max) {
    return "value " + quoted(value) + " of \"" + std::string(key.name) + "\" is not " + std::to_string(key.min) +
           ".." + std::to_string(key.max);
  }
  step.set_field(key.field, *v);
  return {};
}

// The save options the dialog starts with for the format, where the text left them out; then the
// chosen layout checked against the format's table.
std::string complete_save(BatchStep& step, const std::vector<std::string>& given) {
  auto was_given = [&given](std::string_view k) { return std::find(given.begin(), given.end(), k) != given.end(); };
  const int32_t format = step.field(0);
  const SaveOptions options = format_save_options(format);
  if (options.count <= 0) return "format " + std::to_string(format) + " cannot be written";
  if (!was_given("pixel-format")) step.set_field(1, options.default_index);
  const auto [text, bits] = format_pixel_format(format, step.field(1));
  if (!text || step.field(1) >= options.count) return "pixel-format " + std::to_string(step.field(1)) + " is not one of the format's";
  if (!was_given("bits")) step.set_field(2, bits);
  if (!was_given("compress")) step.set_field(3, (options.flags & kSaveCompressChecked) ? 1 : 0);
  return {};
}

// The operation a line names and the rest of the line; the error for an unknown name.
struct NamedLine {
  int32_t operation = -1;
  std::string_view rest;
};
std::optional<NamedLine> operation_of_line(std::string_view line, std::string& error) {
  // The Japanese names hold spaces: the longest name the line starts with (then a space or its end).
  NamedLine best;
  size_t best_length = 0;
  for (int32_t op = 0; op < kBatchOperationCount; ++op) {
    const std::string name = utf16_to_utf8(batch_operation_name(op));
    if (name.size() > best_length && line.starts_with(name) &&
        (line.size() == name.size() || line[name.size()] == ' ' || line[name.size()] == '\t')) {
      best = {op, line.substr(name.size())};
      best_length = name.size();
    }
  }
  if (best.operation >= 0) return best;
  const size_t end = std::min(line.find_first_of(" \t"), line.size());
  const std::string_view word = line.substr(0, end);
  std::string_view rest = line.substr(end);
  if (word == kEffectAlias) {
    rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
    const size_t number_end = std::min(rest.find_first_of(" \t"), rest.size());
    const auto effect = parse_number(rest.substr(0, number_end));
    if (!effect || *effect < 0 || *effect >= kEffectCount) {
      error = "effect " + quoted(rest.substr(0, number_end)) + " is not 0.." + std::to_string(kEffectCount - 1);
      return std::nullopt;
    }
    return NamedLine{*effect + kBatchFirstEffect, rest.substr(number_end)};
  }
  for (int32_t op = 0; op < kBatchFirstEffect; ++op) {
    if (kOperations[static_cast<size_t>(op)].alias == word) return NamedLine{op, rest};
  }
  error = "unknown operation " + quoted(word);
  return std::nullopt;
}

// One line's step; the error without the line number.
std::optional<BatchStep> parse_line(std::string_view line, std::string& error) {
  const auto named_line = operation_of_line(line, error);
  if (!named_line) return std::nullopt;
  const auto words = split_words(named_line->rest, error);
  if (!words) return std::nullopt;
  BatchStep step;
  step.operation = named_line->operation;
  const std::vector<Key> keys = keys_of(step.operation);
  for (const Key& k : keys) {
    if (k.kind != Kind::Path) step.set_field(k.field, k.start);
  }
  if (step.operation >= kBatchFirstEffect) step.set_field(0, effect_of(step.operation));
  std::vector<std::string> given;
  for (const Word& w : *words) {
    const auto key = std::find_if(keys.begin(), keys.end(), [&w](const Key& k) { return k.name == w.key; });
    if (key == keys.end()) {
      error = "unknown key " + quoted(w.key);
      return std::nullopt;
    }
    if (std::find(given.begin(), given.end(), w.key) != given.end()) {
      error = "key " + quoted(w.key) + " given twice";
      return std::nullopt;
    }
    if (error = store(step, *key, w.value); !error.empty()) return std::nullopt;
    given.push_back(w.key);
  }
  if (step.operation == kBatchSave) {
    if (error = complete_save(step, given); !error.empty()) return std::nullopt;
  }
  return step;
}

// The line up to a "#" outside double quotes.
std::string_view without_comment(std::string_view line) {
  bool in_quotes = false;
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') in_quotes = !in_quotes;
    if (line[i] == '#' && !in_quotes) return line.substr(0, i);
  }
  return line;
}

std::string_view trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string batch_operation_alias(int32_t operation) {
  if (operation < 0 || operation >= kBatchOperationCount) return {};
  if (operation >= kBatchFirstEffect) return std::string(kEffectAlias) + " " + std::to_string(effect_of(operation));
  return std::string(kOperations[static_cast<size_t>(operation)].alias);
}

std::string batch_operation_keys(int32_t operation) {
  if (operation < 0 || operation >= kBatchOperationCount) return {};
  std::string out;
  for (size_t k = 0; const Key& key : keys_of(operation)) {
    if (operation >= kBatchFirstEffect && !effect_row_used(operation, k++)) continue;
    out += (out.empty() ? "" : " ") + std::string(key.name);
  }
  return out;
}

std::string batch_step_text(const BatchStep& step) {
  std::string out = batch_operation_alias(step.operation);
  if (out.empty()) return out;
  for (size_t k = 0; const Key& key : keys_of(step.operation)) {
    const int32_t value = key.kind == Kind::Path ? 0 : step.field(key.field);
    if (step.operation >= kBatchFirstEffect && !effect_row_used(step.operation, k++) && value == 0) continue;
    out += " " + std::string(key.name) + "=";
    switch (key.kind) {
      case Kind::Path: out += quoted(utf16_to_utf8(step.text(key.field, kPathUnits))); break;
      case Kind::Filter: out += name_or_number(kFilterNames, value); break;
      case Kind::Format: out += name_or_number(kFormatNames, value); break;
      case Kind::Number: out += std::to_string(value); break;
    }
  }
  return out;
}

BatchTextResult parse_batch_text(std::string_view text) {
  BatchTextResult result;
  size_t number = 0;
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    std::string_view line = text.substr(start, end - start);
    start = end + 1;
    ++number;
    line = trimmed(without_comment(line));
    if (line.empty()) continue;
    std::string error;
    if (auto step = parse_line(line, error)) {
      result.steps.push_back(*step);
    } else {
      result.steps.clear();
      result.error = "line " + std::to_string(number) + ": " + error;
      return result;
    }
  }
  if (result.steps.empty()) result.error = "no step";
  return result;
}

}  // namespace tesmo
