#!/usr/bin/env bash
# Benchmark (not a test): how long Tetrafol takes from the click on "印刷" to the
# spooler's finished job file for four 6000 x 4000 pictures, and how big that job is,
# beside ImageMagick's montage laying the same four pictures out 2 x 2 into a PDF, as a
# ratio, in one run; each side three times, medians. Also the main window's repaint with
# the four pictures in its slots against the same window empty.
# Usage: bash scripts/bench-print-sheet.sh [build-dir]   (default: build)
# PICTURES=jpeg uses four photo-like JPEGs instead of the 24-bit BMPs (PICTURES=bmp).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
work=$(mktemp -d /tmp/tetrafol-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

kind=${PICTURES:-bmp}
echo "making four 6000x4000 pictures ($kind) in $work" >&2
colours=(red-yellow blue-cyan green-white magenta-black)
pictures=()
for i in 0 1 2 3; do
  if [ "$kind" = jpeg ]; then
    # Grain on a gradient, as a photo has: JPEG files of a photo's size (about 5 MB).
    convert -size 1500x1000 "gradient:${colours[$i]}" -attenuate 0.5 +noise Gaussian \
      -resize '6000x4000!' -quality 90 "$work/picture$i.jpg"
    pictures+=("$work/picture$i.jpg")
  else
    convert -size 6000x4000 "gradient:${colours[$i]}" -type TrueColor "BMP3:$work/picture$i.bmp"
    pictures+=("$work/picture$i.bmp")
  fi
done

echo "timing the program (click on 印刷 to the job file)" >&2
export TETRAFOL_BENCH_PICTURES=$(IFS=:; echo "${pictures[*]}")
export TETRAFOL_EXE=$build/Tetrafol.exe
out=$(TETRAFOL_RIG=${TETRAFOL_RIG:-bench} TETRAFOL_HEADLESS=1 bash "$here/with-services.sh" \
  bash "$here/wine-exec.sh" "$build/ui_tests.exe" --gtest_also_run_disabled_tests \
  --gtest_filter='PrintBenchmark.DISABLED_ClickToJobFile' 2>&1) || { echo "$out" >&2; exit 1; }
sheet=$(echo "$out" | sed -n 's/^sheet_click_to_file_seconds=//p' | tr -d '\r')
confirm=$(echo "$out" | sed -n 's/^sheet_confirm_to_file_seconds=//p' | tr -d '\r')
own_share=$(echo "$out" | sed -n 's/^sheet_own_share=//p' | tr -d '\r')
samples=$(echo "$out" | sed -n 's/^sheet_samples=//p' | tr -d '\r')
loading_share=$(echo "$out" | sed -n 's/^loading_own_share=//p' | tr -d '\r')
job_file=$(echo "$out" | sed -n 's/^sheet_job_file=//p' | tr -d '\r')
job_bytes=$(stat -c %s "$job_file" 2>/dev/null || echo '?')
repaint_empty=$(echo "$out" | sed -n 's/^repaint_empty_ms=//p' | tr -d '\r')
repaint_full=$(echo "$out" | sed -n 's/^repaint_full_ms=//p' | tr -d '\r')
modules=$(echo "$out" | sed -n 's/^sheet_module=//p' | tr -d '\r' | paste -sd ',' | sed 's/,/, /g')
[ -n "$sheet" ] || { echo "$out" >&2; echo "no timing from the program" >&2; exit 1; }

echo "timing ImageMagick montage (2 x 2 into a PDF)" >&2
# The same layout work as the sheet: each picture fitted into a cell of the sheet's size
# (A4 landscape at 300 dpi: 1604 x 1089) with 100 pixels between the cells. Full-size
# tiles (12000 x 8000) exceed the system policy's pixel-cache limits. The policy also
# refuses the coder name "PDF"; "PDFA" is the same PDF writer (producing PDF/A).
montage_times=()
for _ in 1 2 3; do
  start=$(date +%s.%N)
  montage "${pictures[@]}" -tile 2x2 -geometry '1604x1089+50+50' "PDFA:$work/montage.pdf"
  end=$(date +%s.%N)
  montage_times+=("$(echo "$end - $start" | bc -l)")
done
montage_s=$(printf '%s\n' "${montage_times[@]}" | sort -n | sed -n 2p)
montage_bytes=$(stat -c %s "$work/montage.pdf")

printf 'tetrafol click-to-job-file: %.2f s (median of 3; of which after confirming the dialog: %.2f s)\n' "$sheet" "$confirm"
echo "job size: $job_bytes bytes (PostScript, as the spooler received it)"
printf 'imagemagick montage to pdf: %.2f s (median of 3)\n' "$montage_s"
echo "montage pdf size: $montage_bytes bytes"
[ -n "$repaint_full" ] && echo "repaint with four pictures: $repaint_full ms; repaint empty: $repaint_empty ms (medians of 10)"
printf 'ratio tetrafol / montage: %.3f\n' "$(echo "$sheet / $montage_s" | bc -l)"
# Where the time after confirming went, from samples of the program's thread: its own code
# (the executable with libjpeg linked in, and the C library it calls) against the rest
# (GDI, Wine's printer driver and the spooler, and waiting for them).
if [ -n "$own_share" ]; then
  printf "tetrafol's own code: %.2f s (%.1f %% of the time after confirming; %s samples)\n" \
    "$(echo "$confirm * $own_share" | bc -l)" "$(echo "100 * $own_share" | bc -l)" "$samples"
  printf 'platform (GDI, printer driver, spooler): %.2f s (%.1f %%)\n' \
    "$(echo "$confirm * (1 - $own_share)" | bc -l)" "$(echo "100 * (1 - $own_share)" | bc -l)"
  echo "modules with 2 % or more of the samples: $modules"
  printf "(the same sampling while the pictures load and first show: %.1f %% in tetrafol's own code)\n" \
    "$(echo "100 * ${loading_share:-0}" | bc -l)"
fi
