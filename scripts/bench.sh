#!/usr/bin/env bash
# Builds the store benchmark and runs it under Wine; prints its table of figures.
# The benchmark writes about 250 MB of scratch files to the Wine prefix's temporary folder and
# removes them when it ends.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
"$ROOT/scripts/build.sh" --target lexmora_bench >/dev/null
. "$ROOT/scripts/wine-env.sh"
trap lexmora_wine_down EXIT
lexmora_wine_up
"$WINE" "$BUILD_DIR/bench/lexmora_bench.exe" "$@" </dev/null
