#!/usr/bin/env bash
# Runs inside run_in_xvfb.sh; see run_longrun.sh.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../../tests/support/e2e.sh"
build="$1"; files="$2"; cycles="$3"; out="$4"; passes="${5:-1}"
viewer="$build/src/orvane-viewer"
work=$(mktemp -d)
pid=
sampler=
trap 'kill "$sampler" 2>/dev/null || true; kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb SDL_AUDIODRIVER=dummy
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM_PLUGIN_PATH
python3 "$here/make_mixed_folder.py" "$build/samples" "$work/mixed" "$files" "${LONGRUN_KINDS:-}"
# The viewer starts on a picture, whichever kinds the folder holds.
cp "$build/samples/sunset.bmp" "$work/mixed/000-start.bmp"
first=000-start.bmp
# Whole samples under names the window cycles pick by their first letter.
cp "$build/samples/tune.mod" "$work/mixed/m-tune.mod"
cp "$build/samples/sunset.bmp" "$work/mixed/p-sunset.bmp"
cp "$build/samples/clip.avi" "$work/mixed/v-clip.avi"
cp "$build/samples/readme.txt" "$work/mixed/t-readme.txt"

E2E_LOG="$out/viewer.log"
cd "$work/mixed"
"$viewer" "$first" >"$E2E_LOG" 2>&1 &
pid=$!
echo start >"$work/phase"
: >"$out/rss.csv"
( start=$(date +%s)
  while kill -0 "$pid" 2>/dev/null; do
    rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
    [ -n "$rss" ] && echo "$(( $(date +%s) - start )),$(cat "$work/phase"),$rss" >>"$out/rss.csv"
    sleep 1
  done ) &
sampler=$!

fail() {
  echo "FAILED: $*" | tee -a "$out/summary.txt"
  for w in $(visible); do echo "  window $w: $(name_of "$w")"; done
  local keys
  keys=$(python3 "$here/x_focus.py" 2>&1)
  echo "  focus: $(xdotool getwindowfocus getwindowname 2>/dev/null || true) ($keys)"
  import -window root "$out/failure.png" || true
  # What holds the keys, every window on the screen, and where each of the viewer's threads is.
  { local f
    echo "== X focus: $keys"
    f=$(xdotool getwindowfocus 2>/dev/null || true)
    echo "== focused window $f"
    [ -n "$f" ] && xprop -id "$f" WM_NAME WM_CLASS _NET_WM_PID WM_TRANSIENT_FOR 2>&1
    echo "== windows"
    xwininfo -root -tree 2>&1
  } >"$out/failure-windows.txt"
  gdb -p "$pid" -batch -ex 'thread apply all bt' >"$out/failure-threads.txt" 2>&1 || true
  # Whether what stood unpainted is painted a few seconds on.
  sleep 5
  import -window root "$out/failure-later.png" || true
  exit 1
}
alive() { kill -0 "$pid" 2>/dev/null || fail "the viewer ended (crash?); see $E2E_LOG"; }
visible() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | sort || true; }
# A window may be gone by the time the message is sent.
close_window() { python3 "$here/close_window.py" "$1" 2>/dev/null || true; }
name_of() { xdotool getwindowname "$1" 2>/dev/null || true; }
# The first visible window whose name matches the pattern $1.
window_named_like() {
  local w
  for w in $(visible); do [[ "$(name_of "$w")" =~ $1 ]] && { echo "$w"; return 0; }; done
  return 1
}
# Waits up to 20 s for the window $1 to go; fails with the message $2 if it stays.
wait_gone() {
  local deadline=$((SECONDS + 20))
  while visible | grep -qx "$1"; do
    [ $SECONDS -lt $deadline ] || fail "$2"
    sleep 0.05
  done
}

# Start-up: the first-start options dialog and the splash.
wait_for "the splash" bash -c "xdotool search --onlyvisible --pid $pid | grep -q ."
sleep 1
if opts=$(window_named_like '^Options$'); then close_window "$opts"; fi
splash=$(xdotool search --onlyvisible --classname orvane-viewer | head -1)
xdotool mousemove --window "$splash" 5 5 click 1
main_window() { xdotool search --onlyvisible --name '^Orvane Viewer$' | grep -vx "$splash" | head -1; }
wait_for "the main window" bash -c "xdotool search --onlyvisible --name '^Orvane Viewer\$' | grep -vxq '$splash'"
main=$(main_window)
# The file list takes the keys: a click on its first file.
xdotool mousemove --window "$main" 584 26 click 1
sleep 1
import -window root "$out/01-start.png"

