#!/usr/bin/env bash
# Inside the rig: the headless demo. tetrafol_demo.exe fills Tetrafol's four slots with
# four kinds of picture through the real dialogs and prints the sheet; this turns what it
# left into out/demo/{window,dialog}.png, the spooled job into sheet.pdf and its page into
# sheet.png.
set -euo pipefail
here=$(dirname "$0")
source "$here/env.sh" 2>/dev/null
build=${1:-$root/build}
demo=$out_dir/demo
rm -rf "$demo"
mkdir -p "$demo"

status=0
log=$(TETRAFOL_EXE=$build/Tetrafol.exe bash "$here/wine-exec.sh" "$build/tetrafol_demo.exe" "$demo" 2>&1 |
  tr -d '\r') || status=$?
# Wine's note about the root folder's volume label is noise here.
grep -v -e '^job=' -e '^summary=' -e '^wine: Read access denied' <<<"$log" || true
job=$(sed -n 's/^job=//p' <<<"$log")
summary=$(sed -n 's/^summary=//p' <<<"$log")

for shot in window dialog failure; do
  [ -f "$demo/$shot.bmp" ] && convert "$demo/$shot.bmp" "$demo/$shot.png" && rm -f "$demo/$shot.bmp"
done
if [ -n "$job" ] && [ -f "$job" ]; then
  # Wine spools a landscape page as a portrait sheet with the drawing turned; the PDF
  # gets a page rotation instead, so viewers show it the right way up.
  turn=()
  if head -c 4096 "$job" | grep -aq '^%%Orientation: Landscape'; then
    turn=(-c '<</Orientation 3>> setpagedevice' -f)
  fi
  gs -q -dSAFER -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -dAutoRotatePages=/None \
    -sOutputFile="$demo/sheet.pdf" "${turn[@]}" "$job"
  pdftoppm -r 60 -png -singlefile "$demo/sheet.pdf" "$demo/sheet"
fi

echo
for f in window.png dialog.png sheet.pdf sheet.png; do
  if [ -f "$demo/$f" ]; then echo "$demo/$f"; else echo "$demo/$f (missing)"; status=1; fi
done
echo "Tetrafol demo: ${summary:-no summary: the demo did not finish}"
exit $status
