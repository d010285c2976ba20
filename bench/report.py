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
                                      "two-pass floor", "two-pass floor s", "parallel floor",
                                      "parallel floor s", "autorevision", "baseline", "baseline s",
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
                       f"{t['one-pass floor']} {t['two-pass floor']} {t['autorevision']} "
                       f"{t['parallel floor']}\n")
        plot.write("\n\n")
    # A third block: the submodule repositories, targeted form, as bars.
    for r in rows:
        if r["name"].startswith("submodules-"):
            kind = "cloned" if r["name"].endswith("-clone") else "added"
            plot.write(f"\"{kind}\" {r['t']['revstamp s']} {r['t']['parallel floor s']}\n")

cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo") if l.startswith("model name")), "?")
print("# Performance\n")
print("For anyone weighing what a stamp costs before every compile, and contributors changing how\n"
      "Git is run.\n")
print("![Wall time per stamp against history length, without and with a commit-graph file: "
      "revstamp, its targeted form, the floors and autorevision](performance.svg)\n")
print("What one stamp costs before every compile. Medians of all hyperfine runs, taken in short")
print("rounds that alternate the commands; made by `bench/run`. revstamp starts its Git commands")
print("(`git rev-list HEAD --`, the shallow-clone probe `git rev-parse --is-shallow-repository`,")
print("`git status`, and for the targeted form `git submodule status --recursive`) all at once and")
print("reads them in turn. The **parallel floor** starts the same commands together from the shell")
print("(`a & b & c & wait`, output to `/dev/null`): about the time of the slowest of them. The")
print("**one-pass floor** runs them one after another, as revstamp did before; the")
print("**two-pass floor** is that with `git rev-list HEAD` twice, as it did before that.")
print("**autorevision** (`autorevision -t h -o <cache>`) is a general revision exporter of another")
print("design. Peak RSS and own CPU (user + system, median of six runs) are revstamp's own process's,")
print("Git's not included. revstamp starts Git with `GIT_FLUSH=0`, so Git writes its listing into")
print("the pipe in 4 KiB blocks rather than one write per commit; the floors are plain shell")
print("commands without it (into `/dev/null` or a pipe Git flushes every line), which is why")
print("revstamp comes in under its floors on long histories. With four or more submodules, the")
print("targeted form lists them with K `git submodule status --recursive` commands side by side")
print("(K in the repository's label), each for a run of them, where the floors run one.\n")
probe = [r["t"]["shallow probe"] for r in rows if r["t"]["shallow probe"] is not None]
if probe:
    print("The shallow-clone probe runs beside the other commands; timed alone, it takes")
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
table(history + [("revstamp", *time_of("revstamp")), ("parallel floor", *time_of("parallel floor")),
                 ("one-pass floor", *time_of("one-pass floor")),
                 ("two-pass floor", *time_of("two-pass floor")), ("autorevision", *time_of("autorevision")),
                 ("/ parallel", *ratio("revstamp", "parallel floor")),
                 ("/ one-pass", *ratio("revstamp", "one-pass floor")),
                 ("/ two-pass", *ratio("revstamp", "two-pass floor")),
                 ("/ autorevision", *ratio("revstamp", "autorevision")),
                 ("peak RSS", "---:", lambda r: f"{r['rss_mib']:.1f} MiB"),
                 ("own CPU", "---:", lambda r: f"{r['cpu_ms']:.1f} ms")])
print("\n## Targeted form\n")
table(history + [("revstamp", *time_of("revstamp s")), ("parallel floor", *time_of("parallel floor s")),
                 ("one-pass floor", *time_of("one-pass floor s")),
                 ("two-pass floor", *time_of("two-pass floor s")),
                 ("/ parallel", *ratio("revstamp s", "parallel floor s")),
                 ("/ one-pass", *ratio("revstamp s", "one-pass floor s")),
                 ("/ two-pass", *ratio("revstamp s", "two-pass floor s"))])
has_baseline = all(r["t"]["baseline"] for r in rows)
if has_baseline:
    print("\n## Against the baseline build\n")
    print("`BENCH_BASELINE`, another revstamp binary, timed in the same rounds.\n")
    table(history + [("baseline", *time_of("baseline")), ("revstamp", *time_of("revstamp")),
                     ("revstamp / baseline", *ratio("revstamp", "baseline")),
                     ("baseline s", *time_of("baseline s")), ("revstamp s", *time_of("revstamp s")),
                     ("revstamp s / baseline s", *ratio("revstamp s", "baseline s")),
                     ("baseline / autorevision", *ratio("baseline", "autorevision"))])

# The history sizes where the baseline goals apply: 30k commits and the submodule repository.
compared = [r for r in rows if r["commits"] == 30000 or r["name"].startswith("submodules-")]


def worst(selected, ratio):
    return max((ratio(r["t"]) for r in selected), default=float("nan"))


goals = [
    ("revstamp / parallel floor, every repository", worst(rows, lambda t: t["revstamp"] / t["parallel floor"]), 1.05),
    ("revstamp s / parallel floor s, every repository", worst(rows, lambda t: t["revstamp s"] / t["parallel floor s"]), 1.05),
    ("revstamp / autorevision, every size", worst(linear, lambda t: t["revstamp"] / t["autorevision"]), 0.60),
    ("revstamp's peak RSS (MiB), every repository", max(r["rss_mib"] for r in rows), 2.0),
]
# The checked-out clone with 50 submodules, whose listing runs side by side.
cloned = [r for r in rows if r["name"].endswith("-clone")]
goals += [
    ("revstamp s / parallel floor s, cloned submodules", worst(cloned, lambda t: t["revstamp s"] / t["parallel floor s"]), 0.70),
    ("revstamp / parallel floor, cloned submodules", worst(cloned, lambda t: t["revstamp"] / t["parallel floor"]), 1.05),
]
if has_baseline:
    goals += [
        ("revstamp / baseline, 30k and submodules", worst(compared, lambda t: t["revstamp"] / t["baseline"]), 0.95),
        ("revstamp s / baseline s, 30k and submodules", worst(compared, lambda t: t["revstamp s"] / t["baseline s"]), 0.85),
    ]
print("\n## Goals (worst case over the repositories)\n")
print("| goal | worst | limit | met |")
print("|---|---:|---:|---|")
for what, value, limit in goals:
    if math.isnan(value):
        continue  # no repository of that size in this run
    print(f"| {what} | {value:.3f} | {limit:.2f} | {'yes' if value <= limit else '**no**'} |")
print("\nOn a shared or busy machine the same cell moves by several percent from one run of")
print("`bench/run` to the next: compare a few runs before reading a gap into one.")
