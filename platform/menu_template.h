// Menu and accelerator templates: plain data from which each platform builds its menu bar, and by
// which the system addresses items (by command id).
#pragma once

#include <cstdint>
#include <span>

namespace tesmo::platform {

enum class MenuEntryKind : uint8_t {
  Submenu,    // opens a nested list; the entries that follow at depth + 1 belong to it
  Command,    // a plain command item
  Check,      // an independent toggle (checked = on)
  Radio,      // one item of a radio group; `group` numbers the group inside its submenu
  Label,      // a bracketed caption such as "[ Loop ]": always grey, never a command
  Separator,
};

// The id of captions and separators: they send no command and cannot be addressed.
inline constexpr uint16_t kNoCommand = 0;

// One menu entry. Entries are listed in display order; `depth` 0 entries are the menu bar.
// Submenus carry ids below 100 so that whole menus can be addressed (the edit menus are greyed
// together); commands carry their command ids.
struct MenuEntry {
  uint8_t depth;
  MenuEntryKind kind;
  uint16_t id;
  const char16_t* label_ja;
  const char16_t* label_en;
  uint8_t group = 0;
};

struct MenuTemplate {
  const char* name;  // "IDR_MENU_JA"
  std::span<const MenuEntry> entries;
};

// One accelerator: the key code (keys.h), its modifier bits and the command it sends.
struct AccelEntry {
  uint16_t key;
  uint8_t modifiers;
  uint16_t command;
};

struct AccelTemplate {
  const char* name;  // "IDR_ACCEL"
  std::span<const AccelEntry> entries;
};

}  // namespace tesmo::platform
