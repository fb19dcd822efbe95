#!/usr/bin/env bash
# Start-up time of the viewer (until the splash has painted with the main window created)
# against a minimal Qt Widgets program, in one run, alternating, under Xvfb.
# Usage: bench/startup/run_startup_bench.sh [build dir] [runs]
set -euo pipefail
build="${1:-build}"; runs="${2:-21}"
build=$(cd "$build" && pwd)
exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash -c '
set -euo pipefail
build="$1"; runs="$2"
cfg=$(mktemp -d)
evilwm >/dev/null 2>&1 & wm=$!
trap "kill $wm 2>/dev/null || true; rm -rf \"$cfg\"" EXIT
export XDG_CONFIG_HOME="$cfg" XDG_RUNTIME_DIR="$cfg/run"; mkdir -m 700 "$XDG_RUNTIME_DIR"
cd "$cfg"
"$build/bench/startup/bench_viewer_startup" >/dev/null 2>&1   # first start: fills the store
ms() { local t0 t1; t0=$(date +%s%N); "$@" >/dev/null 2>&1; t1=$(date +%s%N); echo $(( (t1 - t0) / 1000 )); }
mins=(); views=()
for _ in $(seq 1 "$runs"); do
  mins+=("$(ms "$build/bench/startup/bench_minimal_qt")")
  views+=("$(ms "$build/bench/startup/bench_viewer_startup")")
done
median() { printf "%s\n" "$@" | sort -n | awk "{a[NR]=\$1} END {print a[int((NR+1)/2)]}"; }
m=$(median "${mins[@]}"); v=$(median "${views[@]}")
echo "runs: $runs (medians, microseconds, process start to painted splash + main window)"
echo "minimal Qt Widgets program: $m"
echo "Orvane Viewer start-up:     $v"
awk -v m="$m" -v v="$v" "BEGIN { printf \"ratio: %.2fx (target <= 1.20x)\n\", v / m }"
' _ "$build" "$runs"
