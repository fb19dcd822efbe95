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
  evilwm -fn fixed >"$wmlog" 2>&1 &
  wm=$!
  trap "kill $wm 2>/dev/null || true; rm -f $wmlog" EXIT
  wm_running() { kill -0 "$wm" && xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; }
  E2E_LOG=$wmlog wait_for "the window manager" wm_running
  status=0
  bash "$@" || status=$?
  if ! kill -0 "$wm" 2>/dev/null; then echo "the window manager ended during the run"; cat "$wmlog"; exit 1; fi
  exit "$status"
' _ "$here/../support/e2e.sh" "$script" "$@"
