"""Jobs read from the example files: order, look-ups, readings, positions, errors, threads."""

import threading
from pathlib import Path

import numpy
import pytest

import kestcmd
from conftest import EXAMPLES


def test_commands_in_show_order_with_names_lines_and_readings(topology: Path) -> None:
    job = kestcmd.read(topology)
    assert len(job) == len(list(job)) == 12
    types = [cmd.type for cmd in job]
    assert types[:4] == ["MODEL_INPUT", "GROUP_DEF", "GROUP_DEF", "DV"]
    assert [c.name for c in job.commands("dresp")] == ["VOLUME", "COMPLIANCE"]
    limit = job["volume_limit"]
    assert "VOLUME_LIMIT" in job and "NOPE" not in job
    assert (limit.type, limit.line) == ("CONSTRAINT", 41)
    assert limit.keys() == ["ID_NAME", "TYPE", "DRESP", "VALUE", "COEFFICIENT", "MAGNITUDE"]
    value = limit["VALUE"]  # from LE_VALUE = 0.3, line 44
    assert (value.text, value.real, value.int, value.line, value.column) == ("0.3", 0.3, None, 44, 14)
    assert limit["DRESP"].target == job["VOLUME"]
    made = job["__DEFAULT_DV_UPDATE_PARAM"]
    assert made.line is None and made["VALUE"].line is None
    assert job["OPTIMISATION"].values("CONSTRAINT")[0].target == limit
    assert job["DV_DENSITY"].values("MIN") == []


def test_integer_lists_are_runs(topology: Path) -> None:
    ints = kestcmd.read(topology)["DESIGN_SPACE"]["LIST_BEGIN"].ints
    assert ints is not None
    assert ints.runs == [(1, 12000, 1), (12500, 14000, 2), (15001, 15001, 1)]
    assert str(ints) == "1-12000,12500-14000:2,15001"
    assert (len(ints), ints[0], ints[12000], ints[-1]) == (12752, 1, 12500, 15001)
    assert 12502 in ints and 12501 not in ints
    array = numpy.asarray(ints)
    assert array.dtype == numpy.int32 and list(array) == list(ints)
    huge = kestcmd.IntList("1-2000000000")
    assert len(huge) == 2000000000 and 1999999999 in huge
    with pytest.raises(ValueError, match="more than"):
        numpy.asarray(huge)


def test_errors(tmp_path: Path) -> None:
    with pytest.raises(FileNotFoundError):
        kestcmd.read(tmp_path / "missing.par")
    with pytest.raises(IsADirectoryError):
        kestcmd.read(tmp_path)
    scattered = tmp_path / "scattered.par"
    scattered.write_text("GROUP_DEF\n  ID_NAME = G\n  GROUP = 1-2000000000:3,2-2000000000:3\nEND_\n")
    with pytest.raises(kestcmd.ParseError) as refused:
        kestcmd.read(scattered)
    assert (refused.value.path, refused.value.line) == (str(scattered), 3)
    assert isinstance(refused.value, ValueError)
    job = kestcmd.loads("DV\n  ID_NAME = D\nEND_\n")
    with pytest.raises(KeyError):
        job["E"]
    with pytest.raises(KeyError):
        job["D"]["GROUP"]
    with pytest.raises(ValueError):
        job.commands("NOT_A_TYPE")
    with pytest.raises(ValueError):
        job.add("DV", GRUOP="1")
    with pytest.raises(ValueError):
        job.add("DV", GROUP="1\nEND_")


def test_made_job_completes_and_round_trips() -> None:
    job = kestcmd.Job()
    dv = job.add("DV", ID_NAME="d1", GROUP="1-10", TYPE="DENSITY")
    job.add("OPTIMIZE", ID_NAME="opt", DV=["d1"])
    assert (dv.name, dv.line, len(job)) == ("D1", None, 2)
    job.complete()
    assert job["OPT"]["DV"].target == dv
    assert "DV_UPDATE_PARAM" in job["OPT"]
    again = kestcmd.loads(job.dumps(), name="again")
    assert again.dumps() == job.dumps()


def test_check_reports_like_the_tool() -> None:
    job = kestcmd.loads("DV\n  ID_NAME = D\n  GRUOP = 1\nEND_\n", name="bad.par")
    [problem] = job.check()
    assert (problem.path, problem.line, problem.column) == ("bad.par", 3, 3)
    assert (problem.code, problem.severity) == ("unknown-key", "warning")
    assert problem.suggestion == "GROUP"
    assert problem.fix is not None and (problem.fix.text, problem.fix.column) == ("GROUP", 3)


PLANTED = """GROUP_DEF
  ID_NAME = g
  LIST_BEGIN = 700-650
END_
DV
  ID_NAME = d
  GROUP = g
  ITER_MAX = 5
END_
OPT_PARAM
  ID_NAME = p
  STRATEGY = bogus
  MAGNITUDE = RELL
END_
STOP
  ID_NAME = s
  ITER_MAX = 3O
"""


def test_check_gives_the_library_s_severities_and_takes_a_schema() -> None:
    doc = kestcmd.Document.loads(PLANTED, name="planted.par")
    found = {(d.line, d.code): d.severity for d in doc.check()}
    assert found == {
        (3, "descending-range"): "warning",
        (8, "key-not-allowed"): "warning",
        (12, "unknown-value"): "error",
        (13, "unknown-value"): "warning",
        (17, "wrong-reading"): "warning",
        (15, "unclosed-block"): "warning",
    }
    schema = {"blocks": {"STOP": {"keys": {"ITER_MAX": {"reading": "text"}}}}}
    codes = {d.code for d in doc.check(schema=schema, ignore=["unclosed-block"])}
    assert "wrong-reading" not in codes and "unclosed-block" not in codes
    job = kestcmd.loads(PLANTED)
    assert len(job.check(ignore=("descending-range",))) == len(found) - 1
    with pytest.raises(ValueError, match="no reading"):
        doc.check(schema={"keys": {"X": {"reading": "numbr"}}})


def test_values_keep_their_job_alive(topology: Path) -> None:
    value = kestcmd.read(topology)["DESIGN_SPACE"]["LIST_BEGIN"]
    ints = value.ints
    assert value.text.startswith("1-12000") and ints is not None and len(ints) == 12752


def test_threads_read_write_and_complete_side_by_side(tmp_path: Path) -> None:
    paths = [EXAMPLES / "topology.par", EXAMPLES / "operators.par"] * 4
    expected = [kestcmd.read(p).dumps() for p in paths]
    got: list[str] = [""] * len(paths)

    def work(i: int) -> None:
        job = kestcmd.read(paths[i], complete=False)
        job.complete()
        job.write(tmp_path / f"{i}.par")
        got[i] = (tmp_path / f"{i}.par").read_text()

    threads = [threading.Thread(target=work, args=(i,)) for i in range(len(paths))]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    assert got == expected
