// The viewer: showing pictures and moving through them. It owns the folder list and the stepping
// through it, the mouse and its animation slots, and the frame that composes the view; it works on
// the document and the shell it is given. What the viewer needs from the subsystems above it (the
// edit framework, the development tools, the command table) it asks through `ViewerOwner`, which
// the application implements.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "document/document.h"
#include "shell/shell.h"
#include "viewer/folder_list.h"
#include "viewer/input_state.h"
#include "viewer/tween.h"

namespace tesmo {

struct OverlayCache;
class Prefetcher;

class ViewerOwner {
 public:
  virtual ~ViewerOwner() = default;
  // Runs the command `id` as the menu would.
  virtual void dispatch_command(uint16_t id) = 0;
  // Closes an open effect-parameter dialog as Cancel (before the picture it works on goes).
  virtual void cancel_effect_dialog() = 0;
  // Turns a newly shown picture by its Exif orientation; true when it was turned (the window is
  // then laid out again).
  virtual bool apply_exif_orientation() = 0;
  // The frame's step of the development tools' previews (drawn into the back buffer).
  virtual void advance_tools(float step) = 0;
  // True while a tool's preview moves on every frame.
  virtual bool tools_animating() const = 0;
};

class Viewer {
 public:
  Viewer(Shell& shell, Document& doc);
  ~Viewer();
  Viewer(const Viewer&) = delete;
  Viewer& operator=(const Viewer&) = delete;

  Shell& shell;
  Document& doc;
  ViewerOwner* owner = nullptr;  // set by the application that owns the viewer

  // The idle pass's frame: composes into surface `target` (0: the back buffer, also presented).
  void frame_update(int target);
  uint32_t frame_passes() const { return frame_passes_; }  // calls of frame_update
  uint32_t frames_drawn() const { return frames_drawn_; }  // frames composed into the back buffer
  // True while the next frame can differ from the last one without an event: an animation slot
  // runs, a background job or a tool's preview works, an effect is previewed, a mouse button is
  // held (repeats, drags) or the frame rate is shown. Otherwise the loop may wait for an event.
  bool frame_can_change() const;
  void count_frame() { ++frames_drawn_; }

  // Shows a file: "<dialog>" asks for one first (cancel: 1, nothing changes); the shown image is
  // closed (the window reset only when nothing was shown); an empty path ends there; a ".lnk"
  // shortcut is replaced by its target. 0 when the picture is shown; 1 otherwise, with the window
  // back to its empty 400 × 300 state. `index` and `entry_mode` select an archive entry: −1 when
  // not used (an archive entry is never opened).
  int open_file(const std::u16string& path, int32_t index, int32_t entry_mode);
  // Opens the one file the user asked for (the command line, Open, a drop) as open_file does; when
  // a reader refuses it, a warning names the file and gives the reader's reason. Stepping through
  // a folder uses open_file and skips unreadable files silently.
  int open_asked(const std::u16string& path);
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
  // Reads ahead the files the next and previous steps would show (once a picture is on screen;
  // again when the shown file, the folder list or the loop option changes).
  void read_ahead();
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
  std::string load_fault;           // why the last load failed (the reader's reason); empty after success
  int32_t current_list_index = -1;
  int32_t source_mode = 0;          // 0 nothing shown, 1 a file

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

  // The overlays' cached state and the frame-rate text's bitmap (a copy of the back buffer: surface
  // 0 keeps the frame, which the cursor bar and the colour copy read).
  std::unique_ptr<OverlayCache> overlay_cache;
  SurfaceTable fps_bitmap;
  std::unique_ptr<Prefetcher> prefetcher;  // the pictures read ahead for the steps

 private:
  // What the pictures read ahead were chosen for.
  struct ReadAheadFor {
    std::u16string shown;
    uint32_t folder_list_serial = 0;
    bool wrap = false;
    bool operator==(const ReadAheadFor&) const = default;
  };
  ReadAheadFor read_ahead_for_;
  uint32_t frame_passes_ = 0;
  uint32_t frames_drawn_ = 0;
};

}  // namespace tesmo
