#!/usr/bin/env bash
# Configures and builds Tesmo64 (Release unless BUILD_TYPE says otherwise) into build/, binaries in
# build/bin/. With TESMO_SANITIZE=ON the AddressSanitizer + UndefinedBehaviorSanitizer build goes
# into build-asan/ instead.
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=${TESMO_SANITIZE:-OFF}
if [ "$sanitize" = ON ]; then dir=build-asan; type=${BUILD_TYPE:-RelWithDebInfo}; else dir=build; type=${BUILD_TYPE:-Release}; fi

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DTESMO_SANITIZE="$sanitize" >/dev/null
cmake --build "$dir" -j"${JOBS:-2}"
