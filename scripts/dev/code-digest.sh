#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# A digest of the code the fuzz campaign tests and of the harnesses that test
# it: every tracked file under library/, ProtoBuf/ and tools/, the harness
# sources under fuzz/ (not its corpus or ledger) and the test headers they
# include, as they stand in the working tree. Twelve hex digits; it changes
# whenever any of that code does, committed or not.
set -euo pipefail
cd "$(dirname "$0")/../.."
git ls-files -z library ProtoBuf tools 'fuzz/*.cc' 'fuzz/*.h' 'fuzz/*.cmake' fuzz/CMakeLists.txt \
  'tests/*.h' | sort -z | xargs -0 sha1sum | sha1sum | cut -c1-12
