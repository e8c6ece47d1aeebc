"""Writes five variants of a job, with volume limits from 0.2 to 0.4.

The job is opened once as a kestcmd.Document; each variant changes one value and is saved under
its own name. Comments, spacing and every other line stay as they were.

    python3 examples/python/sweep.py [JOB [FOLDER]]

JOB defaults to examples/topology.par, FOLDER to ./sweep.
"""

import sys
from pathlib import Path

import kestcmd


def main(argv: list[str]) -> int:
    examples = Path(__file__).resolve().parent.parent
    job = Path(argv[1]) if len(argv) > 1 else examples / "topology.par"
    folder = Path(argv[2]) if len(argv) > 2 else Path("sweep")
    folder.mkdir(parents=True, exist_ok=True)
    doc = kestcmd.load(job)
    limit = doc["volume_limit"]
    print(f"{job}: {limit.type} {limit.name} (line {limit.line}) VALUE = {float(limit['VALUE'])}")
    for step in range(5):
        value = round(0.2 + 0.05 * step, 2)
        limit["VALUE"] = value
        variant = folder / f"{job.stem}_volume_{value:.2f}.par"
        doc.save(variant)
        # Read back: the variant is a job whose constraint has the new limit.
        read = kestcmd.read(variant)["VOLUME_LIMIT"]["VALUE"]
        assert read == value, (read, value)
        print(f"{variant}: VOLUME_LIMIT.VALUE = {read.as_real()}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
