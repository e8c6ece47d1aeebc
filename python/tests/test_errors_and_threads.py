"""Failures as the documented exceptions, names that are no UTF-8, and saving while another
thread edits."""

import errno
import threading
from pathlib import Path

import pytest

import kestcmd

# Interleaved steps kept value by value need more runs than a list may hold.
REFUSED = "GROUP_DEF\n  ID_NAME = G\n  GROUP = 1-2000000000:3,2-2000000000:3\nEND_\n"


def test_refused_texts_raise_parse_error(tmp_path: Path) -> None:
    path = tmp_path / "refused.par"
    path.write_text(REFUSED)
    with pytest.raises(kestcmd.ParseError) as refused:
        kestcmd.Document.read(path)
    assert (refused.value.path, refused.value.line) == (str(path), 3)
    with pytest.raises(kestcmd.ParseError) as refused:
        kestcmd.Document.loads(REFUSED, name="refused")
    assert (refused.value.path, refused.value.line) == ("refused", 3)


def test_saving_raises_the_oserror_of_its_reason(tmp_path: Path) -> None:
    doc = kestcmd.Document.loads("DV\n  ID_NAME = d\nEND_\n")
    (tmp_path / "file").write_text("")
    cases = [
        (tmp_path / "missing" / "job.par", FileNotFoundError, errno.ENOENT),
        (tmp_path / "file" / "job.par", NotADirectoryError, errno.ENOTDIR),
        (tmp_path, IsADirectoryError, errno.EISDIR),
    ]
    for path, kind, code in cases:
        with pytest.raises(kind) as failed:
            doc.save(path)
        assert failed.value.errno == code
        assert failed.value.filename == str(path)
    with pytest.raises(FileNotFoundError):
        kestcmd.Document.loads("", name=str(tmp_path / "missing" / "job.par")).save()
    assert sorted(p.name for p in tmp_path.iterdir()) == ["file"]


def test_names_that_are_no_utf8_are_names_everywhere(tmp_path: Path) -> None:
    path = tmp_path / "latin1.par"
    path.write_bytes(b"DRESP\n  ID_NAME = caf\xe9\n  TYPE = VOLUME\nEND_\nCONSTRAINT\n  ID_NAME = c\n  DRESP = caf\xe9\nEND_\n")
    job = kestcmd.read(path)
    name = job["C"]["DRESP"].text
    assert name == "CAF\udce9"
    assert name in job and job[name].type == "DRESP"
    assert job["C"]["DRESP"].target == job[name]
    assert "caf\udce9" in job and "caf\udce8" not in job
    assert "caf\udce9" not in job["C"]  # no item kind: no error either

    with pytest.raises(KeyError):
        job["caf\udce8"]

    doc = kestcmd.Document.read(path)
    assert "caf\udce9" in doc and doc["caf\udce9"]["TYPE"] == "VOLUME"
    with pytest.raises(KeyError):
        doc["caf\udce8"]
    assert doc.get("caf\udce9.ID_NAME") == "caf\udce9"
    doc.set("caf\udce9.TYPE", "MASS")
    doc.rename("caf\udce9", "th\udce9")
    assert doc.text.encode("utf-8", "surrogateescape") == (
        b"DRESP\n  ID_NAME = th\xe9\n  TYPE = MASS\nEND_\nCONSTRAINT\n  ID_NAME = c\n  DRESP = th\xe9\nEND_\n"
    )
    named = kestcmd.Document.loads(doc.text, name=str(tmp_path / "copy\udce9.par"))
    named.save()
    assert (tmp_path.joinpath(b"copy\xe9.par".decode("utf-8", "surrogateescape"))).read_bytes() == doc.text.encode(
        "utf-8", "surrogateescape"
    )


def test_save_while_another_thread_edits_writes_a_text_the_document_held(tmp_path: Path) -> None:
    # A text of megabytes, quick to read again, whose edits move everything after the value.
    filler = ("# " + "x" * 4_000_000 + "\n") * 4
    doc = kestcmd.Document.loads(f"STOP\n  ID_NAME = s\n  ITER_MAX = 1\nEND_\n{filler}")
    values = ["1", "2" * 1000]
    held = {doc.text.replace("ITER_MAX = 1", f"ITER_MAX = {v}") for v in values}
    path = tmp_path / "job.par"
    done = threading.Event()

    def edit() -> None:
        i = 0
        while not done.is_set():
            doc.set("s.ITER_MAX", values[i % 2])
            i += 1

    editor = threading.Thread(target=edit)
    editor.start()
    try:
        for _ in range(10):
            doc.save(path)
            assert path.read_text() in held
    finally:
        done.set()
        editor.join()
