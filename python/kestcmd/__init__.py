"""Structural-optimisation jobs in Python: open a job file as a Document used like a dict,
edit its values in place keeping comments and layout, read jobs into typed commands, follow
references, complete jobs with the default rules, check them and write them back.

    doc = kestcmd.load("job.par")
    limit = doc["volume_limit"]
    limit["VALUE"] = 0.25              # only that line changes
    doc.save("variant.par")
    float(limit["VALUE"])              # 0.25

    job = kestcmd.read("job.par")      # the completed, read-only job
    for cmd in job:
        print(cmd.type, cmd.name, cmd.line)

See docs/python.md for the whole interface.
"""

from ._kestcmd import (
    Command,
    Diagnostic,
    Document,
    DocumentCommand,
    EditError,
    Fix,
    IntList,
    Job,
    KestWarning,
    ParseError,
    Value,
    load,
    loads,
    read,
)
from ._version import __version__

__all__ = [
    "__version__",
    "Command",
    "Diagnostic",
    "Document",
    "DocumentCommand",
    "EditError",
    "Fix",
    "IntList",
    "Job",
    "KestWarning",
    "ParseError",
    "Value",
    "load",
    "loads",
    "read",
]
