// The product's platform: the Platform interface on Qt 6 Widgets.
//   qt_platform   QtPlatform: the application object, the event queue, clock, metrics, boxes
//   qt_main_window, qt_widgets   the main window and the widgets that report its events
//   qt_menu       the menu bar built from the menu template
//   qt_dialog     dialogs built from templates, driven by their handlers
//   qt_keys       key codes, modifier bits and accelerator texts
//   qt_event_queue  the queue between the widgets and the system's message loop
#pragma once

#include <QPointer>
#include <QTranslator>
#include <memory>

#include "platform/platform.h"
#include "platform/qt/qt_event_queue.h"

class QApplication;
class QLocalServer;
class QWidget;

namespace tesmo::platform {

class QtPlatform final : public Platform {
 public:
  // Creates the application object; `argc` must outlive the platform (Qt keeps a reference).
  QtPlatform(int& argc, char** argv);
  // Every window must be gone before the platform.
  ~QtPlatform() override;

  // The application's window icon, which every window without one of its own shows.
  void set_program_icon(const std::vector<std::span<const uint8_t>>& images) override;
  std::unique_ptr<MainWindow> create_main_window(const MainWindowParams& params) override;
  // Lets Qt deliver what is pending once, then takes the oldest queued event.
  bool peek_event(Event& out) override;
  // Lets Qt block and deliver until the queue holds an event.
  void wait_event() override;
  void post_quit(int code) override;
  uint32_t now_ms() override;
  void sleep_ms(uint32_t ms) override;
  // Shift, Control and Alt are read from the window system; every other key reads as not held.
  bool key_held(uint16_t key) override;
  // From the running style and, once the main window is shown, from its real frame; the values
  // documented in Metrics where neither can tell.
  Metrics metrics() override;
  Size screen_size() override;
  std::optional<Rect> work_area() override;
  MessageAnswer message_box(const std::u16string& text, const std::u16string& caption,
                            MessageIcon icon, MessageButtons buttons) override;
  std::optional<std::u16string> choose_open_file(const OpenFileRequest& request) override;
  // A Qt save dialog (not a static one: the default suffix and the chosen filter need the object).
  std::optional<SaveFileChoice> choose_save_file(const SaveFileRequest& request) override;
  std::optional<uint32_t> choose_colour(uint32_t initial) override;
  std::optional<std::u16string> choose_folder(const FolderRequest& request) override;
  std::optional<Size> clipboard_bitmap_size() override;
  // 32 bits when the clipboard's picture carries alpha, else 24.
  std::optional<ClipboardBitmap> read_clipboard_bitmap() override;
  bool set_clipboard_bitmap(const uint32_t* pixels, int width, int height) override;
  // The CP932 bytes as text (the desktop's clipboard holds Unicode).
  bool set_clipboard_text(std::string_view text) override;
  bool start_process(const std::u16string& program, const std::vector<std::u16string>& arguments,
                     const std::u16string& working_folder = {}) override;
  // The desktop's trash (the freedesktop.org trash folder).
  bool move_to_trash(const std::u16string& path) override;
  // The desktop's handler for the file type or the address.
  bool open_document(const std::u16string& path_or_address) override;
  // A small window with the file's location, size, times and permissions.
  bool show_file_properties(const std::u16string& path) override;
  // Each instance listens on a local socket in a per-user folder named after the class; the
  // socket's name is the process id. A request is one line "close".
  void listen_for_instances(const char* class_name) override;
  int close_other_instances(const char* class_name) override;
  // A QDialog over the main window; Enter is OK unless Cancel has the focus, Esc and the close box
  // are Cancel.
  int run_modal_dialog(const DialogTemplate& dialog, DialogHandler& handler) override;
  std::unique_ptr<DialogWindow> open_modeless_dialog(const DialogTemplate& dialog, DialogHandler& handler) override;

 private:
  std::unique_ptr<QApplication> app_;
  std::unique_ptr<QTranslator> translator_;  // Qt's own Japanese texts, when installed
  qt::EventQueue queue_;
  QPointer<QWidget> main_frame_;  // the last main window's frame, for metrics and box parents
  std::unique_ptr<QLocalServer> instance_server_;
};

// The product's platform for this process; call once, before any other Qt use.
std::unique_ptr<Platform> make_qt_platform(int& argc, char** argv);

}  // namespace tesmo::platform
