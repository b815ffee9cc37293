#!/usr/bin/env bash
# Builds and runs the store's stress run under Wine: a dictionary of 2^31 - 1 bytes indexed and
# searched, one of 2^31 bytes refused. Needs about 2.3 GB of free disk space in the Wine
# prefix's temporary folder for a few minutes; removes its files at the end. Then loads randomly
# damaged copies of the shipped Hunspell dictionaries, LEXMORA_MORPH_FUZZ_ROUNDS of them (default
# 2000, a few minutes).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
"$ROOT/scripts/build.sh" --target lexmora_stress morph_tests >/dev/null
. "$ROOT/scripts/wine-env.sh"
trap lexmora_wine_down EXIT
lexmora_wine_up
"$WINE" "$BUILD_DIR/bench/lexmora_stress.exe" "$@" </dev/null
LEXMORA_MORPH_FUZZ_ROUNDS=${LEXMORA_MORPH_FUZZ_ROUNDS:-2000} "$WINE" \
  "$BUILD_DIR/tests/morph/morph_tests.exe" --gtest_filter=DamagedDataTest.RandomlyDamagedCopies \
  </dev/null
