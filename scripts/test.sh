#!/usr/bin/env bash
# Installs what is missing, checks that the includes follow the layers, builds, runs the whole
# suite, then builds and runs it again under AddressSanitizer and UndefinedBehaviorSanitizer, then
# fuzzes every parser for a short time from its seed corpus (FUZZ_SECONDS per target, 20 by default).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
cd "$here"
scripts/install-deps.sh
scripts/check-includes.sh

export QT_QPA_PLATFORM=offscreen
scripts/build.sh
(cd build && ctest --output-on-failure -j"${JOBS:-2}")

TESMO_SANITIZE=ON scripts/build.sh
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd build-asan && ctest --output-on-failure -j"${JOBS:-2}")

scripts/fuzz.sh "${FUZZ_SECONDS:-20}"
echo "all tests passed"
