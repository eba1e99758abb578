#!/usr/bin/env bash
# The batch benchmark: COUNT photo-like W × H JPEGs, "resize to 50 % bilinear, sharpen 300, save as
# JPEG quality 90" with `tesmo batch --jobs 1` and `--jobs 2`, then the same work with mogrify and
# with vips (libvips-tools is installed here when missing; without it that row is skipped).
#
#   bench/batch_compare.sh [BUILD_DIR] [COUNT] [W] [H]      (defaults: build 200 2000 1500)
set -euo pipefail
build=${1:-build}
count=${2:-200}
width=${3:-2000}
height=${4:-1500}
tesmo=$build/bin/tesmo
make_photos=$(find "$build" -name make_photos -type f -perm -u+x | head -n 1)
[ -x "$tesmo" ] && [ -n "$make_photos" ] || { echo "build tesmo and make_photos first" >&2; exit 2; }

work=$(mktemp -d /tmp/tesmo-batch-compare.XXXXXX)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in"
"$make_photos" "$work/in" "$count" "$width" "$height" 92

half_w=$((width / 2))
half_h=$((height / 2))
cat > "$work/steps.txt" <<EOF
resize width=$half_w height=$half_h filter=bilinear
effect 3 p1=300
save format=jpeg quality=90
EOF

# "WALL CPU" of one shell command line: wall-clock seconds and the user + system seconds of all its
# processes (on a machine that other work keeps busy the CPU time tells more than the wall clock).
seconds() {
  /usr/bin/time -f "%e %U %S" -o "$work/time" bash -c "$1" > /dev/null 2>&1
  awk '{printf "%.2f %.2f\n", $1, $2 + $3}' "$work/time"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
fresh() { rm -rf "$work/out"; mkdir -p "$work/out"; }

run_tesmo="$tesmo batch $work/steps.txt $work/in --ext '*.jpg' --out $work/out --jobs"
fresh; t1=$(seconds "$run_tesmo 1")
fresh; t2=$(seconds "$run_tesmo 2")

tm=""
if command -v mogrify > /dev/null; then
  fresh; tm=$(seconds "mogrify -path $work/out -filter Triangle -resize 50% -sharpen 0x1 -quality 90 $work/in/*.jpg")
fi

if ! command -v vips > /dev/null; then
  (apt-get install -y libvips-tools || sudo apt-get install -y libvips-tools) > /dev/null 2>&1 || true
fi
tv=""
if command -v vips > /dev/null; then
  vips_all="for f in $work/in/*.jpg; do vips resize \$f $work/out/tmp.v 0.5 --kernel linear &&
    vips sharpen $work/out/tmp.v $work/out/\$(basename \$f)[Q=90]; done"
  fresh; tv=$(seconds "$vips_all")
fi

# One row: name, "WALL CPU", and the wall and CPU ratios against tesmo --jobs 1.
row() {
  read -r wall cpu <<< "$2"
  read -r wall1 cpu1 <<< "$t1"
  printf "%-22s %8.2f %8.2f %10.2f %10.2f\n" "$1" "$wall" "$cpu" "$(echo "$wall / $wall1" | bc -l)" \
    "$(echo "$cpu / $cpu1" | bc -l)"
}
echo "pictures: $count x ${width}x${height} JPEG; load average before: $load_before"
printf "%-22s %8s %8s %10s %10s\n" "run" "wall s" "cpu s" "wall ratio" "cpu ratio"
row "tesmo --jobs 1" "$t1"
row "tesmo --jobs 2" "$t2"
[ -n "$tm" ] && row "mogrify" "$tm"
[ -n "$tv" ] && row "vips (2 runs per file)" "$tv"
[ -n "$tv" ] || echo "vips: not installed and could not be installed (offline?)"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
