// The deterministic platform used by tests: fixed metrics, a scripted event queue and message-box
// answers, a settable clock, and a record of every change made to the main window.
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/fake_dialog.h"
#include "platform/platform.h"

namespace tesmo::platform {

class FakePlatform;

class FakeMenu final : public Menu {
 public:
  explicit FakeMenu(const MenuTemplate* menu);
  bool has_item(uint16_t id) const override { return items_.count(id) != 0; }
  void set_checked(uint16_t id, bool checked) override;
  bool is_checked(uint16_t id) const override;
  void set_enabled(uint16_t id, bool enabled) override;
  bool is_enabled(uint16_t id) const override;

 private:
  struct Item {
    bool checked = false;
    bool enabled = true;
  };
  std::map<uint16_t, Item> items_;
};

class FakeWindow final : public MainWindow {
 public:
  FakeWindow(FakePlatform& platform, const MainWindowParams& params);

  const char* class_name() const override { return class_name_; }
  void set_title(const std::u16string& title) override;
  std::u16string title() const override { return title_; }
  void set_style(const WindowStyle& style) override;
  WindowStyle style() const override { return style_; }
  Rect window_rect() const override;
  Rect client_rect() const override;
  void set_geometry(Point outer_top_left, int client_width, int client_height) override;
  void move(Point outer_top_left) override;
  void set_topmost(bool topmost) override;
  void set_opacity(int alpha) override;
  void set_scroll_info(ScrollBarKind bar, const ScrollInfo& info, bool redraw) override;
  ScrollInfo scroll_info(ScrollBarKind bar) const override;
  Menu& menu() override { return menu_; }
  void attach_menu(bool attached) override;
  void show() override;
  void invalidate() override;
  void present(const uint32_t* pixels, int width, int height) override;
  bool is_foreground() const override { return foreground; }
  void bring_to_foreground() override { foreground = true; }
  void set_mouse_capture(bool captured) override;
  Point cursor_position() const override { return cursor; }
  void destroy() override;

  // What tests read and set.
  std::vector<std::string> log;   // one line per change, in order
  bool system_chose_position = false;
  bool visible = false;
  bool destroyed = false;
  bool menu_attached = true;
  bool topmost = false;
  bool captured = false;
  int opacity = 255;
  int presents = 0;
  std::vector<uint32_t> presented;  // the last picture presented
  Point cursor;  // where the mouse is, in client coordinates
  bool foreground = true;

 private:
  int frame_height_extra() const;

  FakePlatform& platform_;
  const char* class_name_;
  std::u16string title_;
  WindowStyle style_;
  Point position_;
  int client_width_;
  int client_height_;
  ScrollInfo bars_[2];
  FakeMenu menu_;
};

class FakePlatform final : public Platform {
 public:
  std::unique_ptr<MainWindow> create_main_window(const MainWindowParams& params) override;
  bool peek_event(Event& out) override;
  void wait_event() override;
  void post_quit(int code) override;
  uint32_t now_ms() override { return clock_ms; }
  void sleep_ms(uint32_t ms) override;
  bool key_held(uint16_t key) override { return held_keys.count(key) != 0; }
  Metrics metrics() override { return Metrics{}; }
  Size screen_size() override { return {1920, 1080}; }
  std::optional<Rect> work_area() override { return work_area_rect; }
  MessageAnswer message_box(const std::u16string& text, const std::u16string& caption,
                            MessageIcon icon, MessageButtons buttons) override;
  std::optional<std::u16string> choose_open_file(const OpenFileRequest& request) override;
  std::optional<SaveFileChoice> choose_save_file(const SaveFileRequest& request) override;
  std::optional<uint32_t> choose_colour(uint32_t initial) override;
  std::optional<std::u16string> choose_folder(const FolderRequest& request) override;
  // The picture's size when one was put on the clipboard, else `clipboard_bitmap`.
  std::optional<Size> clipboard_bitmap_size() override;
  std::optional<ClipboardBitmap> read_clipboard_bitmap() override { return clipboard_picture; }
  bool set_clipboard_bitmap(const uint32_t* pixels, int width, int height) override;
  bool set_clipboard_text(std::string_view text) override;
  bool start_process(const std::u16string& program, const std::vector<std::u16string>& arguments,
                     const std::u16string& working_folder = {}) override;
  // Removes the file (the fake has no recycle bin) unless trash is refused.
  bool move_to_trash(const std::u16string& path) override;
  bool open_document(const std::u16string& path_or_address) override;
  bool show_file_properties(const std::u16string& path) override;
  void listen_for_instances(const char* class_name) override { listening_class = class_name; }
  void set_program_icon(const std::vector<std::span<const uint8_t>>& images) override;
  int close_other_instances(const char* class_name) override;
  // Runs the next script of dialog_scripts (none: Cancel at once) and records the dialog.
  int run_modal_dialog(const DialogTemplate& dialog, DialogHandler& handler) override;
  // The dialog of the last modeless window opened (valid while that window lives).
  FakeDialog* last_modeless = nullptr;
  std::unique_ptr<DialogWindow> open_modeless_dialog(const DialogTemplate& dialog, DialogHandler& handler) override;

