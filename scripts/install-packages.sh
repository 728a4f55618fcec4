#!/usr/bin/env bash
# Installs the Debian packages the build and the headless test rig need.
# Quick when everything is already there: it only calls apt-get for what is missing.
set -euo pipefail

packages=(
  g++-mingw-w64-x86-64-posix cmake make nasm dpkg-dev
  wine wine64 xvfb xauth xdotool x11-apps imagemagick
  fonts-ipafont-gothic fonts-wine
  cups cups-client cups-bsd printer-driver-cups-pdf libcups2 ghostscript poppler-utils
  googletest clang libclang-rt-14-dev locales libjpeg-turbo-progs libstb-dev
  python3 python3-xlib unzip
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

# Debian source packages need deb-src entries; derive them from the machine's own deb entries.
need_src=0
if ! grep -rqs '^Types:.*deb-src' /etc/apt/sources.list.d/ && ! grep -qs '^deb-src' /etc/apt/sources.list; then
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -e "$f" ] || continue
    sed 's/^Types: deb$/Types: deb-src/' "$f" > "/etc/apt/sources.list.d/tetrafol-src-$(basename "$f")"
  done
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list; then
    grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' > /etc/apt/sources.list.d/tetrafol-src.list
  fi
  need_src=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_src -eq 1 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
fi
if [ ${#missing[@]} -gt 0 ]; then
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# Wine maps file names through the host's locale: without a generated ja_JP.UTF-8 it cannot
# open files whose names are not ASCII.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
