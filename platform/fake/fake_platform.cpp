// The fake platform: state kept in plain members and every window change written to a log.
#include "platform/fake/fake_platform.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "base/text.h"

namespace tesmo::platform {

FakeMenu::FakeMenu(const MenuTemplate* menu) {
  if (!menu) return;
  for (const MenuEntry& e : menu->entries) {
    if (e.kind == MenuEntryKind::Separator) continue;
    if (e.id != kNoCommand) items_[e.id] = Item{false, e.kind != MenuEntryKind::Label};
  }
}

void FakeMenu::set_checked(uint16_t id, bool checked) {
  auto it = items_.find(id);
  if (it != items_.end()) it->second.checked = checked;
}

bool FakeMenu::is_checked(uint16_t id) const {
  auto it = items_.find(id);
  return it != items_.end() && it->second.checked;
}

void FakeMenu::set_enabled(uint16_t id, bool enabled) {
  auto it = items_.find(id);
  if (it != items_.end()) it->second.enabled = enabled;
}

bool FakeMenu::is_enabled(uint16_t id) const {
  auto it = items_.find(id);
  return it != items_.end() && it->second.enabled;
}

FakeWindow::FakeWindow(FakePlatform& platform, const MainWindowParams& params)
    : platform_(platform),
      class_name_(params.class_name),
      title_(params.title),
      style_(params.style),
      client_width_(params.client_width),
      client_height_(params.client_height),
      menu_(params.menu) {
  system_chose_position = !params.position.has_value();
  position_ = params.position.value_or(platform.system_position);
  menu_attached = params.menu != nullptr;
  foreground = platform.foreground_on_create;
  log.push_back("create");
}

int FakeWindow::frame_height_extra() const {
  Metrics m;
  int h = 2 * m.dialog_frame_y;
  if (style_.caption) h += m.caption;
  if (menu_attached) h += m.menu;
  if (style_.hscroll) h += m.hscroll_height;
  return h;
}

Rect FakeWindow::window_rect() const {
  Metrics m;
  int w = client_width_ + 2 * m.dialog_frame_x + (style_.vscroll ? m.vscroll_width : 0);
  return {position_.x, position_.y, position_.x + w, position_.y + client_height_ + frame_height_extra()};
}

Rect FakeWindow::client_rect() const {
  Metrics m;
  int left = position_.x + m.dialog_frame_x;
  int top = position_.y + m.dialog_frame_y + (style_.caption ? m.caption : 0) + (menu_attached ? m.menu : 0);
  return {left, top, left + client_width_, top + client_height_};
}

void FakeWindow::set_title(const std::u16string& title) {
  title_ = title;
  log.push_back("title");
}

void FakeWindow::set_style(const WindowStyle& style) {
  style_ = style;
  log.push_back("style");
}

void FakeWindow::set_geometry(Point p, int w, int h) {
  position_ = p;
  client_width_ = w;
  client_height_ = h;
  log.push_back("geometry " + std::to_string(p.x) + "," + std::to_string(p.y) + " " +
                std::to_string(w) + "x" + std::to_string(h));
}

void FakeWindow::move(Point p) {
  position_ = p;
  log.push_back("move " + std::to_string(p.x) + "," + std::to_string(p.y));
  platform_.push(Event{.kind = EventKind::Move, .x = p.x, .y = p.y});
}

void FakeWindow::set_topmost(bool on) {
  topmost = on;
  log.push_back(on ? "topmost" : "not topmost");
}

void FakeWindow::set_opacity(int alpha) {
  opacity = alpha;
  log.push_back("opacity " + std::to_string(alpha));
}

void FakeWindow::set_scroll_info(ScrollBarKind bar, const ScrollInfo& info, bool redraw) {
  bars_[static_cast<int>(bar)] = info;
  char line[96];
  std::snprintf(line, sizeof line, "scroll %c %d..%d page %d pos %d%s",
                bar == ScrollBarKind::Horizontal ? 'h' : 'v', info.min, info.max, info.page, info.pos,
                redraw ? " redraw" : "");
  log.push_back(line);
}

ScrollInfo FakeWindow::scroll_info(ScrollBarKind bar) const { return bars_[static_cast<int>(bar)]; }

void FakeWindow::attach_menu(bool attached) {
  menu_attached = attached;
  log.push_back(attached ? "menu attached" : "menu detached");
}

void FakeWindow::show() {
  visible = true;
  log.push_back("show");
}

void FakeWindow::invalidate() {
  for (const Event& e : platform_.events) {
    if (e.kind == EventKind::Paint) return;  // paint requests coalesce
  }
  platform_.push(Event{.kind = EventKind::Paint});
}

void FakeWindow::present(const uint32_t* pixels, int width, int height) {
  ++presents;
  presented.assign(pixels, pixels ? pixels + static_cast<size_t>(width) * height : pixels);
}

void FakeWindow::set_mouse_capture(bool on) { captured = on; }

void FakeWindow::destroy() {
  destroyed = true;
  visible = false;
  log.push_back("destroy");
  platform_.push(Event{.kind = EventKind::Destroy});
}

std::unique_ptr<MainWindow> FakePlatform::create_main_window(const MainWindowParams& params) {
  if (refuse_window) return nullptr;
  auto w = std::make_unique<FakeWindow>(*this, params);
  window = w.get();
  return w;
}

bool FakePlatform::peek_event(Event& out) {
  if (events.empty()) {
    if (++idle_polls > max_idle_polls) post_quit(-99);
    else return false;
  }
  idle_polls = 0;
  out = events.front();
  events.pop_front();
  return true;
}

void FakePlatform::wait_event() {
  ++waits;
  if (!events.empty()) return;
  if (events_while_waiting.empty()) return post_quit(-99);  // nothing can ever arrive
  events.push_back(events_while_waiting.front());
  events_while_waiting.pop_front();
}

void FakePlatform::post_quit(int code) { events.push_back(Event{.kind = EventKind::Quit, .code = code}); }

void FakePlatform::sleep_ms(uint32_t ms) {
  ++sleeps;
  clock_ms += ms;
}

MessageAnswer FakePlatform::message_box(const std::u16string& text, const std::u16string& caption, MessageIcon icon,
                                        MessageButtons) {
  messages.push_back(text);
  message_captions.push_back(caption);
  message_icons.push_back(icon);
  if (on_modal) on_modal();
  if (answers.empty()) return MessageAnswer::Ok;
  MessageAnswer a = answers.front();
  answers.pop_front();
  return a;
}

std::optional<std::u16string> FakePlatform::choose_open_file(const OpenFileRequest& request) {
  open_requests.push_back(request);
  if (on_modal) on_modal();
  if (open_answers.empty()) return std::nullopt;
  auto a = open_answers.front();
  open_answers.pop_front();
  return a;
}

std::optional<SaveFileChoice> FakePlatform::choose_save_file(const SaveFileRequest& request) {
  save_requests.push_back(request);
  if (on_modal) on_modal();
  if (save_answers.empty()) return std::nullopt;
  auto a = save_answers.front();
  save_answers.pop_front();
  return a;
}

std::optional<uint32_t> FakePlatform::choose_colour(uint32_t) {
  ++colour_requests;
  if (on_modal) on_modal();
  if (colour_answers.empty()) return std::nullopt;
  auto a = colour_answers.front();
  colour_answers.pop_front();
  return a;
}

std::optional<std::u16string> FakePlatform::choose_folder(const FolderRequest& request) {
  folder_requests.push_back(request);
  if (on_modal) on_modal();
  if (folder_answers.empty()) return std::nullopt;
  auto a = folder_answers.front();
  folder_answers.pop_front();
  return a;
}

std::optional<Size> FakePlatform::clipboard_bitmap_size() {
  if (clipboard_picture) return Size{clipboard_picture->width, clipboard_picture->height};
  return clipboard_bitmap;
}

bool FakePlatform::set_clipboard_bitmap(const uint32_t* pixels, int width, int height) {
  if (refuse_clipboard || !pixels || width <= 0 || height <= 0) return false;
  ClipboardBitmap b{.width = width, .height = height, .bits = 32, .rows = {}};
  b.rows.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
  std::memcpy(b.rows.data(), pixels, b.rows.size());
  clipboard_picture = std::move(b);
  clipboard_bitmap.reset();
  clipboard_text.reset();
  return true;
}

bool FakePlatform::set_clipboard_text(std::string_view text) {
  if (refuse_clipboard) return false;
  clipboard_text = std::string(text);
  clipboard_picture.reset();
  clipboard_bitmap.reset();
  return true;
}

bool FakePlatform::start_process(const std::u16string& program, const std::vector<std::u16string>& arguments,
                                 const std::u16string& working_folder) {
  if (refuse_processes) return false;
  started.push_back({program, arguments, working_folder});
  return true;
}

bool FakePlatform::move_to_trash(const std::u16string& path) {
  if (refuse_trash) return false;
  std::error_code ec;
  if (!std::filesystem::remove(std::filesystem::path(utf16_to_utf8(path)), ec)) return false;
  trashed.push_back(path);
  return true;
}

bool FakePlatform::open_document(const std::u16string& path_or_address) {
  documents.push_back(path_or_address);
  return !refuse_processes;
}

bool FakePlatform::show_file_properties(const std::u16string& path) {
  properties.push_back(path);
  return true;
}

void FakePlatform::set_program_icon(const std::vector<std::span<const uint8_t>>& images) {
  program_icon.clear();
  for (std::span<const uint8_t> image : images) program_icon.emplace_back(image.begin(), image.end());
}

int FakePlatform::close_other_instances(const char*) {
  ++close_all_requests;
  return other_instances;
}

int FakePlatform::run_modal_dialog(const DialogTemplate& t, DialogHandler& handler) {
  if (refuse_dialogs) return kDialogFailed;
  DialogScript script;
  if (!dialog_scripts.empty()) {
    script = std::move(dialog_scripts.front());
    dialog_scripts.pop_front();
  }
  if (script.expect_id != 0 && script.expect_id != t.id) return kDialogFailed;
  FakeDialog d(t, handler, script.client.value_or(Size{t.client_width, t.client_height}));
  handler.init(d);
  d.redraw();
  for (const DialogStep& step : script.steps) {
    if (d.ended()) break;
    d.perform(step);
  }
  if (!d.ended()) d.press(t.cancel_id);
  if (!d.ended()) d.end(kDialogCancel);
  handler.destroy(d);
  dialogs.push_back(d.record());
  return d.end_code();
}

std::unique_ptr<DialogWindow> FakePlatform::open_modeless_dialog(const DialogTemplate& t, DialogHandler& handler) {
  if (refuse_dialogs) return nullptr;
  auto window = std::make_unique<FakeDialogWindow>(t, handler, Size{t.client_width, t.client_height});
  last_modeless = &window->dialog();
  return window;
}

}  // namespace tesmo::platform
