#!/usr/bin/env bash
# make dist: builds the release in a new build folder and leaves
# out/dist/Tetrafol-<version>-win64.zip. The version is the project's, from CMakeLists.txt.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
source "$root/scripts/env.sh"  # jpeg_source
build=$root/build-dist
SOURCE_DATE_EPOCH=$(git -C "$root" log -1 --format=%ct)
export SOURCE_DATE_EPOCH
if [ -n "$(git -C "$root" status --porcelain --untracked-files=no)" ]; then
  echo "dist: the tree has uncommitted changes; the zip is not the commit's" >&2
fi

rm -rf "$build"
# libjpeg-turbo too is built anew from its source in deps/, whatever deps/ holds built.
bash "$root/scripts/build-jpeg.sh" "$(jpeg_source)" "$build/build-jpeg" "$build/libjpeg-turbo"
cmake -S "$root" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DTETRAFOL_RELEASE=ON -DJPEG_ROOT="$build/libjpeg-turbo" >/dev/null
cmake --build "$build" -j"$(nproc)" --target Tetrafol
version=$(sed -n 's/^#define TETRAFOL_VERSION_TEXT "\(.*\)"$/\1/p' "$build/generated/Version.h")
zip=$root/out/dist/Tetrafol-$version-win64.zip
bash "$root/scripts/package-release.sh" "$build/Tetrafol.exe" "$version" "$zip"
echo "$zip"
