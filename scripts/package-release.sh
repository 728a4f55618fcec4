#!/usr/bin/env bash
# Puts a built Tetrafol.exe into the release zip: usage: EXE VERSION ZIP.
# The zip holds the stripped exe, the Japanese guide and the third-party notices, the text
# files with CRLF line ends and a byte-order mark so that Notepad reads them as UTF-8.
# Its entries carry the commit's time (SOURCE_DATE_EPOCH when set), so the same exe gives
# the same zip.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
exe=$1 version=$2 zip=$3
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct)}
# strip writes a time into the PE header: this one, not the clock's.
export SOURCE_DATE_EPOCH=$epoch

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
# Windows' Notepad on a Japanese system: UTF-8 only with a BOM, and CRLF.
as_windows_text() { printf '\xef\xbb\xbf'; sed 's/\r$//; s/$/\r/'; }

x86_64-w64-mingw32-strip --strip-all -o "$stage/Tetrafol.exe" "$exe"
# Nothing in it may name the folders it was built in: this tree, the exe's build folder, or
# the folder libjpeg-turbo was built in (deps/ may have been copied from elsewhere).
jpeg_build=$(sed -n 's/^CMAKE_CACHEFILE_DIR:INTERNAL=//p' "$root/deps/build-jpeg/CMakeCache.txt" 2>/dev/null || true)
for folder in "$root" "$(cd "$(dirname "$exe")" && pwd)" ${jpeg_build:+"$(dirname "$jpeg_build")"}; do
  if grep -q -a -F -e "$folder" "$stage/Tetrafol.exe"; then
    echo "the stripped exe names the build folder $folder" >&2; exit 1
  fi
done
sed "s/@VERSION@/$version/g" "$root/release/guide-ja.txt" | as_windows_text > "$stage/お読みください.txt"
bash "$root/scripts/third-party-notices.sh" "$version" | as_windows_text > "$stage/ライセンス.txt"

mkdir -p "$(dirname "$zip")"
rm -f "$zip"
/usr/bin/python3 "$root/scripts/write-zip.py" "$zip" "$epoch" "$stage"
