#!/usr/bin/env bash
# Sets up what is missing, builds everything and runs every test: native unit tests,
# Win32 tests and end-to-end tests under Wine in a virtual display, and the fuzzers for a
# bounded number of runs.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh all

echo "== native tests"
ctest --test-dir build/native -j2 --output-on-failure

echo "== Windows tests under Wine"
source scripts/wine-env.sh
trap vf_wine_end EXIT
vf_wine_session build/win
ctest --test-dir build/win --output-on-failure -LE two_monitors
vf_wine_two_monitors
ctest --test-dir build/win --output-on-failure -L two_monitors
vf_wine_end
trap - EXIT

echo "== fuzzers"
FUZZ_RUNS=${FUZZ_RUNS:-30000} ./scripts/fuzz.sh
echo "all tests passed"
