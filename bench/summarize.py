#!/usr/bin/env python3
"""Turns the benchmark suite's JSON output into the tables of RESULTS.md.

Usage: summarize.py RESULTS.json RESULTS.md KEY=VALUE...
The KEY=VALUE pairs describe the machine and go at the top of the file.
Prints the same tables, the targets and the allocation check to stdout;
exits 1 when a steady-state parse of the library's classes allocates.
"""
import json
import sys

WORKLOADS = ["Track", "DataReference", "PalletDesc"]
OPERATIONS = [
    "ByteSizeLong", "SerializeToArray", "SerializeToString",
    "ParseCodedStream", "ParseString", "ReusedParseCodedStream",
    "ReusedParseString", "CopyFrom", "MergeFrom", "ArenaParseString",
]
# Operations held to the 8x-DynamicMessage target.
TARGET_OPERATIONS = {
    "SerializeToArray", "SerializeToString", "ParseCodedStream",
    "ParseString", "ReusedParseCodedStream", "ReusedParseString",
}
# Track parses compared with the protozero decode (both reuse their storage).
PROTOZERO_OPERATIONS = {"ReusedParseCodedStream", "ReusedParseString"}
DYNAMIC_TARGET = 8.0
PROTOZERO_TARGET = 1.5
# ArenaParseString (both sides pay the arena's set-up): at least these
# multiples of DynamicMessage on an arena, and the track's within this factor
# of its reused parse.
ARENA_DYNAMIC_TARGETS = {"DataReference": 8.0, "PalletDesc": 6.0}
ARENA_REUSED_TARGET = 1.25


def load(path):
    """name -> run, the median of the repetitions when there are several, with
    the repetitions' coefficient of variation (CPU time) as "cv"."""
    with open(path) as handle:
        data = json.load(handle)
    runs, medians, cvs = {}, {}, {}
    for run in data["benchmarks"]:
        name = run.get("run_name", run["name"])
        if run.get("error_occurred"):
            runs[name] = None
        elif run.get("run_type") == "aggregate":
            if run.get("aggregate_name") == "median":
                medians[name] = run
            elif run.get("aggregate_name") == "cv":
                cvs[name] = run["cpu_time"]
        else:
            runs.setdefault(name, run)
    runs.update(medians)
    for name, cv in cvs.items():
        if runs.get(name):
            runs[name]["cv"] = cv
    return data.get("context", {}), runs


def throughput(value):
    for unit, scale in (("GB/s", 1e9), ("MB/s", 1e6), ("kB/s", 1e3)):
        if value >= scale:
            return "%.3g %s" % (value / scale, unit)
    return "%.3g B/s" % value


def duration(ns):
    for unit, scale in (("ms", 1e6), ("µs", 1e3)):
        if ns >= scale:
            return "%.3g %s" % (ns / scale, unit)
    return "%.3g ns" % ns


def ratio(value):
    return "%.2f×" % value if value < 10 else "%.1f×" % value


def spread(run):
    return "%.0f%%" % (100 * run["cv"]) if "cv" in run else ""


def nanoseconds(run):
    scale = {"ns": 1, "us": 1e3, "ms": 1e6, "s": 1e9}[run.get("time_unit", "ns")]
    return run["cpu_time"] * scale


