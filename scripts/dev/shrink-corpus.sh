#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# Keeps a harness's committed corpus within its share of the repository:
# all seven corpora together stay under about 5 MB. A corpus over its budget
# (TARVESH_CORPUS_BUDGET_KB, default 700 KB) is rebuilt in two merges:
#   1. on edge coverage alone (-use_counters=0): the fewest, smallest inputs
#      that still reach every edge the corpus reaches;
#   2. then, with hit counts, the inputs of at most 2 KB (a quarter of the
#      campaign's -max_len) that add a hit-count feature to that set.
# Every edge stays; what goes is the hit-count variety that only inputs of
# several KB reach, most of which a campaign run finds again within minutes.
# A corpus within its budget is left as it is. Called by
# scripts/dev/run-campaign.sh after each merge, under that harness's merge lock;
# usable alone on a built build-fuzz/ (then take the lock by hand if a
# campaign is running).
#   scripts/dev/shrink-corpus.sh <harness>
set -euo pipefail
cd "$(dirname "$0")/../.."
[ $# -eq 1 ] || { echo "usage: $0 <harness>" >&2; exit 2; }
harness="$1"
build=build-fuzz
binary="$build/fuzz/fuzz_$harness"
corpus="fuzz/corpus/$harness"
budget_kb="${TARVESH_CORPUS_BUDGET_KB:-700}"
small_bytes=2048
[ -x "$binary" ] || { echo "no harness $binary" >&2; exit 2; }

size_kb() { du -s --apparent-size --block-size=1K "$1" | cut -f1; }
[ "$(size_kb "$corpus")" -gt "$budget_kb" ] || exit 0

work="$(mktemp -d "$build/shrink-$harness.XXXXXX")"
trap 'rm -rf "$work"' EXIT
mkdir "$work/kept" "$work/small"
find "$corpus" -type f -size -$((small_bytes + 1))c -exec cp {} "$work/small/" \;
log="$build/logs/shrink-$harness-$(date -u +%Y%m%dT%H%M%S).log"
mkdir -p "$build/logs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:malloc_context_size=0
"$binary" -merge=1 -use_counters=0 "$work/kept" "$corpus" >"$log" 2>&1
"$binary" -merge=1 "$work/kept" "$work/small" >>"$log" 2>&1

# Swapped in whole, so an interrupted shrink leaves the corpus as it was.
before="$(ls "$corpus" | wc -l) files, $(size_kb "$corpus") KB"
rm -rf "$corpus.old"
mv "$corpus" "$corpus.old"
mv "$work/kept" "$corpus"
rm -rf "$corpus.old"
echo "$harness corpus shrunk: $before -> $(ls "$corpus" | wc -l) files, $(size_kb "$corpus") KB"
