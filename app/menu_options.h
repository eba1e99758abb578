// Options held as menu checks: a toggle is on when its item is checked, a choice is the index of the
// one checked item of its radio group. Each is mirrored by a field of the settings record.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "app/settings.h"
#include "platform/window.h"

namespace tesmo {

enum class MenuOptionKind : uint8_t { Toggle, Choice };

struct MenuOption {
  MenuOptionKind kind;
  int32_t SystemSettings::*field;
  uint8_t count;             // 1 for a toggle; the group's size for a choice
  uint16_t items[6];         // a choice's items in index order
};

// Every menu-held option, in the order the checks are set at start.
std::span<const MenuOption> menu_options();

// Loads the stored background picture; false when it cannot be loaded.
using BackgroundLoader = std::function<bool(const std::u16string& path)>;

// Sets every check from the settings, in `menu_options` order. A choice whose stored index is out
// of range leaves its whole group unchecked. Background mode "Image" stays only when a path is
// stored and `load_background` loads it; otherwise Fill Color is checked and the field becomes 0
// in memory (the file keeps its value until the next save).
void init_menu_checks(platform::Menu& menu, SystemSettings& settings,
                      const BackgroundLoader& load_background);

// Greys every command that needs a shown image (and the effect items), unchecks both channel items.
void disable_image_commands(platform::Menu& menu);

}  // namespace tesmo
