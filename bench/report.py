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
    for path in glob.glob(f"{results}/{name}.[0-9]*.json"):
        for result in json.load(open(path))["results"]:
            if result["command"] == command:
                times += result["times"]
    return statistics.median(times) if times else None


def ms(seconds):
    return f"{seconds * 1000:.1f} ms" if seconds < 10 else f"{seconds:.2f} s"


def version(command):
    return subprocess.run(command, capture_output=True, text=True).stdout.strip().splitlines()[0]


rows = []
for name, label, commits, graph, _, _ in repos:
    t = {c: median(name, c) for c in ("revstamp", "revstamp s", "one-pass floor", "one-pass floor s",
                                      "two-pass floor", "two-pass floor s", "parallel floor",
                                      "parallel floor s", "autorevision", "baseline", "baseline s",
                                      "shallow probe", "hit floor", "hit floor s", "git status",
                                      "submodule listing", "listing floor", "revstamp miss",
                                      "revstamp miss s",
                                      "revstamp s, one command", "no cache", "no cache s",
                                      "after a commit", "after a commit s")}
    if t["git status"] and t["submodule listing"]:
        t["slower of status and listing"] = max(t["git status"], t["submodule listing"])
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
                       f"{t['parallel floor']} {t['revstamp miss']}\n")
        plot.write("\n\n")
    # A third block: the submodule repositories, targeted form, as bars.
    for r in rows:
        if r["name"].startswith("submodules-"):
            kind = "cloned" if r["name"].endswith("-clone") else "added"
            plot.write(f"\"{kind}\" {r['t']['revstamp s']} {r['t']['parallel floor s']} "
                       f"{r['t']['revstamp miss s']}\n")

cpu = next((l.split(":", 1)[1].strip() for l in open("/proc/cpuinfo") if l.startswith("model name")), "?")
print("# Performance\n")
print("For anyone weighing what a stamp costs before every compile, and contributors changing how\n"
      "Git is run.\n")
print("![Wall time per stamp against history length, without and with a commit-graph file: "
      "revstamp, its targeted form, the floors and autorevision](performance.svg)\n")
print("What one stamp costs before every compile. Medians of all hyperfine runs, taken in short")
print("rounds that alternate the commands; made by `bench/run`. A **repeat** stamp (`revstamp`)")
print("finds the history listing of an unchanged `HEAD` kept, and starts `git version`, one")
print("`git rev-parse` that is the shallow-clone probe and the key at once, and `git status`, with")
print("`git submodule status --recursive` for the targeted form. The **hit floor** starts the")
print("probe `git rev-parse --is-shallow-repository`, `git rev-parse HEAD` and `git status`")
print("together from the shell. A stamp with **nothing kept** (`revstamp miss`, the record removed")
print("before each run) walks: once the key is read it starts `git rev-list HEAD --timestamp --`,")
print("then `git cat-file commit` for the last commit listed unless a record already names it;")
print("**no cache** is a stamp with `REVSTAMP_NO_CACHE=1`, which walks and keeps nothing;")
print("**after a commit** a stamp that finds only what a stamp of `HEAD`'s parent kept, as the")
print("first stamp after a commit does: it walks, and its last commit is known.")
print("The **parallel floor** starts")
print("a walking stamp's commands together from the shell")
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
print("(K in the repository's label), each for a run of them, where the floors run one;")
print("**revstamp s, one command** is that stamp listing with the one command, as it does where")
print("the split does not pay (a `git` in front whose index listing fails). The **listing floor**")
print("starts `git status` and `git submodule status --recursive` together from the shell: the two")
print("commands a repeat targeted stamp cannot do without.\n")
probe = [r["t"]["shallow probe"] for r in rows if r["t"]["shallow probe"] is not None]
if probe:
    print("The shallow-clone probe runs beside the other commands; timed alone, it takes")
    print(f"{ms(min(probe))} to {ms(max(probe))} a run (medians per repository).\n")
print(f"Machine: {cpu}, {os.cpu_count()} cores, {platform.system()} {platform.release()}, "
      f"{version(['git', '--version'])}, {version(['autorevision', '-V'])}.\n")


def time_of(command):
    return ("---:", lambda r: ms(r["t"][command]) if r["t"].get(command) else "")


def ratio(a, b):
    return ("---:", lambda r: f"{r['t'][a] / r['t'][b]:.3f}" if r["t"].get(a) and r["t"].get(b) else "")


def table(columns, selected):
    """A markdown table, one row per repository: columns are (heading, alignment, cell of row)."""
    print("| " + " | ".join(heading for heading, _, _ in columns) + " |")
    print("|" + "|".join(align for _, align, _ in columns) + "|")
    for r in selected:
        print("| " + " | ".join(cell(r) for _, _, cell in columns) + " |")


history = [("history", "---", lambda r: r["label"]),
           ("commit-graph", "---", lambda r: "yes" if r["graph"] else "no")]
targeted = [r for r in rows if r["t"]["revstamp s"]]
print("## Repeat stamps: HEAD's listing kept\n")
table(history + [("revstamp", *time_of("revstamp")), ("hit floor", *time_of("hit floor")),
                 ("git status", *time_of("git status")),
                 ("/ hit floor", *ratio("revstamp", "hit floor")),
                 ("/ git status", *ratio("revstamp", "git status")),
                 ("peak RSS", "---:", lambda r: f"{r['rss_mib']:.1f} MiB"),
                 ("own CPU", "---:", lambda r: f"{r['cpu_ms']:.1f} ms")], rows)
