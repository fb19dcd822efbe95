#!/usr/bin/env bash
# A module named on the command line plays in the module-player window through the real plug-in
# library into the audio output (SDL's disk driver here), and Quit on the main window ends the
# program, and the music with it, cleanly. Given a library folder, the program must have mapped
# both of its libraries from there and no file under the forbidden folder (an installed copy
# never reaches into the build tree).
# Usage: module_e2e.sh <orvane-viewer> <samples dir> <output dir> [<library folder> <forbidden folder>]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
viewer="$1"; samples="$2"; out="$3"; libdir="${4:-}"; forbidden="${5:-}"
mkdir -p "$out"
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/out.raw"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM_PLUGIN_PATH

cp "$samples/tune.mod" "$work/my tune.mod"
cd "$work"
E2E_LOG="$work/log"
"$viewer" "my tune.mod" >"$work/log" 2>&1 &
pid=$!

wait_for "the module player" xdotool search --onlyvisible --name '^Module player$'
# Half a second of stereo float at 48 kHz reached the device, and it is not silence.
wait_for "sound on the device" bash -c '[ "$(stat -c %s "$SDL_DISKAUDIOFILE" 2>/dev/null || echo 0)" -gt 192000 ]'
od -A n -t f4 -v -N 400000 "$SDL_DISKAUDIOFILE" \
  | awk '{for (i = 1; i <= NF; i++) { v = $i < 0 ? -$i : $i; if (v > m) m = v }} END { exit !(m > 0.02) }' \
  || { echo "the module is silent"; exit 1; }
if [ -n "$libdir" ]; then
  libdir=$(realpath "$libdir")
  maps=$(cat "/proc/$pid/maps")
  for lib in liborvane-media.so liborvane-modplug.so; do
    awk -v p="$libdir/$lib" '$6 == p { found = 1 } END { exit !found }' <<<"$maps" \
      || { echo "$lib was not loaded from $libdir"; grep orvane <<<"$maps" || true; exit 1; }
  done
  if [ -n "$forbidden" ] && grep -F " $(realpath "$forbidden")/" <<<"$maps"; then
    echo "the program mapped the files above from $forbidden"; exit 1
  fi
fi
player=$(xdotool search --onlyvisible --name '^Module player$' | head -1)
xdotool windowraise "$player"
sleep 0.5
import -window root "$out/module-01-screen.png"
import -window "$player" "$out/module-02-player.png"

# Show the main window from the splash, then Quit from its menu bar.
splash=$(xdotool search --onlyvisible --name '^Orvane Viewer$' | head -1)
xdotool mousemove --window "$splash" 5 5 click 1
main_window() { xdotool search --onlyvisible --name '^Orvane Viewer$' | grep -vx "$splash" | head -1; }
wait_for "the main window" bash -c "xdotool search --onlyvisible --name '^Orvane Viewer\$' | grep -vxq '$splash'"
main=$(main_window)
xdotool mousemove --window "$main" 12 8 click 1
wait_exit "$pid" "Quit"
echo "module e2e passed; screenshots in $out"
