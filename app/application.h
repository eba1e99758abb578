// The one Application object: the viewer's state, built before the main window and destroyed after
// the message loop. The shell (main window, scroll bars, dialog slots, active flag) hangs off it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/background_job.h"
#include "app/fonts.h"
#include "app/frame_timer.h"
#include "app/glyph_text.h"
#include "app/input_state.h"
#include "app/scroll_bar.h"
#include "app/settings.h"
#include "app/tween.h"
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
  // Moves the dialog's top-left (docking beside the main window).
  virtual void move_to(platform::Point top_left) = 0;
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
  const SystemSettings& settings() const { return settings_store_.settings(); }
  ViewState& view() { return view_; }
  const ViewState& view() const { return view_; }
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

  // The idle pass's frame: composes into surface `target` (0: the back buffer, also presented).
  void frame_update(int target);
  uint32_t frame_passes() const { return frame_passes_; }  // calls of frame_update
  uint32_t frames_drawn() const { return frames_drawn_; }  // frames composed into the back buffer
  void count_frame() { ++frames_drawn_; }

  // Opens a file into surface 1 (empty path: nothing is shown). `index` and `entry_mode` select an
  // entry of an archive list; −1 when not used (an archive entry is not opened from here). 0 when
  // the picture was decoded and laid out, 1 otherwise.
  int open_file(const std::u16string& path, int32_t index, int32_t entry_mode);
  // Closes the shown image; `reset` also returns the window to its empty size.
  void close_image(bool reset);
  // Shows the alpha view after loading when the picture has alpha and Default Channel Alpha is on.
  void select_default_channel();

  std::u16string last_open_request;  // the path the last open_file call received

  // The background job (a save on a worker thread); commands are ignored while one exists.
  bool job_running() const { return job != nullptr; }
  // Stores the mode and start time, stops any previous job and starts `work` on a worker.
  void start_background_job(int mode, BackgroundJob::Work work);
  // The frame's look at the job: a finished job is collected, stopped and handed to
  // `on_job_finished` (except result 2, which keeps the progress display).
  void poll_background_job();
  void finish_background_job(int result);
  void draw_progress();  // the progress display over the back buffer while a job runs
  std::unique_ptr<BackgroundJob> job;
  int job_mode = 0;  // 0 save, 1 save as
  uint32_t job_start_ms = 0;
  std::function<void(int mode, int result)> on_job_finished;

  // Text: the glyph service (given by the program before the window opens), the three fonts opened
  // from it when the window is created, and the one renderer.
  std::unique_ptr<platform::GlyphService> glyphs;
  Fonts fonts;
  GlyphTextRenderer text;
  // Renders `text` with font `font` into a cleared surface `key` of 136 × 20 (the progress texts);
  // returns the text's width.
  int32_t render_label(int key, int font, std::u16string_view label);
  int32_t name_label_width = 0;  // width of the text in surface 20 (file name)
  int32_t time_label_width = 0;  // and in surface 21 (elapsed time)

  // Input and animation.
  InputState input;
  TweenSlots tweens;
  platform::Point mouse, previous_mouse, drag_start;
  bool dragging = false;
  platform::Point origin;  // where the picture is drawn in the target (−scroll, + drag, + centring)
  platform::Point centre;  // full-screen centring offsets
  int32_t cursor_x100 = 0, cursor_y100 = 0;  // cursor in image pixels × 100

  uint32_t last_navigation_ms = 0;  // the last zoom or file step (the wheel's minimum interval)
  Rect hit_region;                  // the one hit region: the whole window, rebuilt by every layout
  int hovered_region = -1;
  int previous_region = -1;

  // Hooks the later subsystems fill: the Exif orientation of a newly shown picture (true when it
  // was applied, which lays the window out again), the frame-rate text drawn on paint, the
  // right-click copy, the grid and overlays of a frame, and the progress texts.
  std::function<bool()> apply_exif_orientation;
  std::function<void()> draw_fps_text;
  std::function<void()> right_click;
  std::function<void(float step)> draw_overlays;

 private:
  SettingsStore settings_store_;
  RememberedValues remembered_;
  ViewState view_;
  SurfaceTable surfaces_;
  uint32_t frame_passes_ = 0;
  uint32_t frames_drawn_ = 0;
};

}  // namespace tesmo
