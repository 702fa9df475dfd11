#!/usr/bin/env python3
# SPDX-License-Identifier: BSD-3-Clause
"""Turns the benchmark suite's JSON output into the tables of RESULTS.md.

Usage: summarize.py RESULTS.json RESULTS.md KEY=VALUE...
The KEY=VALUE pairs describe the machine and go at the top of the file.
counts.json beside RESULTS.json, when there, holds the instructions per
operation that callgrind counted (bench/counts.py).
Prints the same tables, the targets and the allocation check to stdout;
exits 1 when a steady-state parse of the library's classes allocates.
Draws bench/results.png (next to RESULTS.md) when matplotlib is there.
"""
import json
import os
import re
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
# The packed-column targets for the track, as ratios in one run.
TRACK_PARSES = ["ReusedParseCodedStream", "ReusedParseString"]
TRACK_WRITES = ["SerializeToArray", "SerializeToString"]
PARSE_VS_PROTOZERO = 4.0
PARSE_VS_DYNAMIC = 4.0
AVX2_PARSE_VS_PROTOZERO = 2.0
WRITE_VS_PROTOZERO = 2.0
WRITE_VS_DYNAMIC = 25.0
# The AVX-512 kernel against the AVX2 kernel, in one run: the track's reused
# parse and array write, and each column operation; the parse also against
# memcpy of the same bytes.
AVX512_TRACK_VS_AVX2 = {"ReusedParseString": 1.3, "SerializeToArray": 1.3}
AVX512_PARSE_VS_MEMCPY = 0.25
AVX512_COLUMN_VS_AVX2 = 1.5
COLUMNS = ["PlainColumn", "ZigZagColumn"]
COLUMN_OPERATIONS = ["Decode", "Size", "Write"]
# Against protoc's generated peer: instructions (the primary figure) and
# median times, generated / ours, at least these.
GENERATED_OPERATIONS = [
    "ByteSizeLong", "SerializeToArray", "SerializeToString", "ParseCodedStream",
    "ParseString", "ReusedParseCodedStream", "ReusedParseString", "ArenaParseString",
    "CopyFrom", "MergeFrom", "StreamParse", "FlatStreamParse", "StreamWrite",
    "BaseSerialize",
]
FRESH_PARSES = {"ParseCodedStream", "ParseString", "ArenaParseString"}
TIME_LEAD_OPERATIONS = {
    "ByteSizeLong", "SerializeToArray", "SerializeToString", "ReusedParseCodedStream",
    "ReusedParseString",
}
# The entry points of a caller holding a stream or a Message&, and Clear +
# MergeFrom: at least these multiples in instructions (Track, other
# workloads) and in time; the track's MergeFrom copies the same columns on
# both sides, so it need only keep level.
STREAM_OPERATIONS = {"StreamParse", "FlatStreamParse", "StreamWrite", "BaseSerialize",
                     "MergeFrom"}
STREAM_INSTRUCTION_TARGETS = {"Track": 2.5}
STREAM_INSTRUCTION_TARGET = 1.3
STREAM_TIME_TARGET = 1.1


def level_merge(workload, operation):
    return workload == "Track" and operation == "MergeFrom"


def instruction_target(workload, operation):
    """The instruction ratio an operation must reach, or None."""
    if operation in STREAM_OPERATIONS:
        if level_merge(workload, operation):
            return 1.0
        return STREAM_INSTRUCTION_TARGETS.get(workload, STREAM_INSTRUCTION_TARGET)
    if workload == "Track":
        return 1.0 if operation == "CopyFrom" else 2.0
    return 1.1 if operation in FRESH_PARSES else 1.25


def time_target(workload, operation):
    if operation in STREAM_OPERATIONS:
        return 1.0 if level_merge(workload, operation) else STREAM_TIME_TARGET
    return 1.1 if operation in TIME_LEAD_OPERATIONS else 1.0


