"""The binding's classes one by one: every reading of a Value, a Command's items by kind, an
IntList's sequence protocol, a Job made in Python, a Document's edits by value type, and the
problems check finds."""

from pathlib import Path

import pytest

import kestcmd

JOB = """DV
  ID_NAME = d
  TYPE = density
  GROUP = 1-10:3,20
  MIN = 0.001
  MAX = 7
  COEFFICIENT = 1.0,2.0,3
  VALUE = a, b ,c
  SPEED = x
END_
DRESP
  ID_NAME = r
  DV = d
END_
"""


def test_values_offer_the_readings_their_text_admits() -> None:
    d = kestcmd.loads(JOB, name="j.par")["d"]

    def readings(kind: str) -> tuple[object, ...]:
        v = d[kind]
        return (v.text, v.int, v.real, v.vector, v.enum is not None, v.list, None if v.ints is None else str(v.ints))

    assert readings("TYPE") == ("DENSITY", None, None, None, True, ["DENSITY"], None)
    assert readings("GROUP") == ("1-10:3,20", None, None, None, False, ["1-10:3", "20"], "1-10:3,20")
    assert readings("MIN") == ("0.001", None, 0.001, None, False, ["0.001"], None)
    assert readings("MAX") == ("7", 7, 7.0, None, False, ["7"], "7")
    assert readings("COEFFICIENT") == ("1.0,2.0,3", None, None, (1.0, 2.0, 3.0), False, ["1.0", "2.0", "3"], None)
    assert readings("VALUE")[5] == ["A", "B", "C"]  # pieces lose their blanks
    unknown = d["PLACEHOLDER"]  # an unknown key keeps its value
    assert (unknown.kind, unknown.text, unknown.line, unknown.column) == ("PLACEHOLDER", "x", 9, 11)
    assert (str(d["MAX"]), repr(d["MAX"])) == ("7", "<Value MAX = '7'>")
    assert d["MIN"].target is None


def test_commands_hold_their_values_by_kind() -> None:
    job = kestcmd.loads(JOB)
    d, r = job["D"], job["R"]
    assert (d.type, d.name, d.line, repr(d)) == ("DV", "D", 1, "<Command DV D>")
    assert d.keys() == ["ID_NAME", "TYPE", "GROUP", "VALUE", "MIN", "MAX", "COEFFICIENT", "PLACEHOLDER"]
    assert len(d) == len(d.values()) == 8
    assert [v.kind for v in d.values()] == d.keys()
    assert "group" in d and "LOADCASE" not in d and "NO_KIND" not in d
    with pytest.raises(KeyError):
        d["LOADCASE"]
    with pytest.raises(ValueError):
        d.values("NO_KIND")
    assert r["DV"].target == d and hash(r["DV"].target) == hash(d) and r != d
    assert [c.type for c in job] == ["DV", "DRESP", "DV_UPDATE_PARAM"]
    assert job.commands("dresp") == [r] and job.commands("STOP") == []
    assert kestcmd.loads("STOP\nEND_\n")["__DEFAULT_DV_UPDATE_PARAM"].name == "__DEFAULT_DV_UPDATE_PARAM"
    assert [c.name for c in kestcmd.loads("STOP\nEND_\n", complete=False)] == [None]


def test_int_lists_are_sequences_of_their_values() -> None:
    ints = kestcmd.IntList("20, 1-10:3")
    assert (list(ints), len(ints), ints[0], ints[-1], ints[-5]) == ([1, 4, 7, 10, 20], 5, 1, 20, 1)
    assert (str(ints), repr(ints), ints.runs) == ("1-10:3,20", "IntList('1-10:3,20')", [(1, 10, 3), (20, 20, 1)])
    assert 7 in ints and 8 not in ints and "7" not in ints
    for index in (5, -6):
        with pytest.raises(IndexError):
            ints[index]
    with pytest.raises(ValueError):
        kestcmd.IntList("1-x")


def test_jobs_made_in_python_take_every_value_type(tmp_path: Path) -> None:
    job = kestcmd.Job()
    assert (len(job), list(job), job.name) == (0, [], "<job>")
    group = job.add("GROUP_DEF", ID_NAME="g", LIST_BEGIN=kestcmd.IntList("1-5"), TYPE="ELEMENT")
    dv = job.add("DV", ID_NAME="d", GROUP="g", MIN=0.5, MAX=1, DRESP=("a", "b"))
    assert group["LIST_BEGIN"].ints is not None and len(group["LIST_BEGIN"].ints) == 5
    assert (dv["MIN"].real, dv["MAX"].int, [v.text for v in dv.values("DRESP")]) == (0.5, 1, ["A", "B"])
    for bad in (True, None, b"x", [[1]]):
        with pytest.raises(TypeError):
            job.add("DV", ID_NAME=bad)  # type: ignore[arg-type]
    with pytest.raises(ValueError):
        job.add("NOT_A_TYPE")
    job.complete()
    assert dv["GROUP"].target == group
    job.write(tmp_path / "job.par")
    assert kestcmd.read(tmp_path / "job.par").dumps() == job.dumps()
    with pytest.raises(FileNotFoundError):
        job.write(tmp_path / "missing" / "job.par")
    assert repr(job) == "<Job '<job>': 3 commands>"


def test_document_edits_take_str_int_and_float() -> None:
    doc = kestcmd.Document.loads(JOB, name="j.par")
    assert (doc.name, repr(doc)) == ("j.par", "<Document 'j.par'>")
    job = doc.job
    assert doc.job is job  # made once until the next edit
    doc.set("d.MAX", 9)
    doc.set("d.MIN", 0.25)
    doc.set("d.GROUP", "1-3")
    doc.set("d.TYPE", "shape")
    assert [doc.get(f"d.{k}") for k in ("MAX", "MIN", "GROUP", "TYPE")] == ["9", "0.25", "1-3", "shape"]
    assert doc.job is not job and job["D"]["MAX"].int == 7 and doc.job["D"]["MAX"].int == 9
    for value, error in ((True, TypeError), (None, TypeError), ("1\n2", ValueError), ("1\r2", ValueError)):
        with pytest.raises(error):
            doc.set("d.MAX", value)  # type: ignore[arg-type]
    assert doc.get("d.MAX") == "9"
    doc.unset("d.VALUE")
    assert "VALUE" not in doc.text
    doc.rename("d", "e")
    assert doc.get("R.DV") == "e" and doc.get("DV[0].ID_NAME") == "e"


def test_diagnostics_carry_place_code_and_suggestion() -> None:
    [problem] = kestcmd.Document.loads("DV\n  ID_NAME = d\n  GRUOP = 1\nEND_\n").check()
    assert (problem.line, problem.column, problem.end_line, problem.end_column) == (3, 3, 3, 8)
    assert (problem.code, problem.severity, problem.suggestion) == ("unknown-key", "warning", "GROUP")
    assert str(problem).startswith("3:3: warning: unknown key 'GRUOP'") and str(problem).endswith("[unknown-key]")
    assert repr(problem) == "<Diagnostic 3:3 unknown-key>"
    assert kestcmd.loads(JOB).check()[0].code == "unknown-key"
