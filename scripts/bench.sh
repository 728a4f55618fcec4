#!/usr/bin/env bash
# make bench: every benchmark, one after the other in one run, each measured side by side
# with its reference, and one table of the results on the terminal and in out/bench.md.
# Benchmarks are not tests: nothing here passes or fails on a time.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=${BUILD:-$root/build}
out=$root/out
mkdir -p "$out"
log=$(mktemp /tmp/tetrafol-bench-log.XXXXXX)
trap 'rm -f "$log"' EXIT

cd "$root"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-exec.sh" >/dev/null
cmake --build "$build" -j"$(nproc)" --target Tetrafol tetrafol_whole_decode ui_tests unit_tests bitmap_bench jpeg_bench >/dev/null || exit 1

# Runs one benchmark, keeping its whole output for the raw section of out/bench.md.
run() {
  local title=$1
  shift
  echo "== $title" >&2
  local text
  text=$("$@" 2>&1 | tr -d '\r' | grep -v '^wine: Read access denied')
  printf '### %s\n\n```\n%s\n```\n\n' "$title" "$text" >>"$log"
  printf '%s\n' "$text"
}
# The first number after the label $2 in the text $1.
number() {
  local line
  line=$(grep -F -m 1 -- "$2" <<<"$1") || return 0
  grep -oE '[0-9]+(\.[0-9]+)?' <<<"${line#*"$2"}" | head -n 1
}

rows=()
row() { rows+=("| $1 | $2 | $3 | $4 | ${5:-} | ${6:-} |"); }

# JPEG decoding, against the same library decode alone, and against djpeg: one line per depth.
if [ -f tests/bench/JpegBench.cpp ]; then
  text=$(run "JPEG decode" env BUILD="$build" bash tests/bench/run-in-wine.sh jpeg_bench)
  # "jpeg decode 6000x4000 24-bit (5.7 MB file, median of 7, -dct float): tetrafol 105.4 ms,
  # libjpeg-turbo alone in the same process 103.0 ms, ratio 1.02 (goal <= 1.05); djpeg to a
  # file in memory 110.5 ms, ratio 0.95; ..."
  lines=$(sed -nE 's/^jpeg decode ([0-9x]+) ([0-9]+)-bit \(([^,]*), [^,]*, ([^)]*)\): tetrafol ([0-9.]+) ms, libjpeg-turbo alone in the same process ([0-9.]+) ms, ratio ([0-9.]+).*; djpeg to a file in memory ([0-9.]+) ms, ratio ([0-9.]+);.*/\1|\2|\3|\4|\5|\6|\7|\8|\9/p' <<<"$text")
  [ -n "$lines" ] || row "JPEG decode" "no result (see the raw output)" "libjpeg-turbo" "-"
  while IFS='|' read -r size depth file args ours library ratio djpeg dratio; do
    [ -n "$size" ] || continue
    row "JPEG decode ${size/x/ x }, ${depth}-bit output ($file)" "$ours ms" \
      "the same libjpeg-turbo decode alone ($args), in the same process, into freshly committed memory: $library ms" \
      "$ratio" "djpeg $args, to a file in memory: $djpeg ms" "$dratio"
  done <<<"$lines"
else
  row "JPEG decode" "not built yet" "libjpeg-turbo" "-"
fi

# BMP loading, against reading the file's bytes into memory as fresh as the section's.
text=$(run "BMP load" env BUILD="$build" bash tests/bench/run-in-wine.sh bitmap_bench)
read_ms=$(number "$text" "read bytes into memory:")
load_ms=$(number "$text" "load into TBitmap:")
ratio=$(number "$text" "ratio load / read:")
row "BMP load, 24-bit 6000 x 4000 (72 MB)" "${load_ms:-?} ms" "reading the file into freshly committed memory (VirtualAlloc): ${read_ms:-?} ms" "${ratio:-?}"

