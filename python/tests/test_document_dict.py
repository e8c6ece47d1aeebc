"""A Document used like a dict: commands by name, values by key, edits that change only their
own lines, blocks added, removed and renamed, refused edits that leave the text as it was."""

from pathlib import Path
from typing import Callable

import numpy
import pytest

import kestcmd

OPERATORS = Path(__file__).resolve().parents[2] / "examples" / "operators.par"


def changed_lines(before: str, after: str) -> list[tuple[str, str]]:
    """The lines that differ, for texts of the same number of lines."""
    old, new = before.splitlines(), after.splitlines()
    assert len(old) == len(new)
    return [(a, b) for a, b in zip(old, new) if a != b]


def test_commands_by_name_and_in_file_order(topology: Path) -> None:
    doc = kestcmd.load(topology)
    limit = doc["volume_limit"]
    assert (limit.type, limit.name, limit.line) == ("CONSTRAINT", "VOLUME_LIMIT", 41)
    assert doc["VOLUME_LIMIT"] == limit and hash(doc["Volume_Limit"]) == hash(limit)
    assert "volume_limit" in doc and "nobody" not in doc
    assert len(doc) == len(list(doc)) == 11
    assert [c.name for c in doc][:3] == ["BRACKET", "DESIGN_SPACE", "FROZEN_RING"]
    assert [c.name for c in doc.commands("group_def")] == ["DESIGN_SPACE", "FROZEN_RING"]
    made = doc["__default_dv_update_param"]  # the default rules made it: no block, no line
    assert made.line is None and made not in list(doc)
    with pytest.raises(KeyError, match=r"topology\.par: no command is named 'volum_limit'; "
                                       r"did you mean 'VOLUME_LIMIT'\?"):
        doc["volum_limit"]
    with pytest.raises(ValueError):
        doc.commands("NOT_A_TYPE")


def test_a_name_of_several_commands_names_none() -> None:
    doc = kestcmd.Document.loads("DV\n  ID_NAME = x\nEND_\nDRESP\n  ID_NAME = X\nEND_\n", name="two.par")
    assert "x" not in doc
    with pytest.raises(KeyError, match=r"two\.par: 'X' names 2 commands: DV\[0\] \(line 1\), DRESP\[0\]"):
        doc["x"]
    assert [c.type for c in doc] == ["DV", "DRESP"]


def test_values_by_key(topology: Path) -> None:
    limit = kestcmd.load(topology)["volume_limit"]
    value = limit["value"]
    assert (value.kind, value.text, value.line, float(value)) == ("VALUE", "0.3", 44, 0.3)
    assert limit.keys() == list(limit) == ["ID_NAME", "TYPE", "DRESP", "VALUE", "COEFFICIENT", "MAGNITUDE"]
    assert len(limit) == 6 and "Magnitude" in limit and "MIN" not in limit and "NOT_A_KEY" not in limit
    assert [(k, v.text) for k, v in limit.items()][1] == ("TYPE", "LESS_EQUAL")
    assert limit.get("MIN") is None and limit.get("MIN", 0.3) == 0.3 and limit.get("VALUE") == 0.3
    assert limit["COEFFICIENT"].line is None  # the default rules gave it
    assert limit["DRESP"].as_target().name == "VOLUME"
    opt = kestcmd.load(OPERATORS).commands("OPTIMIZE")[0]
    assert [v.text for v in opt.getall("constraint")] == ["VOLUME_FRACTION", "PIVOT_STIFFNESS"]
    assert opt.getall("MIN") == []
    with pytest.raises(KeyError):
        limit["MIN"]
    with pytest.raises(KeyError):
        limit["NOT_A_KEY"]
    with pytest.raises(ValueError):
        limit.getall("NOT_A_KEY")


