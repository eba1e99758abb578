#!/usr/bin/env bash
# Installs what is missing, builds, and starts the viewer on PICTURE (or on the first built-in
# sample picture when there is one). Without a display the viewer runs under Xvfb.
#   scripts/run.sh [PICTURE]
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh"
"$here/scripts/build.sh"

args=("$@")
if [ ${#args[@]} -eq 0 ]; then
  sample=$(ls "$here"/build/share/samples/* 2>/dev/null | head -n 1 || true)
  [ -n "$sample" ] && args=("$sample")
fi

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "no display: starting the viewer under Xvfb"
  exec xvfb-run -a -s "-screen 0 1920x1080x24" "$here/build/bin/tesmo64" "${args[@]}"
fi
exec "$here/build/bin/tesmo64" "${args[@]}"
