#!/usr/bin/env bash
# Several dictionaries in use on real data: FreeDict English-Bulgarian and English-Russian,
# imported with lexmora-import, and a Bulgarian-English list made by turning English-Bulgarian
# around (each Bulgarian word that stands alone as a sense becomes a headword, its English
# headwords the meaning; Debian has no Bulgarian-English FreeDict package). Prints what
# lexmora-several-check counts on them. The data is fetched into $WORK (default
# build/several-data), never committed.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR=${BUILD_DIR:-$ROOT/build}
WORK=${WORK:-$BUILD_DIR/several-data}
"$ROOT/scripts/build.sh" --target Lexmora lexmora-several-check >/dev/null
mkdir -p "$WORK/Dictionaries"
cd "$WORK"
for package in dict-freedict-eng-bul dict-freedict-eng-rus; do
  ls "$package"_*.deb >/dev/null 2>&1 || apt-get download "$package" >/dev/null 2>&1
  dpkg -x "$package"_*.deb root
done
. "$ROOT/scripts/wine-env.sh"
trap lexmora_wine_down EXIT
lexmora_wine_up
windows() { "$WINE" winepath -w "$1" 2>/dev/null; }
for name in eng-bul eng-rus; do
  "$WINE" "$BUILD_DIR/Lexmora/lexmora-import.exe" \
    "$(windows "$WORK/root/usr/share/dictd/freedict-$name.index")" \
    -o "$(windows "$WORK/Dictionaries/$name.dat")" --sort </dev/null >/dev/null
done
# English-Bulgarian turned around, through its imported file (UTF-16, entries after U+00B7).
python3 - "$WORK/Dictionaries/eng-bul.dat" "$WORK/bul-eng.txt" <<'PY'
import re, sys
text = open(sys.argv[1], 'rb').read().decode('utf-16')
senses = {}
for entry in text.split('\u00b7')[1:]:
    lines = entry.split('\r\n')
    headword = lines[0].strip()
    for line in lines[1:]:
        for sense in re.split(r'[,;]', line):
            sense = sense.strip()
            if re.fullmatch(r'[\u0400-\u04ff]+', sense):
                senses.setdefault(sense, []).append(headword)
with open(sys.argv[2], 'w', encoding='utf-8') as out:
    for word in sorted(senses):
        out.write(word + '\t' + ', '.join(dict.fromkeys(senses[word])) + '\n')
PY
"$WINE" "$BUILD_DIR/Lexmora/lexmora-import.exe" "$(windows "$WORK/bul-eng.txt")" \
  -o "$(windows "$WORK/Dictionaries/bul-eng.dat")" --sort --title "Bulgarian-English" \
  </dev/null >/dev/null
"$WINE" "$BUILD_DIR/tools/lexmora-several-check.exe" "$(windows "$WORK/Dictionaries")" \
  eng-bul eng-rus bul-eng </dev/null
