// The one Application object: the viewer's state, built before the main window and destroyed after
// the message loop. The shell (main window, scroll bars, dialog slots, active flag) hangs off it.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/background_job.h"
#include "app/fonts.h"
#include "app/frame_timer.h"
#include "app/glyph_text.h"
#include "app/input_state.h"
#include "app/scroll_bar.h"
#include "app/settings.h"
#include "app/tween.h"
#include "app/view_state.h"
#include "app/viewer_commands.h"
#include "platform/platform.h"
#include "surface/surface.h"
#include "viewer/folder_list.h"

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

  // Opening, closing and stepping through the shown file's folder (navigation.cpp).
  //
  // Shows a file: "<dialog>" asks for one first (cancel: 1, nothing changes); the shown image is
  // closed (the window reset only when nothing was shown); an empty path ends there; a ".lnk"
  // shortcut is replaced by its target. 0 when the picture is shown; 1 otherwise, with the window
  // back to its empty 400 × 300 state. `index` and `entry_mode` select an archive entry: −1 when
  // not used (an archive entry is never opened).
  int open_file(const std::u16string& path, int32_t index, int32_t entry_mode);
  // Closes the shown image, asking to save changes. `reset` also returns the window to its empty
  // 400 × 300 state. Remembers the zoom for the next picture; keeps the full-screen and keep-place
  // flags.
  void close_image(bool reset);
  // Decodes `path` into surface 1 and shows it (zoom, alpha view in surface 2, layout, menu state).
  // 0 on success; 1 (nothing shown, nothing reported) when no reader accepts it or `entry_mode`
  // is not −1.
  int load_into_view(const std::u16string& path, int32_t entry_mode);
  // Shows the alpha view after loading when the picture has alpha and Default Channel Alpha is on.
  void select_default_channel();
  // Makes sure the folder list holds the shown file's folder (kept while the shown file is found
  // at the shown index; rebuilt, with fresh markers, otherwise).
  void build_folder_list();
  // The four File → Open steps. Unreadable files are skipped; when no other file opens, the file
  // shown before the step is shown again. Next and previous obey the navigation interval and the
  // loop option; first and last do not.
  void step_next();
  void step_previous();
  void step_first();
  void step_last();
  // Reopens the shown path keeping the zoom and the window's place.
  void refresh();
  // A drop on the window: the first item opens here (a folder gives its first file, searched
  // depth-first), later items start new instances; with Shift the first item becomes the
  // background picture instead.
  void drop_files(const std::vector<std::u16string>& items);
  // The shown file's marker goes 0 → 1 → 2 → 0 (and the file-information panel is switched on).
  void marker_set();
  void marker_clear_all();
  // Loads `path` as the background picture (surface 19), checks Background → Image and stores it;
  // when it cannot be loaded, Fill Color is checked and the mode becomes 0. Writes the settings.
  bool set_background_picture(const std::u16string& path);

  std::u16string last_open_request;  // the path the last open_file call received
  std::vector<FolderEntry> folder_list;  // the shown file's folder, when has_folder_list
  std::vector<MarkerEntry> markers;      // one per folder-list entry
  bool has_folder_list = false;
  uint32_t folder_list_serial = 0;  // counts the folder lists built; what shows one follows it
  int32_t cursor_index = 0;         // list position being tried
  int32_t shown_index = 0;          // list position of the shown file
  std::u16string current_path;      // the last path handed to load
  int32_t current_list_index = -1;
  int32_t source_mode = 0;          // 0 nothing shown, 1 a file

  // Seams the later subsystems fill. The dialogs: New (148) and Key Assignment (167) return the
  // user's values, or nothing for Cancel; unset they answer Cancel.
  std::function<std::optional<NewPictureChoice>(const NewPictureChoice& initial)> ask_new_picture;
  std::function<std::optional<KeyAssignment>(const KeyAssignment& current)> ask_key_assignment;
  std::function<void()> cancel_effect_dialog;  // closes an open effect-parameter dialog as Cancel
  // Save As, run when the save question says Yes: 0 saved, 1 failed, 2 cancelled (the question is
  // then asked again, so that changes go only when the user says No).
  std::function<int()> save_as;

  // The edit framework's state (app/edit.h): the one undo level (surfaces 17 and 18 hold the
  // pictures, `undo_view` the view state of the same moment), the names of the edits made since the
  // picture was opened (only while `has_edit_history`), and the open effect-parameter dialog.
  ViewState undo_view;
  std::vector<std::u16string> edit_history;
  bool has_edit_history = false;
  std::unique_ptr<ModelessDialog> effect_dialog;
  int32_t lossless_choice = 0;  // the lossless transform dialog starts at the previous choice
  std::unique_ptr<ModelessDialog> file_pack_dialog;  // the file pack module (slot 2), once opened
  // The falling object controller (app/falling_objects_dialog.h): its dialog, and the frame's step
  // and draw of the preview into the back buffer, set while a simulation exists.
  std::unique_ptr<ModelessDialog> falling_dialog;
  std::function<void(float step)> advance_falling;
  // Loads the marker stars into surfaces 15 and 16 (from the embedded archive).
  std::function<void(SurfaceTable& surfaces)> load_marker_stars;
  std::function<void(uint16_t id)> tool_command;  // ids no command row handles (development tools)
  // The development tools' modeless dialogs (app/tool_menu.h), owned here by dialog slot.
  std::array<std::unique_ptr<ModelessDialog>, 7> tool_dialogs;

  // The background job (a save on a worker thread); commands are ignored while one exists.
  bool job_running() const { return job != nullptr; }
  // Stores the mode and start time, stops any previous job and starts `work` on a worker.
  void start_background_job(int mode, BackgroundJob::Work work);
  // The frame's look at the job: a finished job is collected, stopped and handed to
  // `on_job_finished` (except result 2, which keeps the progress display).
  void poll_background_job();
  void finish_background_job(int result);
  // Waits for a running job's worker and finishes the job (its surfaces must stay until then).
  void wait_background_job();
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
  platform::Point windowed_place;  // the window's top-left before full screen, where it comes back
  int32_t cursor_x100 = 0, cursor_y100 = 0;  // cursor in image pixels (client × 100 / zoom percent)

  uint32_t last_navigation_ms = 0;  // the last zoom or file step (the wheel's minimum interval)
  Rect hit_region;                  // the one hit region: the whole window, rebuilt by every layout
  int hovered_region = -1;
  int previous_region = -1;

  // Hooks the later subsystems fill: the Exif orientation of a newly shown picture (true when it
  // was applied, which lays the window out again), the frame-rate text drawn on paint, the grid
  // and overlays of a frame, and the progress texts. The frame-rate text goes over a copy of the
  // back buffer (the window's bitmap), whose pixels it returns for presenting: surface 0 keeps the
  // frame, which the cursor bar and the colour copy read.
  std::function<bool()> apply_exif_orientation;
  std::function<const uint32_t*(const Surface& back)> draw_fps_text;
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
