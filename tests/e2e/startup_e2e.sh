#!/usr/bin/env bash
# The real program on a clean store: splash first, main window after a key, a picture from
# the command line selects its folder, the settings file is written, Quit ends the process.
# Usage: startup_e2e.sh <orvane-viewer> <samples dir> <output dir>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
viewer="$1"; samples="$2"; out="$3"
mkdir -p "$out"
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM_PLUGIN_PATH

# A private copy, so what the screenshots show is the same on every machine.
mkdir -p "$work/home"
cp -r "$samples" "$work/home/Pictures"
cd "$work/home"
E2E_LOG="$work/log"
"$viewer" "Pictures/Photos with spaces/beach day.jpg" >"$work/log" 2>&1 &
pid=$!

wait_for "the splash" xdotool search --onlyvisible --classname orvane-viewer
sleep 0.5
import -window root "$out/01-splash.png"
settings="$XDG_CONFIG_HOME/Orvane Viewer/settings.ini"
grep -q 'Version=172' "$settings" || { echo "no version stamp in $settings"; exit 1; }
grep -q 'Lang=English' "$settings" || { echo "no language in $settings"; exit 1; }

# The options dialog comes up beside the splash on a first start; Cancel closes it.
wait_for "the options dialog on a first start" bash -c 'xdotool search --onlyvisible --name "^Options\$" | grep -q .'
opts=$(xdotool search --onlyvisible --name '^Options$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$opts")"
xdotool mousemove --window "$opts" $((WIDTH - 45)) $((HEIGHT - 22)) click 1
wait_for "the options dialog to close" bash -c '! xdotool search --onlyvisible --name "^Options\$" | grep -q .'

# The main window stays hidden until the splash is dismissed.
splash=$(xdotool search --onlyvisible --classname orvane-viewer | head -1)
main_window() { xdotool search --onlyvisible --name '^Orvane Viewer$' | grep -vx "$splash" | head -1; }
[ -z "$(main_window)" ] || { echo "main window shown before the splash was dismissed"; exit 1; }
xdotool mousemove --window "$splash" 5 5 click 1
main_shown() { [ -n "$(main_window)" ]; }
wait_for "the main window after a click on the splash" main_shown
xdotool search --onlyvisible --classname orvane-viewer | grep -qx "$splash" && { echo "splash still visible"; exit 1; }
sleep 0.5
import -window root "$out/02-main.png"

main=$(main_window)
import -window "$main" "$out/main-window.png"
# The command-line picture is in the picture area: its top-left corner is not the empty grey.
corner=$(convert "$out/main-window.png" -crop 1x1+40+60 -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:)
[ "$corner" != "239,239,239" ] || { echo "picture area is empty"; exit 1; }

# Full screen on the "F" button, closed again by a key.
full_shown() { xdotool search --onlyvisible --name "Full Screen" | grep -q .; }
xdotool mousemove --window "$main" 296 331 click 1
wait_for "the full-screen view" full_shown
sleep 0.5
import -window root "$out/03-fullscreen.png"
full=$(xdotool search --onlyvisible --name "Full Screen" | head -1)
# The window manager gave it the whole screen.
eval "$(xdotool getwindowgeometry --shell "$full")"
[ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -eq 1024 ] && [ "$X" -eq 0 ] && [ "$Y" -eq 0 ] \
  || { echo "full-screen view is ${WIDTH}x${HEIGHT}+${X}+${Y}, not the whole screen"; exit 1; }
xdotool key --window "$full" space 2>/dev/null || true
wait_for "the full-screen view to close" bash -c '! xdotool search --onlyvisible --name "Full Screen" | grep -q .'
# Quit from the menu bar ends the program.
xdotool mousemove --window "$main" 12 8 click 1
wait_exit "$pid" "Quit"
echo "startup e2e passed; screenshots in $out"
