"""Prints a table of a job's commands: type, name, line, and the commands each one refers to.

    python3 examples/python/report.py [JOB]

JOB defaults to examples/topology.par. Commands that completion made have no line.
"""

import sys
from pathlib import Path

import kestcmd


def rows(job: kestcmd.Job) -> list[tuple[str, str, str, str]]:
    table = []
    for cmd in job:
        references = [
            f"{value.kind} -> {value.target.type} {value.target.name or ''}".rstrip()
            for value in cmd.values()
            if value.target is not None and value.kind != "ID_NAME"
        ]
        line = "" if cmd.line is None else str(cmd.line)
        table.append((cmd.type, cmd.name or "", line, ", ".join(references)))
    return table


def main(argv: list[str]) -> int:
    path = Path(argv[1]) if len(argv) > 1 else Path(__file__).resolve().parent.parent / "topology.par"
    table = [("TYPE", "NAME", "LINE", "REFERS TO")] + rows(kestcmd.read(path))
    widths = [max(len(row[i]) for row in table) for i in range(3)]
    for row in table:
        print("  ".join(cell.ljust(width) for cell, width in zip(row, widths)), row[3])
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
