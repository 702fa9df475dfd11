#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Builds the Release test suite for another architecture with Debian's cross
# compiler and runs it with ctest under qemu-user:
#   s390x  big-endian: the one that catches byte-order faults (run by
#          scripts/run-tests.sh)
#   arm64  on demand
# The target's protobuf, libprotoc, GoogleTest and zlib are Debian's packages
# for that architecture, fetched with apt-get download (through an apt state
# of its own, so the machine's dpkg and apt configuration stay as they are)
# and unpacked with dpkg-deb -x into a sysroot in the build directory
# (build-cross-<arch>/sysroot; kept between runs). cmake/toolchain-<arch>.cmake
# sets the compiler, the sysroot and the emulator.
#
# Tests that start another program (death tests and the self-re-executing
# suites run the test binary again; ToolTest runs tarvesh) need the kernel to
# run a foreign binary through qemu: binfmt_misc. The script mounts it if
# need be, registers /usr/lib/binfmt.d/qemu-<arch>.conf for the run and
# removes both afterwards (a registration already there is used and left
# alone). Where that is not allowed, those tests are skipped, and the script
# says which and why.
# Usage: scripts/run-cross-tests.sh s390x|arm64
set -euo pipefail
cd "$(dirname "$0")/.."
arch="${1:-}"
case "$arch" in
  s390x) triplet=s390x-linux-gnu qemu=s390x ;;
  arm64) triplet=aarch64-linux-gnu qemu=aarch64 ;;
  *)
    echo "usage: scripts/run-cross-tests.sh s390x|arm64" >&2
    exit 2
    ;;
esac
# protobuf-compiler: the host's protoc generates the downstream test's code.
scripts/install-deps.sh "g++-$triplet" qemu-user qemu-user-binfmt protobuf-compiler
build="build-cross-$arch"
sysroot="$PWD/$build/sysroot"
jobs="$(nproc)"
# Emulated, the tests run about 13 times slower than natively.
timeout=900
say() { echo "run-cross-tests ($arch): $*"; }

if [ ! -f "$sysroot/.complete" ]; then
  start=$SECONDS
  rm -rf "$sysroot" "$build/apt"
  mkdir -p "$build/apt/lists/partial" "$build/apt/cache/archives/partial" "$build/apt/debs" "$sysroot"
  apt=(apt-get -q -o "APT::Architecture=$arch" -o "APT::Architectures=$arch"
    -o "Dir::State::Lists=$PWD/$build/apt/lists" -o "Dir::Cache=$PWD/$build/apt/cache"
    -o "Dir::State::status=/dev/null" -o APT::Sandbox::User=root)
  "${apt[@]}" update >"$build/apt/update.log" 2>&1 || {
    cat "$build/apt/update.log" >&2
    say "apt-get update failed"
    exit 1
  }
  (cd "$build/apt/debs" && "${apt[@]}" download libprotobuf32 libprotobuf-lite32 libprotobuf-dev \
    libprotoc32 libprotoc-dev libgtest-dev zlib1g zlib1g-dev)
  for deb in "$build"/apt/debs/*.deb; do dpkg-deb -x "$deb" "$sysroot"; done
  touch "$sysroot/.complete"
  say "sysroot from $(ls "$build"/apt/debs | tr '\n' ' ')in $((SECONDS - start)) s"
fi

start=$SECONDS
cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-$arch.cmake" \
  -DTARVESH_CROSS_SYSROOT="$sysroot" -DCMAKE_BUILD_TYPE=Release -DTARVESH_BUILD_TESTS=ON \
  -DTARVESH_BUILD_EXAMPLES=OFF >"$build/configure.log" 2>&1 || {
  cat "$build/configure.log" >&2
  say "configure failed"
  exit 1
}
cmake --build "$build" -j"$jobs"
build_seconds=$((SECONDS - start))

# binfmt_misc for the tests that start another program.
binfmt=/proc/sys/fs/binfmt_misc
entry="$binfmt/qemu-$qemu"
mounted_here=0
registered_here=0
cleanup() {
  if [ "$registered_here" = 1 ] && [ -e "$entry" ]; then echo -1 >"$entry" || true; fi
  if [ "$mounted_here" = 1 ]; then umount "$binfmt" || true; fi
}
trap cleanup EXIT
binfmt_problem=""
if [ ! -e "$binfmt/register" ]; then
  if mount -t binfmt_misc binfmt_misc "$binfmt" 2>/dev/null; then
    mounted_here=1
  else
    binfmt_problem="binfmt_misc is not mounted and mounting it is not allowed here"
  fi
fi
if [ -z "$binfmt_problem" ] && [ ! -e "$entry" ]; then
  if cat "/usr/lib/binfmt.d/qemu-$qemu.conf" >"$binfmt/register" 2>/dev/null; then
    registered_here=1
  else
    binfmt_problem="registering /usr/lib/binfmt.d/qemu-$qemu.conf with binfmt_misc is not allowed here"
  fi
fi
# A program started by the kernel (not by ctest's emulator command) finds the
# target's C library through QEMU_LD_PREFIX; the libraries' path it inherits
# from the program that starts it.
export QEMU_LD_PREFIX="/usr/$triplet"
# Tells the tests what runs them, for the one check an emulator cannot pass.
export TARVESH_EMULATOR="qemu-$qemu"
if [ -z "$binfmt_problem" ]; then
  libdirs="$sysroot/usr/lib/$triplet:$sysroot/lib/$triplet"
  if ! run_error="$(LD_LIBRARY_PATH="$libdirs" "$build/tools/tarvesh" --version 2>&1 >/dev/null)"; then
    binfmt_problem="the kernel does not run $arch programs through binfmt_misc here ($run_error)"
  fi
fi

# The tests that start another program: the self-re-executing suites, the
# death test and the tool's tests.
spawning='^(ToolTest|LifecycleTest|ConcurrencyTest)\.|^RecordingTest\.SelfMergeIsACheckedError$'
skip=()
if [ -n "$binfmt_problem" ]; then
  skipped="$(ctest --test-dir "$build" -N -R "$spawning" | sed -n 's/^ *Test *#[0-9]*: //p')"
  say "SKIPPING $(grep -c . <<<"$skipped") tests that start another program: $binfmt_problem:"
  sed 's/^/  /' <<<"$skipped"
  skip=(-E "$spawning")
fi

start=$SECONDS
ctest --test-dir "$build" --output-on-failure --no-tests=error -j"$jobs" --timeout "$timeout" "${skip[@]}"
say "built in ${build_seconds} s, tests ran in $((SECONDS - start)) s (wall clock, $jobs jobs)"
