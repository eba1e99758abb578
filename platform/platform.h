// The platform layer: everything the system asks of the window system, in the system's own terms.
//   keys.h           key codes and modifier bits
//   event.h          Event: one message of the window system
//   menu_template.h  menu and accelerator templates (the data lives in resources/)
//   window.h         MainWindow, Menu, scroll-bar and style records
//   dialog.h         dialog templates, handlers and the dialog as a handler sees it
//   platform.h       Platform: windows, the event queue, metrics, message boxes, clock and sleep
// Implementations: qt/ (the product) and fake/ (deterministic, for tests).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/dialog.h"
#include "platform/event.h"
#include "platform/keys.h"
#include "platform/window.h"

namespace tesmo::platform {

// Sizes of the window system's decorations, in pixels.
struct Metrics {
  int caption = 23;         // title bar height
  int menu = 20;            // one-line menu bar height
  int dialog_frame_x = 3;   // fixed frame width of a window without a sizing border
  int dialog_frame_y = 3;
  int vscroll_width = 17;   // vertical scroll bar width
  int hscroll_height = 17;  // horizontal scroll bar height
};

enum class MessageIcon : uint8_t { None, Information, Warning, Error, Question };
enum class MessageButtons : uint8_t { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer : uint8_t { Ok, Cancel, Yes, No };

// The system open dialog: one existing file, read-only files hidden.
struct OpenFileRequest {
  std::u16string title;
  std::vector<std::pair<std::u16string, std::u16string>> filter;  // (display text, "*.bmp;*.ico")
  std::u16string initial_folder;  // empty: the window system's choice
};

// The system save dialog: asks before replacing an existing file, hides the read-only option and
// takes only names in an existing folder.
struct SaveFileRequest {
  std::u16string title;
  std::vector<std::pair<std::u16string, std::u16string>> filter;  // (display text, "*.bmp;*.ico")
  int filter_index = 1;              // the filter shown first, counted from 1
  std::u16string default_extension;  // added to a typed name without one ("bmp", no dot)
  std::u16string initial_folder;     // empty: the window system's choice
  std::u16string initial_name;       // the name the dialog starts with (no folder); may be empty
};

struct SaveFileChoice {
  std::u16string path;
  int filter_index = 1;  // the filter chosen when the dialog closed, counted from 1
};

// The folder browser: file-system folders only.
struct FolderRequest {
  std::u16string title;
  std::u16string initial_folder;  // empty: the window system's choice
};

// A picture on the clipboard as the window system hands it over: rows top to bottom, each row
// starting at a multiple of 4 bytes, pixels in the picture's own depth (32: B, G, R, A; 24: B, G, R).
struct ClipboardBitmap {
  int width = 0;
  int height = 0;
  int bits = 0;
  std::vector<uint8_t> rows;
};

class Platform {
 public:
  virtual ~Platform() = default;

  // The icon of every window the program opens (title bars, the task switcher): PNG images of one
  // picture in several sizes. Images the window system cannot read are left out.
  virtual void set_program_icon(const std::vector<std::span<const uint8_t>>& images) = 0;

  // Creates the main window (hidden until `show`); null when the window system refuses.
  virtual std::unique_ptr<MainWindow> create_main_window(const MainWindowParams& params) = 0;

  // Takes the next waiting event without blocking; false when none is waiting.
  virtual bool peek_event(Event& out) = 0;
  // Blocks until at least one event is waiting.
  virtual void wait_event() = 0;
  // Queues a Quit event with `code` behind the events already waiting.
  virtual void post_quit(int code) = 0;

  virtual uint32_t now_ms() = 0;  // the millisecond clock (wraps after 49.7 days)
  virtual void sleep_ms(uint32_t ms) = 0;
  virtual bool key_held(uint16_t key) = 0;  // keys.h code, e.g. key::Control

  virtual Metrics metrics() = 0;
  virtual Size screen_size() = 0;
  virtual std::optional<Rect> work_area() = 0;  // none when it cannot be read

  virtual MessageAnswer message_box(const std::u16string& text, const std::u16string& caption,
                                    MessageIcon icon, MessageButtons buttons) = 0;

  // Standard choosers. Each returns nothing when the user cancels (or the window system has none).
  virtual std::optional<std::u16string> choose_open_file(const OpenFileRequest& request) = 0;
  virtual std::optional<SaveFileChoice> choose_save_file(const SaveFileRequest& request) = 0;
  // The colour chooser, fully open, starting at `initial` (bytes red, green, blue, 0).
  virtual std::optional<uint32_t> choose_colour(uint32_t initial) = 0;

  // The folder browser; nothing when cancelled. The chosen folder has no trailing separator.
  virtual std::optional<std::u16string> choose_folder(const FolderRequest& request) = 0;

  // The size of the bitmap on the clipboard; nothing when the clipboard holds none.
  virtual std::optional<Size> clipboard_bitmap_size() = 0;
  // The bitmap on the clipboard in its own depth; nothing when the clipboard holds none.
  virtual std::optional<ClipboardBitmap> read_clipboard_bitmap() = 0;
  // Empties the clipboard and puts a picture on it (B, G, R, A pixels, stride = width; the alpha
  // bytes are not carried). False when the clipboard cannot be opened.
  virtual bool set_clipboard_bitmap(const uint32_t* pixels, int width, int height) = 0;
  // Empties the clipboard and puts 8-bit text (CP932) on it.
  virtual bool set_clipboard_text(std::string_view text) = 0;

  // Starts `program` with `arguments` (each one argument, no shell) in `working_folder` (empty:
  // this process's) and lets it run on its own. False when it could not be started.
  virtual bool start_process(const std::u16string& program, const std::vector<std::u16string>& arguments,
                             const std::u16string& working_folder = {}) = 0;

  // The shell: moves a file to the recycle bin (false when it stays where it was); opens a document
  // or a web address with the program the desktop chooses; shows a file's properties (modeless).
  virtual bool move_to_trash(const std::u16string& path) = 0;
  virtual bool open_document(const std::u16string& path_or_address) = 0;
  virtual bool show_file_properties(const std::u16string& path) = 0;

  // Other running instances of the program with main windows of `class_name`. `listen` makes this
  // one reachable: a close request from another instance arrives as a Close event for the main
  // window (after bringing it to the foreground). `close_other_instances` sends that request to
  // every other instance and returns how many were reached.
  virtual void listen_for_instances(const char* class_name) = 0;
  virtual int close_other_instances(const char* class_name) = 0;
  // Runs a modal dialog over the main window until its handler ends it; returns the end code, or
  // kDialogFailed when the dialog cannot be made. The main window takes no input meanwhile.
  virtual int run_modal_dialog(const DialogTemplate& dialog, DialogHandler& handler) = 0;
  // Opens a modeless dialog (init has run when this returns); null when it cannot be made. The
  // template and the handler must outlive the window.
  virtual std::unique_ptr<DialogWindow> open_modeless_dialog(const DialogTemplate& dialog,
                                                             DialogHandler& handler) = 0;
};

}  // namespace tesmo::platform
