#!/usr/bin/env bash
# Starts Tetrafol. On a display it simply runs there. Without one it runs headless under a
# private Xvfb, leaves a screenshot of the main window in out/window.png and closes again.
set -euo pipefail
here=$(dirname "$0")
source "$here/env.sh" 2>/dev/null
exe=$root/build/Tetrafol.exe

if [ -n "${DISPLAY:-}" ]; then
  exec bash "$here/with-services.sh" bash "$here/wine-exec.sh" "$exe"
fi
TETRAFOL_HEADLESS=1 exec bash "$here/with-services.sh" bash "$here/headless-run.sh" "$exe"
