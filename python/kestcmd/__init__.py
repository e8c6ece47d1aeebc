"""Structural-optimisation jobs in Python: read job files into typed commands, follow
references, complete jobs with the default rules, check them, write them back, and edit job
texts keeping their comments.

    job = kestcmd.read("job.par")
    for cmd in job:
        print(cmd.type, cmd.name, cmd.line)
    doc = kestcmd.Document.read("job.par")
    doc.set("VOLUME_LIMIT.VALUE", "0.25")
    doc.save()

See docs/python.md for the whole interface.
"""

from ._kestcmd import (
    Command,
    Diagnostic,
    Document,
    EditError,
    IntList,
    Job,
    ParseError,
    Value,
    loads,
    read,
)
from ._version import __version__

__all__ = [
    "__version__",
    "Command",
    "Diagnostic",
    "Document",
    "EditError",
    "IntList",
    "Job",
    "ParseError",
    "Value",
    "loads",
    "read",
]
