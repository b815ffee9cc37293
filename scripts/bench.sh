#!/usr/bin/env bash
# Builds the store benchmark and runs it under Wine; prints its table of figures. Then, unless
# only the unsorted build (--unsorted) or only the lookups (--lookup) were asked for, runs
# scripts/bench-window.sh, the keystroke-to-paint timing of the real main window.
# The benchmarks write about 250 MB of scratch files to the Wine prefix's temporary folder and
# remove them when they end.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
"$ROOT/scripts/build.sh" --target lexmora_bench >/dev/null
. "$ROOT/scripts/wine-env.sh"
trap lexmora_wine_down EXIT
lexmora_wine_up
"$WINE" "$BUILD_DIR/bench/lexmora_bench.exe" "$@" </dev/null
lexmora_wine_down
trap - EXIT
if [ "${1:-}" != "--unsorted" ] && [ "${1:-}" != "--lookup" ]; then
  "$ROOT/scripts/bench-window.sh"
fi
