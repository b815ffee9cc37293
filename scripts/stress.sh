#!/usr/bin/env bash
# Builds and runs the stress runs under Wine:
# - the store's damaged and hostile files in their thousands: LEXMORA_HOSTILE_ROUNDS rounds
#   (default 2400; the suite runs 300);
# - a dictionary of 2^31 - 1 bytes indexed and searched, one of 2^31 bytes refused. Needs about
#   2.3 GB of free disk space in the Wine prefix's temporary folder for a few minutes; removes its
#   files at the end. The script's arguments go to this run;
# - randomly damaged copies of the shipped Hunspell dictionaries loaded, LEXMORA_MORPH_FUZZ_ROUNDS
#   of them (default 2000, a few minutes).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
"$ROOT/scripts/build.sh" --target lexmora_stress store_tests morph_tests >/dev/null
. "$ROOT/scripts/wine-env.sh"
trap lexmora_wine_down EXIT
lexmora_wine_up
(cd "$BUILD_DIR/tests/store" &&
  LEXMORA_HOSTILE_ROUNDS=${LEXMORA_HOSTILE_ROUNDS:-2400} "$WINE" ./store_tests.exe \
    --gtest_filter='HostileFiles.*' </dev/null)
"$WINE" "$BUILD_DIR/bench/lexmora_stress.exe" "$@" </dev/null
LEXMORA_MORPH_FUZZ_ROUNDS=${LEXMORA_MORPH_FUZZ_ROUNDS:-2000} "$WINE" \
  "$BUILD_DIR/tests/morph/morph_tests.exe" --gtest_filter=DamagedDataTest.RandomlyDamagedCopies \
  </dev/null
