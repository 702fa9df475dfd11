#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Builds the libFuzzer harnesses with clang under ASan + UBSan and runs each
# for a bounded time, the committed corpus as its starting point: one per
# top-level class, and the tarvesh command's record reader.
#   scripts/run-fuzz.sh [seconds per harness]   (default 20; harnesses run
#                                                nproc at a time)
#   TARVESH_FUZZ_JOBS=N                          runs N harnesses at a time
#   TARVESH_FUZZ_MERGE=1 scripts/run-fuzz.sh ... also merges what the run
#                                                found into fuzz/corpus/
#   TARVESH_FUZZ_BUILD_ONLY=1 scripts/run-fuzz.sh  builds the harnesses only
#                                                (scripts/dev/run-campaign.sh)
# New inputs land in build-fuzz/found/<class>; a crash leaves its input in
# build-fuzz/artifacts/ and makes the script fail; so does an input running
# past ten seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh clang libclang-rt-dev
seconds="${1:-20}"
jobs="${TARVESH_FUZZ_JOBS:-$(nproc)}"
build=build-fuzz

CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTARVESH_SANITIZE=ON -DTARVESH_BUILD_FUZZERS=ON -DTARVESH_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j"$jobs"
[ "${TARVESH_FUZZ_BUILD_ONLY:-0}" = 1 ] && exit 0

# Every harness the build made (fuzz_<name>, listed in fuzz/Harnesses.cmake
# and fuzz/CMakeLists.txt), each with its corpus in fuzz/corpus/<name>.
classes=()
for harness in "$build"/fuzz/fuzz_*; do
  classes+=("${harness##*/fuzz_}")
done
mkdir -p "$build/artifacts" "$build/logs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run_one() {
  local class="$1" seconds="$2" build="$3"
  mkdir -p "$build/found/$class"
  "$build/fuzz/fuzz_$class" "$build/found/$class" "fuzz/corpus/$class" \
    -max_total_time="$seconds" -timeout=10 -max_len=8192 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/artifacts/$class-" >"$build/logs/$class.log" 2>&1
}
export -f run_one

status=0
printf '%s\n' "${classes[@]}" | xargs -P "$jobs" -I{} bash -c 'run_one "$@"' _ {} "$seconds" "$build" ||
  status=$?

printf '%-24s %12s %8s %8s\n' harness executions corpus found
for class in "${classes[@]}"; do
  log="$build/logs/$class.log"
  runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
  printf '%-24s %12s %8s %8s\n' "$class" "${runs:-?}" \
    "$(ls "fuzz/corpus/$class" | wc -l)" "$(ls "$build/found/$class" | wc -l)"
done
if [ "$status" -ne 0 ]; then
  echo "a harness failed; its log:" >&2
  grep -l -E 'ERROR|==ABORT|deadly signal|runtime error' "$build"/logs/*.log | xargs -r tail -n 40 >&2
  exit "$status"
fi

if [ "${TARVESH_FUZZ_MERGE:-0}" = 1 ]; then
  for class in "${classes[@]}"; do
    "$build/fuzz/fuzz_$class" -merge=1 "fuzz/corpus/$class" "$build/found/$class" \
      >"$build/logs/$class.merge.log" 2>&1
  done
  echo "merged into fuzz/corpus/"
fi
