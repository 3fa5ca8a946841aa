#!/usr/bin/env bash
# Builds the Windows tree and prints the start-up figures under Wine in a throw-away prefix.
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build/win}
cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null
cmake --build "$build" -j2 --target vfsaver saverkit flashdouble bench_bare_window bench_startup
source scripts/wine-env.sh
trap vf_wine_end EXIT
vf_wine_session "$build/bench-wine"
wine "$build/bench/startup/bench_startup.exe" --scr="$(realpath "$build")/src/vfsaver.scr" \
  --tools="$(realpath "$build")" --runs="${RUNS:-5}"
