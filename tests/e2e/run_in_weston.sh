#!/usr/bin/env bash
# The program under a headless Wayland compositor: the session program drives the real windows
# through Qt's event delivery; then the real binary starts there from a file:// address, shows
# its splash (seen in the compositor's own screenshot), and writes nothing to its error output.
# Usage: run_in_weston.sh <orvane_wayland_session> <orvane-viewer> <samples dir> <output dir>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
session="$1"; viewer="$2"; samples="$3"; out="$4"
mkdir -p "$out"
work=$(mktemp -d)
weston_pid=; viewer_pid=
trap 'kill $viewer_pid $weston_pid 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_RUNTIME_DIR="$work/run" XDG_CONFIG_HOME="$work/config"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset DISPLAY QT_QPA_PLATFORM_PLUGIN_PATH
export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=orvane-e2e

# --debug lets weston-screenshooter take the output's picture, drawn by the pixman renderer.
weston --backend=headless-backend.so --use-pixman --debug --no-config --idle-time=0 \
  --width=1280 --height=1024 --socket="$WAYLAND_DISPLAY" --log="$work/weston.log" &
weston_pid=$!
E2E_LOG="$work/weston.log" wait_for "the compositor" test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY"

echo "-- the program's windows, driven in-process"
"$session" "$samples"

echo "-- the real binary from a file:// address"
shoot() { (cd "$work" && rm -f wayland-screenshot-*.png && weston-screenshooter >/dev/null 2>&1) && ls "$work"/wayland-screenshot-*.png; }
# Pixels that differ between a picture and the latest screenshot (the clock aside, a window's worth).
differing() { compare -fuzz 10% -metric AE "$1" "$work"/wayland-screenshot-*.png null: 2>&1 | awk '{ printf "%d", $1 }'; }
# The desktop has settled when two screenshots in a row agree.
settled() {
  shoot >/dev/null || return 1
  local previous="$work/desktop.png"
  if [ -f "$previous" ] && [ "$(differing "$previous")" -lt 2000 ]; then return 0; fi
  mv "$work"/wayland-screenshot-*.png "$previous"
  return 1
}
wait_for "the desktop to settle" settled
rm -rf "$XDG_CONFIG_HOME"
mkdir -p "$work/home/Pictures"
cp -r "$samples/Photos with spaces" "$work/home/Pictures/"
url="file://$work/home/Pictures/Photos%20with%20spaces/beach%20day.jpg"
E2E_LOG="$work/viewer.log"
"$viewer" "$url" >"$work/viewer.log" 2>&1 &
viewer_pid=$!
# The splash (and the options dialog of a first start) drawn by the compositor: the output
# differs from the empty desktop over the splash's area at least.
drawn() { shoot >/dev/null && [ "$(differing "$work/desktop.png")" -gt 40000 ]; }
wait_for "the program's windows on the compositor's output" drawn
cp "$work"/wayland-screenshot-*.png "$out/wayland-start.png"
kill -0 "$viewer_pid" || { echo "the program ended by itself"; cat "$work/viewer.log"; exit 1; }
kill "$viewer_pid"; wait "$viewer_pid" 2>/dev/null || true; viewer_pid=
if [ -s "$work/viewer.log" ]; then echo "the program complained:"; cat "$work/viewer.log"; exit 1; fi
echo "wayland e2e passed; screenshot in $out"
