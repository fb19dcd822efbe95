#!/usr/bin/env bash
# Runs one end-to-end script inside a private X server with a window manager.
# Usage: run_in_xvfb.sh <script> <args...>
set -euo pipefail
script="$1"; shift
exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" bash -c '
  evilwm >/dev/null 2>&1 &
  wm=$!
  trap "kill $wm 2>/dev/null || true" EXIT
  sleep 0.3
  bash "$@"
' _ "$script" "$@"