# Reducing a photo to its printed cell: the program's area average against stb_image_resize
# (built where Debian's libstb-dev is installed, as install-packages.sh does).
text=$(run "Reduction" env BUILD="$build" bash tests/bench/run-in-wine.sh reduce_bench)
ours=$(number "$text" "area average (BoxReduce):")
stb=$(number "$text" "stb_image_resize, box filter:")
ratio=$(number "$text" "ratio area average / stb:")
row "Reducing 6000 x 4000 to 1604 x 1069 (a photo to its printed cell), 32-bit pixels" "area average: ${ours:-?} ms" \
  "stb_image_resize, box filter, same pixels: ${stb:-?} ms" "${ratio:-?}"

# The preview window dragged smaller step by step: a photo's repaint against a small picture's.
text=$(run "Preview resize" env TETRAFOL_HEADLESS=1 bash scripts/with-services.sh bash scripts/wine-exec.sh \
  "$build/unit_tests.exe" --gtest_also_run_disabled_tests --gtest_filter='PreviewResizeBenchmark.*')
large=$(number "$text" "6000 x 4000 picture:")
small=$(number "$text" "640 x 480 picture:")
ratio=$(number "$text" "ratio:")
row "Repaint of the preview window at each step of resizing it, 6000 x 4000 picture (median of 25 steps)" \
  "${large:-?} ms" "the same with a 640 x 480 picture: ${small:-?} ms" "${ratio:-?}"

# The sheet: click on 印刷 to the finished job, against montage's 2 x 2 sheet; once with
# BMPs and once with JPEG photos (decoded at the size each draw needs). Each side
# three times, medians. The BMP run also times repainting the main window with the four
# pictures in its slots against the same window empty.
includes="the print dialog, then each picture reduced to its cell and drawn, Wine's PostScript driver and the spooler writing the job"
for kind in bmp jpeg; do
  if [ $kind = bmp ]; then what="four 24-bit 6000 x 4000 BMPs"; else what="four 6000 x 4000 JPEG photos"; fi
  text=$(run "Print sheet ($kind)" env PICTURES=$kind bash scripts/bench-print-sheet.sh "$build")
  sheet=$(number "$text" "tetrafol click-to-job-file:")
  confirm=$(number "$text" "of which after confirming the dialog:")
  bytes=$(number "$text" "job size:")
  montage=$(number "$text" "imagemagick montage to pdf:")
  montage_bytes=$(number "$text" "montage pdf size:")
  ratio=$(number "$text" "ratio tetrafol / montage:")
  row "Print: click on 印刷 to the finished job, $what (median of 3; includes $includes)" \
    "${sheet:-?} s, job ${bytes:-?} bytes" \
    "ImageMagick montage, 2 x 2 into a PDF (median of 3): ${montage:-?} s, ${montage_bytes:-?} bytes" "${ratio:-?}"
  own=$(sed -n "s/^tetrafol's own code: \([0-9.]*\) s (\([0-9.]*\) %.*/\1 s (\2 %)/p" <<<"$text")
  platform=$(sed -n 's/^platform (GDI, printer driver, spooler): \([0-9.]*\) s (\([0-9.]*\) %).*/\1 s (\2 %)/p' <<<"$text")
  if [ $kind = bmp ]; then own_work="reducing the pictures to their cells"
  else own_work="decoding each photo at the eighth of its size that covers its cell, and reducing it to the cell"; fi
  row "&nbsp;&nbsp;of its ${confirm:-?} s after the print dialog: Tetrafol's own code ($own_work)" \
    "${own:-?}" "" ""
  row "&nbsp;&nbsp;of its ${confirm:-?} s after the print dialog: GDI, printer driver and spooler" "${platform:-?}" "" ""
  if [ $kind = bmp ]; then
    full=$(number "$text" "repaint with four pictures:")
    empty=$(number "$text" "repaint empty:")
    ratio=$( [ -n "$full" ] && [ -n "$empty" ] && printf '%.2f' "$(echo "$full / $empty" | bc -l)")
    row "Repainting the main window with four 6000 x 4000 pictures in its slots (median of 10 forced repaints)" \
      "${full:-?} ms" "the same window with its slots empty: ${empty:-?} ms" "${ratio:-?}"
  fi
done

# Start-up to the first painted window, against Wine's notepad.
text=$(run "Start-up" env TETRAFOL_EXE="$build/Tetrafol.exe" TETRAFOL_RIG=bench TETRAFOL_HEADLESS=1 \
  bash scripts/with-services.sh bash scripts/wine-exec.sh "$build/ui_tests.exe" \
  --gtest_also_run_disabled_tests --gtest_filter='StartupBenchmark.DISABLED_StartToFirstPaint')
