#!/usr/bin/env bash
# The real program at twice the scale on a 1280 x 1024 screen (640 x 512 in scaled pixels):
# the main window, wider than that, starts on the screen with its title bar and menu reachable;
# the windows a user opens from it come up; screenshots of each land in the output folder.
# Usage: hidpi_e2e.sh <orvane-viewer> <samples dir> <output dir>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
viewer="$1"; samples="$2"; out="$3/hidpi"
mkdir -p "$out"
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM_PLUGIN_PATH
E2E_LOG="$work/log"
"$viewer" "$samples/sunset.bmp" >"$work/log" 2>&1 &
pid=$!

wait_for "the splash" xdotool search --onlyvisible --classname orvane-viewer
splash=$(xdotool search --onlyvisible --classname orvane-viewer | head -1)
sleep 0.5
import -window root "$out/01-splash-and-options.png"
opts=$(xdotool search --onlyvisible --name '^Options$' | head -1)
[ -n "$opts" ] && xdotool windowclose "$opts" 2>/dev/null || true
xdotool key --window "$splash" space
main_window() { xdotool search --onlyvisible --name '^Orvane Viewer$' | grep -vx "$splash" | head -1; }
main_shown() { [ -n "$(main_window)" ]; }
wait_for "the main window after a key on the splash" main_shown
main=$(main_window)
sleep 0.5
import -window root "$out/02-main.png"

# Where the window manager put the window and its frame: the frame's top-left on the screen.
eval "$(xdotool getwindowgeometry --shell "$main")"
echo "main window at ${X},${Y}, ${WIDTH}x${HEIGHT} device pixels"
[ "$WIDTH" -gt 1280 ] || { echo "the main window is not wider than the screen at 2x (${WIDTH} px)"; exit 1; }
[ "$X" -ge 0 ] && [ "$Y" -ge 0 ] || { echo "the main window starts off the screen at ${X},${Y}"; exit 1; }

# The tools from the keyboard, each photographed.
for key in F1 F3; do
  xdotool windowactivate --sync "$main" 2>/dev/null || true
  xdotool key --window "$main" "$key"
  sleep 0.7
  import -window root "$out/03-$key.png"
done
pal=$(xdotool search --onlyvisible --name 'Palette' | head -1)
[ -n "$pal" ] || { echo "the palette viewer did not open"; exit 1; }
eval "$(xdotool getwindowgeometry --shell "$pal")"
[ "$X" -ge 0 ] && [ "$Y" -ge 0 ] || { echo "the palette viewer starts off the screen at ${X},${Y}"; exit 1; }

kill "$pid"
echo "hidpi e2e passed; screenshots in $out"
