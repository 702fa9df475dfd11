#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Builds the libraries and the example program, then runs it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# A build directory of its own: the test command's build/ keeps its tests.
cmake -S . -B build-example -DCMAKE_BUILD_TYPE=Release -DTARVESH_BUILD_TESTS=OFF
cmake --build build-example -j"$(nproc)" --target recording_example
./build-example/examples/recording_example
