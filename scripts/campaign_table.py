#!/usr/bin/env python3
"""Writes fuzz/CAMPAIGN.md from the campaign ledger (fuzz/campaign.tsv, one
line per run of scripts/run-campaign.sh): executions and seconds summed per
harness, the corpus as committed, and every run that did not end cleanly.

    campaign_table.py <ledger.tsv> <corpus dir>
"""
import csv
import os
import sys

TARGET = 10_000_000


def main():
    ledger, corpus = sys.argv[1], sys.argv[2]
    with open(ledger, newline="") as f:
        runs = list(csv.DictReader(f, delimiter="\t"))

    totals = {}
    for run in runs:
        entry = totals.setdefault(run["harness"], {"executions": 0, "seconds": 0, "runs": 0})
        entry["executions"] += int(run["executions"])
        entry["seconds"] += int(run["seconds"])
        entry["runs"] += 1

    out = [
        "# Fuzz campaign",
        "",
        "Every harness under AddressSanitizer and UndefinedBehaviorSanitizer (clang,",
        "libFuzzer), started from the committed corpus; each class harness reads",
        "every input with both parsers, flat and chunked, on the heap and on an",
        "arena, and (for classes holding packed varint columns) once per varint",
        "kernel the machine runs. After each run the corpus is merged back,",
        "minimised. Written by `scripts/run-campaign.sh <harness> <seconds>` from",
        "the ledger `fuzz/campaign.tsv`; executions and seconds are summed over",
        "every recorded run. Seconds are wall-clock: a run at low priority beside",
        "other work goes far slower than on an idle core.",
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

    failed = [run for run in runs if run["outcome"] != "clean"]
    short = [h for h in harnesses if totals.get(h, {"executions": 0})["executions"] < TARGET]
    out += ["", f"Runs recorded: {len(runs)}; runs that did not end cleanly: {len(failed)}."]
    for run in failed:
        out.append(f"- {run['started']} {run['harness']}: {run['outcome']}")
    if short:
        out.append("Below the target so far: " + ", ".join(short) + ".")
    print("\n".join(out))


if __name__ == "__main__":
    main()
