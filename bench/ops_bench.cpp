// Every operation of the compositor's table on a 1920 × 1080 photo-like frame, as the live preview
// and the edit commands run them (whole picture at (0, 0)), with fast paths on and off.
//
//   ops_bench --benchmark_filter='fast:1'      the figures of the running system
//   ops_bench --benchmark_filter='OpSharpen'   one operation, both paths
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "bench/photo.h"
#include "surface/compositor.h"

namespace tesmo::bench {
namespace {

constexpr int32_t kW = 1920, kH = 1080;
constexpr int32_t kScaledW = 1600, kScaledH = 900;

struct Params {
  int32_t p1 = 0, p2 = 0, p3 = 0, p4 = 0;
};

// Parameters of a typical use of each operation; codes not listed run with zeros.
const std::map<int32_t, Params>& params() {
  static const std::map<int32_t, Params> p{
      {kOpTranslucent, {128, 128, 128}}, {kOpBinarize, {50}},     {kOpBlur, {25, 1}},
      {kOpConvertDepth, {32, 24}},       {kOpColourBalance, {30, -20, 10}},
      {kOpColourKey, {230, 40, 0}},      {kOpContrast, {20, 230}}, {kOpDisplace, {20, 20}},
      {kOpEdgeDetect, {3, 2}},           {kOpBrightness, {10, 10, 10, 0}}, {kOpFill, {1, 2, 3, 4}},
      {kOpFrame, {255, 0, 0, 8}},        {kOpGamma, {150, 150, 150}}, {kOpHueSaturation, {30, 10, 5}},
      {kOpLens, {-100}},                 {kOpFlip, {2}},          {kOpMosaic, {8}},
      {kOpNoise, {128, 128, 128}},       {kOpPolar, {kW / 2, kH / 2}}, {kOpPosterize, {8}},
      {kOpRaster, {0, 20, 0}},           {kOpRotate, {3000, kW / 2, kH / 2}}, {kOpRotateRight, {90}},
      {kOpScale, {kScaledW, kScaledH, 0, kScaleNearest}}, {kOpSepia, {255, 200, 150, 0}},
      {kOpSharpen, {300, 0}},            {kOpToneMap, {0, 300, 300, 300}}, {kOpAlphaRaster, {0, 20, 0, 0}},
      {kOpAlphaRotate, {3000, kW / 2, kH / 2, 0}}, {kOpScaleBilinear, {kScaledW, kScaledH, 0, kScaleBilinear}},
      {kOpScaleBicubic, {kScaledW, kScaledH, 0, kScaleBicubic}},
      {kOpScaleLanczos2, {kScaledW, kScaledH, 0, kScaleLanczos2}},
      {kOpScaleLanczos3, {kScaledW, kScaledH, 0, kScaleLanczos3}}, {kOpTint, {0, 0, 0, 128}},
  };
  return p;
}

// Source key 1 (the photo) and destination key 3 (a copy of it, or the turned size for op 35).
void run_op(benchmark::State& state, int32_t code, bool fast) {
  SurfaceTable t(1);
  surface_create(t, 1, kW, kH);
  const std::vector<uint32_t> px = photo(kW, kH);
  std::memcpy(surface_find(t, 1)->pixels(), px.data(), px.size() * sizeof(uint32_t));
  if (code == kOpRotateRight) {
    surface_create(t, 3, kH, kW);
  } else {
    surface_duplicate(t, 3, 1);
  }
  const auto it = params().find(code);
  const Params p = it == params().end() ? Params{} : it->second;
  const OpRow& row = op_table()[static_cast<size_t>(code)];
  const OpArgs o{&t, surface_find(t, 3), surface_find(t, 1),
                 {.width = kW, .height = kH, .op = code, .param1 = p.p1, .param2 = p.p2, .param3 = p.p3, .param4 = p.p4}};
  set_fast_paths(fast);
  for (auto _ : state) {
    row.fn(o);
    benchmark::ClobberMemory();
  }
  set_fast_paths(true);
  state.SetBytesProcessed(state.iterations() * int64_t{kW} * kH * 4);
}

void register_all() {
  for (int32_t code = 0; code < kOpCount; ++code) {
    const OpRow& row = op_table()[static_cast<size_t>(code)];
    if (row.fn == op_invalid) continue;
    for (bool fast : {true, false}) {
      const std::string name = std::string(row.name) + "/fast:" + (fast ? "1" : "0");
      benchmark::RegisterBenchmark(name.c_str(), [code, fast](benchmark::State& s) { run_op(s, code, fast); })
          ->Unit(benchmark::kMillisecond)
          ->UseRealTime();
    }
  }
}

}  // namespace
}  // namespace tesmo::bench

int main(int argc, char** argv) {
  tesmo::bench::register_all();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
