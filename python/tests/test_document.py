"""Document edits by address: the text changes only where the edit is, everything else stays."""

from pathlib import Path

import pytest

import kestcmd


def test_edits_keep_comments_and_read_back(topology: Path, tmp_path: Path) -> None:
    doc = kestcmd.Document.read(topology)
    original = doc.text
    assert doc.get("VOLUME_LIMIT.VALUE") == "0.3"
    doc.set("volume_limit.value", "0.25")
    doc.unset("STOP[0].ITER_MAX")
    doc.set("OPTIMISATION.CONSTRAINT[1]", "extra")  # one past the last line adds one
    doc.rename("VOLUME_LIMIT", "VOL_MAX")
    assert doc.text.startswith("# Topology optimisation of a bracket")
    assert len(doc.text.splitlines()) == len(original.splitlines())
    job = doc.job
    assert job["VOL_MAX"]["VALUE"].real == 0.25
    assert job["OPTIMISATION"]["CONSTRAINT"].target == job["VOL_MAX"]
    assert job["OPTIMISATION"].values("CONSTRAINT")[1].text == "EXTRA"
    assert job["STOP_AFTER"].keys() == ["ID_NAME"]
    doc.save(tmp_path / "out.par")
    assert (tmp_path / "out.par").read_text() == doc.text
    copy = tmp_path / "copy.par"
    copy.write_text(original)
    saved = kestcmd.Document.read(copy)
    saved.set("DV_DENSITY.TYPE", "DENSITY")
    saved.save()
    assert copy.read_text() == original


def test_addresses_that_name_nothing_and_refused_edits(topology: Path) -> None:
    doc = kestcmd.Document.read(topology)
    with pytest.raises(ValueError):
        doc.get("VOLUME_LIMIT")
    with pytest.raises(KeyError):
        doc.get("VOLUME_LIMIT.NOT_A_KEY")
    with pytest.raises(KeyError):
        doc.get("NOBODY.VALUE")
    with pytest.raises(KeyError):
        doc.get("STOP[3].ITER_MAX")
    with pytest.raises(KeyError):
        doc.get("VOLUME.UPDATE_TYPE")  # completion made it: no line holds it
    with pytest.raises(kestcmd.EditError):
        doc.unset("VOLUME.UPDATE_TYPE")
    with pytest.raises(kestcmd.EditError):
        doc.rename("VOLUME_LIMIT", "A,B")
    assert doc.text == topology.read_text()
