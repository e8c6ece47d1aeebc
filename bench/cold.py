#!/usr/bin/env python3
"""Cold processes: the tool and the baselines as a user runs them, one whole process per run.

Each program runs as a process of its own several times; the runs of all programs interleave in a
random order that changes from round to round, so that a spell of load from other work on the
machine falls on all of them alike. For each program it prints the medians of wall, user and
system time and of peak resident memory, the wall and processor time against toml++'s process
(medians of the ratios within each round), and how far the runs spread.

    bench/cold.py [--runs 5] [--commands 100000,1000000] [--build build] [--before DIR]

--before DIR runs the kestcmd and peak_memory of another build beside these, in the same rounds
(rows marked "before"), to compare two versions of the code side by side.
"""

import argparse
import json
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
JOBS = Path(os.environ.get("TMPDIR", "/tmp")) / "kest_cold_bench"


def lsp_session(par, lsp):
    """Writes the messages of an editor that opens the job and leaves: initialize, didOpen with
    the whole text, shutdown, exit."""
    text = par.read_bytes().decode("utf-8", "surrogateescape")
    messages = [
        {"jsonrpc": "2.0", "id": 1, "method": "initialize", "params": {}},
        {"jsonrpc": "2.0", "method": "initialized", "params": {}},
        {"jsonrpc": "2.0", "method": "textDocument/didOpen",
         "params": {"textDocument": {"uri": "file:///job.par", "languageId": "kest",
                                     "version": 1, "text": text}}},
        {"jsonrpc": "2.0", "id": 2, "method": "shutdown"},
        {"jsonrpc": "2.0", "method": "exit"},
    ]
    with open(lsp, "wb") as out:
        for message in messages:
            body = json.dumps(message).encode("utf-8", "surrogateescape")
            out.write(b"Content-Length: %d\r\n\r\n" % len(body) + body)


def programs(build, commands, label=""):
    """The processes to time on the job of `commands` commands: name -> (argv, stdin file)."""
    par = JOBS / f"job_{commands}.par"
    kestcmd = str(build / "tools" / "kestcmd")
    peak = str(build / "bench" / "peak_memory")
    suffix = f" ({label})" if label else ""
    return {
        "kestcmd check" + suffix: ([kestcmd, "check", str(par)], None),
        "kestcmd check --threads 1" + suffix: ([kestcmd, "check", "--threads", "1", str(par)],
                                               None),
        "kestcmd complete" + suffix: ([kestcmd, "complete", str(par)], None),
        "kestcmd fmt --check" + suffix: ([kestcmd, "fmt", "--check", str(par)], None),
        "kestcmd get" + suffix: ([kestcmd, "get", str(par), "opt.OBJ_FUNC"], None),
        "kestcmd lsp, open the job" + suffix: ([kestcmd, "lsp"], JOBS / f"job_{commands}.lsp"),
        "Parse, 1 thread" + suffix: ([peak, "--threads", "1", str(par)], None),
        "Parse with positions, 1 thread" + suffix: ([peak, "--threads", "1", "--positions",
                                                     str(par)], None),
    }


def baselines(build, commands):
    peak = str(build / "bench" / "peak_memory")
    return {
        "plain line splitter": ([peak, "--split", str(JOBS / f"job_{commands}.par")], None),
        "toml++": ([peak, "--toml", str(JOBS / f"job_{commands}.toml")], None),
    }


def run_once(argv, stdin):
    """Runs `argv` once: wall, user and system seconds, peak resident MB (10^6 bytes; GNU time
    reports KiB). GNU time starts it, since a child's peak memory counts from the memory of the
    process that forked it (about 1 MB for time, 18 MB for this script)."""
    with open(stdin or os.devnull, "rb") as given, tempfile.NamedTemporaryFile("r") as usage:
        start = time.perf_counter()
        code = subprocess.run(["/usr/bin/time", "-f", "%U %S %M", "-o", usage.name] + argv,
                              stdin=given, stdout=subprocess.DEVNULL, check=False).returncode
        wall = time.perf_counter() - start
        user, system, peak = usage.read().split()[-3:]
    if code not in (0, 1):  # check and fmt --check exit 1 when they find something
        sys.exit(f"{' '.join(argv)} exited with {code}")
    peak_mb = int(peak) * 1024 / 1e6
    return {"wall": wall, "user": float(user), "system": float(system), "peak": peak_mb}


def measure(table, runs):
    """Every program `runs` times, each round in a new random order: name -> list of runs."""
    results = {name: [] for name in table}
    for _ in range(runs):
        order = list(table)
        random.shuffle(order)
        for name in order:
            results[name].append(run_once(*table[name]))
    return results


def wall(run):
    return run["wall"]


def cpu(run):
    return run["user"] + run["system"]


def report(commands, results, runs):
    size = (JOBS / f"job_{commands}.par").stat().st_size
    print(f"\n{commands} commands ({size / 1e6:.1f} MB), medians of {runs} runs\n")
    print("| process | wall | user | system | peak memory | wall, toml++ = 1 "
          "| user + system, toml++ = 1 | wall spread |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|")

    def ratio(name, time_of):
        return statistics.median(time_of(r) / time_of(t)
                                 for r, t in zip(results[name], results["toml++"]))

    for name, rows in results.items():
        walls = [r["wall"] for r in rows]
        median = {key: statistics.median(r[key] for r in rows) for key in rows[0]}
        spread = (max(walls) - min(walls)) / median["wall"]
        print(f"| {name} | {median['wall']:.3f} s | {median['user']:.3f} s "
              f"| {median['system']:.3f} s | {median['peak']:.1f} MB, "
              f"{median['peak'] * 1e6 / size:.2f}x the file | {ratio(name, wall):.2f} "
              f"| {ratio(name, cpu):.2f} | {spread:.0%} |")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--runs", type=int, default=5)
    parser.add_argument("--commands", default="100000,1000000")
    parser.add_argument("--build", type=Path, default=ROOT / "build")
    parser.add_argument("--before", type=Path, help="another build to run beside this one")
    parser.add_argument("--no-build", action="store_true", help="use the programs as built")
    options = parser.parse_args()
    counts = [int(n) for n in options.commands.split(",")]

    subprocess.run([str(ROOT / "scripts" / "require-packages.sh"), "time"], check=True)
    if not options.no_build:
        subprocess.run(["cmake", "--build", str(options.build), "--target", "kestcmd",
                        "peak_memory", "make_jobs"], check=True, stdout=subprocess.DEVNULL)
    subprocess.run([str(options.build / "bench" / "make_jobs"), str(JOBS)] +
                   [str(n) for n in counts], check=True, stdout=subprocess.DEVNULL)
    for n in counts:
        lsp_session(JOBS / f"job_{n}.par", JOBS / f"job_{n}.lsp")

    print(f"{os.cpu_count()} cores; load average before: "
          + ", ".join(f"{x:.1f}" for x in os.getloadavg()))
    for n in counts:
        table = programs(options.build, n)
        if options.before:
            table.update(programs(options.before, n, "before"))
        table.update(baselines(options.build, n))
        report(n, measure(table, options.runs), options.runs)
    print("\nload average after: " + ", ".join(f"{x:.1f}" for x in os.getloadavg()))


if __name__ == "__main__":
    main()
