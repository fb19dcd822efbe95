#!/usr/bin/env bash
# The real program on a bare machine: no sound device, no tray host, no printer, no network
# (when this user may take it away). A sound from the command line plays without a word, a
# picture shows, and printing it says that no printer is set up; a picture whose name is not
# UTF-8 shows too.
# Usage: bare_e2e.sh <orvane-viewer> <samples dir> <output dir>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
viewer="$1"; samples="$2"; out="$3/bare"
mkdir -p "$out"
work=$(mktemp -d)
pid=
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM_PLUGIN_PATH SDL_AUDIODRIVER SDL_DISKAUDIOFILE
# No sound server, no print server.
export PULSE_SERVER="unix:$work/no-pulse" PIPEWIRE_REMOTE="$work/no-pipewire"
export CUPS_SERVER="$work/no-cups"
offline=()
if unshare -n true 2>/dev/null; then offline=(unshare -n); else echo "(the network stays: this user cannot take it away)"; fi

windows_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | wc -l; }

start() {
  E2E_LOG="$work/log"
  "${offline[@]}" "$viewer" "$1" >"$work/log" 2>&1 &
  pid=$!
  wait_for "the splash" xdotool search --onlyvisible --classname orvane-viewer
  splash=$(xdotool search --onlyvisible --classname orvane-viewer | head -1)
  # The options dialog of a first start is not what this is about.
  for w in $(xdotool search --onlyvisible --name '^Options$'); do xdotool windowclose "$w" 2>/dev/null || true; done
  xdotool mousemove --window "$splash" 5 5 click 1
  main_shown() { [ "$(windows_named 'Orvane Viewer')" -ge 1 ] && ! xdotool search --onlyvisible --classname orvane-viewer | grep -qx "$splash"; }
  wait_for "the main window" main_shown
  main=$(xdotool search --onlyvisible --name '^Orvane Viewer$' | grep -vx "$splash" | head -1)
}

stop() {
  xdotool mousemove --window "$main" 12 8 click 1   # Quit
  wait_exit "$pid" "Quit"
  pid=
}

# A wave sound with no device to play it on: no message, no error output.
start "$samples/chime.wav"
sleep 1   # time for a message box to come up, if one were going to
import -window root "$out/01-sound.png"
[ "$(windows_named 'Orvane Viewer')" -eq 1 ] || { echo "a message came up for a sound on a machine without sound"; exit 1; }
[ "$(windows_named 'Read Error')" -eq 0 ] || { echo "the sound was reported as unreadable"; exit 1; }
stop
[ ! -s "$work/log" ] || { echo "the program wrote to its error output:"; cat "$work/log"; exit 1; }

# A picture, then Print from its pop-up menu: the user is told that no printer is set up.
start "$samples/sunset.bmp"
xdotool mousemove --window "$main" 60 80 click 3
menu_up() { xdotool search --onlyvisible --classname orvane-viewer | grep -vqx "$main"; }
wait_for "the picture's pop-up menu" menu_up
xdotool key p
told() { [ "$(windows_named 'Orvane Viewer')" -ge 2 ]; }
wait_for "the message that no printer is set up" told
sleep 0.3
import -window root "$out/02-no-printer.png"
xdotool key Return
wait_for "the message to close" bash -c "[ \$(xdotool search --onlyvisible --name '^Orvane Viewer\$' | wc -l) -eq 1 ]"
stop
[ ! -s "$work/log" ] || { echo "the program wrote to its error output:"; cat "$work/log"; exit 1; }
# A picture whose folder and name are not UTF-8, named from a launch folder that is not UTF-8
# either, as a shell hands such names over: it shows, with no read error.
raw="$work/f"$'\xea'"te"
mkdir "$raw"
cp "$samples/sunset.bmp" "$raw/caf"$'\xe9 \x80\xff'".bmp"
cd "$raw"
start "caf"$'\xe9 \x80\xff'".bmp"
cd "$work"
sleep 0.5
import -window root "$out/03-name-not-utf8.png"
[ "$(windows_named 'Read Error')" -eq 0 ] || { echo "a picture named in bytes that are not UTF-8 was reported as unreadable"; exit 1; }
import -window "$main" "$work/main.png"
corner=$(convert "$work/main.png" -crop 1x1+40+60 -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:)
[ "$corner" != "239,239,239" ] || { echo "a picture named in bytes that are not UTF-8 is not shown"; exit 1; }
stop
[ ! -s "$work/log" ] || { echo "the program wrote to its error output:"; cat "$work/log"; exit 1; }
echo "bare-machine e2e passed; screenshots in $out"
