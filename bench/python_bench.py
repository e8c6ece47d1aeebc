"""The Python module beside the C++ reader, in one run, on the 100k-command job of parse_bench.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [BUILD_DIR]

Runs build/bench/parse_bench for the C++ Parse of the job (which writes the job to
/tmp/kest_parse_bench first), then times, as medians of five: kestcmd.read of the job (and
dropping it, as the C++ figure includes destroying the job), reading .text of every item, and
numpy.asarray of an IntList of 10 million values. CPU time for the reads, like parse_bench's.
"""

import json
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path
from typing import Callable

import numpy

import kestcmd

REPEATS = 5


def median_seconds(work: Callable[[], object], clock: Callable[[], float] = time.process_time) -> float:
    times = []
    for _ in range(REPEATS):
        start = clock()
        work()
        times.append(clock() - start)
    return statistics.median(times)


def cpp_parse_seconds(build: Path) -> float:
    run = subprocess.run(
        [str(build / "bench" / "parse_bench"), "--benchmark_filter=^BM_Parse/100000$",
         f"--benchmark_repetitions={REPEATS}", "--benchmark_format=json"],
        check=True, capture_output=True, text=True)
    results = json.loads(run.stdout)["benchmarks"]
    median = next(r for r in results if r.get("aggregate_name") == "median")
    assert median["time_unit"] == "ms"
    return float(median["cpu_time"]) / 1000


def read_text_of_every_item(job: kestcmd.Job) -> int:
    count = 0
    for cmd in job:
        for value in cmd.values():
            value.text
            count += 1
    return count


def main(argv: list[str]) -> int:
    build = Path(argv[1]) if len(argv) > 1 else Path("build")
    cpp = cpp_parse_seconds(build)
    path = Path(tempfile.gettempdir()) / "kest_parse_bench" / "job_100000.par"
    python = median_seconds(lambda: kestcmd.read(path))
    job = kestcmd.read(path)
    items = read_text_of_every_item(job)
    walk = median_seconds(lambda: read_text_of_every_item(job))
    ints = kestcmd.IntList("1-10000000")
    array = median_seconds(lambda: numpy.asarray(ints), time.perf_counter)
    rows = [
        ("C++ Parse of the 100k job", f"{cpp * 1000:.0f} ms", ""),
        ("kestcmd.read of the same job", f"{python * 1000:.0f} ms, {python / cpp:.2f}x",
         "at most 1.2x: " + ("met" if python <= 1.2 * cpp else "not met")),
        (f".text of every item ({items})", f"{items / walk / 1e6:.2f} M items/s",
         "at least 2 M/s: " + ("met" if items / walk >= 2e6 else "not met")),
        ("numpy.asarray of 10M values", f"{array * 1000:.1f} ms",
         "under 50 ms: " + ("met" if array < 0.05 else "not met")),
    ]
    for row in rows:
        print(f"{row[0]:<34} {row[1]:<22} {row[2]}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
