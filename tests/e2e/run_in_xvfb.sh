#!/usr/bin/env bash
# Runs one end-to-end script inside a private X server with a window manager. The run fails when
# the window manager does not come up, or is gone by the end (full screen, placement and focus
# would prove nothing without it).
# Usage: run_in_xvfb.sh <script> <args...>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
script="$1"; shift
exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash -c '
  set -euo pipefail
  source "$1"; shift
  wmlog=$(mktemp)
  # Without -fn evilwm asks for the font "variable", which a bare X server does not have, and
  # exits; "fixed" is built into every X server.
  wm=
  cleanup() { kill "$wm" 2>/dev/null || true; rm -f "$wmlog"; }
  trap cleanup EXIT
  wm_running() { kill -0 "$wm" && xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }
  # On a loaded machine the window manager can find the display not yet accepting clients and
  # exit; it is started again, three times at most.
  up=0
  for _ in 1 2 3; do
    evilwm -fn fixed >"$wmlog" 2>&1 &
    wm=$!
    for _ in $(seq 1 150); do if wm_running >/dev/null 2>&1; then up=1; break; fi; sleep 0.1; done
    [ "$up" = 1 ] && break
    kill "$wm" 2>/dev/null || true
    sleep 0.5
  done
  if [ "$up" != 1 ]; then echo "timed out waiting for: the window manager"; cat "$wmlog"; exit 1; fi
  status=0
  bash "$@" || status=$?
  if ! kill -0 "$wm" 2>/dev/null; then echo "the window manager ended during the run"; cat "$wmlog"; exit 1; fi
  exit "$status"
' _ "$here/../support/e2e.sh" "$script" "$@"
