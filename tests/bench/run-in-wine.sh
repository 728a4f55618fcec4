#!/usr/bin/env bash
# Benchmarks, not tests: builds one benchmark program and runs it under the project's Wine.
#   bash tests/bench/run-in-wine.sh bitmap_bench   loading a 24-bit 6000 x 4000 BMP
#   bash tests/bench/run-in-wine.sh reduce_bench   the area average against stb_image_resize
#   bash tests/bench/run-in-wine.sh jpeg_bench     a 6000 x 4000 JPEG decoded through the
#     program's own path (load, then the first draw's decode into the picture's bitmap)
#     against the same libjpeg-turbo decode alone, with the same settings, in the same kind
#     of process (its rows into freshly committed memory of the bitmap's size): the ratio is
#     the program's own overhead, goal at most 1.05. Beside it, libjpeg-turbo's djpeg
#     (native), twice per round: writing the whole picture as a PPM file into memory
#     (tmpfs), the same work as filling the program's 72 MB bitmap, and throwing its rows
#     away (/dev/null), which only decodes. The sides alternate round by round, so a busy
#     machine slows all alike; medians are compared. One line per case with every ratio.
# Further arguments go to the program (not jpeg_bench's). BUILD: the build directory (default
# build); ROUNDS: jpeg_bench's rounds per case (default 7); TETRAFOL_RIG picks the rig as
# elsewhere.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$root/build}
target=${1:?usage: $0 bitmap_bench|reduce_bench|jpeg_bench [arguments]}
shift
cd "$root"
if [ -z "${BENCH_IN_RIG:-}" ]; then
    if [ "$target" = jpeg_bench ]; then
        command -v djpeg >/dev/null || { echo "djpeg missing: install libjpeg-turbo-progs" >&2; exit 1; }
    fi
    cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
      -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-exec.sh" >/dev/null
    cmake --build "$build" -j"$(nproc)" --target "$target" >/dev/null
    # Everything below runs once inside the private Wine rig.
    BENCH_IN_RIG=1 TETRAFOL_HEADLESS=1 exec bash scripts/with-services.sh bash "$0" "$target" "$@"
fi
[ "$target" = jpeg_bench ] || exec bash scripts/wine-exec.sh "$build/$target.exe" "$@"

rounds=${ROUNDS:-7}
work=$(mktemp -d)
shm=$(mktemp -d -p /dev/shm 2>/dev/null || mktemp -d)
trap 'rm -rf "$work" "$shm"' EXIT
photo=$work/photo-6000x4000.jpg
winphoto="Z:${photo//\//\\}"
bench() { bash scripts/wine-exec.sh "$build/jpeg_bench.exe" "$@" | tr -d '\r' | tail -n 1; }
bench write "$winphoto" >/dev/null
size=$(stat -c %s "$photo")
median() { sort -n | awk '{a[NR]=$1} END {printf "%.1f", a[int((NR+1)/2)]}'; }
# Milliseconds that one djpeg run takes.
djpeg_ms() {
    local t0=$(date +%s%N)
    djpeg "$@"
    awk -v n=$(($(date +%s%N) - t0)) 'BEGIN {printf "%.1f", n / 1e6}'
}

for depth in 24 8; do
    if [ "$depth" = 24 ]; then args=(-dct float); else args=(-dct float -colors 236); fi
    djpeg "${args[@]}" -outfile /dev/null "$photo"  # warms the file cache
    ours=() library=() whole=() discarded=()
    for _ in $(seq "$rounds"); do
        whole+=("$(djpeg_ms "${args[@]}" -outfile "$shm/out.ppm" "$photo")")
        rm -f "$shm/out.ppm"
        discarded+=("$(djpeg_ms "${args[@]}" -outfile /dev/null "$photo")")
        ours+=("$(bench decode "$winphoto" "$depth" 1)")
        library+=("$(bench library "$winphoto" "$depth" 1)")
    done
    o=$(printf '%s\n' "${ours[@]}" | median)
    l=$(printf '%s\n' "${library[@]}" | median)
    w=$(printf '%s\n' "${whole[@]}" | median)
    x=$(printf '%s\n' "${discarded[@]}" | median)
    awk -v d="$depth" -v o="$o" -v l="$l" -v w="$w" -v x="$x" -v s="$size" -v a="${args[*]}" -v n="$rounds" 'BEGIN {
        printf "jpeg decode 6000x4000 %d-bit (%.1f MB file, median of %d, %s): tetrafol %.1f ms, libjpeg-turbo alone in the same process %.1f ms, ratio %.2f (goal <= 1.05); djpeg to a file in memory %.1f ms, ratio %.2f; djpeg to /dev/null %.1f ms, ratio %.2f\n",
               d, s / 1e6, n, a, o, l, o / l, w, o / w, x, o / x }'
done
