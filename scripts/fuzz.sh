#!/usr/bin/env bash
# Builds the fuzz targets with clang (ASan + UBSan, libFuzzer) into build-fuzz/ and runs each one
# from its seed corpus for a bounded time (default 20 s each). Any crash, leak, timeout or
# over-sized allocation fails the script; the reproducer lands in build-fuzz/artifacts/<target>/.
#   scripts/fuzz.sh [seconds] [target...]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
seconds="${1:-20}"
shift || true

if [ ! -f build-fuzz/CMakeCache.txt ]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTESMO_FUZZ=ON "${launcher[@]}"
fi
cmake --build build-fuzz -j"${JOBS:-2}"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(bmp tga pcx sgi psd pic dds jab fnt registry jpeg png tiff exif block lzss archive pack_list
           settings script projects)
fi

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
failed=()
for t in "${targets[@]}"; do
  work="build-fuzz/fuzz-corpus/$t"
  artifacts="build-fuzz/artifacts/$t/"
  mkdir -p "$work" "$artifacts"
  # Images stay within 4 KiB, so that even the longest runs (PIC: 65535 pixels from four bytes)
  # keep the pixel block below the allocation limit; archives and settings records are larger, and
  # the pack project file is 52484 bytes behind its selector byte.
  max_len=4096
  case "$t" in archive | settings) max_len=16384 ;; projects) max_len=60000 ;; esac
  echo "== fuzz_$t (${seconds} s)"
  if ! nice -n 10 "build-fuzz/bin/fuzz_$t" "$work" "build-fuzz/corpus/$t" -max_total_time="$seconds" \
      -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 -max_len="$max_len" \
      -artifact_prefix="$artifacts" -print_final_stats=1 >"build-fuzz/fuzz_$t.log" 2>&1; then
    tail -n 40 "build-fuzz/fuzz_$t.log"
    failed+=("$t")
  else
    grep -E "^stat::number_of_executed_units|^#[0-9]+.*DONE" "build-fuzz/fuzz_$t.log" | tail -n 2
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzzing found problems in: ${failed[*]}"
  exit 1
fi
echo "fuzzing found nothing"
