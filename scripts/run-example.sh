#!/usr/bin/env bash
# Builds the libraries and the example program, then runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTARVESH_BUILD_TESTS=OFF
cmake --build build -j"$(nproc)" --target recording_example
./build/examples/recording_example
