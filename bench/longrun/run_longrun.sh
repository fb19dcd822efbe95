#!/usr/bin/env bash
# The long run: the real viewer under Xvfb and a window manager steps with the arrow keys
# through FILES files of every kind (whole, cut short, with a garbled header, noise), answering
# the questions and read errors they raise and closing the editor each text opens; then opens
# and closes each of its windows CYCLES times (slide-show editor, palette viewer, options, about,
# module player, video, full-screen view, text editor, the editor's find dialog). Its resident
# memory is sampled every second. Fails on a crash, on a window that does not appear or close
# within 20 s, or on a question left unanswered.
# LONGRUN_KINDS=avi,mod keeps those kinds only; LONGRUN_KEEP_DOCUMENTS=1 leaves the texts open;
# LONGRUN_MALLOC_STATS=1 (gdb) reports malloc's bytes in use at each pass's end;
# LONGRUN_HEAPTRACK=1 follows allocations with heaptrack from pass 2 on and ends the run there.
# Usage: bench/longrun/run_longrun.sh BUILD_DIR [FILES [CYCLES [OUTPUT_DIR [PASSES]]]]
# Writes OUTPUT_DIR/rss.csv (seconds, phase, KiB; "files N" is pass N over the folder), curve.csv
# (the RSS every twenty files) and OUTPUT_DIR/summary.txt.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
files=${2:-1000}
cycles=${3:-100}
out=${4:-/tmp/orvane-longrun}
mkdir -p "$out"
out=$(cd "$out" && pwd)
exec "$root/tests/e2e/run_in_xvfb.sh" "$here/longrun_session.sh" "$build" "$files" "$cycles" "$out" "${5:-1}"
