// The progress and result windows of the file pack module.
#include "devtools/pack_progress_dialog.h"

#include "devtools/devtools.h"
#include "resources/dialog_templates.h"
#include "shell/dialog_placement.h"
#include "shell/dialog_skin.h"
#include "viewer/presentation.h"

namespace tesmo {
namespace {

namespace res = resources;

// A dialog's client area on the screen, from its frame: equal side and bottom borders, the rest
// of the height above the client area being the title bar.
platform::Rect client_on_screen(const platform::Dialog& d) {
  const platform::Rect w = d.window_rect();
  const platform::Size c = d.client_size();
  const int border = (w.width() - c.width) / 2;
  const int top = w.bottom - border - c.height;
  return {w.left + border, top, w.left + border + c.width, top + c.height};
}

void centre_on(DevTools& tools, platform::Dialog& d, const platform::Rect& window, const platform::Rect& client) {
  const platform::Rect frame = d.window_rect();
  if (auto at =
          place_dialog(tools.shell, window, client, {frame.width(), frame.height()}, kPlaceAtClient | kPlaceCentred))
    d.move(*at);
}

class ProgressWindow final : public platform::DialogHandler {
 public:
  ProgressWindow(DevTools& tools, const platform::Dialog& parent, PackRunRequest request)
      : tools_(tools), parent_window_(parent.window_rect()), parent_client_(client_on_screen(parent)),
        request_(std::move(request)) {}

  void init(platform::Dialog& d) override {
    centre_on(tools_, d, parent_window_, parent_client_);
    if (!worker_.start(std::move(request_))) d.end(platform::kDialogFailed);
  }
  // Neither Enter, Esc nor the close box ends a run.
  void command(platform::Dialog&, uint16_t, int) override {}

  // The UI side of the run: the worker's latest report goes into the controls, and the window
  // closes once the run has finished.
  void tick(platform::Dialog& d) override {
    show_progress(d);
    if (worker_.poll_finished()) d.end(platform::kDialogOk);
  }

  const PackWorker& worker() const { return worker_; }

 private:
  void show_progress(platform::Dialog& d) {
    const PackProgressView v = worker_.progress();
    if (v.serial == shown_serial_) return;
    shown_serial_ = v.serial;
    d.set_text(res::kPackProgressBaseText, v.base_dir);
    d.set_text(res::kPackProgressFileText, v.name);
    d.set_text(res::kPackProgressPercent, v.percent);
    d.set_range(res::kPackProgressBar, 0, v.count);
    d.set_position(res::kPackProgressBar, v.done);
  }

  DevTools& tools_;
  platform::Rect parent_window_;
  platform::Rect parent_client_;
  PackRunRequest request_;
  PackWorker worker_;
  uint32_t shown_serial_ = 0;
};

class ResultWindow final : public platform::DialogHandler {
 public:
  ResultWindow(DevTools& tools, const std::vector<std::u16string>& lines) : tools_(tools), lines_(lines) {}

  void init(platform::Dialog& d) override {
    for (const std::u16string& line : lines_) d.add_item(res::kPackResultList, line);
    if (tools_.shell.window)
      centre_on(tools_, d, tools_.shell.window->window_rect(), tools_.shell.window->client_rect());
  }
  void command(platform::Dialog& d, uint16_t id, int notification) override {
    if (id == res::kPackResultClose && notification == platform::kClicked) d.end(platform::kDialogOk);
  }

 private:
  DevTools& tools_;
  const std::vector<std::u16string>& lines_;
};

}  // namespace

int pack_with_progress(DevTools& tools, const platform::Dialog& parent, PackRunRequest request) {
  ProgressWindow progress(tools, parent, std::move(request));
  run_modal_dialog(tools.shell, res::pack_progress_dialog(), progress);
  const PackWorker& worker = progress.worker();
  if (!worker.finished()) return -1;
  if (!worker.errors().empty()) show_pack_result(tools, worker.errors());
  return worker.result();
}

void show_pack_result(DevTools& tools, const std::vector<std::u16string>& lines) {
  ResultWindow result(tools, lines);
  run_modal_dialog(tools.shell, res::pack_result_dialog(), result);
}

}  // namespace tesmo
