#!/usr/bin/env bash
# What the whole program costs while it plays a module: the real viewer under Xvfb with a window
# manager, started on the module from the command line, the splash dismissed, its CPU time
# (utime + stime from /proc/PID/stat) over a measuring window once it has settled. Runs of each
# case alternate; the medians are reported.
# Usage: bench/modplug/run_playback_bench.sh [build dir] [runs] [seconds]
set -euo pipefail
build="${1:-build}"; runs="${2:-5}"; seconds="${3:-20}"
build=$(cd "$build" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash -c '
set -euo pipefail
source "$1"; build="$2"; runs="$3"; seconds="$4"
viewer="$build/src/orvane-viewer"
work=$(mktemp -d)
evilwm -fn fixed >/dev/null 2>&1 & wm=$!
pid=""
trap "[ -n \"\$pid\" ] && kill \$pid 2>/dev/null; kill $wm 2>/dev/null || true; rm -rf \"$work\"" EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
export SDL_AUDIODRIVER="${SDL_AUDIODRIVER:-dummy}" SDL_DISKAUDIOFILE=/dev/null
unset QT_QPA_PLATFORM_PLUGIN_PATH
mkdir -m 700 "$XDG_RUNTIME_DIR"
cp "$build/samples/tune.mod" "$work/tune.mod"
"$build/bench/modplug/bench_modplug" --write-wide "$work/wide32.mod"
cd "$work"
E2E_LOG="$work/log"
ticks_per_second=$(getconf CLK_TCK)

# First start on a clean store: it writes the store and asks for the options; later starts
# are normal ones.
"$viewer" >"$work/log" 2>&1 & pid=$!
wait_for "the first start to write its settings" grep -q "^Lang=" "$XDG_CONFIG_HOME/Orvane Viewer/settings.ini"
kill $pid; wait $pid 2>/dev/null || true; pid=""

wait_for_quiet() { wait_for "$@" >&2; }
cpu_ticks() { awk "{ sub(/^.*\\) /, \"\"); print \$12 + \$13 }" "/proc/$1/stat"; }
visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1; }

# run_case <module or "-"> <hide the player: 0|1>: percent of one core over the measuring window.
run_case() {
  local module="$1" hide="$2"
  if [ "$module" = - ]; then "$viewer" >"$work/log" 2>&1 & else "$viewer" "$module" >"$work/log" 2>&1 & fi
  pid=$!
  local player=""
  if [ "$module" != - ]; then
    wait_for_quiet "the module player" xdotool search --onlyvisible --name "^Module player\$"
    player=$(visible "^Module player\$")
  fi
  wait_for_quiet "the splash" xdotool search --onlyvisible --name "^Orvane Viewer\$"
  local splash; splash=$(visible "^Orvane Viewer\$")
  xdotool mousemove --window "$splash" 5 5 click 1
  wait_for_quiet "the main window" bash -c "xdotool search --onlyvisible --name \"^Orvane Viewer\\\$\" | grep -vxq $splash"
  if [ "$hide" = 1 ]; then
    # The window manager here cannot minimise; an unmapped window is as unseen.
    xdotool windowunmap --sync "$player"
  fi
  sleep 3   # start-up and first paints are not what is measured
  local t0 c0 t1 c1
  t0=$(date +%s%N); c0=$(cpu_ticks $pid)
  sleep "$seconds"
  t1=$(date +%s%N); c1=$(cpu_ticks $pid)
  kill $pid; wait $pid 2>/dev/null || true; pid=""
  awk -v c=$((c1 - c0)) -v hz="$ticks_per_second" -v ns=$((t1 - t0)) \
    "BEGIN { printf \"%.2f\", 100 * c / hz / (ns / 1e9) }"
}

names=("idle viewer, no module" "tune.mod (4 ch)" "tune.mod, player unmapped" "wide32.mod (32 ch)")
modules=(- tune.mod tune.mod wide32.mod)
hidden=(0 0 1 0)
declare -a results
for run in $(seq 1 "$runs"); do
  for i in 0 1 2 3; do
    results[$i]="${results[$i]:-} $(run_case "${modules[$i]}" "${hidden[$i]}")"
  done
  echo "run $run of $runs done" >&2
done
median() { printf "%s\n" $@ | sort -g | awk "{ a[NR] = \$1 } END { print a[int((NR + 1) / 2)] }"; }
echo "whole process, % of one core over ${seconds} s, SDL driver $SDL_AUDIODRIVER, $runs runs"
printf "%-30s %8s   %s\n" case median runs
for i in 0 1 2 3; do
  printf "%-30s %8s  %s\n" "${names[$i]}" "$(median ${results[$i]})" "${results[$i]}"
done
tune=$(median ${results[1]}); wide=$(median ${results[3]})
if awk -v t="$tune" -v w="$wide" "BEGIN { exit !(t < 1.0 && w < 2.0) }"; then
  echo "targets (tune.mod under 1%, 32 channels under 2%): met"
else
  echo "targets (tune.mod under 1%, 32 channels under 2%): MISSED"; exit 1
fi
' _ "$here/../../tests/support/e2e.sh" "$build" "$runs" "$seconds"
