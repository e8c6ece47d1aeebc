"""`python -m kestcmd` and the wheel's `kestcmd` command: the kestcmd program installed in the
package folder, run in this process's place with the same arguments (so that `kestcmd lsp`
talks to an editor directly)."""

import os
import sys
from pathlib import Path


def main() -> None:
    program = Path(__file__).resolve().parent / "bin" / "kestcmd"
    if not program.is_file():
        sys.exit(f"kestcmd: {program} is missing: this copy of the package was not installed "
                 "with pip, which puts the program there")
    os.execv(program, ["kestcmd", *sys.argv[1:]])


if __name__ == "__main__":
    main()
