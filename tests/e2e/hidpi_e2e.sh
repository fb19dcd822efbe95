#!/usr/bin/env bash
# The real program at twice the scale on a 1280 x 1024 screen (640 x 512 in scaled pixels):
# the main window, wider than that, starts on the screen with its title bar and menu reachable;
# the windows a user opens from it come up on the screen; screenshots of each land in the
# output folder.
# Usage: hidpi_e2e.sh <orvane-viewer> <samples dir> <output dir>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
viewer="$1"; samples="$2"; out="$3/hidpi"
mkdir -p "$out"
work=$(mktemp -d)
pid=
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
for w in $(xdotool search --onlyvisible --name '^Options$'); do xdotool windowclose "$w" 2>/dev/null || true; done
xdotool key --window "$splash" space
main_window() { xdotool search --onlyvisible --name '^Orvane Viewer$' | grep -vx "$splash" | head -1; }
main_shown() { [ -n "$(main_window)" ]; }
wait_for "the main window after a key on the splash" main_shown
main=$(main_window)
sleep 0.5
import -window root "$out/02-main.png"

# on_screen <window> <what>: the window's top-left corner (its title bar) is on the screen.
on_screen() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$2 at ${X},${Y}, ${WIDTH}x${HEIGHT} device pixels"
  [ "$X" -ge 0 ] && [ "$Y" -ge 0 ] && [ "$X" -lt 1280 ] && [ "$Y" -lt 1024 ] \
    || { echo "$2 starts off the screen at ${X},${Y}"; return 1; }
}
on_screen "$main" "the main window"
eval "$(xdotool getwindowgeometry --shell "$main")"
[ "$WIDTH" -gt 1280 ] || { echo "the main window is not wider than the screen at 2x (${WIDTH} px)"; exit 1; }

# The palette viewer and the slide-show editor from the keyboard. The key goes to the main
# window once it has the focus, so it is pressed until the window comes.
# open_by_key <key> <title>
open_by_key() {
  xdotool mousemove --window "$main" 100 300 click 1
  xdotool key "$1"
  xdotool search --onlyvisible --name "$2" | grep -q .
}
title_pal='^256 Colors Palette Viewer$'
wait_for "the palette viewer" open_by_key F3 "$title_pal"
sleep 0.5
import -window root "$out/03-palette.png"
on_screen "$(xdotool search --onlyvisible --name "$title_pal" | head -1)" "the palette viewer"
wait_for "the slide-show editor" open_by_key F1 '^Slide Show'
sleep 0.5
import -window root "$out/04-slideshow.png"
on_screen "$(xdotool search --onlyvisible --name '^Slide Show' | head -1)" "the slide-show editor"

kill "$pid"
echo "hidpi e2e passed; screenshots in $out"