# Operations shown per varint kernel and in the chart.
KERNEL_OPERATIONS = [
    "ByteSizeLong", "SerializeToArray", "SerializeToString", "ParseCodedStream",
    "ParseString", "ReusedParseCodedStream", "ReusedParseString",
]


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
    lines += ["Written by `scripts/dev/run-bench.sh` from `bench/results.json`; "
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

    counts_path = os.path.join(os.path.dirname(results_json) or ".", "counts.json")
    counts = {}
    if os.path.exists(counts_path):
        with open(counts_path) as handle:
            counts = json.load(handle)

    verdicts, alloc_failures = [], []
    generated_lines, generated_verdicts = generated_section(runs, counts)
    lines += generated_lines
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

    kernel_lines, kernel_verdicts, kernels = kernel_section(context, runs)
    lines += kernel_lines
    column_lines, column_verdicts = column_section(context, runs, kernels)
    lines += column_lines
    kernel_verdicts += column_verdicts
    lines += sweep_section(context, runs)
    chart = draw_chart(runs, kernels, os.path.join(os.path.dirname(results_md) or ".",
                                                   "results.png"))
    if chart:
        lines += ["## Chart", "",
                  "Throughput of the track per operation and implementation, and of the "
                  "size sweep:", "", "![throughput per operation](%s)" % chart, ""]

    lines += (["## Targets", "", "```"] + generated_verdicts + kernel_verdicts + verdicts
              + ["```", ""])
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


def generated_section(runs, counts):
    """Per workload and operation, ours against protoc's generated peer
    (<workload>/Generated/...): instructions per operation under callgrind
    and median times, each as generated / ours."""
    lines = ["## Against protoc's generated code", "",
             "*Generated* is the code protoc generates for renamed copies of the same four "
             "schema files, built as a shared library like ours (`bench/peer/`). "
             "*vs generated* is generated / ours: instructions per operation as callgrind "
             "counts them (`scripts/dev/run-bench.sh --count`; they do not move with the "
             "machine's load, so they are the primary figure), and median CPU time.", ""]
    verdicts = []
    times = {name: nanoseconds(run) for name, run in runs.items() if run}
    for workload in WORKLOADS:
        lines += ["### %s" % workload, "",
                  "| operation | ours, instructions | generated | vs generated | ours, time |"
                  " generated | vs generated |",
                  "|---|---:|---:|---:|---:|---:|---:|"]
        for operation in GENERATED_OPERATIONS:
            ours_name = "%s/Tarvesh/%s" % (workload, operation)
            peer_name = "%s/Generated/%s" % (workload, operation)
            cells = [operation]
            for what, values, show, target in (
                    ("instructions", counts, lambda v: "%.0f" % v,
                     instruction_target(workload, operation)),
                    ("median time", times, duration, time_target(workload, operation))):
                ours, peer = values.get(ours_name), values.get(peer_name)
                if not (ours and peer):
                    cells += ["", "", ""]
                    continue
                ratio = peer / ours
                cells += [show(ours), show(peer), "%.2f×" % ratio]
                if target:
                    verdicts.append(verdict(ratio >= target, "%s %s: %s, generated / ours = "
                                            "%.2f× (target %g×)" % (
                                                workload, operation, what, ratio, target)))
            lines.append("| " + " | ".join(cells) + " |")
        lines.append("")
    return lines, verdicts


def verdict(met, text):
    return "%s  %s" % ("met " if met else "MISS", text)


def kernel_section(context, runs):
    """Per varint kernel (Track/Tarvesh-<kernel>/...): time and throughput per
    operation, with the ratios the packed-column targets use."""
    order = ["scalar", "sse41", "avx2", "avx512"]
    kernels = sorted({m.group(1) for name in runs
                      for m in [re.match(r"Track/Tarvesh-([^/]+)/", name)] if m},
                     key=lambda k: (order.index(k) if k in order else len(order), k))
    decode = runs.get("Track/Protozero/ReusedDecode")
    encode = runs.get("Track/Protozero/Encode")
    lines, verdicts = [], []
    if not kernels:
        return lines, verdicts, kernels
    lines += ["## Track per varint kernel", "",
              "`Tarvesh` is the library as it dispatches (the kernel chosen at load: %s); "
              "`Tarvesh-<kernel>` the same with that kernel forced. *vs protozero* is "
              "protozero's time over ours: its decoder for the parses, its encoder "
              "(`Track/Protozero/Encode`, same bytes) for the writes."
              % context.get("varint_kernel", "?"),
              ""]
    header = "| operation |" + "".join(" %s | vs protozero |" % k for k in ["Tarvesh"] + kernels)
    lines += [header, "|---|" + "---:|---:|" * (len(kernels) + 1)]
    for operation in KERNEL_OPERATIONS:
        row = "| %s |" % operation
        peer = decode if "Parse" in operation else encode if "Serialize" in operation else None
        for implementation in ["Tarvesh"] + ["Tarvesh-" + k for k in kernels]:
            run = runs.get("Track/%s/%s" % (implementation, operation))
            if not run:
                row += " | |"
                continue
            row += " %s, %s |" % (throughput(run["bytes_per_second"]), duration(nanoseconds(run)))
            row += " %s |" % ratio(nanoseconds(peer) / nanoseconds(run)) if peer else " |"
        lines.append(row)
    peers = []
    if decode:
        peers.append("protozero decode %s, %s" % (throughput(decode["bytes_per_second"]),
                                                  duration(nanoseconds(decode))))
    if encode:
        peers.append("protozero encode %s, %s" % (throughput(encode["bytes_per_second"]),
                                                  duration(nanoseconds(encode))))
    lines += ["", "Peers: " + "; ".join(peers) + ".", ""]

    def at_least(peer, ours, target, label):
        """A verdict that `ours` takes at most 1/target of `peer`'s time."""
        if peer and ours:
            r = nanoseconds(peer) / nanoseconds(ours)
            verdicts.append(verdict(r >= target, label % ratio(r) + " (target %g×)" % target))

    for operation in TRACK_PARSES:
        ours = runs.get("Track/Tarvesh/" + operation)
        dynamic = runs.get("Track/Dynamic/" + operation)
        avx2 = runs.get("Track/Tarvesh-avx2/" + operation)
        at_least(decode, ours, PARSE_VS_PROTOZERO,
                 "Track " + operation + ": %s protozero's decoder")
        at_least(dynamic, ours, PARSE_VS_DYNAMIC, "Track " + operation + ": %s DynamicMessage")
        at_least(decode, avx2, AVX2_PARSE_VS_PROTOZERO,
                 "Track " + operation + ", avx2 kernel: %s protozero's decoder")
    for operation in TRACK_WRITES:
        ours = runs.get("Track/Tarvesh/" + operation)
        dynamic = runs.get("Track/Dynamic/" + operation)
        at_least(encode, ours, WRITE_VS_PROTOZERO,
                 "Track " + operation + ": %s protozero's encoder")
        at_least(dynamic, ours, WRITE_VS_DYNAMIC, "Track " + operation + ": %s DynamicMessage")
    return lines, verdicts, kernels


def column_section(context, runs, kernels):
    """Each kernel on a packed column alone (<column>/Tarvesh-<kernel>/...),
    with the ratios of the AVX-512 kernel's targets."""
    lines, verdicts = [], []
    if not any(runs.get("%s/Tarvesh-%s/Decode" % (c, k)) for c in COLUMNS for k in kernels):
        return lines, verdicts
    lines += ["## Packed columns per varint kernel", "",
              "16,384 values of 1 to 4 encoded bytes, drawn evenly: uint32 (`PlainColumn`) "
              "and sint32 (`ZigZagColumn`). Throughput of the encoded bytes, and the time of "
              "the AVX2 kernel over each kernel's.", "",
              "| column | operation |" + "".join(" %s | vs avx2 |" % k for k in kernels),
              "|---|---|" + "---:|---:|" * len(kernels)]
    for column in COLUMNS:
        for operation in COLUMN_OPERATIONS:
            avx2 = runs.get("%s/Tarvesh-avx2/%s" % (column, operation))
            row = "| %s | %s |" % (column, operation)
            for kernel in kernels:
                run = runs.get("%s/Tarvesh-%s/%s" % (column, kernel, operation))
                if not run:
                    row += " | |"
                    continue
                row += " %s | %s |" % (throughput(run["bytes_per_second"]),
                                       ratio(nanoseconds(avx2) / nanoseconds(run)) if avx2 else "")
            lines.append(row)
            avx512 = runs.get("%s/Tarvesh-avx512/%s" % (column, operation))
            if avx2 and avx512:
                r = nanoseconds(avx2) / nanoseconds(avx512)
                verdicts.append(verdict(r >= AVX512_COLUMN_VS_AVX2,
                                        "%s %s, avx512 kernel: %s the avx2 kernel (target %g×)"
                                        % (column, operation, ratio(r), AVX512_COLUMN_VS_AVX2)))
    lines.append("")
    for operation, target in AVX512_TRACK_VS_AVX2.items():
        avx2 = runs.get("Track/Tarvesh-avx2/" + operation)
        avx512 = runs.get("Track/Tarvesh-avx512/" + operation)
        if avx2 and avx512:
            r = nanoseconds(avx2) / nanoseconds(avx512)
            verdicts.append(verdict(r >= target, "Track %s, avx512 kernel: %s the avx2 kernel "
                                    "(target %g×)" % (operation, ratio(r), target)))
    memcpy = runs.get("Track/Memcpy/Copy")
    parse = runs.get("Track/Tarvesh-avx512/ReusedParseString")
    if memcpy and parse:
        share = nanoseconds(memcpy) / nanoseconds(parse)
        verdicts.append(verdict(share >= AVX512_PARSE_VS_MEMCPY,
                                "Track ReusedParseString, avx512 kernel: %.1f%% of memcpy's "
                                "throughput (target %.0f%%)" % (100 * share,
                                                                100 * AVX512_PARSE_VS_MEMCPY)))
    return lines, verdicts


def sweep_points(runs):
    return sorted({int(m.group(1)) for name in runs
                   for m in [re.match(r"Sweep/Track(\d+)/", name)] if m})


def sweep_section(context, runs):
    points = sweep_points(runs)
    if not points:
        return []
    lines = ["## Size sweep", "",
             "Tracks of 1 to 64 frame tables (4096 frames each): the library's reused "
             "parse and array write against protozero's decoder and encoder.", "",
             "| tables | bytes | parse | protozero decode | ratio | write | protozero encode | ratio |",
             "|---:|---:|---:|---:|---:|---:|---:|---:|"]
    for tables in points:
        prefix = "Sweep/Track%d/" % tables
        parse = runs.get(prefix + "Tarvesh/ReusedParseString")
        write = runs.get(prefix + "Tarvesh/SerializeToArray")
        decode = runs.get(prefix + "Protozero/ReusedDecode")
        encode = runs.get(prefix + "Protozero/Encode")
        cells = ["%d" % tables, context.get(prefix[:-1] + ".bytes", "?")]
        for ours, peer in ((parse, decode), (write, encode)):
            for run in (ours, peer):
                cells.append("%s, %s" % (throughput(run["bytes_per_second"]),
                                         duration(nanoseconds(run))) if run else "")
            cells.append(ratio(nanoseconds(peer) / nanoseconds(ours)) if ours and peer else "")
        lines.append("| " + " | ".join(cells) + " |")
    return lines + [""]


def draw_chart(runs, kernels, path):
    """Grouped bars of the track's throughput per operation and implementation,
    and the sweep's throughput against its size. Returns the file name, or
    None without matplotlib."""
    try:
        import matplotlib
        matplotlib.use("Agg")
        import matplotlib.pyplot as plt
    except ImportError:
        return None
    implementations = ["Tarvesh"] + ["Tarvesh-" + k for k in kernels] + ["Dynamic", "Protozero"]
    figure, (bars, sweep) = plt.subplots(1, 2, figsize=(15, 6),
                                         gridspec_kw={"width_ratios": [3, 2]})
    width = 0.8 / len(implementations)
    for i, implementation in enumerate(implementations):
        values = []
        for operation in KERNEL_OPERATIONS:
            name = "Track/%s/%s" % (implementation, operation)
            if implementation == "Protozero":
                name = ("Track/Protozero/ReusedDecode" if operation.startswith("ReusedParse")
                        else "Track/Protozero/Encode" if operation.startswith("Serialize")
                        else "")
            run = runs.get(name)
            values.append(run["bytes_per_second"] / 1e9 if run else 0)
        positions = [x + (i - len(implementations) / 2 + 0.5) * width
                     for x in range(len(KERNEL_OPERATIONS))]
        bars.bar(positions, values, width, label=implementation)
    bars.set_xticks(range(len(KERNEL_OPERATIONS)))
    bars.set_xticklabels(KERNEL_OPERATIONS, rotation=30, ha="right")
    bars.set_ylabel("GB/s of serialized track")
    bars.set_title("Track (8 frame tables), median throughput")
    bars.legend()
    points = sweep_points(runs)
    for label, name in (("Tarvesh parse", "Tarvesh/ReusedParseString"),
                        ("Tarvesh write", "Tarvesh/SerializeToArray"),
                        ("protozero decode", "Protozero/ReusedDecode"),
                        ("protozero encode", "Protozero/Encode")):
        series = [runs.get("Sweep/Track%d/%s" % (t, name)) for t in points]
        sweep.plot(points, [r["bytes_per_second"] / 1e9 if r else float("nan") for r in series],
                   marker="o", label=label)
    sweep.set_xscale("log", base=2)
    sweep.set_xticks(points)
    sweep.set_xticklabels([str(t) for t in points])
    sweep.set_xlabel("frame tables")
    sweep.set_ylabel("GB/s")
    sweep.set_title("Size sweep")
    sweep.legend()
    figure.tight_layout()
    figure.savefig(path, dpi=90)
    return os.path.basename(path)


if __name__ == "__main__":
    sys.exit(main())
