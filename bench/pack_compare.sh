#!/usr/bin/env bash
# The packing run on one thread against the run on two: a list of 300 mixed files (16 MiB in all:
# text, picture rows and noise, so both compressible and incompressible sources; half of them
# LZSS entries, half deflate entries at levels 6 and 9), made afresh with the same content every
# time. The two runs alternate, one packing each, REPEAT times; the medians, their ratio, the
# archive sizes and the machine's load average before and after are printed.
# usage: bench/pack_compare.sh [BUILD_DIR] [REPEAT]
set -euo pipefail

build=${1:-build}
repeat=${2:-7}
tesmo="$build/bin/tesmo"
[ -x "$tesmo" ] || { echo "no $tesmo: build the tesmo target first" >&2; exit 1; }

work=$(mktemp -d "${TMPDIR:-/tmp}/tesmo_pack_compare.XXXXXX")
trap 'rm -rf "$work"' EXIT

python3 - "$work" <<'PY'
import os, random, sys

work = sys.argv[1]
count, total = 300, 16 << 20
rng = random.Random(24)
weights = [rng.uniform(0.2, 1.8) for _ in range(count)]
sizes = [int(total * w / sum(weights)) for w in weights]
sizes[-1] += total - sum(sizes)

words = [b"pack ", b"archive ", b"entry ", b"offset\r\n", b"#define ", b"FID_", b"level ", b"size ",
         b"align ", b"block\r\n", b"index ", b"table "]

def text(n):
    out = bytearray()
    while len(out) < n:
        out += words[rng.randrange(len(words))]
    return bytes(out[:n])

def picture(n):
    # rows of a smooth gradient with a little grain, as a 24-bit picture holds
    out = bytearray(n)
    for i in range(n):
        out[i] = ((i % 3072) // 12 + (i // 3072) * 3 + rng.randrange(4)) & 0xFF
    return bytes(out)

def noise(n):
    return rng.randbytes(n)

makers = [("txt", text), ("bmp", picture), ("bin", noise)]
lines = []
os.makedirs(os.path.join(work, "data"), exist_ok=True)
for i, size in enumerate(sizes):
    ext, make = makers[i % 3]
    name = "data/f%03d.%s" % (i, ext)
    with open(os.path.join(work, name), "wb") as f:
        f.write(make(size))
    level = (10, 6, 10, 9)[i % 4]
    lines.append("//#C:%d\r\n\"%s\",\r\n" % (level, name))
with open(os.path.join(work, "list.lst"), "w", newline="") as f:
    f.write("".join(lines))
PY

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
one=() two=()
bytes_one=0 bytes_two=0
for _ in $(seq "$repeat"); do
  out=$("$tesmo" bench pack "$work/list.lst" 0xF1 --jobs 1 --repeat 1)
  one+=("$(sed -n 's/^pack_ms_median: //p' <<<"$out")")
  bytes_one=$(sed -n 's/^pack_bytes: //p' <<<"$out")
  out=$("$tesmo" bench pack "$work/list.lst" 0xF1 --jobs 2 --repeat 1)
  two+=("$(sed -n 's/^pack_ms_median: //p' <<<"$out")")
  bytes_two=$(sed -n 's/^pack_bytes: //p' <<<"$out")
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
m1=$(median "${one[@]}")
m2=$(median "${two[@]}")
echo "list: 300 files, $(find "$work/data" -type f -printf "%s\n" | awk "{ s += \$1 } END { print s }") bytes; $repeat runs each, alternating"
echo "jobs 1: ${one[*]} ms; median $m1 ms; archive $bytes_one bytes"
echo "jobs 2: ${two[*]} ms; median $m2 ms; archive $bytes_two bytes"
awk -v a="$m2" -v b="$m1" 'BEGIN { printf "ratio (jobs 2 / jobs 1): %.3f\n", a / b }'
echo "load average (1, 5, 15 min): before $load_before, after $load_after; cores: $(nproc)"
