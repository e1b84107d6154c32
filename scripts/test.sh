#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test; builds the Debian
# package, installs it, runs both installed programs and removes it again
# (scripts/test-package.sh); then builds the whole
# suite a second time with AddressSanitizer and UndefinedBehaviorSanitizer
# (build-asan, benchmarks left out) and runs it there, stopping at the first
# error either of them finds; last, builds the fuzz targets with clang
# (build-fuzz) and runs each a few seconds over its seed corpus.
#
# Every road is tested here: a test whose prerequisite is missing (the SQL
# Server stand-in of the shared tools, the FreeTDS driver) fails instead of
# being skipped (FEE_REQUIRE_ROADS=1, as under CI=true).
set -euo pipefail
cd "$(dirname "$0")/.."
SHARED="${FEE_SHARED_DIR:-$PWD/../shared}"
STAND_IN="$SHARED/tools/tds-test-server/tds_test_server.py"
if [ ! -f "$STAND_IN" ]; then
  echo "scripts/test.sh: the SQL Server stand-in is missing: $STAND_IN" >&2
  echo "  (the shared tools belong beside the project, or set FEE_SHARED_DIR)" >&2
  exit 1
fi
export FEE_REQUIRE_ROADS=1
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFEE_SHARED_DIR="$SHARED"
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure -j"$(nproc)"
bash scripts/test-package.sh build

SANITIZE="-fsanitize=address,undefined -fno-omit-frame-pointer"
# Line tables only (-g1): the sanitizers' reports keep their file and line
# numbers, and the build spends far less time writing full debug information.
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFEE_BUILD_BENCH=OFF \
  -DFEE_SHARED_DIR="$SHARED" \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -g1 -DNDEBUG" \
  -DCMAKE_C_FLAGS="$SANITIZE" -DCMAKE_CXX_FLAGS="$SANITIZE" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DCMAKE_SHARED_LINKER_FLAGS="-fsanitize=address,undefined"
cmake --build build-asan -j"$(nproc)"
ASAN_OPTIONS="halt_on_error=1:detect_leaks=1" \
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)"

# Fuzzing: the fuzz targets and the libraries they need, built with clang
# for libFuzzer with the address and undefined-behaviour sanitizers in a
# build folder of their own, then a few seconds of each over its seed corpus.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFEE_BUILD_FUZZERS=ON \
  -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O2 -gline-tables-only -DNDEBUG" \
  -DFEE_BUILD_TESTS=OFF -DFEE_BUILD_BENCH=OFF
cmake --build build-fuzz -j"$(nproc)" --target fee_fuzzers
bash fuzz/run.sh build-fuzz 5
