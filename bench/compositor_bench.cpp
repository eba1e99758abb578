// The compositor on whole frames: the zoomed view's scaled blits with each filter, and the plain
// copy and fill of a 1080p frame beside memcpy and memset of the same bytes.
//
// `compositor_bench --photo-out=FILE` writes the 4000 × 3000 benchmark picture as a 32-bit BMP
// and exits; `tesmo bench zoom FILE 1920 1440 FILTER` and the peer time the same picture:
//   python3 -c "from PIL import Image; import time; im = Image.open('FILE'); im.load();
//     t = time.perf_counter(); im.resize((1920, 1440), Image.BILINEAR); print(time.perf_counter() - t)"
// (one line), and likewise NEAREST, BICUBIC and LANCZOS on a 1000 × 750 reduction of the picture.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>
#include <string>

#include "base/file_io.h"
#include "base/text.h"
#include "bench/photo.h"
#include "formats/bmp/bmp.h"
#include "surface/compositor.h"

namespace tesmo::bench {
namespace {

// One table holding the source picture (key 1) and the back buffer (key 0).
struct Frame {
  SurfaceTable table{1};
  Frame(int32_t sw, int32_t sh, int32_t dw, int32_t dh) {
    surface_create(table, 1, sw, sh);
    std::vector<uint32_t> px = photo(sw, sh);
    std::memcpy(surface_find(table, 1)->pixels(), px.data(), px.size() * sizeof(uint32_t));
    surface_create(table, 0, dw, dh);
    surface_fill(table, 0, 0, 0, 0, 255);
  }
  OpArgs args(BlitArgs a) { return {&table, surface_find(table, 0), surface_find(table, 1), a}; }
};

void set_frame_rate(benchmark::State& state, int64_t bytes) {
  state.SetBytesProcessed(state.iterations() * bytes);
}

void BM_Zoom(benchmark::State& state) {
  const auto sw = static_cast<int32_t>(state.range(0)), sh = static_cast<int32_t>(state.range(1));
  const auto flags = static_cast<int32_t>(state.range(2));
  const bool fast = state.range(3) != 0;
  Frame f(sw, sh, 1920, 1440);
  set_fast_paths(fast);
  const OpArgs o = f.args({.width = sw, .height = sh, .op = kOpScale, .param1 = 1920, .param2 = 1440, .param4 = flags});
  for (auto _ : state) {
    OpScale(o);
    benchmark::ClobberMemory();
  }
  set_fast_paths(true);
  set_frame_rate(state, int64_t{1920} * 1440 * 4);
}

void zoom_args(benchmark::internal::Benchmark* b) {
  b->ArgNames({"sw", "sh", "filter", "fast"});
  for (int32_t filter : {kScaleNearest, kScaleBilinear}) {
    b->Args({4000, 3000, filter, 1});
    b->Args({640, 480, filter, 1});
  }
  for (int32_t filter : {kScaleBicubic, kScaleLanczos2, kScaleLanczos3}) b->Args({1000, 750, filter, 1});
  // The reference paths, for the fast paths' gain.
  b->Args({4000, 3000, kScaleBilinear, 0});
  b->Args({1000, 750, kScaleBicubic, 0});
}
BENCHMARK(BM_Zoom)->Apply(zoom_args)->Unit(benchmark::kMillisecond)->UseRealTime();

constexpr int32_t kFrameW = 1920, kFrameH = 1080;
constexpr size_t kFrameBytes = size_t{kFrameW} * kFrameH * 4;

void BM_OpCopyFrame(benchmark::State& state) {
  Frame f(kFrameW, kFrameH, kFrameW, kFrameH);
  const OpArgs o = f.args({.width = kFrameW, .height = kFrameH, .op = kOpCopy});
  for (auto _ : state) {
    OpCopy(o);
    benchmark::ClobberMemory();
  }
  set_frame_rate(state, kFrameBytes);
}
BENCHMARK(BM_OpCopyFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_MemcpyFrame(benchmark::State& state) {
  Frame f(kFrameW, kFrameH, kFrameW, kFrameH);
  uint32_t* to = surface_find(f.table, 0)->pixels();
  const uint32_t* from = surface_find(f.table, 1)->pixels();
  for (auto _ : state) {
    std::memcpy(to, from, kFrameBytes);
    benchmark::ClobberMemory();
  }
  set_frame_rate(state, kFrameBytes);
}
BENCHMARK(BM_MemcpyFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Argument 0: a colour of four equal bytes (what memset writes); 1: four different bytes.
void BM_OpFillFrame(benchmark::State& state) {
  Frame f(16, 16, kFrameW, kFrameH);
  const bool mixed = state.range(0) != 0;
  const OpArgs o = f.args({.width = kFrameW, .height = kFrameH, .op = kOpFill, .param1 = 0x20, .param2 = 0x20,
                           .param3 = mixed ? 0x40 : 0x20, .param4 = mixed ? 0xFF : 0x20});
  for (auto _ : state) {
    OpFill(o);
    benchmark::ClobberMemory();
  }
  set_frame_rate(state, kFrameBytes);
}
BENCHMARK(BM_OpFillFrame)->ArgName("mixed")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->UseRealTime();

void BM_MemsetFrame(benchmark::State& state) {
  Frame f(16, 16, kFrameW, kFrameH);
  uint32_t* to = surface_find(f.table, 0)->pixels();
  for (auto _ : state) {
    std::memset(to, 0x20, kFrameBytes);
    benchmark::ClobberMemory();
  }
  set_frame_rate(state, kFrameBytes);
}
BENCHMARK(BM_MemsetFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();

int write_photo(const std::string& path) {
  constexpr int32_t kW = 4000, kH = 3000;
  constexpr int32_t kBmp32 = 6;
  const std::vector<uint32_t> px = photo(kW, kH);
  return file_replace(utf8_to_utf16(path), bmp::encode(px, kW, kH, kBmp32)) == 0 ? 0 : 1;
}

}  // namespace
}  // namespace tesmo::bench

int main(int argc, char** argv) {
  const std::string kPhotoOut = "--photo-out=";
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a.rfind(kPhotoOut, 0) == 0) return tesmo::bench::write_photo(a.substr(kPhotoOut.size()));
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
