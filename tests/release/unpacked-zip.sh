#!/usr/bin/env bash
# The release zip as a user gets it: usage: EXE VERSION (run under scripts/with-services.sh).
# Zips the built exe, unpacks the zip into an empty folder and starts the exe from there in a
# fresh Wine prefix, then checks the main window, the guide and the notices.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
exe=$1 version=$2
work=$(mktemp -d)
export WINEPREFIX=$work/prefix
trap 'wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; [ ! -s "$work/wine.log" ] || cat "$work/wine.log" >&2; exit 1; }

zip=$work/Tetrafol-$version-win64.zip
bash "$root/scripts/package-release.sh" "$exe" "$version" "$zip"
mkdir "$work/unpacked" && cd "$work/unpacked"
unzip -q "$zip"
[ "$(ls | sort)" = "$(printf '%s\n' Tetrafol.exe お読みください.txt ライセンス.txt | sort)" ] ||
  fail "the zip holds: $(ls | tr '\n' ' ')"

# The version Windows shows in the exe's properties: the version block's UTF-16 strings.
shown=$(strings -el Tetrafol.exe | grep -A1 -x 'ProductVersion' | grep -v -x -e ProductVersion -e -- | sort -u)
[ "$shown" = "$version" ] || fail "the exe reports version '$shown', the zip is named $version"

while IFS='|' read -r file text; do
  grep -q -F -- "$text" "$file" || fail "$file does not say: $text"
done <<EOF
お読みください.txt|Tetrafol バージョン $shown
お読みください.txt|This software is based in part on the work of the Independent JPEG Group.
ライセンス.txt|Tetrafol $shown
ライセンス.txt|This software is based in part on the work of the Independent JPEG Group.
ライセンス.txt|libjpeg-turbo Licenses
ライセンス.txt|The Modified (3-clause) BSD License
ライセンス.txt|If only executable code is distributed, then the accompanying
ライセンス.txt|This software is provided 'as-is', without any express or implied
ライセンス.txt|Files: mingw-w64-crt/crt/*
ライセンス.txt|Files: mingw-w64-libraries/winpthreads/*
ライセンス.txt|Permission is hereby granted, free of charge, to any person obtaining
ライセンス.txt|GCC run-time: libstdc++ and libgcc
ライセンス.txt|Copyright (c) 1994
ライセンス.txt|in supporting documentation.  Hewlett-Packard Company makes no
ライセンス.txt|Silicon Graphics Computer Systems, Inc.
ライセンス.txt|in supporting documentation.  Silicon Graphics makes no
EOF
for file in お読みください.txt ライセンス.txt; do
  [ "$(head -c 3 "$file" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "$file has no byte-order mark"
  ! grep -q -v $'\r$' "$file" || fail "$file has a line without CRLF"
done

# Started from the folder with nothing beside it, in a prefix of its own; the printer is the
# rig's spooler's default queue.
LC_ALL=$TETRAFOL_LOCALE wine Tetrafol.exe >"$work/wine.log" 2>&1 &
app=$!
window=$(timeout 300 xdotool search --sync --onlyvisible --pid "$app" --name '^Tetrafol$' | head -n 1) ||
  fail "no main window"
# Painted: the four white "未設定" boxes cover about half of the window.
import -window "$window" "$root/out/release-window.png"
white=$(convert "$root/out/release-window.png" -fill black +opaque white -format '%[fx:mean]' info:)
awk -v w="$white" 'BEGIN { exit !(w > 0.35 && w < 0.75) }' || fail "the window is $white white"
xdotool key --window "$window" alt+F4 2>/dev/null
wait "$app" || fail "Tetrafol ended with $?"
echo "unpacked zip of Tetrafol $shown: $(ls | tr '\n' ' ')started, window $window painted ($white white), closed"
