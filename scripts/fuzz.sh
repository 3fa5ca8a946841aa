#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for a bounded number of inputs.
# FUZZ_RUNS sets the count (default 200000 per target).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${FUZZ_RUNS:-200000}
cmake -S . -B build/fuzz -G Ninja -DVF_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/fuzz -j2
shopt -s nullglob
for f in build/fuzz/fuzz/*_fuzzer; do
  name=$(basename "$f")
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  seeds=(); [ -d "fuzz/seeds/$name" ] && seeds=("fuzz/seeds/$name")
  echo "fuzz: $name, $runs runs"
  log=build/fuzz/$name.log
  if ! "$f" -runs="$runs" -max_len=65536 -timeout=10 -rss_limit_mb=1024 -print_final_stats=1 \
      "$corpus" "${seeds[@]}" >"$log" 2>&1; then
    tail -40 "$log" >&2
    echo "fuzz: $name failed" >&2
    exit 1
  fi
  grep -E 'stat::number_of_executed_units|Done' "$log" || true
done
