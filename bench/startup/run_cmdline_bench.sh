#!/usr/bin/env bash
# A picture opened from the command line in a folder of 100,000 files against the same picture
# alone in its folder: process start until the main window's picture area has painted it (the
# splash dismissed as soon as it has painted). Alternating runs under Xvfb, medians.
# Usage: bench/startup/run_cmdline_bench.sh [build dir] [runs] [picture]
set -euo pipefail
build="${1:-build}"; runs="${2:-11}"; picture="${3:-${TMPDIR:-/tmp}/orvane-bench-picture/24mp.jpg}"
build=$(cd "$build" && pwd)
[ -f "$picture" ] || { echo "no picture at $picture (bench_picture makes one)" >&2; exit 2; }
work="${TMPDIR:-/tmp}/orvane-bench-cmdline"
small="$work/small"; huge="$work/huge"
if [ ! -d "$huge" ]; then
  mkdir -p "$small" "$huge"
  # Names only; the program never reads them. xargs keeps the argument lists short.
  seq -f "$huge/file_%06g.txt" 1 100000 | xargs touch
fi
cp -f "$picture" "$small/picture.jpg"
cp -f "$picture" "$huge/picture.jpg"
exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash -c '
set -euo pipefail
build="$1"; runs="$2"; small="$3"; huge="$4"
cfg=$(mktemp -d)
evilwm >/dev/null 2>&1 & wm=$!
trap "kill $wm 2>/dev/null || true; rm -rf \"$cfg\"" EXIT
export XDG_CONFIG_HOME="$cfg" XDG_RUNTIME_DIR="$cfg/run"; mkdir -m 700 "$XDG_RUNTIME_DIR"
cd "$cfg"
"$build/bench/startup/bench_viewer_startup" >/dev/null 2>&1   # first start: fills the store
ms() { local t0 t1; t0=$(date +%s%N); "$@" >/dev/null 2>&1; t1=$(date +%s%N); echo $(( (t1 - t0) / 1000 )); }
smalls=(); huges=()
for _ in $(seq 1 "$runs"); do
  smalls+=("$(ms "$build/bench/startup/bench_viewer_startup" "$small/picture.jpg")")
  huges+=("$(ms "$build/bench/startup/bench_viewer_startup" "$huge/picture.jpg")")
done
median() { printf "%s\n" "$@" | sort -n | awk "{a[NR]=\$1} END {print a[int((NR+1)/2)]}"; }
s=$(median "${smalls[@]}"); h=$(median "${huges[@]}")
echo "runs: $runs (medians, microseconds, process start to the picture painted in the main window)"
echo "picture alone in its folder:       $s"
echo "picture in a 100,000-file folder:  $h"
echo "load average: $(cut -d" " -f1-3 /proc/loadavg)"
awk -v s="$s" -v h="$h" "BEGIN { printf \"ratio: %.2fx (target <= 1.05x)\n\", h / s }"
' _ "$build" "$runs" "$small" "$huge"
