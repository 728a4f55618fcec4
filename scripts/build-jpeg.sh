#!/usr/bin/env bash
# Cross-builds libjpeg-turbo static, with its SIMD code: usage: SOURCE BUILD-FOLDER PREFIX.
# The library's version text names a build date; it is the source package's own date, not
# the day of the build, so that a later build gives the same bytes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
src=$1 build=$2 prefix=$3
stamp=$(dpkg-parsechangelog -l "$src/debian/changelog" -S Timestamp)
cmake -S "$src" -B "$build" -G "Unix Makefiles" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD="$(date -u -d "@$stamp" +%Y%m%d)" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DWITH_TURBOJPEG=OFF \
  -DCMAKE_ASM_NASM_COMPILER=nasm >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
cmake --install "$build" >/dev/null
