#!/usr/bin/env bash
# Runs every test of the suite under valgrind's memcheck: invalid reads and
# writes, uses of uninitialised values and definite or indirect leaks fail the
# test. Not part of the test command: it takes several minutes.
#   scripts/run-valgrind.sh [ctest arguments...]   (e.g. -R TrackTest)
# Left out: the 2 GiB size test, which fills over 4 GiB of memory and would
# take memcheck far longer than the rest of the suite together; and the two
# shutdown tests that count deletions through the program's own operator
# delete, which memcheck replaces with its own (they run in the other builds);
# and the tool test's 100,000-record stream, whose peak-memory comparison
# would measure memcheck's own memory (the other tool tests still run the
# command under memcheck).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh valgrind protobuf-compiler
jobs="$(nproc)"
build=build-valgrind

# ctest runs each test, and gtest's test discovery, through the emulator.
# --trace-children follows the fresh processes that the lifecycle and
# concurrency tests re-execute.
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=valgrind;--quiet;--error-exitcode=99;--leak-check=full;--errors-for-leak-kinds=definite,indirect;--show-leak-kinds=definite,indirect;--track-origins=yes;--trace-children=yes" \
  >/dev/null
cmake --build "$build" -j"$jobs"
ctest --test-dir "$build" --output-on-failure -j"$jobs" --timeout 1800 -E '^TwoGiBTest|^LifecycleTest.Shutdown|^ToolTest.LongDelimitedStream' "$@"
