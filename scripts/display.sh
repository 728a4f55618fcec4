#!/usr/bin/env bash
# start: starts a private Xvfb display (TETRAFOL_SCREEN: its size and depth, 1024x768x24 when
# unset) and prints its number; stop: stops it by its pid.
set -euo pipefail
source "$(dirname "$0")/env.sh" 2>/dev/null
pidfile=$run_dir/xvfb.pid
case "${1:-}" in
start)
  rm -f "$run_dir/xvfb.display"
  Xvfb -displayfd 5 -screen 0 "${TETRAFOL_SCREEN:-1024x768x24}" -nolisten tcp -ac 5>"$run_dir/xvfb.display" >"$run_dir/xvfb.log" 2>&1 &
  echo $! > "$pidfile"
  for _ in $(seq 100); do [ -s "$run_dir/xvfb.display" ] && break; sleep 0.1; done
  [ -s "$run_dir/xvfb.display" ] || { echo "Xvfb did not start" >&2; cat "$run_dir/xvfb.log" >&2; exit 1; }
  echo ":$(head -n 1 "$run_dir/xvfb.display")"
  ;;
stop)
  [ -f "$pidfile" ] && kill "$(cat "$pidfile")" 2>/dev/null || true
  rm -f "$pidfile"
  ;;
*) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
