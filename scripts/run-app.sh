#!/usr/bin/env bash
# Starts Tetrafol. On a display it simply runs there. Without one it runs the demo headless
# under a private Xvfb (scripts/demo.sh): four pictures in, one printed sheet out, in out/demo/.
set -euo pipefail
here=$(dirname "$0")
source "$here/env.sh" 2>/dev/null
exe=$root/build/Tetrafol.exe

if [ -n "${DISPLAY:-}" ]; then
  exec bash "$here/with-services.sh" bash "$here/wine-exec.sh" "$exe"
fi
TETRAFOL_HEADLESS=1 exec bash "$here/with-services.sh" bash "$here/demo.sh" "$root/build"
