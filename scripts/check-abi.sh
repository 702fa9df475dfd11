#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Compares the ABI of the three libraries of a Release build (default: build)
# with the committed baseline in abi/ (scripts/dev/update-abi.sh writes it) using
# abidiff (Debian's abigail-tools). Fails on a removed symbol or a changed
# function, variable or public type unless the library's soname changed;
# added symbols pass. Also fails if an internal namespace (Pb::kernels,
# Pb::wire) shows in a dynamic symbol table. Called by scripts/run-tests.sh.
# Usage: scripts/check-abi.sh [build directory]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
scripts/install-deps.sh abigail-tools
status=0
for library in TarveshProtoBuf HalvinProtoBuf VeltoProtoBuf; do
  baseline="abi/lib$library.abi"
  built="$(readlink -f "$build/library/lib$library.so")"
  [ -f "$built" ] || { echo "check-abi: no $build/library/lib$library.so" >&2; exit 1; }
  [ -f "$baseline" ] || { echo "check-abi: no $baseline (scripts/dev/update-abi.sh writes it)" >&2; exit 1; }

  internal="$(nm -DC --defined-only "$built" | grep -E 'Pb::(kernels|wire)::' || true)"
  if [ -n "$internal" ]; then
    echo "check-abi: lib$library exports internals:" >&2
    echo "$internal" >&2
    status=1
  fi

  old_soname="$(sed -n "1s/.* soname='\\([^']*\\)'.*/\\1/p" "$baseline")"
  new_soname="$(readelf -d "$built" | sed -n 's/.*(SONAME).*\[\(.*\)\]$/\1/p')"
  if [ "$old_soname" != "$new_soname" ]; then
    echo "check-abi: lib$library: soname $old_soname is now $new_soname, so its ABI may change;" \
      "not compared. Write the new baseline with scripts/dev/update-abi.sh."
    continue
  fi
  report="$(abidiff --no-added-syms "$baseline" "$built" 2>&1)" && {
    echo "check-abi: lib$library ($new_soname): no symbol removed or changed"
    continue
  }
  echo "$report" >&2
  echo "check-abi: lib$library changed its ABI against $baseline without a soname bump:" \
    "undo the change, or raise the project's major version and run scripts/dev/update-abi.sh" >&2
  status=1
done
exit "$status"
