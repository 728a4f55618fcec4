#!/usr/bin/env bash
# Benchmark (not a test): big phone photos in the program as it draws them (decoded at the
# smallest eighth of their size that covers what is drawn) beside the same program decoding
# every photo whole when drawn (build/whole-decode/Tetrafol.exe), in one run:
# - a 24 MP (6000 x 4000) and a 108 MP (12000 x 9000) photo selected in the picture-open
#   dialog (click to painted preview) and loaded into a slot (OK to painted slot), medians
#   of 3 each side;
# - with MEMORY=1 (make bench sets it), four 108 MP photos in the four slots: resident
#   memory over the empty window, the peak while the sheet prints, and how far the printed
#   cell is from the whole decode's.
# The photos are made once into a temporary folder (removed afterwards), never into the
# repository. Usage: bash scripts/bench-photos.sh [build-dir]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
work=$(mktemp -d /tmp/tetrafol-photos.XXXXXX)
trap 'rm -rf "$work"' EXIT

cmake --build "$build" -j"$(nproc)" --target Tetrafol tetrafol_whole_decode ui_tests >/dev/null
g++ -O2 -o "$work/photo-ppm" "$root/tests/bench/PhotoPpm.cpp"
# photo NAME WIDTH HEIGHT SEED: a photo alone in a folder of its own (the dialog then lists it alone).
photo() {
  mkdir -p "$work/$1"
  "$work/photo-ppm" "$3" "$4" "$5" | cjpeg -quality 90 -outfile "$work/$1/$2.jpg"
  echo "$work/$1/$2.jpg"
}
echo "making the photos in $work" >&2
p24=$(photo a photo-24mp 6000 4000 1)
p108=$(photo b photo-108mp 12000 9000 2)
ls -l "$p24" "$p108" | awk '{print $5, $NF}' | sed "s|$work/||" >&2

run() {
  TETRAFOL_EXE=$build/Tetrafol.exe TETRAFOL_WHOLE_EXE=$build/whole-decode/Tetrafol.exe \
    TETRAFOL_RIG=${TETRAFOL_RIG:-bench} TETRAFOL_HEADLESS=1 bash "$here/with-services.sh" \
    bash "$here/wine-exec.sh" "$build/ui_tests.exe" --gtest_also_run_disabled_tests --gtest_filter="$1" 2>&1 |
    tr -d '\r' | grep -E '^(photo |printed cell|whole decode|decoded at|\[  FAILED)' || true
}
TETRAFOL_BENCH_PHOTOS="$p24:$p108" run 'PhotoBenchmark.DISABLED_SelectAndLoad'
if [ "${MEMORY:-0}" = 1 ]; then
  others=()
  for i in 2 3 4; do others+=("$(photo "c$i" "photo-108mp-$i" 12000 9000 $((i + 1)))"); done
  TETRAFOL_BENCH_PHOTOS="$p108:${others[0]}:${others[1]}:${others[2]}" run 'PhotoBenchmark.DISABLED_FourPhotosMemory'
fi
