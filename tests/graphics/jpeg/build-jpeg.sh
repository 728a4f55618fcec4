#!/usr/bin/env bash
# Builds libjpeg-turbo natively from the same Debian source the program's cross-build uses,
# with clang under AddressSanitizer, UBSan and the fuzzer's coverage, into $1 (a folder of
# the native build). Without its SIMD code: the sanitizers see only instrumented C. A stamp
# makes a second run return at once.
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
out=$1
[ -f "$out/stamp" ] && exit 0
src=$(find "$root/deps/src-jpeg" -maxdepth 1 -mindepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)
if [ -z "$src" ]; then
    echo "no libjpeg-turbo source under deps/src-jpeg (run scripts/build-deps.sh)" >&2
    exit 1
fi
rm -rf "$out"
flags="-g -O1 -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S "$src" -B "$out/build" -G "Unix Makefiles" -DCMAKE_C_COMPILER=clang \
    -DCMAKE_BUILD_TYPE=None -DCMAKE_C_FLAGS="$flags" -DCMAKE_INSTALL_PREFIX="$out" \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF >/dev/null
cmake --build "$out/build" -j"$(nproc)" --target jpeg-static >/dev/null
mkdir -p "$out/lib" "$out/include"
cp "$out/build/libjpeg.a" "$out/lib/"
cp "$out/build/jconfig.h" "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$out/include/"
touch "$out/stamp"
