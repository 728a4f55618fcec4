#!/usr/bin/env bash
# Builds the release of the current commit twice, from two clones in two different folders,
# one after the other, and compares the zips' SHA-256 sums; fails when they differ.
# The second build runs without ccache, in another time zone and with another umask, so that
# neither the first build's objects nor the machine's settings can make the two agree.
# Each clone gets a copy of this tree's deps/ (libjpeg-turbo's source; make dist builds the
# library anew inside the clone); REPRO_DEPS=build has each clone fetch and build its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse HEAD)
work=$(mktemp -d /tmp/tetrafol-repro.XXXXXX)
trap 'rm -rf "$work"' EXIT

build_in() {
  local dir=$1; shift
  git clone -q "$root" "$dir"
  git -C "$dir" checkout -q "$commit"
  [ "${REPRO_DEPS:-copy}" = build ] || cp -a "$root/deps" "$dir/deps"
  echo "build in $dir, started $(date -u '+%F %T') UTC" >&2
  (cd "$dir" && env "$@" make dist) > "$dir.log" 2>&1 || { cat "$dir.log" >&2; exit 1; }
  (cd "$dir/out/dist" && sha256sum -- *.zip)
}

echo "commit $commit"
first=$(build_in "$work/one" TZ=UTC)
echo "$first  ($work/one)"
second=$(umask 0002 && build_in "$work/elsewhere/two" TZ=Asia/Tokyo CCACHE_DISABLE=1)
echo "$second  ($work/elsewhere/two)"
if [ "${first%% *}" = "${second%% *}" ]; then
  echo "identical"
  unzip -lv "$work/one/out/dist/"*.zip
  ls -l "$work/one/out/dist/"*.zip
else
  echo "DIFFERENT" >&2
  diff <(unzip -lv "$work/one/out/dist/"*.zip) <(unzip -lv "$work/elsewhere/two/out/dist/"*.zip) >&2
  exit 1
fi
