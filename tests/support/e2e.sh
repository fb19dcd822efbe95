# Helpers shared by the end-to-end scripts; sourced, not run. E2E_LOG may name the program's
# log, which is shown when something times out or fails.

e2e_show_log() {
  if [ -n "${E2E_LOG:-}" ] && [ -f "$E2E_LOG" ]; then cat "$E2E_LOG"; fi
}

# wait_for <description> <command...>: runs the command (a program or a shell function) every
# 0.1 s until it succeeds, for up to 10 s.
wait_for() {
  local what="$1"; shift
  for _ in $(seq 1 100); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "timed out waiting for: $what"
  e2e_show_log
  return 1
}

# wait_exit <pid> <cause>: the program ends within 5 s of <cause> and reports success.
wait_exit() {
  local pid="$1" cause="$2"
  for _ in $(seq 1 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then echo "the program did not end on $cause"; return 1; fi
  wait "$pid" || { echo "the program exited with an error after $cause"; e2e_show_log; return 1; }
}
