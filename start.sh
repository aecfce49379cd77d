#!/usr/bin/env bash
# Sets everything up on Debian 12, builds Travimo and starts it.
set -euo pipefail
cd "$(dirname "$0")"
tools/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRAVIMO_TESTS=OFF
cmake --build build
exec build/Travimo/Travimo
