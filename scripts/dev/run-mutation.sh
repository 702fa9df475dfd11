#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Puts small faults into the library's sources one at a time, rebuilds the
# plain (g++ Release) test build and runs its fast tests, and reports the
# share of faults the tests caught and every fault that survived. Faults are
# found by pattern in library/**/*.{h,cc} and ProtoBuf/**/*.{h,cc}: presence
# bit indexes, expected tags and the jumps they take, case tags, comparisons,
# failure returns, size constants, block-test masks, and one field dropped
# from Swap, MergeFrom or Clear. The faults the plain build misses are tried
# again under ASan and UBSan (clang), as the test command runs the suite
# there too.
#
# Works on a copy of the tree (TARVESH_MUTATION_DIR, /tmp/tarvesh-mutation-$UID
# by default), never on the worktree. Not part of CI: a full run takes about
# half an hour on two cores. Run it before resolving any change to the
# classes or the wire helpers.
#
#   scripts/dev/run-mutation.sh                  # every fault
#   scripts/dev/run-mutation.sh --list           # only list them
#   scripts/dev/run-mutation.sh --filter 'Track\.pb\.cc.*expected_tag' --limit 10
#   scripts/dev/run-mutation.sh --sample 40 --seed 7
#
# Options are those of scripts/dev/mutation.py (--help).
set -euo pipefail
cd "$(dirname "$0")/../.."
exec nice python3 scripts/dev/mutation.py "$@"
