// Opening a file into the view, closing it, and stepping through the shown file's folder.
#include <algorithm>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "document/modified_mark.h"
#include "document/save.h"
#include "formats/registry.h"
#include "resources/command_ids.h"
#include "shell/dialog_skin.h"
#include "shell/menu_options.h"
#include "shell/modal.h"
#include "viewer/prefetch.h"
#include "viewer/presentation.h"
#include "viewer/shell_link.h"
#include "viewer/viewer.h"
#include "viewer/viewer_commands.h"
#include "viewer/zoom.h"

namespace tesmo {
namespace {

constexpr char16_t kDialogPath[] = u"<dialog>";
constexpr char16_t kSaveQuestion[] = u"変更をセーブしますか？";
constexpr char16_t kNotOpened[] = u" を開けませんでした。\n\n";  // after the file's name, before the reason
constexpr int kEmptyClientWidth = 400;
constexpr int kEmptyClientHeight = 300;
constexpr char16_t kProgramName[] = u"tesmo64";

bool shown(const Viewer& viewer) { return viewer.doc.view().flags & kImageShown; }

// The alpha of a picture moves into surface 2 as a grey picture; surface 1 keeps 0 there.
void split_alpha(SurfaceTable& t, const Surface& image) {
  if (surface_create(t, kKeyAlpha, image.width, image.height) != 0) return;
  const uint32_t* src = image.pixels();
  uint32_t* dst = surface_find(t, kKeyAlpha)->pixels();
  for (size_t i = 0, n = image.pixel_count(); i < n; ++i) {
    const uint32_t a = src[i] >> 24;
    dst[i] = 0xFF000000u | a << 16 | a << 8 | a;
  }
  surface_set_alpha(t, kKeyImage, 0);
}

// The empty window: 400 × 300 without bars, where the calibration picture found it or where it is.
void reset_window(Viewer& viewer) {
  platform::MainWindow& w = *viewer.shell.window;
  RememberedValues& r = viewer.shell.remembered();
  const platform::Rect now = w.window_rect();
  platform::Point place{now.left, now.top};
  if (viewer.doc.view().display_name == kCalibrationName) {
    place = {r.window_x, r.window_y};
  } else {
    r.window_x = now.left;
    r.window_y = now.top;
  }
  platform::WindowStyle style;
  style.caption = style.system_menu = style.minimize_box = !(viewer.doc.view().flags & kFullScreen);
  w.set_style(style);
  w.set_geometry(place, kEmptyClientWidth, kEmptyClientHeight);
  w.set_topmost(w.menu().is_checked(cmd::AlwaysOnTop));
  w.invalidate();
  update_title(viewer.doc, -1);
  w.bring_to_foreground();
}

void drop_folder_list(Viewer& viewer) {
  viewer.folder_list.clear();
  viewer.markers.clear();
  viewer.has_folder_list = false;
}

}  // namespace

int Viewer::open_file(const std::u16string& path, int32_t index, int32_t entry_mode) {
  last_open_request = path;
  std::u16string target = path;
  if (path == kDialogPath) {
    if (!shell.platform) return 1;
    platform::OpenFileRequest request;
    request.title = u"開く";
    request.filter = build_file_filter(false);
    if (shown(*this) && source_mode == 1) request.initial_folder = directory_part(doc.view().path);
    auto chosen = modal(shell, [&] { return shell.platform->choose_open_file(request); });
    if (!chosen) return 1;
    target = *chosen;
  }
  close_image(!shown(*this));
  if (target.empty()) return 1;
  if (extension_of(target) == u".lnk") {
    if (auto resolved = resolve_shell_link(target)) target = *resolved;
  }
  current_path = target;
  current_list_index = index;
  if (load_into_view(target, entry_mode) != 0) {
    close_image(true);
    return 1;
  }
  return 0;
}

int Viewer::open_asked(const std::u16string& path) {
  load_fault.clear();  // stays empty when nothing was loaded (a cancelled chooser, an empty path)
  const int result = open_file(path, -1, -1);
  if (result != 0 && !load_fault.empty()) {
    show_warning(shell, name_part(current_path) + kNotOpened + utf8_to_utf16(load_fault));
  }
  return result;
}

int Viewer::load_into_view(const std::u16string& path, int32_t entry_mode) {
  if (entry_mode != -1) return 1;  // archive entries are never opened
  const uint32_t start = shell.platform ? shell.platform->now_ms() : 0;
  load_fault.clear();
  if (std::unique_ptr<Surface> ready = prefetcher->take(path, kKeyImage)) {
    doc.surfaces().append(std::move(ready));
  } else if (surface_load(doc.surfaces(), kKeyImage, path, true, &load_fault) != 0) {
    return 1;
  }
  const Surface& image = *surface_find(doc.surfaces(), kKeyImage);
  const ImageInfo info = image.info;
  ViewState& v = doc.view();
  v.path = path;
  v.display_name.clear();
  source_mode = 1;
  v.decoded_width = info.width;
  v.decoded_height = info.height;
  v.decoded_bits = info.bits;
  v.decoded_has_alpha = info.has_alpha;
  v.image_width = image.width;
  v.image_height = image.height;
  v.load_time = shell.platform ? shell.platform->now_ms() - start : 0;
  const bool actual = shell.window && shell.window->menu().is_checked(cmd::DefaultScaleActual);
  if (!actual || (v.flags & kKeepPlace)) {
    v.zoom_x = shell.remembered().last_zoom_x;
    v.zoom_y = shell.remembered().last_zoom_y;
  } else {
    v.zoom_x = v.zoom_y = kZoomActual;
  }
  surface_remove(doc.surfaces(), kKeyAlpha);
  if (info.has_alpha) split_alpha(doc.surfaces(), image);
  v.displayed_surface = kKeyImage;
  v.flags |= kRedrawBackground;
  if (shell.window) {
    layout_window(*this);
    enable_image_commands(shell.window->menu(), ShownPicture{info.format == kFormatJpeg, info.width, info.height,
                                                       info.has_alpha != 0, false});
    select_default_channel();
  }
  v.flags |= kImageShown;
  if (shell.platform) last_navigation_ms = shell.platform->now_ms();
  return 0;
}

void Viewer::close_image(bool reset) {
  if (owner) owner->cancel_effect_dialog();
  // A save still writing surface 1 ends (and is reported) before the picture goes.
  doc.wait_background_job();
  // Yes runs Save As; when that fails or is cancelled the question comes again, so the changes are
  // dropped only on No.
  while ((doc.view().flags & kModified) && shell.platform) {
    auto answer = show_message(shell, kSaveQuestion, platform::MessageIcon::Question, platform::MessageButtons::YesNo);
    if (answer != platform::MessageAnswer::Yes || save_as_command(doc, true) == 0) break;
  }
  surface_remove(doc.surfaces(), kKeyBackBuffer);
  if (shell.window) {
    shell.window->set_scroll_info(platform::ScrollBarKind::Horizontal, {0, kEmptyClientWidth - 1, kEmptyClientWidth, 0},
                            true);
    shell.window->set_scroll_info(platform::ScrollBarKind::Vertical, {0, kEmptyClientHeight - 1, kEmptyClientHeight, 0},
                            true);
    if (reset) {
      reset_window(*this);
    } else {
      const platform::Rect r = shell.window->window_rect();
      shell.remembered().window_x = r.left;
      shell.remembered().window_y = r.top;
    }
  }
  // Only a shown picture has a zoom to remember: closing an empty view (after a file that failed
  // to load during a step) must not replace the zoom of the picture shown before it.
  if (doc.view().flags & kImageShown) {
    shell.remembered().last_zoom_x = doc.view().zoom_x;
    shell.remembered().last_zoom_y = doc.view().zoom_y;
  }
  surface_remove(doc.surfaces(), kKeyImage);
  surface_remove(doc.surfaces(), kKeyAlpha);
  surface_remove(doc.surfaces(), kKeyPreview);
  // The edit history belongs to the picture; surfaces 17 and 18 stay until the next edit.
  doc.edit_history.clear();
  doc.has_edit_history = false;
  if (shell.window) disable_image_commands(shell.window->menu());
  const uint32_t kept = doc.view().flags & (kFullScreen | kKeepPlace);
  doc.view() = ViewState{};
  doc.view().flags = kept;
  last_navigation_ms = 0;
  source_mode = 0;
  // The markers stay with the folder list: they are lost only when the list is rebuilt for
  // another folder, not each time a step closes the shown file.
  if (shell.window) shell.window->menu().set_enabled(cmd::Undo, false);
}

void Viewer::build_folder_list() {
  if (has_folder_list) {
    if (find_folder_entry(folder_list, doc.view().path) == shown_index) return;
    drop_folder_list(*this);
  }
  if (doc.view().path.empty()) return;
  folder_list = folder_list_of(doc.view().path);
  cursor_index = shown_index = find_folder_entry(folder_list, doc.view().path);
  markers.assign(folder_list.size(), MarkerEntry{});
  has_folder_list = true;
  ++folder_list_serial;
  if (!surface_find(doc.surfaces(), kKeyMarkerStar) || !surface_find(doc.surfaces(), kKeyMarkerStarSecond)) {
    load_marker_stars(doc.surfaces());
  }
}

// The file steps share one walk: from `first` in `direction`, wrapping (when `wrap`) or stopping
// at the end, until a file opens or the walk is back at the shown entry.
namespace {

void walk(Viewer& viewer, int32_t first, int32_t direction, bool wrap) {
  const std::u16string kept = viewer.doc.view().path;
  const int32_t length = static_cast<int32_t>(viewer.folder_list.size());
  const int32_t shown_at = viewer.shown_index;
  int32_t cursor = first;
  for (;;) {
    if (cursor < 0 || cursor >= length) {
      if (!wrap) break;
      cursor = cursor < 0 ? length - 1 : 0;
    }
    if (cursor == shown_at) break;
    viewer.cursor_index = cursor;
    viewer.open_file(viewer.folder_list[static_cast<size_t>(cursor)].path, -1, -1);
    if (shown(viewer)) {
      viewer.shown_index = cursor;
      return;
    }
    viewer.doc.view().flags |= kKeepPlace;
    cursor += direction;
  }
  viewer.cursor_index = shown_at;
  if (shown(viewer)) return;
  viewer.doc.view().path = kept;
  viewer.refresh();
}

bool loop_checked(Viewer& viewer) { return viewer.shell.window && viewer.shell.window->menu().is_checked(cmd::Loop); }

}  // namespace

void Viewer::step_next() {
  if (!shown(*this) || !navigation_interval_passed(*this)) return;
  build_folder_list();
  if (has_folder_list) walk(*this, shown_index + 1, 1, loop_checked(*this));
}

void Viewer::step_previous() {
  if (!shown(*this) || !navigation_interval_passed(*this)) return;
  build_folder_list();
  if (has_folder_list) walk(*this, shown_index - 1, -1, loop_checked(*this));
}

void Viewer::step_first() {
  if (!shown(*this)) return;
  build_folder_list();
  if (has_folder_list) walk(*this, 0, 1, false);
}

void Viewer::step_last() {
  if (!shown(*this)) return;
  build_folder_list();
  if (has_folder_list) walk(*this, static_cast<int32_t>(folder_list.size()) - 1, -1, false);
}

void Viewer::read_ahead() {
  const ViewState& v = doc.view();
  if (!shell.window || !shown(*this) || source_mode != 1 || !v.display_name.empty()) return;
  const bool listed = has_folder_list && find_folder_entry(folder_list, v.path) >= 0;
  const ReadAheadFor wanted{v.path, listed ? folder_list_serial : 0, loop_checked(*this)};
  if (wanted == read_ahead_for_) return;
  read_ahead_for_ = wanted;
  ReadAheadPlan plan{.shown = v.path, .folder = {}, .wrap = wanted.wrap};
  if (listed) {
    for (const FolderEntry& e : folder_list) {
      if (!e.directory) plan.folder.push_back(e.path);
    }
  }
  prefetcher->follow(std::move(plan));
}

void Viewer::refresh() {
  const std::u16string path = doc.view().path;
  doc.view().flags |= kKeepPlace;
  open_file(path, -1, -1);
}

void Viewer::drop_files(const std::vector<std::u16string>& items) {
  drop_folder_list(*this);
  bool first = true;
  for (const std::u16string& item : items) {
    std::u16string path = item;
    if (is_directory(item)) {
      auto found = first_file_in(item.back() == kPathSeparator ? item : item + kPathSeparator);
      if (!found) continue;
      path = *found;
    }
    if (shell.platform && shell.platform->key_held(platform::key::Shift)) {
      set_background_picture(path);
      if (shell.window) shell.window->bring_to_foreground();
      return;
    }
    if (first) {
      first = false;
      open_asked(path);
    } else if (shell.platform) {
      shell.platform->start_process(shell.settings_store().program_folder() + kProgramName, {path});
    }
  }
}

bool Viewer::set_background_picture(const std::u16string& path) {
  const bool loaded = surface_load(doc.surfaces(), kKeyBackground, path, false) == 0;
  if (loaded) shell.settings().background_image = path;
  shell.settings().background_mode = loaded ? 1 : 0;
  if (shell.window) {
    shell.window->menu().set_checked(cmd::BackgroundImage, loaded);
    shell.window->menu().set_checked(cmd::BackgroundFill, !loaded);
  }
  shell.settings_store().save();
  doc.view().flags |= kRedrawBackground;
  return loaded;
}

void Viewer::marker_set() {
  if (!shown(*this) || !doc.view().display_name.empty()) return;
  build_folder_list();
  if (!has_folder_list || shown_index < 0) return;
  if (markers.size() != folder_list.size()) markers.assign(folder_list.size(), MarkerEntry{});
  int32_t& state = markers[static_cast<size_t>(shown_index)].state;
  state = (state + 1) % 3;
  doc.view().flags &= ~kFileInfoCurrent;
  if (shell.window && !shell.window->menu().is_checked(cmd::OsdFileInfo)) owner->dispatch_command(cmd::OsdFileInfo);
}

void Viewer::marker_clear_all() {
  for (MarkerEntry& m : markers) m.state = 0;
  doc.view().flags &= ~kFileInfoCurrent;
}

}  // namespace tesmo