def test_setting_changes_only_the_line_of_the_key(topology: Path) -> None:
    doc = kestcmd.load(topology)
    before = doc.dumps()
    doc["volume_limit"]["VALUE"] = 0.25
    doc["stop_after"]["iter_max"] = 80
    doc["frozen_ring"]["GROUP"] = [9, 1, 2, 3, 3, 4]
    doc["params"]["STRATEGY"] = "oc"
    doc["compliance"]["LOADCASE"] = numpy.int64(3)
    doc["volume"]["GROUP"] = doc["frozen_ring"]["ID_NAME"]
    assert changed_lines(before, doc.dumps()) == [
        ("  GROUP = 20001-20480", "  GROUP = 1-4,9"),
        ("  GROUP = design_space", "  GROUP = FROZEN_RING"),
        ("  LOADCASE = 2", "  LOADCASE = 3"),
        ("  LE_VALUE = 0.3", "  LE_VALUE = 0.25"),
        ("  STRATEGY = mma", "  STRATEGY = oc"),
        ("  ITER_MAX = 50", "  ITER_MAX = 80"),
    ]
    job = doc.job
    assert job["VOLUME_LIMIT"]["VALUE"].real == 0.25 and job["VOLUME"]["GROUP"].target == job["FROZEN_RING"]
    # A value continued over several lines is replaced whole.
    doc["design_space"]["LIST_BEGIN"] = numpy.arange(0, 100, 5)
    assert "  LIST_BEGIN = 0-95:5\nEND_" in doc.dumps()
    assert len(doc.dumps().splitlines()) == len(before.splitlines()) - 2


def test_setting_adds_a_line_or_leaves_one(topology: Path) -> None:
    doc = kestcmd.load(OPERATORS)
    opt = doc.commands("OPTIMIZE")[0]
    lines = len(doc.dumps().splitlines())
    opt["CONSTRAINT"] = ["volume_fraction", "pivot_stiffness"]  # two lines become one, "A, B"
    assert [v.text for v in opt.getall("CONSTRAINT")] == ["VOLUME_FRACTION, PIVOT_STIFFNESS"]
    assert len(doc.dumps().splitlines()) == lines - 1
    opt.add("CONSTRAINT", "extra")
    assert [v.text for v in opt.getall("CONSTRAINT")] == ["VOLUME_FRACTION, PIVOT_STIFFNESS", "EXTRA"]
    topo = kestcmd.load(topology)
    dv = topo["dv_density"]
    dv["MIN"] = 0.01  # no MIN line: one is added at the end of the block
    assert "  MIN = 0.01\nEND_" in topo.dumps() and dv["MIN"].line == 26


def test_removing_keys(topology: Path) -> None:
    doc = kestcmd.load(OPERATORS)
    opt = doc.commands("OPTIMIZE")[0]
    del opt["constraint"]
    assert "CONSTRAINT" not in opt and "CONSTRAINT =" not in doc.dumps().split("OPTIMIZE")[-1]
    with pytest.raises(KeyError):
        del opt["CONSTRAINT"]
    with pytest.raises(KeyError):
        del opt["NOT_A_KEY"]


@pytest.mark.parametrize(
    "edit, error",
    [
        (lambda d: d["volume_limit"].__setitem__("TYPE", "GREATER_EQUAL"), kestcmd.EditError),  # LE_VALUE's
        (lambda d: d["volume"].__delitem__("UPDATE_TYPE"), kestcmd.EditError),  # the rules made it
        (lambda d: d["__DEFAULT_DV_UPDATE_PARAM"].__setitem__("VALUE", 1), kestcmd.EditError),
        (lambda d: d.remove("__DEFAULT_DV_UPDATE_PARAM"), kestcmd.EditError),
        (lambda d: d["volume"].__setitem__("GROUP", "a\nEND_"), ValueError),
        (lambda d: d["volume"].__setitem__("GROUP", ["a", "b,c"]), ValueError),
        (lambda d: d["volume"].__setitem__("VALUE", float("nan")), ValueError),
        (lambda d: d["volume"].__setitem__("VALUE", True), TypeError),
        (lambda d: d["volume"].__setitem__("VALUE", [1, "a"]), TypeError),
        (lambda d: d["volume"].__setitem__("VALUE", [1.5]), TypeError),
        (lambda d: d["volume"].__setitem__("VALUE", [2**40]), ValueError),
        (lambda d: d["volume"].__setitem__("VALUE", numpy.zeros((2, 2), dtype=int)), ValueError),
        (lambda d: d["volume"].__setitem__("NOT_A_KEY", 1), ValueError),
        (lambda d: d.add("DV", GRUOP="1"), ValueError),
        (lambda d: d.add("NOT_A_TYPE"), ValueError),
        (lambda d: d.rename("volume_limit", "a,b"), kestcmd.EditError),
    ],
)
def test_refused_edits_leave_the_text(
    topology: Path, edit: Callable[[kestcmd.Document], object], error: type[Exception]
) -> None:
    doc = kestcmd.load(topology)
    before = doc.dumps()
    with pytest.raises(error):
        edit(doc)
    assert doc.dumps() == before


