// Shortcut files (".lnk", the shell link format): the target they name, read without any user
// interface and resolved against the folder the shortcut lies in.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tesmo {

// What a shortcut names. Paths use the link's own '\\' separators.
struct ShellLinkTarget {
  std::u16string local_base_path;  // the absolute target of the link information, when present
  std::u16string relative_path;    // the target relative to the shortcut's folder, when present
};

// Reads the header (76 bytes, the link class id) and walks the id list, the link information and
// the string data in their order. Nothing when the bytes are not a shell link or are cut short.
std::optional<ShellLinkTarget> parse_shell_link(std::span<const uint8_t> bytes);

// The target path of the shortcut at `link_path` on this system: the relative path resolved
// against the shortcut's folder when that file exists, else the absolute path when it exists, else
// whichever the link holds (relative first). Nothing when the shortcut cannot be read.
std::optional<std::u16string> resolve_shell_link(const std::u16string& link_path);

}  // namespace tesmo
