"""Values read as Python numbers and texts, integer lists made from Python values, and the
library's warnings as Python warnings."""

import warnings
from pathlib import Path
from typing import Any, Callable, Optional

import numpy
import pytest

import kestcmd

JOB = """DV
  ID_NAME = d
  VALUE = 0.3
  MIN = 7
  GROUP = 1-10, 12
  TYPE = DENSITY
  MAX = 99999999999
END_
"""


def test_numbers_texts_and_comparisons() -> None:
    dv = kestcmd.Document.loads(JOB, name="job.par")["d"]
    value, count, group = dv["VALUE"], dv["MIN"], dv["GROUP"]
    assert (float(value), str(value), int(count), float(count)) == (0.3, "0.3", 7, 7.0)
    assert value == 0.3 and value == "0.3" and value != "0.30" and value != 0.31
    assert count == 7 and count == 7.0 and count != True and dv["MAX"] == 99999999999  # noqa: E712
    assert count == numpy.int64(7) and value == numpy.float64(0.3) and count != numpy.int32(8)
    assert group == kestcmd.IntList("1-10,12") and group != kestcmd.IntList("1-10")
    assert dv["TYPE"] == "DENSITY" and dv["TYPE"] != 0.3 and dv["TYPE"] != kestcmd.IntList("1")
    assert value == dv.getall("VALUE")[0] and value != count and value != [0.3]
    with pytest.raises(TypeError):
        hash(value)


def test_as_methods_name_the_file_line_and_readings(topology: Path) -> None:
    dv = kestcmd.Document.loads(JOB, name="job.par")["d"]
    assert (dv["MIN"].as_int(), dv["VALUE"].as_real(), dv["GROUP"].as_list()) == (7, 0.3, ["1-10", "12"])
    assert (dv["GROUP"].as_ints().runs, dv["TYPE"].as_enum()) == ([(1, 10, 1), (12, 12, 1)], dv["TYPE"].enum)
    assert kestcmd.loads("DV\n VALUE = 1,0,0\nEND_\n").commands("DV")[0]["VALUE"].as_vector() == (1.0, 0.0, 0.0)
    with pytest.raises(ValueError, match=r"^job\.par:3: D\.VALUE '0\.3' has no int reading "
                                         r"\(it reads as real, list\)$"):
        int(dv["VALUE"])
    with pytest.raises(ValueError, match=r"^job\.par:6: D\.TYPE 'DENSITY' has no real reading"):
        float(dv["TYPE"])
    with pytest.raises(ValueError, match="has no target reading"):
        dv["GROUP"].as_target()
    made = kestcmd.read(topology)["VOLUME"]["UPDATE_TYPE"]  # the default rules made it
    with pytest.raises(ValueError, match=r"topology\.par: VOLUME\.UPDATE_TYPE '[A-Z_]+' has no int"):
        made.as_int()


def test_values_follow_their_document() -> None:
    doc = kestcmd.Document.loads(JOB)
    value = doc["d"]["VALUE"]
    doc["d"]["VALUE"] = 0.5
    assert value == 0.5 and value.line == 3
    del doc["d"]["VALUE"]
    with pytest.raises(RuntimeError, match="no longer"):
        value.text
    assert kestcmd.Value[kestcmd.DocumentCommand] is not kestcmd.Value


def test_int_lists_from_python_values() -> None:
    assert str(kestcmd.IntList([1, 2, 3, 7])) == "1-3,7"
    assert str(kestcmd.IntList(numpy.arange(0, 100, 5))) == "0-95:5"
    assert str(kestcmd.IntList(numpy.array([9, 3, 3, 1], dtype=numpy.uint8))) == "1,3,9"
    assert str(kestcmd.IntList(numpy.arange(10, dtype=numpy.int64)[::3])) == "0-9:3"
    assert str(kestcmd.IntList(range(-5, 5, 2))) == "-5-3:2"
    assert str(kestcmd.IntList([])) == "" and len(kestcmd.IntList(numpy.array([], dtype=int))) == 0
    big = kestcmd.IntList(numpy.arange(10_000_000))
    assert big.runs == [(0, 9_999_999, 1)] and big == kestcmd.IntList("0-9999999")
    assert hash(big) == hash(kestcmd.IntList("0-9999999")) and big != "0-9999999"
    bad: Any
    for bad, error in [([1.0], TypeError), ([True], TypeError), (["1"], TypeError),
                       (numpy.array([0.5]), TypeError), ([2**31], ValueError),
                       (numpy.array([2**40]), ValueError), (numpy.ones((2, 2), dtype=int), ValueError),
                       (5, TypeError)]:
        with pytest.raises(error):
            kestcmd.IntList(bad)


def places(caught: pytest.WarningsRecorder) -> list[tuple[Optional[str], Optional[int]]]:
    return [(w.message.path, w.message.line) for w in caught if isinstance(w.message, kestcmd.KestWarning)]


def test_library_warnings_are_python_warnings(tmp_path: Path, capfd: pytest.CaptureFixture[str]) -> None:
    text = "GROUP_DEF\n  ID_NAME = g\n  GROUP = 1-10:0\nEND_\n"
    path = tmp_path / "steps.par"
    path.write_text(text)
    readers: list[Callable[[Path], object]] = [
        kestcmd.read, kestcmd.load, lambda p: kestcmd.loads(p.read_text(), name=str(p))
    ]
    for read in readers:
        with pytest.warns(kestcmd.KestWarning) as caught:
            read(path)
        assert places(caught) == [(str(path), 3)]
        assert str(caught[0].message).startswith(f"{path}:3: Invalid stepsize 0")
        assert caught[0].filename == __file__  # the line of Python that read it
    with pytest.warns(kestcmd.KestWarning):
        job, doc = kestcmd.read(path), kestcmd.load(path)
    with warnings.catch_warnings(record=True) as repeated:
        warnings.simplefilter("always")
        job.check(), doc.job, doc.check()  # the same text read again: no warning again
    assert repeated == []
    with pytest.warns(kestcmd.KestWarning) as caught:
        kestcmd.IntList("1-5:0")
    assert places(caught) == [(None, None)]
    assert issubclass(kestcmd.KestWarning, UserWarning)
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        with pytest.raises(kestcmd.KestWarning):
            kestcmd.load(path)
    assert capfd.readouterr().err == ""
