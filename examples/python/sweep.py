"""Writes five variants of a job, with volume limits from 0.2 to 0.4.

Each variant is the job's text with one value changed, through kestcmd.Document: comments,
spacing and every other line stay as they were.

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
    for step in range(5):
        limit = f"{0.2 + 0.05 * step:.2f}"
        doc = kestcmd.Document.read(job)
        doc.set("VOLUME_LIMIT.VALUE", limit)
        variant = folder / f"{job.stem}_volume_{limit}.par"
        doc.save(variant)
        # Read back: the variant is a job whose constraint has the new limit.
        value = kestcmd.read(variant)["VOLUME_LIMIT"]["VALUE"]
        print(f"{variant}: VOLUME_LIMIT.VALUE = {value.real}")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
