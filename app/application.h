// The one Application object: the viewer's state, built before the main window and destroyed after
// the message loop. The shell (main window, scroll bars, dialog slots, active flag) hangs off it.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "app/frame_timer.h"
#include "app/scroll_bar.h"
#include "app/settings.h"
#include "app/view_state.h"
#include "platform/platform.h"
#include "surface/surface.h"

namespace tesmo {

// Handles of the open modeless dialogs, fed the window system's events before ordinary dispatch.
// Slot 0 edit preview, 1 falling object controller, 2 file pack module, 3–4 unused, 5 dummy file
// generator, 6 path generator.
class ModelessDialog {
 public:
  virtual ~ModelessDialog() = default;
  // Takes the event when it belongs to this dialog; true when it did.
  virtual bool take_event(const platform::Event& e) = 0;
};
using DialogSlots = std::array<ModelessDialog*, 7>;

class Application {
 public:
  // Loads the settings from `program_folder` + "savedata/system.sav" (creating it when missing).
  explicit Application(std::u16string program_folder);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  SettingsStore& settings_store() { return settings_store_; }
  SystemSettings& settings() { return settings_store_.settings(); }
  ViewState& view() { return view_; }
  RememberedValues& remembered() { return remembered_; }
  SurfaceTable& surfaces() { return surfaces_; }

  // The shell, set up by the start-up once the window exists.
  platform::Platform* platform = nullptr;
  std::unique_ptr<platform::MainWindow> window;
  std::unique_ptr<ScrollBarControl> hbar;
  std::unique_ptr<ScrollBarControl> vbar;
  DialogSlots dialogs{};
  FrameTimer frame_timer;
  bool active = false;                     // frames run only while set
  bool keep_running_when_inactive = false;  // set by dialogs whose animation must run unfocused

  // Composes a frame into surface `target` (0: the back buffer, which is also presented).
  void frame_update(int target);
  uint32_t frames_composed() const { return frames_composed_; }

  // Opens a file into surface 1 (empty path: nothing is shown). `index` and `entry_mode` select an
  // entry of an archive list; −1 when not used (an archive entry is not opened from here). 0 when
  // the picture was decoded, 1 otherwise.
  int open_file(const std::u16string& path, int32_t index, int32_t entry_mode);
  // Closes the shown image; `reset` also returns the window to its empty size.
  void close_image(bool reset);
  void toggle_full_screen();

  std::u16string last_open_request;  // the path the last open_file call received

 private:
  SettingsStore settings_store_;
  RememberedValues remembered_;
  ViewState view_;
  SurfaceTable surfaces_;
  uint32_t frames_composed_ = 0;
};

}  // namespace tesmo
