#!/usr/bin/env bash
# Runs a test program in a Wine prefix, with a Wine server and on an X display of its own: its
# windows, settings, clipboard, hotkeys and named objects meet no other test's, so it runs beside
# the tests that share the build's prefix and display (cmake/LexmoraTest.cmake).
#
#   run-on-own-desktop.sh BUILD_DIR DESKTOP DPI PROGRAM [ARGUMENTS...]
#
# The prefix BUILD_DIR/wineprefix-DESKTOP is made on the first run, as a copy of the build's
# template prefix BUILD_DIR/wineprefix-template (scripts/wine-env.sh), and kept. Its
# programs run in a Wine desktop of 1280 x 1024 pixels, as the build prefix's do in the suite, at
# the display DPI given, which the program also finds in LEXMORA_TEST_DPI. Exits with the
# program's status.
set -uo pipefail
BUILD_DIR=$(cd "$1" && pwd)
DESKTOP=$2
DPI=$3
shift 3
export LEXMORA_WINEPREFIX=$BUILD_DIR/wineprefix-$DESKTOP LEXMORA_OWN_DISPLAY=1
export LEXMORA_WINE_DESKTOP=1 LEXMORA_DPI=$DPI
export LEXMORA_WINE_TEMPLATE=$BUILD_DIR/wineprefix-template
. "$(dirname "$0")/../scripts/wine-env.sh"
trap lexmora_wine_down EXIT
lexmora_wine_up
LEXMORA_TEST_DPI=$DPI "$WINE" "$@" </dev/null
