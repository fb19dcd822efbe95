#!/usr/bin/env bash
# The real program with settings it cannot keep: their folder's place taken by a plain file,
# FIFOs in the place of the settings file and its lock, or the folder read-only. Each time it
# starts without hanging, says so once in a message, then runs with its texts (kept in memory),
# and leaves what was there untouched.
# Usage: settings_e2e.sh <orvane-viewer> <output dir>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
viewer="$1"; out="$2"
mkdir -p "$out"
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  chattr -i "$work/config/Orvane Viewer" 2>/dev/null || true
  chmod -R u+rwx "$work" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM_PLUGIN_PATH
E2E_LOG="$work/log"

visible() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }

# run_case <name>: the store under $work/config is prepared; the program must complain once,
# start, show its texts and quit cleanly.
run_case() {
  local name="$1"
  export XDG_CONFIG_HOME="$work/config"
  "$viewer" >"$work/log" 2>&1 &
  pid=$!
  # Before any window of its own: the message about the settings.
  wait_for "the settings message ($name)" bash -c "xdotool search --onlyvisible --name '^Orvane Viewer\$' | grep -q ."
  local box
  box=$(visible '^Orvane Viewer$' | head -1)
  sleep 0.3
  import -window root "$out/settings-$name-1-message.png"
  eval "$(xdotool getwindowgeometry --shell "$box")"
  # A message box, not the splash (which is larger and comes later).
  [ "$WIDTH" -lt 700 ] || { echo "$name: the first window is not the message"; exit 1; }
  # Its one button, OK, sits at the bottom right.
  xdotool mousemove --window "$box" $((WIDTH - 50)) $((HEIGHT - 22)) click 1
  wait_for "the message to close ($name)" bash -c "! xdotool search --onlyvisible --name '^Orvane Viewer\$' | grep -qx '$box'"

  # Nothing was kept, so this is a first start: the options dialog beside the splash.
  wait_for "the options dialog ($name)" bash -c "xdotool search --onlyvisible --name '^Options\$' | grep -q ."
  local opts splash
  opts=$(visible '^Options$' | head -1)
  eval "$(xdotool getwindowgeometry --shell "$opts")"
  xdotool mousemove --window "$opts" $((WIDTH - 45)) $((HEIGHT - 22)) click 1
  wait_for "the options dialog to close ($name)" bash -c '! xdotool search --onlyvisible --name "^Options\$" | grep -q .'
  splash=$(visible '^Orvane Viewer$' | head -1)
  [ -n "$splash" ] || { echo "$name: no splash"; exit 1; }
  xdotool mousemove --window "$splash" 5 5 click 1
  wait_for "the main window ($name)" bash -c "xdotool search --onlyvisible --name '^Orvane Viewer\$' | grep -vxq '$splash'"
  local main
  main=$(visible '^Orvane Viewer$' | grep -vx "$splash" | head -1)
  # No second message: the main window is the program's only window named so.
  [ "$(visible '^Orvane Viewer$' | wc -l)" -eq 1 ] || { echo "$name: more than one window after start-up"; exit 1; }
  sleep 0.3
  import -window "$main" "$out/settings-$name-2-main.png"
  # The texts come from the settings: the first menu ("Quit") and the file-type list ("All
  # Supported Files") are drawn. Dark pixels where their words go (without texts: 15 and 0).
  dark() { convert "$out/settings-$name-2-main.png" -crop "$1" +repage -colorspace gray -threshold 50% \
             -format '%[fx:int(w*h*(1-mean))]' info:; }
  [ "$(dark 20x14+6+1)" -gt 30 ] || { echo "$name: the first menu has no text"; exit 1; }
  [ "$(dark 100x12+495+295)" -gt 50 ] || { echo "$name: the file-type list has no text"; exit 1; }
  xdotool mousemove --window "$main" 12 8 click 1
  wait_exit "$pid" "Quit ($name)"
  pid=
}

# The settings folder's place is taken by a plain file.
mkdir -p "$work/config"
: >"$work/config/Orvane Viewer"
run_case plain-file
[ -f "$work/config/Orvane Viewer" ] && [ ! -s "$work/config/Orvane Viewer" ] || { echo "the plain file changed"; exit 1; }
rm "$work/config/Orvane Viewer"

# FIFOs in the place of the settings file and its lock: nothing may wait on them.
mkdir -p "$work/config/Orvane Viewer"
mkfifo "$work/config/Orvane Viewer/settings.ini" "$work/config/Orvane Viewer/settings.lock"
run_case fifo
[ -p "$work/config/Orvane Viewer/settings.ini" ] && [ -p "$work/config/Orvane Viewer/settings.lock" ] \
  || { echo "the FIFOs were not left alone"; exit 1; }
rm -rf "$work/config/Orvane Viewer"

# A read-only settings folder (the immutable flag binds root too).
mkdir -p "$work/config/Orvane Viewer"
if [ "$(id -u)" -eq 0 ]; then
  chattr +i "$work/config/Orvane Viewer" 2>/dev/null || { echo "read-only case skipped: no immutable flag here"; exit 0; }
else
  chmod 500 "$work/config/Orvane Viewer"
fi
run_case read-only
[ -z "$(ls -A "$work/config/Orvane Viewer")" ] || { echo "something was written into the read-only folder"; exit 1; }
echo "settings e2e passed; screenshots in $out"
