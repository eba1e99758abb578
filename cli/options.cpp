// Argument splitting for the toolbox commands.
#include "cli/options.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "base/path.h"

namespace tesmo::cli {
namespace {

bool listed(std::span<const char* const> names, const std::string& name) {
  return std::any_of(names.begin(), names.end(), [&](const char* n) { return name == n; });
}

}  // namespace

std::optional<int64_t> parse_integer(const std::string& text) {
  if (text.empty()) return std::nullopt;
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  const char* start = text.c_str() + (hex ? 2 : 0);
  char* end = nullptr;
  long long v = std::strtoll(start, &end, hex ? 16 : 10);
  if (end == start || *end != '\0') return std::nullopt;
  return static_cast<int64_t>(v);
}

std::optional<int64_t> ParsedArgs::integer(const std::string& name) const {
  auto it = options.find(name);
  if (it == options.end()) return std::nullopt;
  return parse_integer(it->second);
}

bool ParsedArgs::has_flag(const std::string& name) const {
  return std::find(flags.begin(), flags.end(), name) != flags.end();
}

ParsedArgs parse_args(std::span<const char* const> args, std::span<const char* const> with_value,
                      std::span<const char* const> without_value) {
  ParsedArgs p;
  for (size_t i = 0; i < args.size(); ++i) {
    std::string a = args[i];
    if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      if (listed(without_value, a)) {
        p.flags.push_back(a);
      } else if (listed(with_value, a) && i + 1 < args.size()) {
        p.options[a] = args[++i];
      } else {
        p.ok = false;
      }
    } else {
      p.positional.push_back(a);
    }
  }
  return p;
}

std::optional<unsigned> jobs_option(const ParsedArgs& p) {
  if (!p.options.contains("--jobs")) return 0u;
  std::optional<int64_t> jobs = p.integer("--jobs");
  if (!jobs || *jobs < 1 || *jobs > UINT32_MAX) return std::nullopt;
  return static_cast<unsigned>(*jobs);
}

ScratchFolder::ScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tesmo_scratch_XXXXXX").string();
  if (mkdtemp(pattern.data())) path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::u16string ScratchFolder::folder() const { return from_fs_path(path_) + kPathSeparator; }

double median(std::vector<double> times) {
  if (times.empty()) return 0;
  std::sort(times.begin(), times.end());
  const size_t n = times.size();
  return n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
}

}  // namespace tesmo::cli