def main():
    results_json, results_md = sys.argv[1], sys.argv[2]
    machine = [argument.split("=", 1) for argument in sys.argv[3:]]
    context, runs = load(results_json)

    lines = ["# Benchmark results", ""]
    lines += ["Written by `scripts/run-bench.sh` from `bench/results.json`; "
              "figures are medians of the repetitions, CPU time; *cv* is the "
              "repetitions' coefficient of variation. The binary fixes "
              "glibc's mmap and trim thresholds (see `bench/Benchmarks.cc`).", ""]
    lines += ["| | |", "|---|---|"]
    lines += ["| %s | %s |" % (key, value) for key, value in machine]
    lines += ["| Google Benchmark's own build (the suite is Release) | %s |"
              % context.get("library_build_type", "?")]
    lines.append("")
    lines += ["Ratios: *vs Dynamic* is our throughput over DynamicMessage's on the same "
              "operation (target ≥ %g× for serialise and parse); *vs protozero* is "
              "protozero's decode time over ours (target ≥ %.2f×, i.e. within %g× of "
              "it); *of memcpy* is our throughput as a share of a memcpy of the same bytes. "
              "*ArenaParseString* parses into a message on a fresh arena whose first block "
              "is a buffer of the benchmark's own; its allocations are those of strings "
              "past std::string's inline capacity (one per frame table of the track)."
              % (DYNAMIC_TARGET, 1 / PROTOZERO_TARGET, PROTOZERO_TARGET), ""]

    verdicts, alloc_failures = [], []
    for workload in WORKLOADS:
        size = context.get(workload + ".bytes", "?")
        memcpy = runs.get(workload + "/Memcpy/Copy")
        protozero = runs.get(workload + "/Protozero/ReusedDecode")
        lines += ["## %s (%s bytes serialized)" % (workload, size), ""]
        header = ("| operation | ours | time | cv | allocs/op | Dynamic | cv | vs Dynamic |"
                  " of memcpy |")
        rule = "|---|---:|---:|---:|---:|---:|---:|---:|---:|"
        if protozero:
            header += " vs protozero |"
            rule += "---:|"
        lines += [header, rule]
        for operation in OPERATIONS:
            ours = runs.get("%s/Tarvesh/%s" % (workload, operation))
            dynamic = runs.get("%s/Dynamic/%s" % (workload, operation))
            if not ours:
                lines.append("| %s | failed | | | | | | | |" % operation)
                verdicts.append("FAIL  %s %s: the benchmark failed" % (workload, operation))
                continue
            ours_rate = ours["bytes_per_second"]
            allocs = ours.get("allocs", 0.0)
            row = "| %s | %s | %s | %s | %.4g |" % (operation, throughput(ours_rate),
                                                  duration(nanoseconds(ours)), spread(ours),
                                                  allocs)
            if dynamic:
                versus = ours_rate / dynamic["bytes_per_second"]
                row += " %s | %s | %s |" % (throughput(dynamic["bytes_per_second"]),
                                            spread(dynamic), ratio(versus))
                if operation == "ArenaParseString" and workload in ARENA_DYNAMIC_TARGETS:
                    target = ARENA_DYNAMIC_TARGETS[workload]
                    verdicts.append("%s  %s %s: %s DynamicMessage on an arena (target %g×)" % (
                        "met " if versus >= target else "MISS", workload, operation,
                        ratio(versus), target))
                if operation in TARGET_OPERATIONS:
                    met = versus >= DYNAMIC_TARGET
                    verdicts.append("%s  %s %s: %s DynamicMessage (target %g×)" % (
                        "met " if met else "MISS", workload, operation, ratio(versus),
                        DYNAMIC_TARGET))
            else:
                row += " | | |"
            row += " %.3g%% |" % (100 * ours_rate / memcpy["bytes_per_second"]) if memcpy else " |"
            if protozero:
                if operation in PROTOZERO_OPERATIONS:
                    versus = nanoseconds(protozero) / nanoseconds(ours)
                    row += " %s |" % ratio(versus)
                    met = versus >= 1 / PROTOZERO_TARGET
                    verdicts.append("%s  %s %s: protozero time / ours = %s (target ≥ %.2f×)" % (
                        "met " if met else "MISS", workload, operation, ratio(versus),
                        1 / PROTOZERO_TARGET))
                else:
                    row += " |"
            lines.append(row)
            if operation.startswith("Reused") and allocs != 0:
                alloc_failures.append("%s %s: %.4g allocations per parse" % (
                    workload, operation, allocs))
            if operation == "ArenaParseString":
                long_strings = ours.get("long_strings", 0.0)
                if allocs > long_strings:
                    alloc_failures.append("%s %s: %.4g allocations per parse, %.4g long strings"
                                          % (workload, operation, allocs, long_strings))
                reused = runs.get("%s/Tarvesh/ReusedParseString" % workload)
                if workload == "Track" and reused:
                    slower = nanoseconds(ours) / nanoseconds(reused)
                    verdicts.append("%s  %s %s: %.2f× the time of ReusedParseString "
                                    "(target ≤ %.2f×)" % (
                                        "met " if slower <= ARENA_REUSED_TARGET else "MISS",
                                        workload, operation, slower, ARENA_REUSED_TARGET))
        peers = []
        if protozero:
            peers.append("protozero decode into reused vectors: %s, %s" % (
                throughput(protozero["bytes_per_second"]), duration(nanoseconds(protozero))))
        if memcpy:
            peers.append("memcpy: %s, %s" % (throughput(memcpy["bytes_per_second"]),
                                             duration(nanoseconds(memcpy))))
        lines += ["", "Peers: " + "; ".join(peers) + ".", ""]

    lines += ["## Targets", "", "```"] + verdicts + ["```", ""]
    check = ("FAIL: steady-state parses allocate: " + "; ".join(alloc_failures)
             if alloc_failures else
             "PASS: no steady-state parse of the library's classes allocates, and arena "
             "parses allocate only long strings' characters")
    lines += ["## Allocation check", "", check, ""]

    with open(results_md, "w") as handle:
        handle.write("\n".join(lines))
    print("\n".join(lines))
    print("ALLOCATION CHECK " + check)
    return 1 if alloc_failures else 0


if __name__ == "__main__":
    sys.exit(main())
