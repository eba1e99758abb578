// The shell: what every window-side subsystem shares, and nothing more. The main window with its
// menu and scroll bars, the modeless dialog slots, the modal and active flags, the platform, the
// settings, the frame timing and the text renderer. Lower layers receive the shell instead of the
// whole application, so they can reach the window and the settings but not each other.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "platform/platform.h"
#include "shell/frame_timer.h"
#include "shell/remembered_values.h"
#include "shell/scroll_bar.h"
#include "shell/settings.h"
#include "text/fonts.h"
#include "text/glyph_text.h"

namespace tesmo {

// Window class and title of the main window.
inline constexpr const char* kWindowClass = "ZUK_TESMO";
inline constexpr char16_t kWindowTitle[] = u"Tesmo64";

// Handles of the open modeless dialogs, fed the window system's events before ordinary dispatch.
class ModelessDialog {
 public:
  virtual ~ModelessDialog() = default;
  // Takes the event when it belongs to this dialog; true when it did.
  virtual bool take_event(const platform::Event& e) = 0;
  // Moves the dialog's top-left (docking beside the main window).
  virtual void move_to(platform::Point top_left) = 0;
};

// The dialog slots, by the dialog that takes them.
enum DialogSlot : int {
  kSlotEffect = 0,
  kSlotFallingObjects = 1,
  kSlotFilePack = 2,
  kSlotDummyFile = 5,
  kSlotPathGenerator = 6,
  kDialogSlotCount = 7,
};
using DialogSlots = std::array<ModelessDialog*, kDialogSlotCount>;

class Shell {
 public:
  // Loads the settings from "system.sav" in the savedata folder of `program_folder` (creating it
  // when missing; base/user_folders.h says where that folder is).
  explicit Shell(std::u16string program_folder);
  Shell(const Shell&) = delete;
  Shell& operator=(const Shell&) = delete;

  SettingsStore& settings_store() { return settings_store_; }
  SystemSettings& settings() { return settings_store_.settings(); }
  const SystemSettings& settings() const { return settings_store_.settings(); }
  RememberedValues& remembered() { return remembered_; }

  platform::Platform* platform = nullptr;  // set by the start-up; null in windowless runs
  std::unique_ptr<platform::MainWindow> window;
  std::unique_ptr<ScrollBarControl> hbar;
  std::unique_ptr<ScrollBarControl> vbar;
  DialogSlots dialogs{};
  FrameTimer frame_timer;
  bool modal_open = false;                  // a modal dialog or message box is up: commands are ignored
  bool active = false;                      // frames run only while set
  bool keep_running_when_inactive = false;  // set by dialogs whose animation must run unfocused

  // Text: the glyph service (given by the program before the window opens), the three fonts opened
  // from it when the window is created, and the one renderer.
  std::unique_ptr<platform::GlyphService> glyphs;
  Fonts fonts;
  GlyphTextRenderer text;

  uint32_t now_ms() const { return platform ? platform->now_ms() : 0; }

 private:
  SettingsStore settings_store_;
  RememberedValues remembered_;
};

}  // namespace tesmo
