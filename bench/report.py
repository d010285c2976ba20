"""Turns bench/run's hyperfine rounds into docs/performance.md (on stdout) and plot.dat.

  report.py RESULTS_DIR NAME:LABEL:COMMITS:GRAPH:SIZE...
"""
import glob
import json
import math
import os
import platform
import statistics
import subprocess
import sys

results, repos = sys.argv[1], [entry.split(":") for entry in sys.argv[2:]]


def median(name, command):
    """The median of all runs of command on repository name, over every round; None if untimed."""
    times = []
    for path in glob.glob(f"{results}/{name}.*.json"):
        for result in json.load(open(path))["results"]:
            if result["command"] == command:
                times += result["times"]
    return statistics.median(times) if times else None


def ms(seconds):
    return f"{seconds * 1000:.1f} ms" if seconds < 10 else f"{seconds:.2f} s"


def version(command):
    return subprocess.run(command, capture_output=True, text=True).stdout.strip().splitlines()[0]


rows = []
for name, label, commits, graph, _ in repos:
    t = {c: median(name, c) for c in ("revstamp", "revstamp s", "one-pass floor", "one-pass floor s",
                                      "two-pass floor", "two-pass floor s", "autorevision", "baseline",
                                      "shallow probe")}
    rss = [line.split() for line in open(f"{results}/{name}.rss")]
    rows.append(dict(name=name, label=label, commits=int(commits), graph=graph == "1", t=t,
                     rss_mib=max(int(kb) for kb, _ in rss) / 1024,
                     cpu_ms=statistics.median(int(us) for _, us in rss) / 1000))

# The synthetic linear histories, without and with a commit-graph file.
linear = [r for r in rows if r["name"].startswith(("linear-", "graph-"))]

# One block per commit-graph state (gnuplot's index 0 and 1), rows by history length.
with open(f"{results}/plot.dat", "w") as plot:
    for graph in (False, True):
        for r in sorted((r for r in linear if r["graph"] == graph), key=lambda r: r["commits"]):
            t = r["t"]
            plot.write(f"{r['commits']} {t['revstamp']} {t['revstamp s']} "
                       f"{t['one-pass floor']} {t['two-pass floor']} {t['autorevision']}\n")
        plot.write("\n\n")

cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo") if l.startswith("model name")), "?")
print("# Performance\n")
print("![Wall time per stamp against history length, without and with a commit-graph file: "
      "revstamp, its targeted form, both floors and autorevision](performance.svg)\n")
print("What one stamp costs before every compile. Medians of all hyperfine runs, taken in short")
print("rounds that alternate the commands; made by `bench/run`. The **one-pass floor** runs the Git")
print("commands revstamp starts (`git rev-list HEAD` once, the shallow-clone probe")
print("`git rev-parse --is-shallow-repository`, `git status`) with nothing around them;")
print("the **two-pass floor** is the same with `git rev-list HEAD` twice, as revstamp did before;")
print("**autorevision** (`autorevision -t h -o <cache>`) is a general revision exporter of another")
print("design. Peak RSS and own CPU (user + system, median of six runs) are revstamp's own process's,")
print("Git's not included. revstamp starts Git with `GIT_FLUSH=0`, so Git writes its listing into")
print("the pipe in 4 KiB blocks rather than one write per commit; the floors are plain shell")
print("pipelines without it, which is why revstamp can come in under its floor on long histories.\n")
probe = [r["t"]["shallow probe"] for r in rows if r["t"]["shallow probe"] is not None]
if probe:
    print("The shallow-clone probe is one more Git start for every stamp: timed alone,")
    print(f"{ms(min(probe))} to {ms(max(probe))} a run (medians per repository).\n")
print(f"Machine: {cpu}, {os.cpu_count()} cores, {platform.system()} {platform.release()}, "
      f"{version(['git', '--version'])}, {version(['autorevision', '-V'])}.\n")


def table(columns):
    """A markdown table, one row per repository: columns are (heading, alignment, cell of row)."""
    print("| " + " | ".join(heading for heading, _, _ in columns) + " |")
    print("|" + "|".join(align for _, align, _ in columns) + "|")
    for r in rows:
        print("| " + " | ".join(cell(r) for _, _, cell in columns) + " |")


def ratio(a, b):
    return ("---:", lambda r: f"{r['t'][a] / r['t'][b]:.3f}")


def time_of(command):
    return ("---:", lambda r: ms(r["t"][command]))


history = [("history", "---", lambda r: r["label"]),
           ("commit-graph", "---", lambda r: "yes" if r["graph"] else "no")]
print("## Plain form\n")
table(history + [("revstamp", *time_of("revstamp")), ("one-pass floor", *time_of("one-pass floor")),
                 ("two-pass floor", *time_of("two-pass floor")), ("autorevision", *time_of("autorevision")),
                 ("/ one-pass", *ratio("revstamp", "one-pass floor")),
                 ("/ two-pass", *ratio("revstamp", "two-pass floor")),
                 ("/ autorevision", *ratio("revstamp", "autorevision")),
                 ("peak RSS", "---:", lambda r: f"{r['rss_mib']:.1f} MiB"),
                 ("own CPU", "---:", lambda r: f"{r['cpu_ms']:.1f} ms")])
print("\n## Targeted form\n")
table(history + [("revstamp", *time_of("revstamp s")), ("one-pass floor", *time_of("one-pass floor s")),
                 ("two-pass floor", *time_of("two-pass floor s")),
                 ("/ one-pass", *ratio("revstamp s", "one-pass floor s")),
                 ("/ two-pass", *ratio("revstamp s", "two-pass floor s"))])
if all(r["t"]["baseline"] for r in rows):
    print("\n## Against the baseline build\n")
    print("`BENCH_BASELINE`, another revstamp binary, timed in the same rounds (plain form).\n")
    table(history + [("baseline", *time_of("baseline")), ("revstamp", *time_of("revstamp")),
                     ("revstamp / baseline", *ratio("revstamp", "baseline")),
                     ("baseline / one-pass", *ratio("baseline", "one-pass floor")),
                     ("baseline / autorevision", *ratio("baseline", "autorevision"))])

large = [r for r in linear if r["commits"] >= 30000]
small = [r for r in linear if r["commits"] < 30000]


def worst(selected, ratio):
    return max((ratio(r["t"]) for r in selected), default=float("nan"))


goals = [
    ("revstamp / one-pass floor, 30k commits and more", worst(large, lambda t: t["revstamp"] / t["one-pass floor"]), 1.05),
    ("revstamp / one-pass floor, 1k commits", worst(small, lambda t: t["revstamp"] / t["one-pass floor"]), 1.10),
    ("revstamp / two-pass floor, 30k commits and more", worst(large, lambda t: t["revstamp"] / t["two-pass floor"]), 0.60),
    ("revstamp / autorevision, every size", worst(linear, lambda t: t["revstamp"] / t["autorevision"]), 0.70),
    ("revstamp's peak RSS (MiB), every repository", max(r["rss_mib"] for r in rows), 2.0),
]
print("\n## Goals (plain form, worst case over the repositories)\n")
print("| goal | worst | limit | met |")
print("|---|---:|---:|---|")
for what, value, limit in goals:
    if math.isnan(value):
        continue  # no repository of that size in this run
    print(f"| {what} | {value:.3f} | {limit:.2f} | {'yes' if value <= limit else '**no**'} |")
print("\nOn a shared or busy machine the same cell moves by several percent from one run of")
print("`bench/run` to the next: compare a few runs before reading a gap into one.")
