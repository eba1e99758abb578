// Options held as menu checks: a toggle is on when its item is checked, a choice is the index of the
// one checked item of its radio group. Each is mirrored by a field of the settings record.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

#include "platform/window.h"
#include "shell/settings.h"

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

// The option whose item is `id`, or null.
const MenuOption* menu_option_of(uint16_t id);

// The toggle pattern: flips the item's check and stores the new state in its field. Returns the
// new state. The caller writes the settings file.
bool toggle_menu_option(platform::Menu& menu, SystemSettings& settings, uint16_t id);

// The radio pattern: when `id` is not the checked item of its group, checks it, unchecks the
// others and stores its index. Returns false (nothing done) when it already was the choice.
bool choose_menu_option(platform::Menu& menu, SystemSettings& settings, uint16_t id);

// What the menu needs to know of a newly shown picture.
struct ShownPicture {
  bool jpeg = false;         // decoded from a JPEG file
  int32_t width = 0;
  int32_t height = 0;
  bool has_alpha = false;
  bool generated = false;    // a picture with a display name ("<新規作成>", "<モニターの調整>")
};

// Enables the commands of a shown picture: Lossless Transform only for a JPEG whose width is a
// multiple of 8; the alpha items by whether the picture has alpha; the effect items (the lens only
// for a square picture, displacement and the alpha composites only with alpha); a generated
// picture greys what needs a file.
void enable_image_commands(platform::Menu& menu, const ShownPicture& picture);

// The effect items' rule, also run on close and undo: all together, then the lens and alpha rules.
void update_edit_menu(platform::Menu& menu, bool enabled, bool square, bool has_alpha);

// Greys every command that needs a shown image (and the effect items), unchecks both channel items.
void disable_image_commands(platform::Menu& menu);

}  // namespace tesmo
