#!/usr/bin/env bash
# Builds the native tree (build/native) and the Windows tree (build/win).
set -euo pipefail
cd "$(dirname "$0")/.."
what=${1:-all}
if [ "$what" = all ] || [ "$what" = native ]; then
  cmake -S . -B build/native -G Ninja >/dev/null
  cmake --build build/native -j2
fi
if [ "$what" = all ] || [ "$what" = win ]; then
  cmake -S . -B build/win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
  cmake --build build/win -j2
fi
