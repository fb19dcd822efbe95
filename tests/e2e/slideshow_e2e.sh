#!/usr/bin/env bash
# A show built in the slide-show editor from the samples (pictures and the wave), saved,
# opened again after a restart, and played full screen by keys and by the timer. Screenshots
# of each step land in the output folder; the caption is checked in the chosen colour and the
# slides are checked to change.
# Usage: slideshow_e2e.sh <orvane-viewer> <samples dir> <output dir>
set -euo pipefail; [ -n "${E2E_TRACE:-}" ] && set -x
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
viewer="$1"; samples="$2"; out="$3"
mkdir -p "$out"
work=$(mktemp -d /tmp/orvane-show-XXXXXX)
pid=
trap 'if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
# What the screen showed when a step failed.
trap 'import -window root "$out/slideshow-failed.png" 2>/dev/null || true' ERR
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/out.raw"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM_PLUGIN_PATH

mkdir -p "$work/pics"
cp "$samples/sunset.bmp" "$samples/harbour.jpg" "$samples/chime.wav" "$samples/chart.emf" "$work/pics/"
show_file="$work/holiday show.sli"
E2E_LOG="$work/log"

visible() { { xdotool search --onlyvisible --name "$1" || true; } | head -1; }
shown() { [ -n "$(visible "$1")" ]; }
gone() { [ -z "$(visible "$1")" ]; }
shot() { sleep 0.4; import -window root "$out/slideshow-$1.png"; }

# Counts pixels near colour $2 (as "r,g,b"; text is smoothed) in the region $3 (WxH+X+Y) of
# screenshot $1.
count_colour() {
  convert "$1" -crop "$3" +repage -fuzz 25% -fill black +opaque "rgb($2)" -fill white -opaque "rgb($2)" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}
# The colour of one pixel as "r,g,b".
pixel() { convert "$1" -crop "1x1+$2+$3" +repage -format '%[fx:int(255*r+.5)],%[fx:int(255*g+.5)],%[fx:int(255*b+.5)]' info:; }

start_program() {
  cd "$work"
  "$viewer" >>"$work/log" 2>&1 &
  pid=$!
  wait_for "the splash" xdotool search --onlyvisible --classname orvane-viewer
  sleep 0.5
  local opts
  opts=$(visible '^Options$')
  if [ -n "$opts" ]; then
    eval "$(xdotool getwindowgeometry --shell "$opts")"
    xdotool mousemove --window "$opts" $((WIDTH - 45)) $((HEIGHT - 22)) click 1
    wait_for "the options dialog to close" gone '^Options$'
  fi
  splash=$(xdotool search --onlyvisible --classname orvane-viewer | head -1)
  xdotool mousemove --window "$splash" 5 5 click 1
  wait_for "the main window" bash -c "xdotool search --onlyvisible --name '^Orvane Viewer\$' | grep -vxq '$splash'"
  main=$(xdotool search --onlyvisible --name '^Orvane Viewer$' | grep -vx "$splash" | head -1)
  # F1 opens the slide-show editor.
  xdotool windowactivate --sync "$main" key F1
  wait_for "the slide-show editor" shown '^Slide Show Module$'
  editor=$(visible '^Slide Show Module$')
  xdotool windowactivate --sync "$editor"
}

# In the editor's folder list: goes into the sub-folder $2 at depth $1 by typing its line (two
# spaces a level, then the name) and Enter.
enter_folder() {
  xdotool mousemove --window "$editor" 20 70 click 1
  sleep 0.6
  xdotool type --delay 30 "$(printf '%*s%s' $(($1 * 2)) '' "$2")"
  xdotool key Return
  sleep 0.5
}

# --- First run: build the show and save it.
start_program
shot 01-editor
# The editor starts at the root of the drive; walk to the pictures.
enter_folder 1 tmp
enter_folder 2 "$(basename "$work")"
enter_folder 3 pics
shot 02-folder
# Add All from the file list's pop-up menu.
xdotool mousemove --window "$editor" 300 60 click 3
sleep 0.4
shot 03-add-menu
xdotool key d
sleep 0.3
shot 04-show-built
# Save to a file name with a space.
xdotool windowactivate --sync "$editor" key ctrl+s
sleep 1
xdotool type --delay 20 "$show_file"
xdotool key Return
wait_for "the saved show" test -s "$show_file"
shot 05-saved
printf '[Orv Slide Show Data File]\r\n[Settings]\r\nTrue\r\nFalse\r\n 5000 \r\nTrue\r\nTrue\r\nTrue\r\n[Files]\r\n%s\r\n%s\r\n%s\r\n%s\r\n' \
  "$work/pics/chart.emf" "$work/pics/chime.wav" "$work/pics/harbour.jpg" "$work/pics/sunset.bmp" > "$work/expected.sli"
cmp "$show_file" "$work/expected.sli" || { echo "the saved show differs:"; cat -A "$show_file"; exit 1; }

