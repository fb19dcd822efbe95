#!/usr/bin/env bash
# The tray icon under a real tray host: it appears, a right click pops the tray menu, its Text
# Editor entry shows the editor, and Quit from that menu ends the program and takes the icon away.
# Usage: tray_e2e.sh <orvane-viewer> <output dir>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
viewer="$1"; out="$2"
mkdir -p "$out"
work=$(mktemp -d)
trap 'kill "$pid" "$tray" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
mkdir -m 700 "$XDG_RUNTIME_DIR"

trayer --edge top --align right --widthtype pixel --width 120 --height 28 --transparent false \
  --tint 0x333333 >/dev/null 2>&1 &
tray=$!
panel_up() { xwininfo -root -tree | grep -q '"panel"'; }
wait_for "the tray host's panel" panel_up

cd "$work"
E2E_LOG="$work/log"
"$viewer" >"$work/log" 2>&1 &
pid=$!

# The icon is a window of ours embedded in the tray host's panel.
icon_window() {
  xwininfo -root -tree | awk '/"panel": \("panel" "trayer"\)/ {inpanel=1; next}
    inpanel && /"orvane-viewer"/ {print $1; exit}
    inpanel && /^     0x/ {inpanel=0}'
}
icon_shown() { [ -n "$(icon_window)" ]; }
wait_for "the tray icon in the tray host" icon_shown
icon=$(icon_window)
sleep 0.3
import -window root "$out/tray-01-icon.png"

# A right click on the icon pops up the tray menu (a new visible window of ours).
before=$(xdotool search --onlyvisible --classname orvane-viewer | wc -l)
xdotool mousemove --window "$icon" 8 8 click 3
menu_up() { [ "$(xdotool search --onlyvisible --classname orvane-viewer | wc -l)" -gt "$before" ]; }
wait_for "the tray menu after a right click on the icon" menu_up
sleep 0.3
import -window root "$out/tray-02-menu.png"

# Its Text Editor entry shows the editor's frame.
xdotool key t
editor_shown() { xdotool search --onlyvisible --name '^Vellum Pad' | grep -q .; }
wait_for "the editor from the tray menu" editor_shown
sleep 0.3
import -window root "$out/tray-03-editor.png"

# Quit from the tray menu (its accelerator) ends the program; the icon goes with it.
before=$(xdotool search --onlyvisible --classname orvane-viewer | wc -l)
xdotool mousemove --window "$icon" 8 8 click 3
wait_for "the tray menu again" menu_up
sleep 0.3
xdotool key q
wait_exit "$pid" "Quit from the tray menu"
[ -z "$(icon_window)" ] || { echo "tray icon left behind"; exit 1; }
echo "tray e2e passed; screenshots in $out"
