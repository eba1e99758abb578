#!/usr/bin/env bash
# Installs the Debian packages Tesmo64 builds, tests and runs with. Does nothing when all are present.
set -euo pipefail

packages=(
  g++ cmake ninja-build                       # build
  zlib1g-dev                                  # deflate
  libdeflate-dev                              # the PNG writer's whole-buffer deflate
  libpng-dev                                  # PNG
  libjpeg62-turbo-dev libturbojpeg0-dev       # JPEG and the lossless transform
  libtiff-dev                                 # TIFF
  libfreetype-dev libfontconfig-dev fonts-ipafont-gothic  # glyphs
  qt6-base-dev                                # the viewer's window system
  qt6-translations-l10n                       # Qt's own texts (choosers, message box buttons) in Japanese
  libxcb1-dev                                 # the pointer's buttons while the window manager drags
  googletest libgtest-dev libgmock-dev        # tests (GoogleTest + GoogleMock)
  xvfb xauth                                  # a display for the viewer and screenshots
  xdg-utils                                   # the user's browser for the manual and the home page
  libbenchmark-dev                            # benchmarks
  clang libclang-rt-14-dev                    # fuzz targets (libFuzzer runtime, sanitizers)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get install -y --no-install-recommends "${missing[@]}" ||
  { $sudo apt-get update && $sudo apt-get install -y --no-install-recommends "${missing[@]}"; }
