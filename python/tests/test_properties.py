"""Properties over generated jobs and lists: written jobs read back to themselves, unedited
documents keep their text, integer lists agree with the set of their values."""

import numpy
from hypothesis import given, settings
from hypothesis import strategies as st

import kestcmd

names = st.from_regex(r"[A-Z][A-Z0-9_]{0,8}", fullmatch=True)
values = st.one_of(
    names,
    st.integers(-10**6, 10**6).map(str),
    st.floats(-1e6, 1e6, allow_nan=False).map(lambda f: f"{f:.6g}".upper()),
    st.tuples(st.integers(0, 9), st.integers(0, 9), st.integers(0, 9)).map(lambda v: "%d,%d,%d" % v),
)
keys = st.sampled_from(["ID_NAME", "TYPE", "GROUP", "DRESP", "VALUE", "MIN", "MAX", "DV", "STRATEGY"])
blocks = st.tuples(
    st.sampled_from(["DV", "DRESP", "CONSTRAINT", "GROUP_DEF", "STOP", "OPT_PARAM"]),
    st.lists(st.tuples(keys, values), max_size=5),
)
comments = st.sampled_from(["", "# a comment\n", "\n", "   \n"])


def job_text(parts: list[tuple[tuple[str, list[tuple[str, str]]], str]]) -> str:
    return "".join(
        f"{comment}{kw}\n" + "".join(f"  {k} = {v}\n{comment}" for k, v in items) + "END_\n"
        for (kw, items), comment in parts
    )


@settings(max_examples=60, deadline=None)
@given(st.lists(st.tuples(blocks, comments), max_size=6))
def test_written_jobs_read_back_and_documents_keep_text(parts: list[tuple[tuple[str, list[tuple[str, str]]], str]]) -> None:
    text = job_text(parts)
    job = kestcmd.loads(text)
    written = job.dumps()
    again = kestcmd.loads(written)
    assert again.dumps() == written
    assert [(c.type, c.name, [v.text for v in c.values()]) for c in again] == [
        (c.type, c.name, [v.text for v in c.values()]) for c in job
    ]
    assert kestcmd.Document.loads(text).text == text


@settings(max_examples=60, deadline=None)
@given(st.text(alphabet=st.sampled_from("DVEND_ =#,\r\n\ufeffa1\xe9"), max_size=80))
def test_unedited_documents_keep_any_text(text: str) -> None:
    assert kestcmd.Document.loads(text).text == text


@settings(max_examples=100, deadline=None)
@given(st.lists(st.tuples(st.integers(-1000, 1000), st.integers(0, 50), st.integers(1, 7)), max_size=6))
def test_integer_lists_agree_with_their_values(ranges: list[tuple[int, int, int]]) -> None:
    expected = sorted({first + k * step for first, n, step in ranges for k in range(n + 1)})
    text = ",".join(f"{first}-{first + n * step}:{step}" for first, n, step in ranges)
    ints = kestcmd.IntList(text)
    assert list(ints) == expected == numpy.asarray(ints).tolist()
    assert len(ints) == len(expected)
    assert [v for first, last, step in ints.runs for v in range(first, last + 1, step)] == expected
    assert [ints[i] for i in range(-len(expected), len(expected))] == expected + expected
    assert all(v in ints for v in expected) and (max(expected, default=0) + 1) not in ints
    assert list(kestcmd.IntList(str(ints))) == expected
