// The cost of one viewer frame (frame_update into the back buffer) for the zooms the viewer spends
// its time at: a 4000 × 3000 picture at 25 % and 50 % with bilinear filtering, a 640 × 480 picture
// at 300 %. Driven through the fake platform, so it measures the system's own work only.
#include <benchmark/benchmark.h>

#include <filesystem>

#include "app/application.h"
#include "base/path.h"
#include "platform/fake/fake_platform.h"
#include "resources/command_ids.h"
#include "resources/resources.h"
#include "shell/menu_options.h"
#include "viewer/frame_update.h"
#include "viewer/overlays/overlays.h"
#include "viewer/presentation.h"

namespace {

struct Viewer {
  Viewer(int w, int h, int32_t zoom) {
    auto dir = std::filesystem::temp_directory_path() / "tesmo_frame_bench/";
    std::filesystem::create_directories(dir);
    app = std::make_unique<tesmo::Application>(tesmo::from_fs_path(dir.string()));
    app->shell.platform = &fake;
    tesmo::platform::MainWindowParams p;
    p.menu = &tesmo::resources::main_menu();
    p.client_width = 400;
    p.client_height = 300;
    app->shell.window = fake.create_main_window(p);
    app->shell.hbar =
        std::make_unique<tesmo::ScrollBarControl>(*app->shell.window, tesmo::platform::ScrollBarKind::Horizontal);
    app->shell.vbar =
        std::make_unique<tesmo::ScrollBarControl>(*app->shell.window, tesmo::platform::ScrollBarKind::Vertical);
    tesmo::init_menu_checks(app->shell.window->menu(), app->shell.settings(), nullptr);
    app->shell.window->menu().set_checked(tesmo::cmd::ScaleDownToFit, false);
    app->shell.settings().zoom_algorithm = 1;  // bilinear
    tesmo::SurfaceTable& t = app->doc.surfaces();
    tesmo::surface_create(t, tesmo::kKeyImage, w, h);
    uint32_t x = 1;
    for (uint32_t& px : tesmo::surface_find(t, tesmo::kKeyImage)->picture()) px = (x = x * 1664525u + 1013904223u);
    tesmo::ViewState& v = app->doc.view();
    v.flags = tesmo::kImageShown;
    v.displayed_surface = tesmo::kKeyImage;
    v.image_width = v.decoded_width = w;
    v.image_height = v.decoded_height = h;
    v.zoom_x = v.zoom_y = zoom;
    tesmo::layout_window(app->viewer);
  }
  tesmo::platform::FakePlatform fake;
  std::unique_ptr<tesmo::Application> app;
};

void run(benchmark::State& state, int w, int h, int32_t zoom) {
  Viewer viewer(w, h, zoom);
  for (auto _ : state) {
    tesmo::frame_update(viewer.app->viewer, 0);
    viewer.fake.events.clear();  // the paint requests of the frame
  }
}

// The same frame with every panel on (after the first frame has built them): what the overlays add.
void run_with_overlays(benchmark::State& state, int w, int h, int32_t zoom) {
  Viewer viewer(w, h, zoom);
  tesmo::platform::Menu& menu = viewer.app->shell.window->menu();
  for (uint16_t id : {tesmo::cmd::OsdCursorInfo, tesmo::cmd::OsdPip, tesmo::cmd::OsdHistogram, tesmo::cmd::OsdFileInfo,
                      tesmo::cmd::OsdExifInfo, tesmo::cmd::Grid}) {
    menu.set_checked(id, true);
  }
  viewer.app->shell.settings().grid_spacing = 16;
  viewer.app->shell.settings().grid_divisions = 4;
  for (auto _ : state) {
    tesmo::frame_update(viewer.app->viewer, 0);
    viewer.fake.events.clear();
  }
}

void BM_Frame4000x3000At25(benchmark::State& s) { run(s, 4000, 3000, 6400); }
void BM_Frame4000x3000At50(benchmark::State& s) { run(s, 4000, 3000, 12800); }
void BM_Frame640x480At300(benchmark::State& s) { run(s, 640, 480, 76800); }
void BM_Frame640x480At100(benchmark::State& s) { run(s, 640, 480, 25600); }

void BM_Frame4000x3000At25Overlays(benchmark::State& s) { run_with_overlays(s, 4000, 3000, 6400); }
void BM_Frame640x480At100Overlays(benchmark::State& s) { run_with_overlays(s, 640, 480, 25600); }

BENCHMARK(BM_Frame4000x3000At25Overlays)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame640x480At100Overlays)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame4000x3000At25)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame4000x3000At50)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame640x480At300)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Frame640x480At100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
