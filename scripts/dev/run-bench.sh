#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Builds the benchmark suite in Release (build-bench), runs it and writes
# bench/results.json, bench/RESULTS.md and its chart bench/results.png: per
# workload and operation our throughput and its ratio to DynamicMessage,
# protozero and memcpy; per varint kernel; and a size sweep of the track.
# Then counts the instructions of each operation of the library and of
# protoc's generated peer under callgrind (bench/counts.json), which
# RESULTS.md sets beside the times.
# Exits non-zero when a steady-state parse of the library's classes allocates.
# Extra arguments go to the benchmark binary (e.g. --benchmark_filter=Track).
#
# --count: only the instruction counts, then RESULTS.md again from the last
# bench/results.json.
set -euo pipefail
cd "$(dirname "$0")/../.."

count_only=false
if [ "${1:-}" = "--count" ]; then
  count_only=true
  shift
fi

extra=()
command -v python3 >/dev/null || extra+=(python3)
# matplotlib draws the chart linked from RESULTS.md.
# protoc builds the generated peer; valgrind counts instructions.
scripts/install-deps.sh libbenchmark-dev libprotozero-dev python3-matplotlib \
  protobuf-compiler valgrind "${extra[@]}"

jobs=2
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release \
  -DTARVESH_BUILD_BENCHMARKS=ON -DTARVESH_BUILD_TESTS=OFF
cmake --build build-bench -j"$jobs" --target tarvesh_bench

count() {
  local dir
  dir="$(mktemp -d)"
  valgrind --tool=callgrind --collect-atstart=no --callgrind-out-file="$dir/callgrind.out" \
    build-bench/bench/tarvesh_bench --count >"$dir/log" 2>"$dir/valgrind.log" ||
    { cat "$dir/log" "$dir/valgrind.log" >&2; exit 1; }
  "$python" bench/counts.py "$dir/log" "$dir/callgrind.out" bench/counts.json
  rm -rf "$dir"
}

# Debian's python, which sees the matplotlib installed above (a python3
# earlier on PATH, e.g. pyenv's, may not).
python=/usr/bin/python3
[ -x "$python" ] || python=python3

load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
if $count_only; then
  count
  load_before="$(sed -n 's/^| load average before the run | \(.*\) |$/\1/p' bench/RESULTS.md)"
  load_after="$(sed -n 's/^| load average after the run | \(.*\) |$/\1/p' bench/RESULTS.md)"
  run_date="$(sed -n 's/^| date | \(.*\) |$/\1/p' bench/RESULTS.md)"
else
  build-bench/bench/tarvesh_bench \
    --benchmark_repetitions=9 \
    --benchmark_report_aggregates_only=true \
    --benchmark_enable_random_interleaving=true \
    --benchmark_min_time=0.2 \
    --benchmark_format=console \
    --benchmark_out_format=json \
    --benchmark_out=bench/results.json \
    "$@"
  load_after="$(cut -d' ' -f1-3 /proc/loadavg)"
  run_date="$(date -u '+%Y-%m-%d %H:%M UTC')"
  count
fi

compiler="$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build-bench/CMakeCache.txt)"
version_of() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || echo unknown; }
"$python" bench/summarize.py bench/results.json bench/RESULTS.md \
  "date=${run_date}" \
  "CPU=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)" \
  "CPU family and model=$(sed -n 's/^cpu family[[:space:]]*: //p' /proc/cpuinfo | head -1), $(sed -n 's/^model[[:space:]]*: //p' /proc/cpuinfo | head -1)" \
  "vector flags=$(sed -n 's/^flags[[:space:]]*: //p' /proc/cpuinfo | head -1 | tr ' ' '\n' | grep -E '^(sse4_1|avx|avx2|bmi1|bmi2|avx512.*|gfni|vaes|vpclmulqdq)$' | tr '\n' ' ' | sed 's/ $//')" \
  "cores=$(nproc)" \
  "memory=$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo)" \
  "kernel=$(uname -r)" \
  "compiler=$("${compiler:-c++}" --version | head -1)" \
  "protobuf=$(version_of libprotobuf-dev)" \
  "google benchmark=$(version_of libbenchmark-dev)" \
  "protozero=$(version_of libprotozero-dev)" \
  "niceness (the machine is shared)=$(nice)" \
  "load average before the run=${load_before}" \
  "load average after the run=${load_after}" \
  "instructions counted (callgrind)=$(date -u -r bench/counts.json '+%Y-%m-%d %H:%M UTC')"
