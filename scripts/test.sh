#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
ctest --test-dir build --output-on-failure

# Fuzzing: the fuzz targets and the libraries they need, built with clang
# for libFuzzer with the address and undefined-behaviour sanitizers in a
# build folder of their own, then a few seconds of each over its seed corpus.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DFEE_BUILD_FUZZERS=ON \
  -DFEE_BUILD_TESTS=OFF -DFEE_BUILD_BENCH=OFF
cmake --build build-fuzz -j"$(nproc)" --target fee_fuzzers
bash fuzz/run.sh build-fuzz 5
