#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Builds and runs the whole test suite twice: a plain release build with g++
# (then the ABI check of check-abi.sh and the install, consumer and Debian
# package checks of check-install.sh, and the suite cross-built for s390x and
# run under qemu-user by run-cross-tests.sh),
# then a build with clang under AddressSanitizer and UndefinedBehaviorSanitizer
# (two compilers, since each accepts name-lookup and template faults the other
# refuses); runs the
# concurrency test under ThreadSanitizer; then fuzzes each message class for a
# bounded time (TARVESH_FUZZ_SECONDS per harness).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh clang libclang-rt-dev pkg-config dpkg-dev \
  build-essential debhelper protobuf-compiler lintian blhc abigail-tools
jobs="$(nproc)"
scripts/check-licence-lines.sh
# A hung test fails after five minutes instead of ctest's default 25.
timeout=300

# The tests are asked for by name in every build directory, and ctest fails
# if it finds none: a directory configured earlier without them (a cached
# TARVESH_BUILD_TESTS=OFF) once made this stage pass with no test run.
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTARVESH_BUILD_TESTS=ON
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure --no-tests=error -j"$jobs" --timeout "$timeout"
# The ABI against the committed baseline (abi/), with no internals exported.
scripts/check-abi.sh build
# The library as users get it: installed, packaged, and built against.
scripts/check-install.sh build
# The suite built for s390x, big-endian, and run under qemu-user: the one
# place a byte-order fault shows.
scripts/run-cross-tests.sh s390x

CC=clang CXX=clang++ cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVESH_SANITIZE=ON -DTARVESH_BUILD_TESTS=ON
cmake --build build-sanitize -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-sanitize --output-on-failure --no-tests=error -j"$jobs" \
  --timeout "$timeout"

# The first-use races of the concurrency test, under ThreadSanitizer.
cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVESH_TSAN=ON \
  -DTARVESH_BUILD_TESTS=ON
cmake --build build-tsan -j"$jobs" --target ConcurrencyTest
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir build-tsan --output-on-failure --no-tests=error \
  -R '^ConcurrencyTest' --timeout "$timeout"

# The libFuzzer harnesses (clang, ASan + UBSan): the committed corpus first,
# then twenty seconds of fuzzing per harness, nproc harnesses at a time.
scripts/run-fuzz.sh "${TARVESH_FUZZ_SECONDS:-20}"
