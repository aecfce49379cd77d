#!/usr/bin/env bash
# Sets everything up on Debian 12, builds Travimo and its tests with AddressSanitizer
# and UBSan (benchmarks are compiled too, not run), and runs every test.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTRAVIMO_SANITIZE=ON -DTRAVIMO_TESTS=ON -DTRAVIMO_BENCH=ON
cmake --build build-test
cd build-test
ctest --output-on-failure --timeout 300 -j2
