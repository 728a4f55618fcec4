#!/usr/bin/env bash
# Builds the BMP reading core natively with clang, AddressSanitizer and UBSan, then either
# runs the checks over the generated files (default) or fuzzes for FUZZ_SECONDS seconds
# ("run.sh fuzz"), starting from the same files.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${NATIVE_BUILD:-$root/build-native}
mode=${1:-check}

cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
case "$mode" in
check)
    "$build/bmp_native_checks"
    ;;
fuzz)
    seconds=${FUZZ_SECONDS:-60}
    corpus=$build/fuzz-corpus
    mkdir -p "$corpus" "$build/fuzz-seeds"
    "$build/bmp_write_corpus" "$build/fuzz-seeds" >/dev/null
    # Crashes are written to the build directory as crash-*; any makes this fail.
    (cd "$build" && ./bmp_fuzz -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
        -print_final_stats=1 "$corpus" "$build/fuzz-seeds")
    ;;
*)
    echo "usage: $0 [check|fuzz]" >&2
    exit 2
    ;;
esac
