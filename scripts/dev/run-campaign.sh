#!/usr/bin/env bash
# SPDX-License-Identifier: BSD-3-Clause
# One recorded run of a long fuzz campaign: fuzzes one harness for a given
# time under ASan + UBSan (the build of scripts/run-fuzz.sh), starting from the
# committed corpus; merges what it found back into fuzz/corpus/<harness>,
# minimised (an input stays only if it adds coverage; a corpus over its
# budget is shrunk further by scripts/dev/shrink-corpus.sh); appends the run to
# fuzz/campaign.tsv and rewrites fuzz/CAMPAIGN.md, whose table sums the
# recorded runs of each harness on the code as it stands. Several harnesses
# may run at once; the build and the ledger are taken under locks. Not part of
# the test command.
#   scripts/dev/run-campaign.sh <harness> <seconds> [executions]
#   (harness: fuzz_<harness>; the run also stops after `executions` inputs)
# Stopped by hand (SIGINT to the fuzzer), a run still merges and is recorded,
# with outcome "interrupted". Each run records the code it fuzzed (a digest of
# library/, ProtoBuf/, tools/ and the harnesses, scripts/dev/code-digest.sh),
# so that the table counts only runs on the code as it is now.
# A crash, leak, timeout or sanitizer report ends the run: its input is left
# in build-fuzz/artifacts/, the run is recorded with outcome "failed", and the
# script exits non-zero. An input counts as hung after TARVESH_FUZZ_TIMEOUT
# seconds (default 60) of wall-clock time: a campaign runs at low priority
# beside other work, and a 10-second limit once fired on an input that takes
# 50 ms when the machine is free.
set -euo pipefail
cd "$(dirname "$0")/../.."
[ $# -eq 2 ] || [ $# -eq 3 ] || { echo "usage: $0 <harness> <seconds> [executions]" >&2; exit 2; }
harness="$1"
seconds="$2"
executions="${3:--1}"
build=build-fuzz
ledger=fuzz/campaign.tsv

code="$(scripts/dev/code-digest.sh)"
mkdir -p "$build"
flock "$build/build.lock" env TARVESH_FUZZ_BUILD_ONLY=1 scripts/run-fuzz.sh >/dev/null
binary="$build/fuzz/fuzz_$harness"
[ -x "$binary" ] || { echo "no harness $binary" >&2; exit 2; }

found="$build/found/$harness"
mkdir -p "$found" "$build/artifacts" "$build/logs"
log="$build/logs/campaign-$harness-$(date -u +%Y%m%dT%H%M%S).log"
# No allocation stacks while fuzzing (about 8% more executions): a failure's
# input is kept, and rerunning it alone gives the full report.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:malloc_context_size=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

started="$(date -u +%Y-%m-%dT%H:%M:%SZ)"
start="$(date +%s)"
status=0
"$binary" "$found" "fuzz/corpus/$harness" -max_total_time="$seconds" -runs="$executions" \
  -timeout="${TARVESH_FUZZ_TIMEOUT:-60}" \
  -max_len=8192 -rss_limit_mb=2048 -print_final_stats=1 \
  -artifact_prefix="$build/artifacts/$harness-" >"$log" 2>&1 || status=$?
elapsed=$(($(date +%s) - start))

# The final statistics when the run ends normally; after a failure, the last
# progress line's count.
runs="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
[ -n "$runs" ] || runs="$(grep -oE '^#[0-9]+' "$log" | tail -1 | tr -d '#')"
# libFuzzer leaves with 72 when interrupted.
interrupted=72
outcome=clean
if [ "$status" -eq "$interrupted" ]; then
  outcome=interrupted
  status=0
elif [ "$status" -ne 0 ]; then
  outcome=failed
fi

# Merge into a fresh directory, then swap it in, so an interrupted merge
# leaves the committed corpus as it was.
exec 9>"$build/merge-$harness.lock"
flock 9
merged="$(mktemp -d "$build/merge-$harness.XXXXXX")"
"$binary" -merge=1 "$merged" "fuzz/corpus/$harness" "$found" >"$log.merge" 2>&1
rm -rf "fuzz/corpus/$harness.old"
mv "fuzz/corpus/$harness" "fuzz/corpus/$harness.old"
mv "$merged" "fuzz/corpus/$harness"
rm -rf "fuzz/corpus/$harness.old" "$found"
# Within its share of the repository's 5 MB of corpora. A shrink that fails
# leaves the corpus as merged and must not cost the run its record.
scripts/dev/shrink-corpus.sh "$harness" || echo "$harness: shrink failed; corpus left as merged" >&2
flock -u 9

(
  flock 8
  [ -f "$ledger" ] || printf 'started\tharness\texecutions\tseconds\toutcome\tcode\n' >"$ledger"
  printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$started" "$harness" "${runs:-0}" "$elapsed" "$outcome" \
    "$code" >>"$ledger"
  python3 scripts/dev/campaign_table.py "$ledger" fuzz/corpus >fuzz/CAMPAIGN.md
) 8>"$build/ledger.lock"

echo "$harness: $runs executions in $elapsed s, $outcome; corpus $(ls "fuzz/corpus/$harness" | wc -l) files"
if [ "$status" -ne 0 ]; then
  tail -n 40 "$log" >&2
  exit "$status"
fi
