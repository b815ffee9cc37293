#!/usr/bin/env bash
# Sets up, builds, and runs every test through ctest under Wine and Xvfb.
# Exits with ctest's status; the last lines are ctest's summary.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
"$ROOT/scripts/build.sh" || exit 1
export LEXMORA_OWN_DISPLAY=1
# Windows are hidden and shown hundreds of times; in the Wine desktop each hide is quick.
export LEXMORA_WINE_DESKTOP=1
. "$ROOT/scripts/wine-env.sh"
trap lexmora_wine_down EXIT
lexmora_wine_up
cd "$BUILD_DIR"
# Four at a time: the tests that hold no windows (and the installer's and the run script's, which
# have a display and a prefix of their own) run beside the window tests, which take turns
# (cmake/LexmoraTest.cmake).
ctest --output-on-failure --timeout 900 -j"${LEXMORA_TEST_JOBS:-4}" "$@" </dev/null
status=$?
exit $status
