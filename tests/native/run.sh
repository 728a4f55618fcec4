#!/usr/bin/env bash
# Builds the portable file-format cores natively with clang, AddressSanitizer and UBSan, then
# either runs every check program (default: each <format>_native_checks) or fuzzes each
# <format>_fuzz target for FUZZ_SECONDS seconds ("run.sh fuzz"; FUZZ_TARGET=<format> picks
# one), starting from the files that "write_corpus <format>" writes and those of its format
# in tests/data (written by other programs).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${NATIVE_BUILD:-$root/build-native}
mode=${1:-check}

cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
case "$mode" in
check)
    # Each check also reads the files other programs wrote (tests/data) of its own format.
    for checks in "$build"/*_native_checks; do
        "$checks" "$root"/tests/data/*
    done
    ;;
fuzz)
    seconds=${FUZZ_SECONDS:-60}
    for fuzzer in "$build"/*_fuzz; do
        name=$(basename "$fuzzer" _fuzz)
        [ -n "${FUZZ_TARGET:-}" ] && [ "$FUZZ_TARGET" != "$name" ] && continue
        corpus=$build/fuzz-corpus-$name seeds=$build/fuzz-seeds-$name
        mkdir -p "$corpus" "$seeds"
        "$build/write_corpus" "$name" "$seeds" >/dev/null
        # And the files other programs wrote in that format.
        declare -A extensions=([bmp]=bmp [icon]=ico [jpeg]=jpg [metafile]="emf wmf")
        for extension in ${extensions[$name]:-}; do
            cp "$root"/tests/data/*."$extension" "$seeds"/ 2>/dev/null || true
        done
        echo "fuzzing $name for ${seconds}s"
        # Crashes are written to the build directory as crash-*; any makes this fail.
        (cd "$build" && "$fuzzer" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
            -print_final_stats=1 "$corpus" "$seeds")
    done
    ;;
*)
    echo "usage: $0 [check|fuzz]" >&2
    exit 2
    ;;
esac
