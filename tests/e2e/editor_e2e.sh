#!/usr/bin/env bash
# The text editor in the real program: readme.txt clicked in the browser opens in Vellum Pad;
# typing, saving and finding work; after a restart the file is reopened from the recent files;
# quitting with a changed document asks first, Cancel keeps the program, No ends it unsaved.
# Usage: editor_e2e.sh <orvane-viewer> <samples dir> <output dir>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
viewer="$1"; samples="$2"; out="$3"
mkdir -p "$out"
work=$(mktemp -d)
pid=
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM_PLUGIN_PATH
mkdir -p "$work/home"
cp -r "$samples" "$work/home/samples"
readme="$work/home/samples/readme.txt"
cd "$work/home"
E2E_LOG="$work/log"

windows_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null || true; }
count_named() { windows_named "$1" | grep -c . || true; }
frame() { windows_named '^Vellum Pad' | head -1; }
frame_shown() { [ -n "$(frame)" ]; }
# A message box titled like the frame shows beside it.
question_shown() { [ "$(count_named '^Vellum Pad$')" -ge 2 ]; }
message_shown() { [ "$(count_named '^Orvane Viewer$')" -gt "$1" ]; }

# Starts the viewer and brings up its main window from the splash; sets $pid and $main.
start() {
  "$viewer" "$@" >>"$work/log" 2>&1 &
  pid=$!
  wait_for "the splash" xdotool search --onlyvisible --classname orvane-viewer
  sleep 0.5
  local opts
  opts=$(windows_named '^Options$' | head -1)
  if [ -n "$opts" ]; then
    eval "$(xdotool getwindowgeometry --shell "$opts")"
    xdotool mousemove --window "$opts" $((WIDTH - 45)) $((HEIGHT - 22)) click 1
    wait_for "the options dialog to close" bash -c '! xdotool search --onlyvisible --name "^Options\$" | grep -q .'
  fi
  local splash
  splash=$(xdotool search --onlyvisible --classname orvane-viewer | head -1)
  xdotool mousemove --window "$splash" 5 5 click 1
  main_window() { windows_named '^Orvane Viewer$' | grep -vx "$splash" | head -1; }
  main_shown() { [ -n "$(main_window)" ]; }
  wait_for "the main window" main_shown
  main=$(main_window)
  sleep 0.3
}

# Quit from the main window's menu bar, the main window raised above the editor first.
quit() {
  xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
  xdotool windowraise "$main"
  sleep 0.3
  xdotool mousemove --window "$main" 12 8 click 1
}

# 1. readme.txt chosen in the browser's file list (a click on the list, then its first letter).
start "samples/sunset.bmp"
xdotool mousemove --window "$main" 540 40 click 1
sleep 0.3
xdotool key r
wait_for "the editor frame with readme.txt" frame_shown
ed=$(frame)
xdotool windowactivate --sync "$ed" >/dev/null 2>&1 || true
sleep 0.5
import -window root "$out/editor-01-opened.png"

# 2. Typed at the top and saved in place.
xdotool key ctrl+Home
xdotool type --delay 20 "Edited here. "
xdotool key ctrl+s
saved() { head -c 13 "$readme" | grep -qx "Edited here. "; }
wait_for "readme.txt saved with the typed text" saved
grep -q "Orvane Viewer sample files" "$readme" || { echo "the rest of readme.txt was lost"; exit 1; }

# 3. Find: a word that is there asks nothing, one that is not gives "Cannot find".
xdotool key F3
find_shown() { [ -n "$(windows_named '^Find$')" ]; }
wait_for "the find dialog" find_shown
xdotool type --delay 20 "sunset"
xdotool key Return
sleep 0.5
boxes=$(count_named '^Orvane Viewer$')
xdotool key ctrl+a
xdotool type --delay 20 "nowhere-in-the-file"
xdotool key Return
wait_for "the Cannot find message" message_shown "$boxes"
import -window root "$out/editor-02-cannot-find.png"
xdotool key Return
wait_for "the message to close" bash -c "[ \$(xdotool search --onlyvisible --name '^Orvane Viewer\$' | wc -l) -le $boxes ]"
find=$(windows_named '^Find$' | head -1)
# The window manager gives the focus to the window under the pointer.
xdotool mousemove --window "$find" 20 20
xdotool windowactivate --sync "$find" >/dev/null 2>&1 || true
sleep 0.3
import -window root "$out/editor-02b-find.png"
xdotool key Escape
wait_for "the find dialog to close" bash -c '! xdotool search --onlyvisible --name "^Find\$" | grep -q .'

# 4. New, cut and paste twice, saved through the Save As dialog under a name typed there.
xdotool mousemove --window "$ed" 700 560
xdotool windowactivate --sync "$ed" >/dev/null 2>&1 || true
sleep 0.3
xdotool key ctrl+n
sleep 0.5
xdotool type --delay 20 "Fresh"
xdotool key ctrl+a ctrl+x ctrl+v ctrl+v
xdotool key ctrl+s
save_as_shown() { [ -n "$(windows_named '^Save As$')" ]; }
wait_for "the Save As dialog" save_as_shown
sleep 0.5
import -window root "$out/editor-02c-save-as.png"
xdotool mousemove --window "$(windows_named '^Save As$' | head -1)" 30 30
sleep 0.3
xdotool type --delay 10 "$work/home/fresh.txt"
xdotool key Return
fresh() { [ "$(cat "$work/home/fresh.txt" 2>/dev/null)" = "FreshFresh" ]; }
wait_for "the new document saved as fresh.txt" fresh
[ "$(wc -c <"$work/home/fresh.txt")" -eq 11 ] || { echo "fresh.txt is not the text and one line end"; exit 1; }

# 5. Quit: nothing is changed, so nothing is asked.
quit
wait_exit "$pid" "Quit with every document saved"
grep -q '^RecentFile1=.*readme.txt$' "$XDG_CONFIG_HOME/Orvane Viewer/settings.ini" \
  || { echo "readme.txt is not in the recent files"; cat "$XDG_CONFIG_HOME/Orvane Viewer/settings.ini"; exit 1; }

# 6. Restart: F2 shows the editor; the File menu's first recent entry reopens readme.txt.
start
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
xdotool key F2
wait_for "the editor frame from F2" frame_shown
ed=$(frame)
xdotool windowactivate --sync "$ed" >/dev/null 2>&1 || true
sleep 0.5
xdotool key alt+f
sleep 0.5
import -window root "$out/editor-03-recent.png"
# New, Open, Close, Save, Save As, Exit, then the recent files.
xdotool key Down Down Down Down Down Down Return
sleep 0.8
xdotool key ctrl+End
xdotool type --delay 20 "Again."
xdotool key ctrl+s
again() { tail -c 7 "$readme" | grep -q "^Again\.$"; }
wait_for "readme.txt reopened from the recent files and saved" again

# 7. A change, then Quit: the question comes; Cancel keeps the program, No ends it unsaved.
xdotool type --delay 20 " Unsaved."
quit
wait_for "the question about the changed document" question_shown
import -window root "$out/editor-04-question.png"
xdotool key Escape
sleep 1
kill -0 "$pid" 2>/dev/null || { echo "the program ended although Cancel was answered"; exit 1; }
frame_shown || { echo "the editor closed although Cancel was answered"; exit 1; }
quit
wait_for "the question again" question_shown
xdotool key n
wait_exit "$pid" "Quit answered No"
grep -q "Unsaved" "$readme" && { echo "the change was saved although No was answered"; exit 1; }
echo "editor e2e passed; screenshots in $out"
