#!/usr/bin/env bash
# Runs a Windows executable under the project's Wine prefix (ctest's emulator).
source "$(dirname "$0")/env.sh" 2>/dev/null
exec env LC_ALL="$TETRAFOL_LOCALE" wine "$@"
