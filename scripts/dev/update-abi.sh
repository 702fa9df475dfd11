#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Writes the ABI baseline, abi/lib<name>.abi for each of the three libraries,
# from a Release build (default: build) with abidw (Debian's abigail-tools).
# scripts/check-abi.sh compares every build of the test command with it.
# Run this on purpose only: after adding to the public API (which the check
# lets through), or with a soname bump after breaking it.
# Usage: scripts/dev/update-abi.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
scripts/install-deps.sh abigail-tools
mkdir -p abi
for library in TarveshProtoBuf HalvinProtoBuf VeltoProtoBuf; do
  built="$(readlink -f "$build/library/lib$library.so")"
  [ -f "$built" ] || { echo "update-abi: no $build/library/lib$library.so" >&2; exit 1; }
  # Every exported symbol and every type it reaches. No paths or source
  # locations, so the baseline is the same from any checkout. (Types are not
  # filtered by header: without locations, abidiff would count them all as
  # private and let a class's layout change through.)
  abidw --no-corpus-path --no-comp-dir-path --no-show-locs --drop-undefined-syms \
    --out-file "abi/lib$library.abi" "$built"
  echo "abi/lib$library.abi: $(grep -c '<elf-symbol ' "abi/lib$library.abi") symbols ($(abidw --version))"
done
