#!/usr/bin/env python3
# SPDX-License-Identifier: BSD-3-Clause
"""Reads the dumps of `tarvesh_bench --count` under callgrind into counts.json.

Usage: counts.py LOG DUMP_PREFIX OUT.json
LOG is the binary's output ("counted <name> <iterations>" per operation);
each dump DUMP_PREFIX.<n> names its operation in its "desc: Trigger" line
and holds the instructions of its iterations in "totals:". Writes
{name: instructions per iteration}.
"""
import glob
import json
import re
import sys

TRIGGER = "desc: Trigger: Client Request: "


def main():
    log, prefix, out = sys.argv[1:4]
    iterations = {}
    with open(log) as handle:
        for line in handle:
            match = re.match(r"counted (\S+) (\d+)$", line.strip())
            if match:
                iterations[match.group(1)] = int(match.group(2))
    counts = {}
    for path in glob.glob(prefix + ".*"):
        name = total = None
        with open(path) as handle:
            for line in handle:
                if line.startswith(TRIGGER):
                    name = line[len(TRIGGER):].strip()
                elif line.startswith("totals:"):
                    total = int(line.split()[1])
        if name in iterations and total is not None:
            counts[name] = total / iterations[name]
    missing = sorted(set(iterations) - set(counts))
    if missing or not counts:
        sys.exit("counts.py: no dump for " + (", ".join(missing) or "any operation"))
    with open(out, "w") as handle:
        json.dump(counts, handle, indent=1, sort_keys=True)
        handle.write("\n")


if __name__ == "__main__":
    main()