# Quit the program (nothing unsaved: no question) and start it again.
main_quit() {
  xdotool windowactivate --sync "$main" 2>/dev/null || true
  xdotool mousemove --window "$main" 12 8 click 1
}
main_quit
wait_exit "$pid" "Quit"
pid=

# --- Second run: open the saved show and play it by keys, without loop.
start_program
xdotool key ctrl+o
sleep 1
xdotool type --delay 20 "$show_file"
xdotool key Return
sleep 0.5
shot 06-reopened
# The caption colour (not part of the file): the colour dialog's HTML field takes #ff0000.
# "c" marks both Show Cursor and Choose Color: the second press reaches the colour item.
xdotool key alt+s
sleep 0.3
xdotool key c c Return
wait_for "the colour dialog" shown 'Select Color'
xdotool key alt+h ctrl+a
xdotool type "#ff0000"
xdotool key Return
wait_for "the colour dialog to close" gone 'Select Color'
# Loop off, then Play with F5.
xdotool key alt+s
sleep 0.3
xdotool key l
sleep 0.3
xdotool key F5
wait_for "the player" shown '^Slide Show is playing$'
player=$(visible '^Slide Show is playing$')
eval "$(xdotool getwindowgeometry --shell "$player")"
[ "$WIDTH" -eq 1280 ] && [ "$HEIGHT" -eq 1024 ] || { echo "the player is ${WIDTH}x${HEIGHT}, not full screen"; exit 1; }
caption_region=700x20+0+0
previous=
for step in 1 2 3 4; do
  shot "07-key-$step"
  img="$out/slideshow-07-key-$step.png"
  # The caption is drawn in the chosen red, nowhere green.
  red=$(count_colour "$img" 255,0,0 "$caption_region")
  green=$(count_colour "$img" 0,255,0 "$caption_region")
  [ "$red" -gt 300 ] && [ "$green" -eq 0 ] || { echo "step $step: no red caption ($red red, $green green pixels)"; exit 1; }
  convert "$img" -crop 1280x980+0+40 +repage "$work/slide-$step.png"
  if [ -n "$previous" ] && compare -metric AE "$previous" "$work/slide-$step.png" null: 2>/dev/null; then
    echo "step $step shows the same slide as the step before"; exit 1
  fi
  previous="$work/slide-$step.png"
  xdotool key space
  sleep 0.3
done
# Past the last entry without loop the player closes.
wait_for "the player to close after the last slide" gone '^Slide Show is playing$'
# The wave reached the sound device.
wait_for "the chime on the device" bash -c '[ "$(stat -c %s "$SDL_DISKAUDIOFILE" 2>/dev/null || echo 0)" -gt 10000 ]'

# --- Timer mode: one second, loop off; the slides change by themselves and the show ends.
xdotool windowactivate --sync "$editor"
xdotool key alt+s
sleep 0.3
xdotool key t
wait_for "the interval prompt" shown '^Choose an interval$'
xdotool key ctrl+a
xdotool type "1"
xdotool key Return
wait_for "the interval prompt to close" gone '^Choose an interval$'
# Focus can lag behind the prompt closing on a busy machine: press Play again only while no
# player has appeared.
for _ in 1 2 3; do
  xdotool windowactivate --sync "$editor" 2>/dev/null || true
  sleep 0.2
  xdotool key F5
  for _ in $(seq 1 30); do shown '^Slide Show is playing$' && break 2; sleep 0.1; done
done
wait_for "the timed player" shown '^Slide Show is playing$'
shot 08-timer-1
sleep 1.2
shot 08-timer-2
compare -metric AE "$out/slideshow-08-timer-1.png" "$out/slideshow-08-timer-2.png" null: 2>/dev/null \
  && { echo "the timer did not advance the show"; exit 1; }
for _ in $(seq 1 80); do gone '^Slide Show is playing$' && break; sleep 0.1; done
gone '^Slide Show is playing$' || { echo "the timed show did not end after its last slide"; exit 1; }

# --- An unsaved change: closing the main window asks the editor's question; Cancel keeps all.
xdotool windowactivate --sync "$editor"
xdotool mousemove --window "$editor" 300 60 click 3
sleep 0.4
xdotool key a
sleep 0.3
main_quit
wait_for "the save question" bash -c "xdotool search --onlyvisible --name '^Orvane Viewer\$' | grep -vxq '$main'"
shot 09-close-question
xdotool key Escape
sleep 0.5
kill -0 "$pid" || { echo "the program ended although Cancel was chosen"; exit 1; }
shown '^Slide Show Module$' || { echo "the editor closed although Cancel was chosen"; exit 1; }
main_quit
wait_for "the save question again" bash -c "xdotool search --onlyvisible --name '^Orvane Viewer\$' | grep -vxq '$main'"
xdotool key n
wait_exit "$pid" "No to the save question"
pid=
echo "slide-show e2e passed; screenshots in $out"
