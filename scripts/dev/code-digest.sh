#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# A digest of the code the fuzz campaign tests and of the harnesses that test
# it: every tracked file under library/, ProtoBuf/ and tools/, the harness
# sources under fuzz/ (not its corpus or ledger) and the test headers they
# include, directly or through each other, as they stand in the working tree.
# Twelve hex digits; it changes whenever any of that code does, committed or
# not.
set -euo pipefail
cd "$(dirname "$0")/../.."
harness=(fuzz/*.cc fuzz/*.h fuzz/*.cmake fuzz/CMakeLists.txt)
# The test headers the harnesses reach.
headers=()
pending=("${harness[@]}")
while [ ${#pending[@]} -gt 0 ]; do
  file="${pending[0]}"
  pending=("${pending[@]:1}")
  for name in $(sed -n 's/^#include "\([^"/]*\)".*/\1/p' "$file"); do
    header="tests/$name"
    if [ -f "$header" ] && [[ " ${headers[*]} " != *" $header "* ]]; then
      headers+=("$header")
      pending+=("$header")
    fi
  done
done
git ls-files -z library ProtoBuf tools "${harness[@]}" "${headers[@]}" | sort -z | xargs -0 sha1sum |
  sha1sum | cut -c1-12