# Answers what the files ask: full screen for a video (no), a read error (OK). Waits up to
# 20 s for each question to go. Prints how many were answered.
answered=0
asked=
answer_questions() {
  local w n
  for w in $(visible); do
    n=$(name_of "$w")
    case "$n" in
      Movie) key=n ;;
      "Read Error"|Error) key=Return ;;
      *) continue ;;
    esac
    xdotool windowfocus --sync "$w" 2>/dev/null || true
    xdotool key "$key"
    wait_gone "$w" "the question \"$n\" did not go away"
    answered=$((answered + 1))
    asked="$asked $n"
    echo "$n" >>"$out/questions.log"
  done
}

# The window manager gives the focus to the window under the pointer: the pointer rests on the
# main window's picture area, away from where the other windows open.
focus_main() {
  xdotool mousemove --window "$main" 60 60 2>/dev/null || true
  xdotool windowfocus --sync "$main" 2>/dev/null || true
}

# 1. Step through the folder with the Down key alone, PASSES times (Home goes back to its first
# file). The pointer rests on the main window. A text file opens the editor, which takes the
# keys as it should: the user then goes back to the main window. Every key must move the list
# (the file's path in the status bar changes), or the run fails. The resident memory after every
# twenty files goes to curve.csv (pass, files, KiB).
echo files >"$work/phase"
step_start=$SECONDS
rss_now() { awk '/^VmRSS/ { print $2 }' "/proc/$pid/status"; }
# The status bar's first panel: the path of the file chosen last.
chosen() { import -window "$main" -crop 470x14+4+346 +repage gray:- 2>/dev/null | md5sum; }
# A text file opens the editor, which stands over the main window and may take the keys: the
# user closes it and goes back to the main window. Every text opens a further document, so an
# editor left open would hold them all; with LONGRUN_KEEP_DOCUMENTS set it stays open and memory
# grows with them. Returns 1 when there was no editor.
settle() {
  local w
  w=$(window_named_like "^Vellum Pad") || return 1
  if [ -z "${LONGRUN_KEEP_DOCUMENTS:-}" ]; then
    close_window "$w"
    wait_gone "$w" "the editor did not close"
  fi
  xdotool windowraise "$main" 2>/dev/null || true
  focus_main
}
focus_main
echo "pass,files,kib" >"$out/curve.csv"
for ((pass = 1; pass <= passes; pass++)); do
  echo "files $pass" >"$work/phase"
  if (( pass > 1 )); then
    settle || true
    xdotool key Home
    answer_questions
  fi
  was=$(chosen)
  for ((i = 1; i < files; i++)); do
    alive
    xdotool key Down
    # The key must move the list within 20 s, questions answered meanwhile.
    deadline=$((SECONDS + 20))
    while :; do
      sleep 0.1
      answer_questions
      now=$(chosen)
      [ "$now" != "$was" ] && break
      # An editor that came up late may have taken the key: once it is closed and the list still
      # has not moved, the user presses the key again.
      if [ -z "${LONGRUN_KEEP_DOCUMENTS:-}" ] && settle; then
        sleep 2
        answer_questions
        now=$(chosen)
        [ "$now" != "$was" ] && break
        xdotool key Down
      fi
      if [ $SECONDS -ge $deadline ]; then
        import -window root "$out/stuck-$pass-$i.png"
        fail "the Down key did not move the file list at file $i of pass $pass (focus: $(xdotool getwindowfocus getwindowname 2>/dev/null || true))"
      fi
    done
    was=$now
    # Answer until no question has come for two polls.
    quiet=0
    while (( quiet < 2 )); do
      before=$answered
      sleep 0.1
      answer_questions
      if (( answered == before )); then quiet=$((quiet + 1)); else quiet=0; fi
    done
    settle || true
    if (( i % 20 == 0 || i == files - 1 )); then
      echo "$pass,$i,$(rss_now)" >>"$out/curve.csv"
    fi
    if (( i % 100 == 0 )); then
      echo "  pass $pass: $i files, $answered questions answered, $((SECONDS - step_start)) s"
      import -window root "$out/files-$pass-$i.png"
    fi
  done
  # Where the memory sits at each pass's end, mapping by mapping.
  cp "/proc/$pid/smaps" "$out/smaps-$pass.txt" 2>/dev/null || true
  # What malloc holds and what of it is in use, into the viewer's log.
  if [ -n "${LONGRUN_MALLOC_STATS:-}" ]; then
    gdb -p "$pid" -batch -ex 'call (void) malloc_stats()' >/dev/null 2>&1 || true
  fi
  # heaptrack follows the allocations from the end of the first pass on; the viewer is killed at
  # the end of the last, so what is alive then shows as leaked (heaptrack_print --print-leaks).
  if [ -n "${LONGRUN_HEAPTRACK:-}" ]; then
    if (( pass == 1 )); then
      heaptrack -o "$out/heaptrack" -p "$pid" >"$out/heaptrack.log" 2>&1 &
      sleep 15
    elif (( pass == passes )); then
      sleep 3; kill -9 "$pid"; sleep 5
      echo "heaptrack: $out/heaptrack.zst" | tee -a "$out/summary.txt"
      exit 0
    fi
  fi
