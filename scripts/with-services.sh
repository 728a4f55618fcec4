#!/usr/bin/env bash
# Runs a command with the test rig up: the Wine prefix, a display (a private Xvfb unless
# one is set and TETRAFOL_HEADLESS is unset) and the private spooler. Stops what it started.
set -euo pipefail
here=$(dirname "$0")
source "$here/env.sh" 2>/dev/null
bash "$here/wine-prefix.sh"

started_display=0
cleanup() {
  bash "$here/spooler.sh" stop || true
  wineserver -k 2>/dev/null || true
  [ $started_display -eq 1 ] && bash "$here/display.sh" stop || true
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ] || [ -n "${TETRAFOL_HEADLESS:-}" ]; then
  DISPLAY=$(bash "$here/display.sh" start)
  export DISPLAY
  started_display=1
fi
CUPS_SERVER=$(bash "$here/spooler.sh" start)
export CUPS_SERVER TETRAFOL_PRINTS=$prints_dir
"$@"
