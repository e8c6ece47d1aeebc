"""The docs and the program agree: every block of shell lines marked as runnable (```sh runnable)
in the given Markdown files runs; the lines of a file run in order in a folder of their own that
holds a copy of examples/ and the built kestcmd (as build/tools/kestcmd and on PATH). A line must exit 0, or N
where it ends with "# exit N". In a block written as a session ("$ " before each command), what a
command prints (standard output and error together) must be the lines shown after it.

    python3 runnable_test.py SOURCE_DIR KESTCMD_DIR FILE.md...
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path
from typing import Iterator, NamedTuple


class Line(NamedTuple):
    where: str
    command: str
    status: int
    shown: list[str] | None  # the output a session shows, or None where the block shows none


def runnable_lines(path: Path) -> Iterator[Line]:
    """The commands of the runnable blocks of `path`, in order."""
    text = path.read_text(encoding="utf-8")
    for block in re.finditer(r"^```sh runnable\n(.*?)^```", text, re.DOTALL | re.MULTILINE):
        first = text.count("\n", 0, block.start(1)) + 1
        lines = block.group(1).splitlines()
        session = any(line.startswith("$ ") for line in lines)
        for i, line in enumerate(lines):
            if session and not line.startswith("$ ") or not line.strip():
                continue
            command = line[2:] if session else line
            shown = None
            if session:
                shown = []
                for after in lines[i + 1:]:
                    if after.startswith("$ "):
                        break
                    shown.append(after)
            status = re.search(r"#\s*exit (\d+)\s*$", command)
            yield Line(f"{path.name}:{first + i}", command, int(status.group(1)) if status else 0,
                       shown)


def run_block_lines(lines: list[Line], source: Path, kestcmd_dir: Path) -> list[str]:
    """Runs `lines` one after another in a fresh folder; returns what went wrong."""
    failures = []
    with tempfile.TemporaryDirectory() as work:
        shutil.copytree(source / "examples", Path(work) / "examples")
        (Path(work) / "build").mkdir()
        (Path(work) / "build" / "tools").symlink_to(kestcmd_dir)
        env = dict(os.environ, PATH=f"{kestcmd_dir}{os.pathsep}{os.environ['PATH']}")
        for line in lines:
            done = subprocess.run(["bash", "-c", line.command], cwd=work, env=env, text=True,
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
            if done.returncode != line.status:
                failures.append(f"{line.where}: exit {done.returncode}, not {line.status}: "
                                f"{line.command}\n{done.stdout}")
            elif line.shown is not None and done.stdout.splitlines() != line.shown:
                failures.append(f"{line.where}: {line.command} printed\n{done.stdout}"
                                f"instead of\n" + "\n".join(line.shown))
    return failures


def main() -> int:
    source, kestcmd_dir = Path(sys.argv[1]), Path(sys.argv[2]).resolve()
    count = 0
    failures = []
    for name in sys.argv[3:]:
        lines = list(runnable_lines(source / name))
        assert lines, f"{name} has no runnable lines"
        count += len(lines)
        failures += run_block_lines(lines, source, kestcmd_dir)
    for failure in failures:
        print("FAIL:", failure)
    print(f"{count - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
