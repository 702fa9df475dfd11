#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Runs every test of the suite under valgrind's memcheck: invalid reads and
# writes, uses of uninitialised values and definite or indirect leaks fail the
# test. Not part of the test command: it takes several minutes.
#   scripts/dev/run-valgrind.sh [ctest arguments...]   (e.g. -R SchemaDrivenTest)
# Built with TARVESH_VALGRIND, as for the sanitizers: the tests then leave
# operator new to memcheck, skip the 2 GiB size test (over 4 GiB of memory)
# and the two tests of columns of INT_MAX elements (over 20 GiB under memcheck),
# and run the tool's long-stream test at a tenth of its length without its
# peak-memory comparison (which would measure memcheck's own memory). Left
# out: the two shutdown tests that count deletions through the program's own
# operator delete, which memcheck replaces (they run in the other builds).
# scripts/dev/valgrind.supp suppresses a leak of script(1), which the tool's
# terminal test runs around the command.
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/install-deps.sh valgrind protobuf-compiler
jobs="$(nproc)"
build=build-valgrind

# ctest runs each test, and gtest's test discovery, through the emulator.
# --trace-children follows the fresh processes that the lifecycle and
# concurrency tests re-execute.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVESH_VALGRIND=ON -DTARVESH_BUILD_TESTS=ON \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=valgrind;--quiet;--error-exitcode=99;--suppressions=$PWD/scripts/dev/valgrind.supp;--leak-check=full;--errors-for-leak-kinds=definite,indirect;--show-leak-kinds=definite,indirect;--track-origins=yes;--trace-children=yes" \
  >/dev/null
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$jobs" --timeout 1800 -E '^LifecycleTest.Shutdown' "$@"
