#!/usr/bin/env bash
# Builds and runs the reduction benchmark (area average against stb_image_resize) under the project's Wine (not a test).
# BUILD: the build directory (default build); TETRAFOL_RIG picks the rig as elsewhere.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${BUILD:-$root/build}
cd "$root"
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-exec.sh" >/dev/null
cmake --build "$build" -j"$(nproc)" --target reduce_bench >/dev/null
TETRAFOL_HEADLESS=1 bash scripts/with-services.sh bash scripts/wine-exec.sh "$build/reduce_bench.exe" "$@"
