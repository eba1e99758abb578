// The Path Generator dialog.
#include "devtools/path_generator_dialog.h"

#include <cfloat>
#include <cmath>
#include <span>

#include "base/file_io.h"
#include "devtools/tool_dialog.h"
#include "resources/command_ids.h"
#include "resources/tool_dialogs.h"
#include "shell/dialog_fields.h"
#include "shell/dialog_skin.h"
#include "shell/modal.h"
#include "tools/path_generator.h"
#include "viewer/viewer_dialogs.h"
#include "viewer/zoom_dialog.h"

namespace tesmo {
namespace {

namespace res = resources;

constexpr uint16_t kFields[4] = {res::kPathFromField, res::kPathToField, res::kPathScaleField,
                                 res::kPathScale2Field};

// A typed scale held in single precision; beyond its range it becomes an infinity (the count is
// then out of range too and the table empty).
float to_single(double v) {
  if (std::fabs(v) > FLT_MAX && std::isfinite(v)) return v > 0 ? HUGE_VALF : -HUGE_VALF;
  return static_cast<float>(v);
}

class PathGeneratorDialog final : public ToolDialog {
 public:
  explicit PathGeneratorDialog(DevTools& tools)
      : ToolDialog(tools, kSlotPathGenerator, cmd::PathGenerator, res::path_generator_dialog()) {}

  void init(platform::Dialog& d) override {
    ToolDialog::init(d);
    for (const PathTypeRow& row : path_types()) d.add_item(res::kPathTypeCombo, row.name);
    d.set_selection(res::kPathTypeCombo, 0);
    fill_defaults(d, 0);
    d.set_enabled(res::kPathLoadButton, false);
    d.set_enabled(res::kPathSaveButton, false);
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (id == res::kPathTypeCombo && notification == platform::kSelectionChanged) {
      fill_defaults(d, d.selection(res::kPathTypeCombo));
    } else if (id == d.dialog_template().ok_id && notification == platform::kClicked) {
      export_table(d);
    } else {
      ToolDialog::command(d, id, notification);
    }
  }

 private:
  static void fill_defaults(platform::Dialog& d, int type) {
    if (type < 0 || type >= kPathTypeCount) return;
    const PathTypeRow& row = path_types()[static_cast<size_t>(type)];
    for (size_t k = 0; k < 4; ++k) d.set_text(kFields[k], row.defaults[k]);
  }

  static PathRequest read_request(const platform::Dialog& d) {
    return {d.selection(res::kPathTypeCombo), parse_size_field(d.text(res::kPathFromField)),
            parse_size_field(d.text(res::kPathToField)), to_single(parse_zoom_field(d.text(res::kPathScaleField))),
            to_single(parse_zoom_field(d.text(res::kPathScale2Field)))};
  }

  void export_table(const platform::Dialog& d) {
    if (!tools_.shell.platform) return;
    platform::SaveFileRequest request;
    request.title = u"Export";
    request.filter = {{u"Text File (*.txt)", u"*.txt"}, {u"All Files (*.*)", u"*.*"}};
    request.default_extension = u"txt";
    const auto chosen = modal(tools_.shell, [&] { return tools_.shell.platform->choose_save_file(request); });
    if (!chosen || chosen->path.empty()) return;
    const std::optional<std::string> text = path_table_text(read_request(d));
    if (!text) {
      show_message(tools_.shell, kExportTooLarge, kPathGeneratorCaption, platform::MessageIcon::Warning);
      return;
    }
    const auto bytes = std::span(reinterpret_cast<const uint8_t*>(text->data()), text->size());
    if (file_replace(chosen->path, bytes) != 0) return;
    show_message(tools_.shell, kExportComplete, kPathGeneratorCaption, platform::MessageIcon::Information);
  }
};

}  // namespace

int open_path_generator(DevTools& tools) {
  return open_tool_dialog(tools, std::make_unique<PathGeneratorDialog>(tools));
}

}  // namespace tesmo
