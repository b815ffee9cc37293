#!/usr/bin/env bash
# Builds the checked configuration into $CHECKED_BUILD_DIR (default: build-checked/), where the
# standard library checks every container index and iterator range at run time, and runs the
# unit tests there; the end-to-end, installer and run script tests run against the normal build
# (scripts/test.sh). Arguments go to ctest. Exits with ctest's status.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${CHECKED_BUILD_DIR:-$ROOT/build-checked}
"$ROOT/scripts/setup.sh"
if [ ! -f "$BUILD_DIR/CMakeCache.txt" ]; then
  cmake -G "${CMAKE_GENERATOR:-Ninja}" -S "$ROOT" -B "$BUILD_DIR" \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DLEXMORA_CHECKED=ON >/dev/null
fi
exec "$ROOT/scripts/test.sh" -E '^(e2e_|installer_|run_script_)' "$@"
