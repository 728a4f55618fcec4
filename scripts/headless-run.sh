#!/usr/bin/env bash
# Inside the rig: starts the program, photographs its main window, then closes it.
set -euo pipefail
here=$(dirname "$0")
source "$here/env.sh" 2>/dev/null
exe=$1
bash "$here/wine-exec.sh" "$exe" &
app=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Tetrafol$' | head -n 1)
sleep 1.5  # the first paint
import -window "$window" "$out_dir/window.png"
echo "screenshot of the main window: $out_dir/window.png"
# Close it as a user would: focus the window (a click on its face) and press Alt+F4.
eval "$(xdotool getwindowgeometry --shell "$window")"
xdotool mousemove $((X + 190)) $((Y + 150)) click 1 key alt+F4
for _ in $(seq 50); do kill -0 $app 2>/dev/null || break; sleep 0.1; done
if kill -0 $app 2>/dev/null; then
  echo "the program did not close; stopping it" >&2
  wineserver -k || true
fi
wait $app 2>/dev/null || true
