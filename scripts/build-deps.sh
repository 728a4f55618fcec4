#!/usr/bin/env bash
# Cross-builds the two third-party libraries into deps/ (git-ignored):
#  - libjpeg-turbo from Debian's source package, static, with its SIMD code;
#  - GoogleTest from the sources Debian installs under /usr/src/googletest.
# Each step leaves a stamp file, so a second run returns at once.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/env.sh"  # jpeg_source
deps=$root/deps
toolchain=$root/cmake/mingw-w64-x86_64.cmake
mkdir -p "$deps"

if [ ! -f "$deps/libjpeg-turbo.stamp" ]; then
  rm -rf "$deps/src-jpeg" "$deps/build-jpeg" "$deps/libjpeg-turbo"
  mkdir -p "$deps/src-jpeg"
  (cd "$deps/src-jpeg" && apt-get source -q libjpeg-turbo >/dev/null)
  bash "$root/scripts/build-jpeg.sh" "$(jpeg_source)" "$deps/build-jpeg" "$deps/libjpeg-turbo"
  touch "$deps/libjpeg-turbo.stamp"
fi

if [ ! -f "$deps/googletest.stamp" ]; then
  rm -rf "$deps/build-gtest" "$deps/googletest"
  cmake -S /usr/src/googletest -B "$deps/build-gtest" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps/googletest" -DBUILD_GMOCK=OFF \
    -Dgtest_force_shared_crt=OFF -DCMAKE_CXX_FLAGS="-static" >/dev/null
  cmake --build "$deps/build-gtest" -j"$(nproc)" >/dev/null
  cmake --install "$deps/build-gtest" >/dev/null
  touch "$deps/googletest.stamp"
fi
