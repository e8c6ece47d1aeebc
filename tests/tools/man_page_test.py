"""The man page says what --help says: every subcommand with its description, in its own section
every option with its description, and every argument; man renders it without a warning.

    python3 man_page_test.py KESTCMD MAN_PAGE
"""

import os
import re
import subprocess
import sys


def collapsed(text: str) -> str:
    """`text` with its dashes as ASCII and each run of white space as one blank."""
    return " ".join(text.replace("\u2010", "-").replace("\u2212", "-").split())


def rendered(page: str) -> list[str]:
    """The lines man shows, wide enough that no line is broken; fails on a warning."""
    env = dict(os.environ, MANWIDTH="2000", LC_ALL="C.UTF-8", MAN_KEEP_FORMATTING="")
    shown = subprocess.run(["man", "--warnings", "-l", page], env=env, capture_output=True,
                           text=True, check=True)
    assert not shown.stderr, "man warns:\n" + shown.stderr
    return shown.stdout.splitlines()


def help_entries(kestcmd: str, *words: str) -> dict[str, list[tuple[str, str]]]:
    """The entries of `kestcmd WORDS --help` by heading ("Positionals", "Options",
    "Subcommands"), each a (name, description) pair."""
    text = subprocess.run([kestcmd, *words, "--help"], capture_output=True, text=True,
                          check=True).stdout
    entries: dict[str, list[tuple[str, str]]] = {}
    heading = ""
    for line in text.splitlines():
        if re.fullmatch(r"\w+:", line):
            heading = line[:-1]
        elif heading and line.startswith("  ") and not line.startswith("   "):
            name, _, description = line.strip().partition("  ")
            entries.setdefault(heading, []).append((name, description.strip()))
        elif heading and line.startswith("   ") and entries.get(heading):
            # A description on a line of its own, below a long name.
            name, description = entries[heading][-1]
            entries[heading][-1] = (name, (description + " " + line.strip()).strip())
    return entries


def section(lines: list[str], subcommand: str) -> str:
    """The text of the man page's section on `subcommand`."""
    start = next(i for i, line in enumerate(lines)
                 if re.match(rf"\s+kestcmd {subcommand}\b", line))
    end = next((i for i in range(start + 1, len(lines))
                if re.match(r"\s{1,4}kestcmd \w|\S", lines[i])), len(lines))
    return collapsed("\n".join(lines[start:end]))


def main() -> int:
    kestcmd, page = sys.argv[1:]
    lines = rendered(page)
    whole = collapsed("\n".join(lines))
    missing = []
    for subcommand, summary in help_entries(kestcmd)["Subcommands"]:
        text = section(lines, subcommand)
        entries = help_entries(kestcmd, subcommand)
        wanted = [summary]
        for name, description in entries.get("Options", []):
            long_name = re.search(r"--[\w-]+", name)
            if long_name and long_name.group() not in ("--help", "--threads"):
                wanted += [long_name.group(), description]
        # Arguments stand in the section's heading; what they are, anywhere in the page.
        for name, description in entries.get("Positionals", []):
            wanted.append(name.split()[0])
            if description not in whole:
                missing.append(f"{subcommand}: {description!r}")
        missing += [f"{subcommand}: {w!r}" for w in wanted if w not in text]
        # --threads is described once, for every subcommand that takes it.
        threads = [d for n, d in entries.get("Options", []) if n.startswith("--threads")]
        missing += [f"--threads: {d!r}" for d in threads if d not in whole]
    for line in missing:
        print("not in the man page:", line)
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
