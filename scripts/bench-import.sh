#!/usr/bin/env bash
# Builds the importer and its benchmark and runs the benchmark under Wine. With no arguments:
# a tab-separated list of 1 000 000 entries imported by lexmora-import.exe three times (time,
# peak working set) and the time of each stage; other arguments go to the benchmark as they are
# (a COUNT alone: the library's import time for each source format). The generated sources are
# written to the Wine prefix's temporary folder and removed at the end.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
"$ROOT/scripts/build.sh" --target lexmora_import_bench >/dev/null
. "$ROOT/scripts/wine-env.sh"
trap lexmora_wine_down EXIT
# A wineserver of the prefix that is already running makes `wineserver -p` fail: not an error here.
lexmora_wine_up || true
if [ $# -eq 0 ]; then
  set -- --tab 1000000
fi
"$WINE" "$BUILD_DIR/src/import/lexmora_import_bench.exe" "$@" </dev/null