tetrafol=$(number "$text" "startup_tetrafol_seconds=")
notepad=$(number "$text" "startup_notepad_seconds=")
ratio=$( [ -n "$tetrafol" ] && [ -n "$notepad" ] && printf '%.2f' "$(echo "$tetrafol / $notepad" | bc -l)")
row "Start-up to the first painted window (median of 5)" "${tetrafol:-?} s" \
  "Wine's notepad: ${notepad:-?} s" "${ratio:-?}"

# Big phone photos: selected in the dialog and loaded into a slot, beside the same program
# decoding them whole (the way before they were decoded at the size drawn); four 108 MP
# photos in the slots: memory, and the printed cell against the whole decode's.
text=$(run "Photos" env MEMORY=1 bash scripts/bench-photos.sh "$build")
ratio() { [ -n "$1" ] && [ -n "$2" ] && printf '%.2f' "$(echo "$1 / $2" | bc -l)"; }
for mp in 24 108; do
  line=$(grep -m 1 "^photo photo-${mp}mp.jpg:" <<<"$text" || true)
  select=$(number "$line" "select to preview")
  select_whole=$(number "${line#*select to preview}" "whole decode")
  load=$(number "$line" "OK to slot")
  load_whole=$(number "${line#*OK to slot}" "whole decode")
  row "A ${mp} MP JPEG photo selected in the picture-open dialog: click to painted preview (median of 3)" "${select:-?} s" \
    "the same program decoding the photo whole when drawn: ${select_whole:-?} s" "$(ratio "$select" "$select_whole")"
  row "The same photo loaded into a slot: OK to painted slot (median of 3)" "${load:-?} s" \
    "the same program decoding the photo whole when drawn: ${load_whole:-?} s" "$(ratio "$load" "$load_whole")"
done
scaled=$(grep -m 1 '^decoded at the drawn size:' <<<"$text" || true)
whole=$(grep -m 1 '^whole decode:' <<<"$text" || true)
filled=$(number "$scaled" "in the slots +"); filled_whole=$(number "$whole" "in the slots +")
peak=$(number "$scaled" "printing +"); peak_whole=$(number "$whole" "printing +")
row "Four 108 MP photos in the slots: resident memory over the empty window ($(number "$scaled" "empty window") MB)" \
  "+${filled:-?} MB" "the same program decoding the photos whole when drawn: +${filled_whole:-?} MB" "$(ratio "$filled" "$filled_whole")"
row "&nbsp;&nbsp;the highest while the sheet of the four prints, over the empty window" "+${peak:-?} MB" \
  "the same program decoding the photos whole when drawn: +${peak_whole:-?} MB" "$(ratio "$peak" "$peak_whole")"
cellline=$(grep -m 1 '^printed cell' <<<"$text" || true)
row "A 108 MP photo's printed cell, against the same reduced from the whole decode: mean absolute difference per channel" \
  "$(number "$cellline" "mean absolute difference") of 255 (largest $(number "$cellline" "largest"))" "" ""

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
memory=$(awk '/MemTotal/ {printf "%.0f GB", $2 / 1048576}' /proc/meminfo)
system=$(. /etc/os-release && echo "$PRETTY_NAME")
wine=$(wine --version 2>/dev/null)
{
  echo "Measured $(date -u '+%Y-%m-%d %H:%M UTC') on ${cpu:-an unknown CPU}, $(nproc) cores, $memory," \
    "$system, $wine, headless (Xvfb)."
  echo
  echo "| benchmark | Tetrafol | reference | ratio Tetrafol / reference | second reference | ratio Tetrafol / second |"
  echo "|---|---|---|---|---|---|"
  printf '%s\n' "${rows[@]}"
} >"$out/bench.md.table"
{
  cat "$out/bench.md.table"
  echo
  echo "## Raw output"
  echo
  cat "$log"
} >"$out/bench.md"
echo
cat "$out/bench.md.table"
rm -f "$out/bench.md.table"
echo
echo "(also in $out/bench.md, with each benchmark's own output)"