def test_blocks_added_removed_and_renamed(topology: Path, tmp_path: Path) -> None:
    doc = kestcmd.load(topology)
    density, limit, stop = doc["dv_density"], doc["volume_limit"], doc["stop_after"]
    added = doc.add("DV", name="dv2", GROUP=kestcmd.IntList("1-10"), TYPE="DENSITY", VALUE=0.5)
    assert added.line == 28 and [c.name for c in doc.commands("DV")] == ["DV_DENSITY", "DV2"]
    assert "DV\n  ID_NAME = dv2\n  GROUP = 1-10\n  TYPE = DENSITY\n  VALUE = 0.5\nEND_\n" in doc.dumps()
    assert (density.line, limit.line, limit.name) == (22, 48, "VOLUME_LIMIT")  # found again
    doc.add("STOP", ITER_MAX=5)  # after the last STOP, and without a name
    assert doc.commands("STOP")[1]["ITER_MAX"] == 5
    doc.remove(density)
    with pytest.raises(RuntimeError, match="removed"):
        density.name
    doc.remove("STOP[1]")
    doc.rename(limit, "vol_max")
    assert limit.name == "VOL_MAX" and doc["optimisation"]["CONSTRAINT"] == "VOL_MAX"
    doc.rename("vol_max", "vol_min")
    assert stop["ITER_MAX"] == 50 and "vol_max" not in doc
    assert added == doc["dv2"] and added != stop
    with pytest.raises(ValueError, match="another document"):
        kestcmd.load(topology).remove(added)
    out = tmp_path / "out.par"
    doc.save(out)
    assert out.read_text() == doc.dumps() == doc.text
    copy = tmp_path / "copy.par"
    copy.write_text(topology.read_text())
    again = kestcmd.load(copy)
    again["volume_limit"]["VALUE"] = 0.2
    again.save()
    assert kestcmd.read(copy)["VOLUME_LIMIT"]["VALUE"] == 0.2


def test_names_and_types_follow_edits() -> None:
    doc = kestcmd.Document.loads("DRESP\n  ID_NAME = r\nEND_\nDV\n  ID_NAME = d\n  VALUE = 1\nEND_")
    resp, dv = doc["r"], doc["d"]
    dv["ID_NAME"] = "e"  # a name changed by value, not by rename
    assert "d" not in doc and doc["E"] == dv
    resp.add("PLACEHOLDER", "x")  # an unknown key's line is a PLACEHOLDER item
    del resp["placeholder"]
    added = doc.add("DRESP", name="op", DEF_TYPE="OPER")  # read as an OPERATOR
    assert added.type == "OPERATOR" and [c.name for c in doc.commands("OPERATOR")] == ["OP"]
    assert doc.dumps() == "DRESP\n  ID_NAME = r\nEND_\n\nDRESP\n  ID_NAME = op\n  DEF_TYPE = OPER\nEND_\n" \
        "DV\n  ID_NAME = e\n  VALUE = 1\nEND_"
    doc.add("GROUP_DEF", name="g")  # no GROUP_DEF yet: at the end, after the END_ it lacked
    assert doc.dumps().endswith("  VALUE = 1\nEND_\n\nGROUP_DEF\n  ID_NAME = g\nEND_\n")
    assert [c.name for c in doc] == ["R", "OP", "E", "G"] and dv.line == 9


def test_suggestions_are_close_names() -> None:
    doc = kestcmd.Document.loads("".join(f"DV\n  ID_NAME = {n}\nEND_\n" for n in ["ab", "abcd", "xbcd", "abcdef"]))
    with pytest.raises(KeyError, match=r"did you mean 'AB', 'ABCD' or 'XBCD'\?"):
        doc["abc"]  # closest first; ABCDEF is three edits away
    with pytest.raises(KeyError, match=r"no command is named 'zzzzzz'\"?$"):
        doc["zzzzzz"]


def test_targets_are_commands_of_their_own_kind(topology: Path) -> None:
    doc = kestcmd.load(topology)
    target = doc["volume_limit"]["DRESP"].target
    assert isinstance(target, kestcmd.DocumentCommand) and target == doc["volume"]
    assert isinstance(kestcmd.read(topology)["VOLUME_LIMIT"]["DRESP"].target, kestcmd.Command)
    made = doc["volume"]["UPDATE_TYPE"]
    assert made.line is None and made == doc.job["VOLUME"]["UPDATE_TYPE"].text
