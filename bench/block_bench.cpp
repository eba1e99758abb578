// Compressed blocks and a whole packing run, timed against their peers in the same run: zlib's
// compress2 at the same level for deflate blocks, the classic binary-tree encoder for LZSS.
// `block_bench --mixed-out=FILE` writes the 16 MiB mixed input for `tesmo bench block` and exits.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <memory>
#include <string>

#include "base/file_io.h"
#include "base/path.h"
#include "base/text.h"
#include "bench/mixed_input.h"
#include "tests/pack/lzss_classic.h"
#include "tools/pack/pack.h"

namespace tesmo::bench {
namespace {

const std::vector<uint8_t>& mixed() {
  static const std::vector<uint8_t> input = mixed_input();
  return input;
}

void set_rate(benchmark::State& state, size_t out_bytes) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * mixed().size()));
  state.counters["out_bytes"] = static_cast<double>(out_bytes);
}

void BM_BlockLzss(benchmark::State& state) {
  auto work = std::make_unique<LzssWork>();
  std::vector<uint8_t> out(mixed().size() + kBlockHeaderSize);
  int32_t size = 0;
  for (auto _ : state) benchmark::DoNotOptimize(size = block_lzss(*work, out, mixed()));
  auto classic = std::make_unique<testing::ClassicLzss>()->encode(mixed());
  bool same = static_cast<size_t>(size) == classic.size() + kBlockHeaderSize &&
              std::memcmp(out.data() + kBlockHeaderSize, classic.data(), classic.size()) == 0;
  if (!same) state.SkipWithError("LZSS code differs from the classic encoder");
  set_rate(state, static_cast<size_t>(size));
}

void BM_ClassicLzss(benchmark::State& state) {
  auto classic = std::make_unique<testing::ClassicLzss>();
  size_t size = 0;
  for (auto _ : state) benchmark::DoNotOptimize(size = classic->encode(mixed()).size());
  set_rate(state, size + kBlockHeaderSize);
}

void BM_BlockDeflate(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  std::vector<uint8_t> out(mixed().size() + kBlockHeaderSize);
  BlockStream stream;
  int32_t size = 0;
  for (auto _ : state) benchmark::DoNotOptimize(size = block_deflate(stream, out, mixed(), level));
  uLongf n = compressBound(mixed().size());
  std::vector<uint8_t> peer(n);
  compress2(peer.data(), &n, mixed().data(), mixed().size(), level);
  bool same = static_cast<size_t>(size) == n + kBlockHeaderSize &&
              std::memcmp(out.data() + kBlockHeaderSize, peer.data(), n) == 0;
  if (!same) state.SkipWithError("deflate stream differs from compress2");
  set_rate(state, static_cast<size_t>(size));
}

void BM_Compress2(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  std::vector<uint8_t> out(compressBound(mixed().size()));
  uLongf n = 0;
  for (auto _ : state) {
    n = out.size();
    benchmark::DoNotOptimize(compress2(out.data(), &n, mixed().data(), mixed().size(), level));
  }
  set_rate(state, n + kBlockHeaderSize);
}

// A list of 300 small files (text, picture-like and random bytes, 1–24 KiB) with a mix of
// levels, keys and alignments, packed into an independent archive with all four header texts.
class PackRunFolder {
 public:
  PackRunFolder() {
    folder_ = std::filesystem::temp_directory_path() / ("tesmo_pack_bench_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder_);
    std::string list = "//#C:6\n";
    std::mt19937 rng(5);
    for (int i = 0; i < 300; ++i) {
      if (i == 100) list += "//#C:10\n//#E:0x5a5a1234\n";
      if (i == 200) list += "//#C:-1\n//#A:32\n//#T:1\n";
      std::string name = "data/file" + std::to_string(i) + (i % 3 == 0 ? ".txt" : ".bin");
      size_t size = 1024 + rng() % (23 * 1024);
      size_t at = rng() % (mixed().size() - size);
      write(name, std::span(mixed()).subspan(at, size));
      list += "\"" + name + "\",\n";
    }
    write("pack.lst", std::span(reinterpret_cast<const uint8_t*>(list.data()), list.size()));
  }
  ~PackRunFolder() { std::filesystem::remove_all(folder_); }
  std::u16string path(const std::string& name) const { return from_fs_path(folder_ / name); }
  std::u16string folder() const { return from_fs_path(folder_) + u"/"; }

 private:
  void write(const std::string& name, std::span<const uint8_t> data) { file_replace(path(name), data); }
  std::filesystem::path folder_;
};

void BM_PackRun(benchmark::State& state) {
  PackRunFolder f;
  for (auto _ : state) {
    Packer packer;
    int result = pack_run(packer, f.path("pack.dat"), f.path("pack.lst"), f.folder(), f.folder(), 0xF3, "FID_");
    if (result != 0) state.SkipWithError("the packing run failed");
  }
  state.counters["files"] = 300;
}

BENCHMARK(BM_BlockLzss)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_ClassicLzss)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_BlockDeflate)->Arg(6)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_Compress2)->Arg(6)->Arg(8)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_PackRun)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace tesmo::bench

int main(int argc, char** argv) {
  constexpr std::string_view kMixedOut = "--mixed-out=";
  if (argc == 2 && std::string_view(argv[1]).starts_with(kMixedOut)) {
    std::string path(std::string_view(argv[1]).substr(kMixedOut.size()));
    const auto& input = tesmo::bench::mixed();
    return tesmo::file_replace(tesmo::utf8_to_utf16(path), input) == 0 ? 0 : 1;
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
