#!/usr/bin/env bash
# Sets up, builds, and runs every test through ctest under Wine and Xvfb.
# Exits with ctest's status; the last lines are ctest's summary.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
"$ROOT/scripts/build.sh" || exit 1
# The installer that the installer's test runs, packed again only when what it holds changed;
# after the rest of the build, since packing checks that everything is built.
"$ROOT/scripts/build.sh" --target lexmora_installer || exit 1
export LEXMORA_OWN_DISPLAY=1
# Windows are hidden and shown hundreds of times; in the Wine desktop each hide is quick.
export LEXMORA_WINE_DESKTOP=1
# One wineboot per build: the build's prefix, and every prefix a test makes for itself, is a copy
# of this template (scripts/wine-env.sh).
export LEXMORA_WINE_TEMPLATE=$BUILD_DIR/wineprefix-template
. "$ROOT/scripts/wine-env.sh"
trap lexmora_wine_down EXIT
lexmora_wine_up
cd "$BUILD_DIR"
# Six at a time: the window tests on the build's prefix and display take turns; those on a prefix
# and display of their own, the tests that hold no windows, the installer's and the run script's
# run beside them (cmake/LexmoraTest.cmake). More at a time only share the two cores thinner.
ctest --output-on-failure --timeout 900 -j"${LEXMORA_TEST_JOBS:-6}" "$@" </dev/null
status=$?
exit $status
