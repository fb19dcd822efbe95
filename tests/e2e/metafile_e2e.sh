#!/usr/bin/env bash
# Metafiles far costlier than their size, in the real program: one of a few kilobytes whose
# bitmaps claim 64 megapixels each never keeps the window from answering, and a poster declaring
# 3.2 x 4.1 m shows, goes full screen and scrolls to its far corner without the memory of the
# whole picture.
# Usage: metafile_e2e.sh <orvane-viewer> <orvane-samplegen> <output dir>
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../support/e2e.sh"
viewer="$1"; samplegen="$2"; out="$3"
mkdir -p "$out"
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT
export XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" QT_QPA_PLATFORM=xcb
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM_PLUGIN_PATH

"$samplegen" --hostile-metafiles "$work/Pics" 2>/dev/null
cd "$work"
E2E_LOG="$work/log"
"$viewer" "Pics/rle-bomb-2.5k.wmf" >"$work/log" 2>&1 &
pid=$!

# A window that answers within wait_for's ten seconds: drawing the file whole took 42 s.
wait_for "the splash" xdotool search --onlyvisible --classname orvane-viewer
# A first start asks for the options too, a moment after the splash shows; Cancel closes them.
wait_for "the options dialog of a first start" bash -c 'xdotool search --onlyvisible --name "^Options\$" | grep -q .'
opts=$(xdotool search --onlyvisible --name '^Options$' | head -1)
eval "$(xdotool getwindowgeometry --shell "$opts")"
xdotool mousemove --window "$opts" $((WIDTH - 45)) $((HEIGHT - 22)) click 1
wait_for "the options dialog to close" bash -c '! xdotool search --onlyvisible --name "^Options\$" | grep -q .'
splash=$(xdotool search --onlyvisible --classname orvane-viewer | head -1)
xdotool mousemove --window "$splash" 5 5 click 1
main_window() { xdotool search --onlyvisible --name '^Orvane Viewer$' | grep -vx "$splash" | head -1; }
main_shown() { [ -n "$(main_window)" ]; }
wait_for "the main window" main_shown
main=$(main_window)

pixel() {  # pixel <window> <x> <y>: r,g,b of the window's pixel
  import -window "$1" "$work/grab.png"
  convert "$work/grab.png" -crop "1x1+$2+$3" -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:
}
full_shown() { xdotool search --onlyvisible --name "Full Screen" | grep -q .; }
full_closed() { ! full_shown; }
kb() { awk -v k="$1:" '$1 == k { print $2 }' "/proc/$pid/status"; }

# The bomb shows as what it honestly draws (white), and full screen answers at once.
area_white() { [ "$(pixel "$main" 40 60)" = "255,255,255" ]; }
wait_for "the bomb's picture in the area" area_white
xdotool mousemove --window "$main" 296 331 click 1
wait_for "the full-screen view of the bomb" full_shown
xdotool mousemove --window "$(xdotool search --onlyvisible --name "Full Screen" | head -1)" 5 5 click 1
wait_for "the full-screen view to close" full_closed
import -window root "$out/metafile-01-bomb.png"

# The poster: second in the file list (huge-frame.emf, huge-frame.wmf, rle-bomb-...).
before=$(kb VmHWM)
xdotool mousemove --window "$main" 515 39 click 1
area_drawn() { local p; p=$(pixel "$main" 200 150); [ "$p" != "255,255,255" ] && [ "$p" != "239,239,239" ]; }
wait_for "the poster's first part in the area" area_drawn
import -window root "$out/metafile-02-poster.png"

# Full screen draws the part the screen shows: its centre is a cell or a frame, not black.
xdotool mousemove --window "$main" 296 331 click 1
wait_for "the full-screen view of the poster" full_shown
full=$(xdotool search --onlyvisible --name "Full Screen" | head -1)
full_drawn() { [ "$(pixel "$full" 640 512)" != "0,0,0" ]; }
wait_for "the poster drawn full screen" full_drawn
import -window root "$out/metafile-03-poster-full.png"
xdotool mousemove --window "$full" 5 5 click 1
wait_for "the full-screen view to close" full_closed

# Page down and right forty times each, past the far corner: each step answers, and the
# memory held grows by tiles around what is shown, never by the 750 MB of the whole picture.
for _ in $(seq 1 40); do
  xdotool mousemove --window "$main" 297 308 click 1 mousemove --window "$main" 268 331 click 1
done
scrolled_to_corner() { [ "$(pixel "$main" 280 280)" = "239,239,239" ] && [ "$(pixel "$main" 40 60)" != "239,239,239" ]; }
wait_for "the poster's far corner" scrolled_to_corner
sleep 1
import -window root "$out/metafile-04-poster-corner.png"
after=$(kb VmHWM)
echo "peak memory ${before} kB before the poster, ${after} kB after scrolling it, $(kb VmRSS) kB held then"
[ $((after - before)) -lt $((256 * 1024)) ] || { echo "the poster took $(((after - before) / 1024)) MB"; exit 1; }

xdotool mousemove --window "$main" 12 8 click 1
wait_exit "$pid" "Quit"
echo "metafile e2e passed; screenshots in $out"
