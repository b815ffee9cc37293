#!/usr/bin/env bash
# The checks every change passes before its tests run:
#  - every C++ and C file of ours is formatted as .clang-format says;
#  - cppcheck finds nothing in src/ (warnings and performance);
#  - duplicates lists what the change writes again of code already there (since the branch left
#    main, or the uncommitted change on main itself): printed for the author, never failing.
# Exits non-zero when a check fails, after running them all.
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
cd "$ROOT"
"$ROOT/scripts/setup.sh" || exit 1
status=0

mapfile -d '' sources < <(git ls-files -z --cached --others --exclude-standard -- \
  '*.cpp' '*.h' '*.c')
existing=()
for f in "${sources[@]}"; do [ -f "$f" ] && existing+=("$f"); done
echo "lint: clang-format over ${#existing[@]} files"
if ! clang-format --dry-run -Werror "${existing[@]}"; then
  echo "lint: files differ from .clang-format; run clang-format -i on them" >&2
  status=1
fi

echo "lint: cppcheck over src/"
if ! cppcheck --enable=warning,performance --error-exitcode=1 --quiet --inline-suppr \
  --platform=win64 --std=c++20 -I src src/; then
  echo "lint: cppcheck found the above" >&2
  status=1
fi

if command -v duplicates >/dev/null 2>&1; then
  base=$(git merge-base HEAD main 2>/dev/null || git rev-parse HEAD)
  echo "lint: duplicates written by the change since $(git rev-parse --short "$base") (for attention)"
  duplicates --change --base "$base" || true
else
  echo "lint: duplicates is not installed; nothing shows repeated code"
fi
exit $status
