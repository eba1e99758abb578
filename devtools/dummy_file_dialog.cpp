// The Dummy File Generator dialog.
#include "devtools/dummy_file_dialog.h"

#include <string>

#include "base/path.h"
#include "base/text.h"
#include "devtools/tool_dialog.h"
#include "resources/command_ids.h"
#include "resources/tool_dialogs.h"
#include "shell/dialog_fields.h"
#include "shell/dialog_skin.h"
#include "shell/modal.h"
#include "tools/dummy_file.h"
#include "viewer/viewer_dialogs.h"

namespace tesmo {
namespace {

namespace res = resources;

constexpr uint16_t kUnitRadios[] = {res::kDummyUnitBytes, res::kDummyUnitKiloBytes, res::kDummyUnitMegaBytes};
const std::vector<std::pair<std::u16string, std::u16string>> kAllFiles{{u"すべてのファイル (*.*)", u"*.*"}};

class DummyFileDialog final : public ToolDialog {
 public:
  explicit DummyFileDialog(DevTools& tools)
      : ToolDialog(tools, kSlotDummyFile, cmd::DummyFileGenerator, res::dummy_file_dialog()) {}

  void init(platform::Dialog& d) override {
    ToolDialog::init(d);
    select_unit(d, res::kDummyUnitMegaBytes);
    d.set_text(res::kDummyDigitsField, u"4");
    d.set_text(res::kDummyFromField, u"0");
    d.set_text(res::kDummyToField, u"0");
  }

  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (id == res::kDummySizeField && notification == platform::kEditChanged) {
      hold_size(d);
    } else if (notification != platform::kClicked) {
      return;
    } else if (id == res::kDummyUnitBytes || id == res::kDummyUnitKiloBytes || id == res::kDummyUnitMegaBytes) {
      select_unit(d, id);
    } else if (id == res::kDummyPathBrowse) {
      browse_output(d);
    } else if (id == res::kDummySourceBrowse) {
      browse_source(d);
    } else if (id == d.dialog_template().ok_id) {
      generate(d);
    } else {
      ToolDialog::command(d, id, notification);
    }
  }

 private:
  // The three units exclude each other whatever the window system does with a click.
  static void select_unit(platform::Dialog& d, uint16_t id) {
    for (uint16_t radio : kUnitRadios) d.set_checked(radio, radio == id);
  }
  static SizeUnit unit(const platform::Dialog& d) {
    if (d.checked(res::kDummyUnitKiloBytes)) return SizeUnit::KiloBytes;
    if (d.checked(res::kDummyUnitMegaBytes)) return SizeUnit::MegaBytes;
    return SizeUnit::Bytes;
  }
  static void hold_size(platform::Dialog& d) {
    const int32_t typed = parse_size_field(d.text(res::kDummySizeField));
    const int32_t held = clamp_dummy_size(typed, unit(d));
    if (held != typed) d.set_text(res::kDummySizeField, u16(std::to_string(held)));
  }

  void browse_output(platform::Dialog& d) {
    if (!tools_.shell.platform) return;
    platform::SaveFileRequest request;
    request.title = u"出力ファイルを選択";
    request.filter = kAllFiles;
    request.initial_folder = directory_part(d.text(res::kDummyPathField));
    const auto chosen = modal(tools_.shell, [&] { return tools_.shell.platform->choose_save_file(request); });
    if (chosen && !chosen->path.empty()) d.set_text(res::kDummyPathField, chosen->path);
  }

  void browse_source(platform::Dialog& d) {
    if (!tools_.shell.platform) return;
    platform::OpenFileRequest request;
    request.title = u"複製元のファイルを選択";
    request.filter = kAllFiles;
    request.initial_folder = directory_part(d.text(res::kDummySourceField));
    const auto chosen = modal(tools_.shell, [&] { return tools_.shell.platform->choose_open_file(request); });
    if (chosen && !chosen->empty()) d.set_text(res::kDummySourceField, *chosen);
  }

  // Task 1 (the dummy file) then task 2 (the copies); a failing file stops the run.
  void generate(const platform::Dialog& d) {
    const std::u16string path = d.text(res::kDummyPathField);
    if (!path.empty()) {
      const int64_t size = dummy_size_bytes(parse_size_field(d.text(res::kDummySizeField)), unit(d));
      const auto pause = [this] {
        if (tools_.shell.platform) tools_.shell.platform->sleep_ms(1);
      };
      if (write_dummy_file(path, size, pause) != 0) return fail();
    }
    const std::u16string source = d.text(res::kDummySourceField);
    const int32_t digits = parse_size_field(d.text(res::kDummyDigitsField));
    if (!source.empty() && digits > 0 &&
        make_numbered_copies(source, d.text(res::kDummyPrefixField), digits,
                             parse_size_field(d.text(res::kDummyFromField)),
                             parse_size_field(d.text(res::kDummyToField))) != 0) {
      return fail();
    }
    show_message(tools_.shell, kDummyFileDone, kDummyFileCaption, platform::MessageIcon::Information);
  }
  void fail() { show_message(tools_.shell, kDummyFileFailed, kDummyFileCaption, platform::MessageIcon::Warning); }
};

}  // namespace

int open_dummy_file_generator(DevTools& tools) {
  return open_tool_dialog(tools, std::make_unique<DummyFileDialog>(tools));
}

}  // namespace tesmo
