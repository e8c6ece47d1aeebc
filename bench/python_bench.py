"""The Python module beside the C++ reader, in one run, on the 100k-command job of parse_bench.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_bench.py [BUILD_DIR]

Runs build/bench/parse_bench for the C++ Parse of the job, with and without positions, on as many
threads as the module reads with, the library's default (it writes the job to
/tmp/kest_parse_bench first), then times, as medians of five:
kestcmd.read of the job (and dropping it, as the C++ figures include destroying the job),
kestcmd.load of it (a Document, against Parse with positions), reading .text of every item,
numpy.asarray of an IntList of 10 million values, and setting VALUE in each of 10 000 DV
commands of a loaded Document (found by name) and saving it. CPU time of the whole process, as
parse_bench measures it, but for numpy.asarray (wall time).

While every edit makes the document read its whole text again, the 10 000 edits would take many
minutes: the edits stop after EDIT_SECONDS and the figure is projected from those made, and says
so.
"""

import json
import os
import re
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
EDITS = 10_000
EDIT_SECONDS = 30.0


def median_seconds(work: Callable[[], object], clock: Callable[[], float] = time.process_time) -> float:
    times = []
    for _ in range(REPEATS):
        start = clock()
        work()
        times.append(clock() - start)
    return statistics.median(times)


def default_threads() -> int:
    """The threads the library's default configuration reads the 100k job with (the module uses
    that configuration): its `threads` setting, 0 meaning one per core; parse_bench runs 1 or 2."""
    header = Path(__file__).resolve().parents[1] / "engine" / "io" / "KestCmdIoConfig.h"
    found = re.search(r"std::size_t threads = (\d+);", header.read_text())
    assert found, "no threads setting in " + str(header)
    threads = int(found.group(1)) or os.cpu_count() or 1
    return min(threads, 2)


def cpp_seconds(build: Path, benchmark: str, threads: int) -> float:
    """The median CPU time of a parse_bench benchmark on the 100k job."""
    run = subprocess.run(
        [str(build / "bench" / "parse_bench"), f"--benchmark_filter=^{benchmark}/100000/{threads}/",
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


def edit_and_save(path: Path, out: Path) -> tuple[int, float]:
    """Sets VALUE of dv0, dv1, ... by name in a loaded document, then saves it: how many edits
    were made in EDIT_SECONDS (at most EDITS), and the seconds all EDITS edits and the save take,
    projected from those made when they were cut short."""
    doc = kestcmd.load(path)
    wall = time.perf_counter()
    start = time.process_time()
    made = 0
    while made < EDITS and time.perf_counter() - wall < EDIT_SECONDS:
        doc[f"dv{made}"]["VALUE"] = 0.25 + made % 50 / 100
        made += 1
    edits = time.process_time() - start
    saving = time.process_time()
    doc.save(out)
    save = time.process_time() - saving
    return made, edits * EDITS / made + save


def main(argv: list[str]) -> int:
    build = Path(argv[1]) if len(argv) > 1 else Path("build")
    threads = default_threads()
    parse = cpp_seconds(build, "BM_Parse", threads)
    parse_positions = cpp_seconds(build, "BM_ParseWithPositions", threads)
    path = Path(tempfile.gettempdir()) / "kest_parse_bench" / "job_100000.par"
    read = median_seconds(lambda: kestcmd.read(path))
    load = median_seconds(lambda: kestcmd.load(path))
    job = kestcmd.read(path)
    items = read_text_of_every_item(job)
    walk = median_seconds(lambda: read_text_of_every_item(job))
    ints = kestcmd.IntList("1-10000000")
    array = median_seconds(lambda: numpy.asarray(ints), time.perf_counter)
    made, edits = edit_and_save(path, Path(tempfile.gettempdir()) / "kest_parse_bench" / "edited.par")
    projected = "" if made == EDITS else f", projected from {made} edits"
    rows = [
        (f"C++ Parse of the 100k job ({threads} thr.)", f"{parse * 1000:.0f} ms", ""),
        ("C++ Parse with positions", f"{parse_positions * 1000:.0f} ms", ""),
        ("kestcmd.read of the same job", f"{read * 1000:.0f} ms, {read / parse:.2f}x Parse",
         "at most 1.2x: " + ("met" if read <= 1.2 * parse else "not met")),
        ("kestcmd.load of the same job",
         f"{load * 1000:.0f} ms, {load / parse_positions:.2f}x with positions",
         "at most 1.3x: " + ("met" if load <= 1.3 * parse_positions else "not met")),
        (f".text of every item ({items})", f"{items / walk / 1e6:.2f} M items/s",
         "at least 2 M/s: " + ("met" if items / walk >= 2e6 else "not met")),
        ("numpy.asarray of 10M values", f"{array * 1000:.1f} ms",
         "under 50 ms: " + ("met" if array < 0.05 else "not met")),
        (f"{EDITS} edits by name and save", f"{edits:.2f} s, {edits / load:.1f}x a load{projected}",
         "at most 3x: " + ("met" if edits <= 3 * load else "not met")),
    ]
    for row in rows:
        print(f"{row[0]:<34} {row[1]:<44} {row[2]}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
