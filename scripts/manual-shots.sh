#!/usr/bin/env bash
# Makes the manual's pictures from the running viewer: the window with a picture, the Image Size
# dialog and the overlays, each cut out of a screenshot of a private display and written to
# docs/manual/images/. Needs a built tree (scripts/build.sh) and the screenshot tool.
#   scripts/manual-shots.sh [BUILD_FOLDER]        (default: build)
#   SCREENSHOT=/path/to/screenshot.sh scripts/manual-shots.sh
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$here/build}"
shot="${SCREENSHOT:-/work/shared/tools/screenshot.sh}"
images="$here/docs/manual/images"
viewer="$build/bin/tesmo64"
samples="$build/share/samples"

[ -x "$viewer" ] || { echo "no viewer at $viewer: build first" >&2; exit 1; }
[ -x "$shot" ] || { echo "no screenshot tool at $shot" >&2; exit 1; }
[ -f "$samples/01_test_card.bmp" ] || { echo "no sample pictures in $samples: build first" >&2; exit 1; }
command -v convert >/dev/null || { echo "ImageMagick (convert) is missing" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/pictures" "$images"
cp "$samples/01_test_card.bmp" "$samples/02_gradient.bmp" "$samples/03_soft_alpha.bmp" "$work/pictures/"

# The empty screen, to find what the viewer drew by difference.
"$shot" "$work/blank.png" --wait 1 -- sleep 10 >/dev/null

# One screenshot of the viewer on the test card after KEYS, cut to what changed on the screen.
# Each run starts from fresh settings: the viewer keeps them beside its executable.
capture() {
  local name=$1 keys=$2
  rm -rf "$work/bin"
  mkdir -p "$work/bin"
  cp "$viewer" "$work/bin/"
  "$shot" "$work/$name.png" --wait 8 --keys "$keys" --after 3 -- "$work/bin/tesmo64" "$work/pictures/01_test_card.bmp" >/dev/null
  local box
  box=$(convert "$work/blank.png" "$work/$name.png" -compose difference -composite -trim -format '%wx%h%X%Y' info:)
  convert "$work/$name.png" -crop "$box" +repage -strip "$images/$name.png"
  echo "$images/$name.png ($box)"
}

capture window ""
capture dialog "ctrl+r"
capture overlays "5 6 7 8"
