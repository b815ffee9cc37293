#!/usr/bin/env bash
# Builds the program and the keystroke benchmark and runs it under Wine on an X display of its
# own: a 1 000 000-entry dictionary is typed into through the real main window, and the time
# from each keystroke to all five panes painted is printed as table rows. Arguments go to the
# benchmark (--entries N, --words N). Writes about 250 MB of scratch files to the Wine prefix's
# temporary folder and removes them when it ends.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
"$ROOT/scripts/build.sh" --target lexmora_keystroke_bench >/dev/null
# The program's windows go to a display nobody looks at, never to the user's.
export LEXMORA_OWN_DISPLAY=1
. "$ROOT/scripts/wine-env.sh"
trap lexmora_wine_down EXIT
lexmora_wine_up
"$WINE" "$BUILD_DIR/bench/lexmora_keystroke_bench.exe" "$("$WINE" winepath -w "$BUILD_DIR/Lexmora/Lexmora.exe" 2>/dev/null)" "$@" </dev/null
