// `tesmo bench step`: stepping through a folder as Space does in the viewer, on the fake window
// system (no display), timed from the command to the composed frame.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/commands.h"
#include "app/main_window.h"
#include "base/path.h"
#include "base/text.h"
#include "cli/commands.h"
#include "cli/options.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "viewer/folder_list.h"
#include "viewer/prefetch.h"

namespace tesmo::cli {
namespace {

// The navigation interval never holds a step back: the fake clock moves on a second per step.
constexpr uint32_t kPauseBetweenSteps = 1000;

double milliseconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int cmd_bench_step(Args args) {
  static const char* const kOptions[] = {"--prefetch"};
  const ParsedArgs p = parse_args(args, kOptions);
  const int64_t prefetch = p.integer("--prefetch").value_or(1);
  if (!p.ok || p.positional.size() != 1 || (prefetch != 0 && prefetch != 1)) return usage_error(command_named("bench"));
  std::u16string folder = utf8_to_utf16(p.positional[0]);
  if (folder.empty() || folder.back() != kPathSeparator) folder += kPathSeparator;
  const std::vector<FolderEntry> files = scan_image_folder(folder);
  if (files.size() < 2) return fail(p.positional[0] + ": fewer than two pictures to step through");

  ScratchFolder scratch;  // the program folder, where the viewer writes its settings
  if (!scratch.made()) return fail("no temporary folder");
  platform::FakePlatform fake;
  Application app(scratch.folder());
  if (!open_main_window(app, fake)) return fail("no window");
  if (app.viewer.open_file(files.front().path, -1, -1) != 0) return fail(utf16_to_utf8(files.front().path) + ": cannot be opened");
  app.viewer.frame_update(0);

  std::vector<double> times;
  for (size_t step = 1; step < files.size(); ++step) {
    if (prefetch) {
      app.viewer.read_ahead();
      app.viewer.prefetcher->wait_until_done();
    }
    fake.clock_ms += kPauseBetweenSteps;
    const auto start = std::chrono::steady_clock::now();
    dispatch_command(app, cmd::NextFile);
    app.viewer.frame_update(0);
    times.push_back(milliseconds_since(start));
  }
  std::printf("step_ms_median: %.3f\n", median(times));
  std::printf("steps: %zu\n", times.size());
  return 0;
}

}  // namespace tesmo::cli
