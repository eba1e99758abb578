// Command arguments: positional values and "--name value" options.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tesmo::cli {

struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;  // "--format" → "6"
  std::vector<std::string> flags;              // options without a value ("--clip")
  bool ok = true;                              // false: an unknown option or a missing value

  std::optional<int64_t> integer(const std::string& name) const;  // decimal or 0x hexadecimal
  bool has_flag(const std::string& name) const;
};

// Splits `args`. `with_value` names the options that take a value, `without_value` the flags.
ParsedArgs parse_args(std::span<const char* const> args, std::span<const char* const> with_value,
                      std::span<const char* const> without_value = {});

// The middle of the timings (the mean of the two middle ones for an even count); 0 when empty.
double median(std::vector<double> times);

// The value of "--jobs": 0 (one thread per core) when it is absent; nothing when it is not a
// number of at least 1.
std::optional<unsigned> jobs_option(const ParsedArgs& p);

// A fresh folder below the system's temporary folder, removed with this object.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  bool made() const { return !path_.empty(); }
  // The folder with a trailing separator.
  std::u16string folder() const;

 private:
  std::filesystem::path path_;
};

// A whole-text decimal or "0x" hexadecimal integer; nothing when the text is not one.
std::optional<int64_t> parse_integer(const std::string& text);

}  // namespace tesmo::cli
