#!/usr/bin/env bash
# Builds one benchmark program and runs it under the project's Wine (benchmarks are not tests):
#   bash tests/bench/run-in-wine.sh bitmap_bench   loading a 24-bit 6000 x 4000 BMP
#   bash tests/bench/run-in-wine.sh reduce_bench   the area average against stb_image_resize
# Further arguments go to the program. BUILD: the build directory (default build);
# TETRAFOL_RIG picks the rig as elsewhere.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$root/build}
target=${1:?usage: $0 bitmap_bench|reduce_bench [arguments]}
shift
cd "$root"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-exec.sh" >/dev/null
cmake --build "$build" -j"$(nproc)" --target "$target" >/dev/null
TETRAFOL_HEADLESS=1 bash scripts/with-services.sh bash scripts/wine-exec.sh "$build/$target.exe" "$@"