done
sleep 1
answer_questions
alive
# What the files left open (the module player, a video) closes on request.
for w in $(visible); do
  [ "$w" = "$main" ] && continue
  n=$(name_of "$w")
  close_window "$w"
  wait_gone "$w" "\"$n\" did not close after the files"
done
# The per-second samples of each pass: where it starts and ends, its lowest and highest.
awk -F, '$2 ~ /^files / { split($2, w, " "); p = w[2]; if (!(p in s)) { s[p] = $3; lo[p] = $3; hi[p] = $3; order[++n] = p }
                           e[p] = $3; if ($3 < lo[p]) lo[p] = $3; if ($3 > hi[p]) hi[p] = $3 }
         END { for (i = 1; i <= n; i++) { p = order[i]
                 printf "pass %s, RSS KiB each second: starts %d, ends %d, lowest %d, highest %d\n", p, s[p], e[p], lo[p], hi[p] } }' \
  "$out/rss.csv" | tee -a "$out/summary.txt"
if [ -n "${LONGRUN_MALLOC_STATS:-}" ]; then
  awk '/^Total/ { t = 1; next } t && /in use bytes/ { printf "pass %d, malloc in use at its end: %d KiB\n", ++n, $5 / 1024; t = 0 }' \
    "$E2E_LOG" | tee -a "$out/summary.txt"
fi
echo "stepped $passes time(s) through $files files in $((SECONDS - step_start)) s, answering $answered questions" \
  | tee -a "$out/summary.txt"
# The first hundred files have shown every kind in every state (a shorter folder: its first
# pass): from there on the memory must stay flat.
awk -F, -v files="$files" 'NR > 1 { n++; p[n] = $1; f[n] = $2; k[n] = $3
    if (!s && ((files > 100 && $2 >= 100) || (files <= 100 && $2 == files - 1))) s = n }
  END { if (!s) s = 1
        printf "RSS KiB over the files: %d after pass %d file %d, %d after pass %d file %d", k[s], p[s], f[s], k[n], p[n], f[n]
        stepped = (p[n] - p[s]) * (files - 1) + f[n] - f[s]
        if (stepped > 0) printf " (%+.1f KiB a file over %d files)", (k[n] - k[s]) / stepped, stepped
        printf "\n" }' "$out/curve.csv" | tee -a "$out/summary.txt"