print("\nPeak RSS and own CPU are over repeat stamps and stamps with nothing kept alike.\n")
print("## Repeat stamps, targeted form\n")
table(history + [("revstamp s", *time_of("revstamp s")), ("hit floor s", *time_of("hit floor s")),
                 ("git status", *time_of("git status")),
                 ("submodule listing", *time_of("submodule listing")),
                 ("/ slower of the two", *ratio("revstamp s", "slower of status and listing")),
                 ("listing floor", *time_of("listing floor")),
                 ("/ listing floor", *ratio("revstamp s", "listing floor")),
                 ("/ hit floor s", *ratio("revstamp s", "hit floor s")),
                 ("revstamp s, one command", *time_of("revstamp s, one command")),
                 ("split / one command", *ratio("revstamp s", "revstamp s, one command"))],
      targeted)
walked = [r for r in rows if r["t"]["parallel floor"]]
print("\n## Stamps with nothing kept: a walk\n")
table(history + [("revstamp miss", *time_of("revstamp miss")),
                 ("after a commit", *time_of("after a commit")),
                 ("no cache", *time_of("no cache")),
                 ("miss / no cache", *ratio("revstamp miss", "no cache")),
                 ("after / no cache", *ratio("after a commit", "no cache")),
                 ("parallel floor", *time_of("parallel floor")),
                 ("one-pass floor", *time_of("one-pass floor")),
                 ("two-pass floor", *time_of("two-pass floor")), ("autorevision", *time_of("autorevision")),
                 ("/ parallel", *ratio("revstamp miss", "parallel floor")),
                 ("/ one-pass", *ratio("revstamp miss", "one-pass floor")),
                 ("/ two-pass", *ratio("revstamp miss", "two-pass floor")),
                 ("/ autorevision", *ratio("revstamp miss", "autorevision"))], walked)
print("\n## Stamps with nothing kept, targeted form\n")
table(history + [("revstamp miss s", *time_of("revstamp miss s")),
                 ("after a commit s", *time_of("after a commit s")),
                 ("no cache s", *time_of("no cache s")),
                 ("miss / no cache", *ratio("revstamp miss s", "no cache s")),
                 ("after / no cache", *ratio("after a commit s", "no cache s")),
                 ("parallel floor s", *time_of("parallel floor s")),
                 ("one-pass floor s", *time_of("one-pass floor s")),
                 ("two-pass floor s", *time_of("two-pass floor s")),
                 ("/ parallel", *ratio("revstamp miss s", "parallel floor s")),
                 ("/ one-pass", *ratio("revstamp miss s", "one-pass floor s")),
                 ("/ two-pass", *ratio("revstamp miss s", "two-pass floor s"))], walked)
has_baseline = all(r["t"]["baseline"] for r in rows)
if has_baseline:
    print("\n## Against the baseline build\n")
    print("`BENCH_BASELINE`, another revstamp binary, timed in the same rounds as the stamps with")
    print("nothing kept.\n")
    table(history + [("baseline", *time_of("baseline")), ("revstamp miss", *time_of("revstamp miss")),
                     ("miss / baseline", *ratio("revstamp miss", "baseline")),
                     ("repeat / baseline", *ratio("revstamp", "baseline")),
                     ("baseline s", *time_of("baseline s")),
                     ("revstamp miss s", *time_of("revstamp miss s")),
                     ("miss s / baseline s", *ratio("revstamp miss s", "baseline s")),
                     ("repeat s / baseline s", *ratio("revstamp s", "baseline s"))], rows)


def worst(selected, ratio):
    return max((ratio(r["t"]) for r in selected), default=float("nan"))


largest = max(r["commits"] for r in rows)
lone = [r for r in linear if r["commits"] == largest]
files = [r for r in rows if r["name"].startswith("files-")]
def walks_of(commits):
    return [r for r in walked if r["commits"] == commits]


goals = [
    ("repeat / hit floor, every repository", worst([r for r in rows if r["t"]["hit floor"]], lambda t: t["revstamp"] / t["hit floor"]), 1.0),
    ("after a commit / no cache, 300000 commits", worst(walks_of(300000), lambda t: t["after a commit"] / t["no cache"]), 1.05),
    ("after a commit / no cache, 30000 commits", worst(walks_of(30000), lambda t: t["after a commit"] / t["no cache"]), 1.15),
    (f"repeat / git status, {largest} commits and 3,000 files", worst(files, lambda t: t["revstamp"] / t["git status"]), 1.3),
    ("repeat s / listing floor, every repository", worst(targeted, lambda t: t["revstamp s"] / t["listing floor"]), 1.1),
    ("revstamp's peak RSS (MiB), every repository", max(r["rss_mib"] for r in rows), 2.0),
    ("split / one command, targeted, 50 submodules", worst([r for r in targeted if r["name"].startswith("submodules-")], lambda t: t["revstamp s"] / t["revstamp s, one command"]), 0.75),
    ("targeted / one command, 100,000 files", worst([r for r in targeted if r["name"] == "large-index"], lambda t: t["revstamp s"] / t["revstamp s, one command"]), 1.05),
]
if has_baseline:
    goals += [
        ("miss / baseline, every repository", worst(rows, lambda t: t["revstamp miss"] / t["baseline"]), 1.05),
        ("miss s / baseline s, every repository", worst(walked, lambda t: t["revstamp miss s"] / t["baseline s"]), 1.05),
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
