#!/usr/bin/env bash
# Runs clang-tidy (the checks of .clang-tidy) over the named C++ files, or over every file of
# src/, tests/, tools/ and bench/; prints what it finds. Not part of lint.sh: it takes minutes.
# It reads the compile commands of $BUILD_DIR (default: build/), configured here to write them.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
cd "$ROOT"
"$ROOT/scripts/build.sh" >/dev/null
cmake -B "$BUILD_DIR" -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# clang parses for the cross compiler's target, with its C++ library headers.
gcc_include=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")/include
args=(--quiet -p "$BUILD_DIR" --extra-arg=--target=x86_64-w64-mingw32)
for dir in c++ c++/x86_64-w64-mingw32 c++/backward; do
  args+=("--extra-arg=-isystem$gcc_include/$dir")
done
if [ $# -gt 0 ]; then
  files=("$@")
else
  mapfile -t files < <(git ls-files 'src/*.cpp' 'tests/*.cpp' 'tools/*.cpp' 'bench/*.cpp')
fi
printf '%s\n' "${files[@]}" | xargs -P"$(nproc)" -n4 clang-tidy "${args[@]}" 2>/dev/null