# 2. Every window opened and closed CYCLES times. Each must appear and go within 20 s.
slowest=0
# The first window not in the list $1 whose name matches the pattern $2.
new_window() {
  local w
  for w in $(comm -13 "$1" <(visible)); do
    [[ "$(name_of "$w")" =~ $2 ]] && { echo "$w"; return 0; }
  done
  return 0
}
# open_close <what> <name pattern> <close: wm|return|space> <command...>
open_close() {
  local what="$1" pattern="$2" how="$3"; shift 3
  local before="$work/before" t0=$SECONDS w="" deadline
  visible >"$before"
  "$@"
  deadline=$((SECONDS + 20))
  while :; do
    answer_questions
    w=$(new_window "$before" "$pattern")
    [ -n "$w" ] && break
    [ $SECONDS -lt $deadline ] || fail "$what did not appear"
    sleep 0.05
  done
  sleep 0.2
  case "$how" in
    wm) close_window "$w" ;;
    # The about box's message has the focus; the splash behind it goes with it.
    return) xdotool key Return ;;
    space) xdotool windowfocus --sync "$w" 2>/dev/null || true; xdotool key space ;;
  esac
  deadline=$((SECONDS + 20))
  while [ -n "$(new_window "$before" "$pattern")" ]; do
    [ $SECONDS -lt $deadline ] || fail "$what ($(name_of "$w")) did not close"
    sleep 0.05
  done
  (( SECONDS - t0 > slowest )) && slowest=$((SECONDS - t0))
  focus_main
  echo "$c,$what,$(rss_now)" >>"$out/windows.csv"
}
# Menu-bar entries by where they sit in the main window; Modules opens a menu, whose entry is
# then chosen by its letter.
menu() {
  local x
  case "$1" in Modules) x=75 ;; Options) x=137 ;; About) x=198 ;; esac
  focus_main
  xdotool mousemove --window "$main" "$x" 10 click 1
  if [ -n "${2:-}" ]; then sleep 0.3; xdotool key "$2"; fi
}
# A file chosen by its first letter; a click on the list's top row first gives the list the keys.
# The wheel first brings the list back to its top (it leaves the choice alone): the row the click
# lands on is then the start picture, not whatever file the last choice scrolled there.
pick() {
  focus_main
  xdotool mousemove --window "$main" 584 26 click --repeat "$((files / 3 + 10))" --delay 1 4
  xdotool click 1
  sleep 0.5
  answer_questions
  focus_main
  xdotool type --delay 30 "$1"
}
full_screen() { pick p; sleep 0.5; xdotool mousemove --window "$main" 296 331 click 1; }
# The editor's find dialog, from the Search menu of a text the editor opened.
find_dialog() {
  local deadline=$((SECONDS + 20)) w
  pick t
  until w=$(window_named_like "^Vellum Pad"); do
    [ $SECONDS -lt $deadline ] || fail "the editor did not open for the find dialog"
    sleep 0.05
  done
  sleep 0.3
  xdotool windowfocus --sync "$w" 2>/dev/null || true
  xdotool key alt+s
  sleep 0.3
  xdotool key f
}
# Closes the editor left open by the find dialog's cycle.
close_editor() {
  local w
  w=$(window_named_like "^Vellum Pad") || return 0
  close_window "$w"
  wait_gone "$w" "the editor did not close after the find dialog"
  focus_main
}

echo windows >"$work/phase"
win_start=$SECONDS
echo "cycle,window,rss_kib after it closed" >"$out/windows.csv"
for ((c = 1; c <= cycles; c++)); do
  alive
  open_close "the slide-show editor" "^Slide Show" wm menu Modules s
  open_close "the palette viewer" "Palette" wm menu Modules p
  open_close "the options" "^Options\$" wm menu Options
  open_close "the about box" "^Orvane Viewer\$" return menu About
  open_close "the module player" "^Module player\$" wm pick m
  open_close "the video" "^v-clip.avi\$" wm pick v
  open_close "the full-screen view" "Full Screen" space full_screen
  open_close "the text editor" "^Vellum Pad" wm pick t
  open_close "the find dialog" "^Find\$" wm find_dialog
  close_editor
  if (( c % 10 == 0 )); then echo "  $c cycles, $((SECONDS - win_start)) s"; fi
done
echo "opened and closed 9 windows $cycles times each in $((SECONDS - win_start)) s; slowest open+close ${slowest} s" \
  | tee -a "$out/summary.txt"
# What the resident memory gained across each window's opening and closing, from the eleventh
# cycle on (the first ones load what stays loaded).
awk -F, 'NR > 1 { if (prev != "" && $1 > 10) { gain[$2] += $3 - prev; n[$2]++ } prev = $3
                  if (!($2 in seen)) { seen[$2] = 1; order[++k] = $2 } }
         END { for (i = 1; i <= k; i++) { w = order[i]
                 if (n[w]) printf "%s: %+.1f KiB a cycle over %d cycles\n", w, gain[w] / n[w], n[w] } }' \
  "$out/windows.csv" | tee -a "$out/summary.txt"
import -window root "$out/02-end.png"

# 3. Quit from the main window's menu bar; the program must end cleanly.
echo quit >"$work/phase"
sleep 2
focus_main
xdotool mousemove --window "$main" 12 8 click 1
wait_exit "$pid" "Quit" || fail "the viewer did not quit cleanly"
awk -F, 'NR == 1 { s = $3 } $2 ~ /^files/ && !f { f = $3 } { if ($3 > m) m = $3; e = $3; p = $2 }
         END { printf "RSS KiB: at start %d, first file pass begins %d, peak %d, at the end (%s) %d\n", s, f, m, p, e }' \
  "$out/rss.csv" | tee -a "$out/summary.txt"
echo "no crash, no stuck window" | tee -a "$out/summary.txt"
