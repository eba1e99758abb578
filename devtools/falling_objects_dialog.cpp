// The Falling Object Controller dialog: fields and their ranges, Play, the project file, the
// pictures' choosers and viewers, and the preview's frame hook.
#include "devtools/falling_objects_dialog.h"

#include <algorithm>
#include <string>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "devtools/devtools.h"
#include "formats/registry.h"
#include "resources/command_ids.h"
#include "resources/dialog_templates.h"
#include "shell/dialog_fields.h"
#include "shell/modal.h"
#include "surface/compositor.h"
#include "tools/falling_project.h"
#include "viewer/presentation.h"
#include "viewer/viewer_dialogs.h"

namespace tesmo {
namespace {

namespace res = resources;

constexpr char16_t kProgramName[] = u"tesmo64";

struct Range {
  int32_t min, max;
};
constexpr std::array<Range, kFixedParamCount> kFixedRanges = {{
    {1, 4096}, {1, 4096}, {1, 32767}, {1, 32767}, {1, 32767}, {0, 1}, {-4096, 4096}, {-4096, 4096},
    {1, 4096}, {1, 4096}, {-4096, 4096}, {-4096, 4096}, {1, 4096}, {1, 4096}, {0, 1},
}};
constexpr std::array<Range, kVariableParamCount> kVariableRanges = {{
    {1, 256}, {1, 32767}, {1, 32767}, {-4096, 4096}, {0, 4096},
}};


// Digits after an optional leading sign, and nothing else.
bool is_signed_number(std::u16string_view text) {
  if (!text.empty() && (text.front() == u'+' || text.front() == u'-')) text.remove_prefix(1);
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

int index_of(const auto& ids, uint16_t id) {
  const auto it = std::find(ids.begin(), ids.end(), id);
  return it == ids.end() ? -1 : static_cast<int>(it - ids.begin());
}

class FallingDialog final : public platform::DialogHandler, public ModelessDialog, public FramePreview {
 public:
  explicit FallingDialog(DevTools& tools) : tools_(tools) {}
  ~FallingDialog() override { window_.reset(); }

  void set_window(std::unique_ptr<platform::DialogWindow> w) { window_ = std::move(w); }
  bool is_open() const { return window_ && window_->is_open() && !closed_; }

  void init(platform::Dialog& d) override {
    for (size_t i = 0; i < kFixedParamCount; ++i) d.set_text(res::kFallingFixedFields[i], decimal(kFixedDefaults[i]));
    for (size_t i = 0; i < kVariableParamCount; ++i) {
      d.set_text(res::kFallingVariableFields[i], decimal(kVariableDefaults[i]));
    }
    for (const res::FallingUpDown& u : res::kFallingFixedUpDowns) {
      const auto i = static_cast<size_t>(u.index);
      d.set_range(u.id, kFixedRanges[i].min, kFixedRanges[i].max);
      d.set_position(u.id, kFixedDefaults[i]);
    }
    for (size_t i = 0; i < kVariableParamCount; ++i) {
      d.set_range(res::kFallingVariableUpDowns[i], kVariableRanges[i].min, kVariableRanges[i].max);
      d.set_position(res::kFallingVariableUpDowns[i], kVariableDefaults[i]);
    }
    if (tools_.shell.window) tools_.shell.window->menu().set_enabled(cmd::FallingObjectController, false);
    tools_.shell.dialogs[kSlotFallingObjects] = this;
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (closed_) return;
    if (notification == platform::kEditFocusLost) return field_left(d, id);
    if (notification == platform::kUpDownMoved) return stepped(d, id);
    if (notification != platform::kClicked) return;
    switch (id) {
      case res::kFallingPlay: play(d); break;
      case res::kFallingClose: close(d); break;
      case res::kFallingLoad: load(d); break;
      case res::kFallingSave: save(d); break;
      case res::kFallingProjectBrowse: browse_project(d); break;
      case res::kFallingBackgroundBrowse: browse_picture(d, res::kFallingBackgroundField, u"Select BG"); break;
      case res::kFallingSpriteBrowse: browse_picture(d, res::kFallingSpriteField, u"Select Sprite"); break;
      case res::kFallingProjectEdit: edit_project(d); break;
      case res::kFallingBackgroundView: view_picture(d.text(res::kFallingBackgroundField)); break;
      case res::kFallingSpriteView: view_picture(d.text(res::kFallingSpriteField)); break;
      default: break;
    }
  }

  bool take_event(const platform::Event&) override { return false; }
  void move_to(platform::Point top_left) override {
    if (is_open()) window_->dialog().move(top_left);
  }

  // The simulation goes, then the sprites, the shown picture, the menu greying and the dialog.
  void close(platform::Dialog& d) {
    if (closed_) return;
    stop();
    surface_remove(tools_.doc.surfaces(), kKeyFallingSprites);
    tools_.viewer.close_image(true);
    if (tools_.shell.window) tools_.shell.window->menu().set_enabled(cmd::FallingObjectController, true);
    tools_.shell.keep_running_when_inactive = false;
    if (tools_.shell.dialogs[kSlotFallingObjects] == this) tools_.shell.dialogs[kSlotFallingObjects] = nullptr;
    closed_ = true;
    d.end(platform::kDialogCancel);
  }

 private:
  void stop() {
    falling_stop(sim_);
    tools_.falling_preview = nullptr;
  }

  // The fields read as signed integers, as typed.
  FixedParams fixed_fields(const platform::Dialog& d) const {
    FixedParams p{};
    for (size_t i = 0; i < kFixedParamCount; ++i) p[i] = parse_size_field(d.text(res::kFallingFixedFields[i]));
    return p;
  }
  VariableParams variable_fields(const platform::Dialog& d) const {
    VariableParams p{};
    for (size_t i = 0; i < kVariableParamCount; ++i) p[i] = parse_size_field(d.text(res::kFallingVariableFields[i]));
    return p;
  }

  void warn(const char16_t* what, const std::u16string& path) {
    if (!tools_.shell.platform) return;
    show_message(tools_.shell, std::u16string(what) + u":\n\n [" + path + u"]", u"Error",
                 platform::MessageIcon::Warning);
  }

  // The background becomes the shown picture the way a file is opened: the shown one is closed
  // first (asking to save changes), and a failed load leaves the empty window.
  bool show_background(const std::u16string& path) {
    tools_.viewer.close_image(!(tools_.doc.view().flags & kImageShown));
    tools_.viewer.current_path = path;
    tools_.viewer.current_list_index = -1;
    if (tools_.viewer.load_into_view(path, -1) == 0) return true;
    tools_.viewer.close_image(true);
    return false;
  }

  void play(platform::Dialog& d) {
    stop();
    const std::u16string sprite = d.text(res::kFallingSpriteField);
    if (surface_load(tools_.doc.surfaces(), kKeyFallingSprites, sprite, false) != 0) {
      warn(u"Load Texture", sprite);
      return;
    }
    const std::u16string background = d.text(res::kFallingBackgroundField);
    if (!show_background(background)) {
      surface_remove(tools_.doc.surfaces(), kKeyFallingSprites);
      warn(u"Load Texture", background);
      return;
    }
    falling_start(sim_, fixed_fields(d), variable_fields(d));
    dock_dialog(tools_.viewer, kSlotFallingObjects);
    tools_.shell.keep_running_when_inactive = true;
    if (tools_.shell.platform) tools_.shell.frame_timer.restart_window(tools_.shell.platform->now_ms());
    tools_.falling_preview = this;
  }

  // One frame of the preview: step, then blend every visible grain into the back buffer.
  void advance(float step) override {
    falling_step(sim_, step);
    SurfaceTable& t = tools_.doc.surfaces();
    falling_draw(sim_, [&t](const GrainBlit& b) {
      blit(t, kKeyBackBuffer, kKeyFallingSprites, kOpAlphaBlend | kOpClipFlag,
           {.dst_x = b.x, .dst_y = b.y, .src_x = b.src_x, .src_y = b.src_y, .width = b.width, .height = b.height,
            .param1 = b.alpha_offset});
    });
  }

  // Typed values take effect when the focus leaves the field, held to the field's range, and only
  // while a simulation runs (otherwise Play uses them as typed).
  void field_left(platform::Dialog& d, uint16_t id) {
    if (!sim_.running) return;
    if (const int i = index_of(res::kFallingFixedFields, id); i >= 0) {
      hold(d, id, kFixedRanges[static_cast<size_t>(i)]);
      return;
    }
    const int i = index_of(res::kFallingVariableFields, id);
    if (i < 0) return;
    const auto k = static_cast<size_t>(i);
    // The wind may be negative: anything that is not a signed number puts it back to calm.
    if (i == kWind && !is_signed_number(d.text(id))) d.set_text(id, decimal(kVariableDefaults[k]));
    falling_set_variable(sim_, i, hold(d, id, kVariableRanges[k]));
  }

  // An up-down writes an in-range number into its field; a variable one applies it at once.
  void stepped(platform::Dialog& d, uint16_t id) {
    const int i = index_of(res::kFallingVariableUpDowns, id);
    if (i < 0 || !sim_.running) return;
    falling_set_variable(sim_, i, parse_size_field(d.text(res::kFallingVariableFields[static_cast<size_t>(i)])));
  }

  int32_t hold(platform::Dialog& d, uint16_t id, Range r) {
    const std::u16string text = d.text(id);
    const int32_t value = std::clamp(parse_size_field(text), r.min, r.max);
    if (decimal(value) != text) d.set_text(id, decimal(value));
    return value;
  }

  void load(platform::Dialog& d) {
    const std::u16string path = d.text(res::kFallingProjectField);
    const auto bytes = read_file(path);
    if (!bytes) {
      warn(u"Load Setting", path);
      return;
    }
    const FallingProject p =
        parse_falling_project(std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
    d.set_text(res::kFallingBackgroundField, p.background);
    d.set_text(res::kFallingSpriteField, p.sprite);
    for (size_t i = 0; i < kFixedParamCount; ++i) d.set_text(res::kFallingFixedFields[i], decimal(p.fixed[i]));
    for (size_t i = 0; i < kVariableParamCount; ++i) d.set_text(res::kFallingVariableFields[i], decimal(p.variable[i]));
    play(d);
  }

  void save(platform::Dialog& d) {
    FallingProject p;
    p.background = d.text(res::kFallingBackgroundField);
    p.sprite = d.text(res::kFallingSpriteField);
    p.fixed = fixed_fields(d);
    p.variable = variable_fields(d);
    const std::string text = format_falling_project(p);
    file_replace(d.text(res::kFallingProjectField),
                 std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    // The animation stands still until the timer next measures the frame rate.
    if (tools_.shell.platform) tools_.shell.frame_timer.reset(tools_.shell.platform->now_ms());
  }

  std::optional<std::u16string> choose(platform::OpenFileRequest request, const std::u16string& current) {
    if (!tools_.shell.platform) return std::nullopt;
    if (!current.empty()) request.initial_folder = directory_part(current);
    return modal(tools_.shell, [&] { return tools_.shell.platform->choose_open_file(request); });
  }

  void browse_project(platform::Dialog& d) {
    platform::OpenFileRequest request;
    request.title = u"Select Project File";
    request.filter = {{u"Project File (*.txt)", u"*.txt"}, {u"All Files (*.*)", u"*.*"}};
    if (auto chosen = choose(request, d.text(res::kFallingProjectField))) d.set_text(res::kFallingProjectField, *chosen);
  }

  void browse_picture(platform::Dialog& d, uint16_t field, const char16_t* title) {
    platform::OpenFileRequest request;
    request.title = title;
    request.filter = build_file_filter(false);
    if (auto chosen = choose(request, d.text(field))) d.set_text(field, *chosen);
  }

  void edit_project(platform::Dialog& d) {
    const std::u16string& editor = tools_.shell.settings().text_editor;
    if (editor.empty() || !tools_.shell.platform) return;
    tools_.shell.platform->start_process(editor, {d.text(res::kFallingProjectField)});
  }

  // Another instance of the viewer shows the picture (the path is one argument, so it needs no
  // quotes here).
  void view_picture(const std::u16string& path) {
    if (!tools_.shell.platform) return;
    tools_.shell.platform->start_process(tools_.shell.settings_store().program_folder() + kProgramName, {path});
  }

  DevTools& tools_;
  FallingObjects sim_;  // the 256 grains, reused by every Play
  bool closed_ = false;
  std::unique_ptr<platform::DialogWindow> window_;
};

FallingDialog* open_dialog(const DevTools& tools) { return static_cast<FallingDialog*>(tools.falling_dialog.get()); }

}  // namespace

int open_falling_objects_dialog(DevTools& tools) {
  if (falling_objects_dialog_open(tools) || !tools.shell.platform) return 1;
  tools.falling_dialog.reset();
  auto handler = std::make_unique<FallingDialog>(tools);
  FallingDialog& h = *handler;
  tools.falling_dialog = std::move(handler);
  auto window = tools.shell.platform->open_modeless_dialog(res::falling_dialog(), h);
  if (!window) {
    if (tools.shell.window) tools.shell.window->menu().set_enabled(cmd::FallingObjectController, true);
    if (tools.shell.dialogs[kSlotFallingObjects] == &h) tools.shell.dialogs[kSlotFallingObjects] = nullptr;
    tools.falling_dialog.reset();
    return 1;
  }
  h.set_window(std::move(window));
  return 0;
}

bool falling_objects_dialog_open(const DevTools& tools) {
  const FallingDialog* d = open_dialog(tools);
  return d && d->is_open();
}


}  // namespace tesmo