  // Scripting.
  void push(const Event& e) { events.push_back(e); }
  void push_command(int id) { push(Event{.kind = EventKind::Command, .code = id}); }
  void push_key(uint16_t key, uint8_t modifiers = 0) {
    push(Event{.kind = EventKind::KeyDown, .code = key, .modifiers = modifiers});
  }

  std::deque<Event> events;
  // Events that arrive only while the loop waits: each wait_event delivers the next one.
  std::deque<Event> events_while_waiting;
  std::set<uint16_t> held_keys;
  uint32_t clock_ms = 1000;
  std::optional<Rect> work_area_rect = Rect{0, 0, 1920, 1040};
  bool refuse_window = false;
  bool foreground_on_create = true;  // whether a new window is the foreground window
  Point system_position{26, 26};  // where the window system places a window left to it
  // After this many empty polls in a row the fake ends the run with Quit(-99), so a test whose
  // script runs out can never hang.
  int max_idle_polls = 1000;
  int idle_polls = 0;
  int waits = 0;
  int sleeps = 0;
  std::deque<MessageAnswer> answers;  // next message-box answers; Ok when empty
  std::vector<std::u16string> messages;
  std::vector<std::u16string> message_captions;  // each box's caption and icon, in the same order
  std::vector<MessageIcon> message_icons;
  std::deque<DialogScript> dialog_scripts;  // one per modal dialog, in order
  std::vector<DialogRecord> dialogs;        // every modal dialog run, in order
  bool refuse_dialogs = false;
  FakeWindow* window = nullptr;  // the last window created

  // Choosers: the next answers (nothing = cancelled when empty), and what they were asked.
  std::deque<std::optional<std::u16string>> open_answers;
  std::vector<OpenFileRequest> open_requests;
  std::deque<std::optional<SaveFileChoice>> save_answers;
  std::vector<SaveFileRequest> save_requests;
  std::deque<std::optional<uint32_t>> colour_answers;
  int colour_requests = 0;
  std::deque<std::optional<std::u16string>> folder_answers;
  std::vector<FolderRequest> folder_requests;
  // The clipboard: a size alone (what a test says is there), or a picture, or 8-bit text; putting
  // one thing on it empties the others.
  std::optional<Size> clipboard_bitmap;
  std::optional<ClipboardBitmap> clipboard_picture;
  std::optional<std::string> clipboard_text;
  bool refuse_clipboard = false;
  struct Started {
    std::u16string program;
    std::vector<std::u16string> arguments;
    std::u16string working_folder;
  };
  std::vector<Started> started;  // processes started
  bool refuse_processes = false;
  std::vector<std::u16string> trashed;     // paths moved to the recycle bin
  bool refuse_trash = false;
  std::vector<std::u16string> documents;   // documents and addresses opened
  std::vector<std::u16string> properties;  // files whose properties were shown
  std::string listening_class;
  std::vector<std::vector<uint8_t>> program_icon;  // the images of the last program icon set
  int other_instances = 0;    // instances a Close All reaches
  int close_all_requests = 0;
  // Whether the modal flag was set while a chooser or box was up (read through this hook).
  std::function<void()> on_modal;
};

}  // namespace tesmo::platform
