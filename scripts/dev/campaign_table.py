#!/usr/bin/env python3
# SPDX-License-Identifier: BSD-3-Clause
"""Writes fuzz/CAMPAIGN.md from the campaign ledger (fuzz/campaign.tsv, one
line per run of scripts/dev/run-campaign.sh): executions and seconds summed per
harness over the runs on the code as it stands (the digest of
scripts/dev/code-digest.sh), the corpus as committed, and every run that did not
end cleanly. Runs on earlier code are summed apart and do not count.

    campaign_table.py <ledger.tsv> <corpus dir>
"""
import csv
import os
import subprocess
import sys

TARGET = 10_000_000


def main():
    ledger, corpus = sys.argv[1], sys.argv[2]
    digest = os.path.join(os.path.dirname(os.path.abspath(__file__)), "code-digest.sh")
    code = subprocess.run([digest], check=True, capture_output=True, text=True).stdout.strip()
    with open(ledger, newline="") as f:
        runs = list(csv.DictReader(f, delimiter="\t"))

    current = [run for run in runs if run.get("code") == code]
    earlier = [run for run in runs if run.get("code") != code]
    totals = {}
    for run in current:
        entry = totals.setdefault(run["harness"], {"executions": 0, "seconds": 0})
        entry["executions"] += int(run["executions"])
        entry["seconds"] += int(run["seconds"])

    out = [
        "# Fuzz campaign",
        "",
        "Every harness under AddressSanitizer and UndefinedBehaviorSanitizer (clang,",
        "libFuzzer), started from the committed corpus; each class harness reads",
        "every input with both parsers, flat and chunked, on the heap and on an",
        "arena, and (for classes holding packed varint columns) once per varint",
        "kernel the machine runs. After each run the corpus is merged back,",
        "minimised. Written by `scripts/dev/run-campaign.sh <harness> <seconds>` from",
        "the ledger `fuzz/campaign.tsv`. Executions and seconds are summed over the",
        f"runs on the code as it stands (digest `{code}` of library/, ProtoBuf/,",
        "tools/ and the harnesses); seconds are wall-clock, two harnesses sharing",
        "the machine's two cores.",
        f"Target: {TARGET:,} executions per harness.",
        "",
        "| harness | executions | seconds | corpus files |",
        "|---|---:|---:|---:|",
    ]
    harnesses = sorted(set(totals) | set(
        d for d in os.listdir(corpus) if os.path.isdir(os.path.join(corpus, d))))
    for harness in harnesses:
        entry = totals.get(harness, {"executions": 0, "seconds": 0})
        path = os.path.join(corpus, harness)
        files = len(os.listdir(path)) if os.path.isdir(path) else 0
        out.append(f"| {harness} | {entry['executions']:,} | {entry['seconds']:,} | {files:,} |")

    # A run stopped by hand (to free its core, or at a session's end) found
    # nothing; its executions count like any other. Every other outcome is a
    # report, with what became of it.
    stopped = [run for run in current if run["outcome"].startswith("interrupted")]
    failed = [run for run in current if run["outcome"] != "clean" and run not in stopped]
    short = [h for h in harnesses if totals.get(h, {"executions": 0})["executions"] < TARGET]
    out += ["", f"Runs on this code: {len(current)}; stopped by hand: {len(stopped)}; "
            f"ended by a report: {len(failed)}."]
    for run in failed:
        out.append(f"- {run['started']} {run['harness']}: {run['outcome']}")
    if short:
        out.append("Below the target so far: " + ", ".join(short) + ".")
    if earlier:
        executions = sum(int(run["executions"]) for run in earlier)
        out.append(f"Not counted: {len(earlier)} runs ({executions:,} executions) on earlier code.")
    print("\n".join(out))


if __name__ == "__main__":
    main()
