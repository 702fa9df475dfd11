#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Builds the benchmark suite in Release (build-bench), runs it and writes
# bench/results.json, bench/RESULTS.md and its chart bench/results.png: per
# workload and operation our throughput and its ratio to DynamicMessage,
# protozero and memcpy; per varint kernel; and a size sweep of the track.
# Exits non-zero when a steady-state parse of the library's classes allocates.
# Extra arguments go to the benchmark binary (e.g. --benchmark_filter=Track).
set -euo pipefail
cd "$(dirname "$0")/.."

extra=()
command -v python3 >/dev/null || extra+=(python3)
# matplotlib draws the chart linked from RESULTS.md.
scripts/install-deps.sh libbenchmark-dev libprotozero-dev python3-matplotlib "${extra[@]}"

jobs=2
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release \
  -DTARVESH_BUILD_BENCHMARKS=ON -DTARVESH_BUILD_TESTS=OFF
cmake --build build-bench -j"$jobs" --target tarvesh_bench

load_before="$(cut -d' ' -f1-3 /proc/loadavg)"
build-bench/bench/tarvesh_bench \
  --benchmark_repetitions=9 \
  --benchmark_report_aggregates_only=true \
  --benchmark_enable_random_interleaving=true \
  --benchmark_min_time=0.2 \
  --benchmark_format=console \
  --benchmark_out_format=json \
  --benchmark_out=bench/results.json \
  "$@"

compiler="$(sed -n 's/^CMAKE_CXX_COMPILER:[A-Z]*=//p' build-bench/CMakeCache.txt)"
version_of() { dpkg-query -W -f='${Version}' "$1" 2>/dev/null || echo unknown; }
# Debian's python, which sees the matplotlib installed above (a python3
# earlier on PATH, e.g. pyenv's, may not).
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" bench/summarize.py bench/results.json bench/RESULTS.md \
  "date=$(date -u '+%Y-%m-%d %H:%M UTC')" \
  "CPU=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1)" \
  "cores=$(nproc)" \
  "memory=$(awk '/MemTotal/ {printf "%.0f GiB", $2 / 1048576}' /proc/meminfo)" \
  "kernel=$(uname -r)" \
  "compiler=$("${compiler:-c++}" --version | head -1)" \
  "protobuf=$(version_of libprotobuf-dev)" \
  "google benchmark=$(version_of libbenchmark-dev)" \
  "protozero=$(version_of libprotozero-dev)" \
  "niceness (the machine is shared)=$(nice)" \
  "load average before the run=${load_before}" \
  "load average after the run=$(cut -d' ' -f1-3 /proc/loadavg)"
