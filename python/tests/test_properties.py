"""Properties over generated jobs and lists: written jobs read back to themselves, unedited
documents keep their text, integer lists agree with the set of their values, edits by key are
edits by address."""

from typing import Any, Callable, Optional

import numpy
import pytest
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


# Random edits of a document made through its dict interface, and the same edits made through
# addresses: the texts agree after every edit, and so do the failures.
Edit = tuple[str, int, str, Any]
edit_keys = st.sampled_from(["VALUE", "GROUP", "MIN", "DRESP", "TYPE", "LOADCASE", "DESCRIPTION"])
edit_values = st.one_of(
    names,
    st.integers(-10**6, 10**6),
    st.floats(-1e6, 1e6, allow_nan=False).map(lambda f: round(f, 3)),
    st.lists(st.integers(-50, 50), min_size=1, max_size=6),
    st.lists(names, min_size=1, max_size=3),
)
edits = st.lists(
    st.one_of(
        st.tuples(st.sampled_from(["set", "add"]), st.integers(0, 5), edit_keys, edit_values),
        st.tuples(st.just("del"), st.integers(0, 5), edit_keys, st.none()),
        st.tuples(st.just("rename"), st.integers(0, 5), st.just(""), st.none()),
    ),
    max_size=8,
)
edited_blocks = st.lists(
    st.tuples(
        st.sampled_from(["DV", "DRESP", "CONSTRAINT", "STOP"]),
        st.lists(st.tuples(st.sampled_from(["VALUE", "GROUP", "MIN", "DRESP", "LE_VALUE"]), values),
                 max_size=4),
        comments,
    ),
    min_size=1,
    max_size=6,
)


def written(value: Any) -> str:
    """The text an edit writes for `value`."""
    if isinstance(value, list):
        return ", ".join(value) if isinstance(value[0], str) else str(kestcmd.IntList(value))
    return str(value)


def by_dict(doc: kestcmd.Document, commands: list[kestcmd.DocumentCommand], edit: Edit, step: int) -> None:
    op, i, key, value = edit
    cmd = commands[i % len(commands)]
    if op == "set":
        cmd[key] = value
    elif op == "add":
        cmd.add(key, value)
    elif op == "del":
        del cmd[key]
    else:
        doc.rename(cmd, f"R{step}")


def by_address(doc: kestcmd.Document, names: list[str], edit: Edit, step: int) -> None:
    op, i, key, value = edit
    name = names[i % len(names)]
    if op == "rename":
        doc.rename(name, f"R{step}")
        names[i % len(names)] = f"R{step}"
        return
    lines = 0
    while True:
        try:
            doc.get(f"{name}.{key}[{lines}]")
        except KeyError:
            break
        lines += 1
    if op == "set" and lines > 0:
        doc.set(f"{name}.{key}[0]", written(value))
        for k in range(lines - 1, 0, -1):
            doc.unset(f"{name}.{key}[{k}]")
    elif op in ("set", "add"):
        doc.set(f"{name}.{key}[{lines}]", written(value))
    else:
        if lines == 0:
            doc.unset(f"{name}.{key}")  # the failure: no such value, or none with a line
        for k in range(lines - 1, -1, -1):
            doc.unset(f"{name}.{key}[{k}]")


def failure(edit: Callable[[], None]) -> Optional[type]:
    try:
        edit()
    except (KeyError, ValueError) as error:
        return type(error)
    return None


@settings(max_examples=80, deadline=None)
@given(edited_blocks, edits, st.booleans())
def test_edits_by_key_are_edits_by_address(
    blocks: list[tuple[str, list[tuple[str, str]], str]], sequence: list[Edit], crlf: bool
) -> None:
    text = "".join(
        f"{comment}{kw}\n  ID_NAME = N{i}\n" + "".join(f"  {k} = {v}\n{comment}" for k, v in items) + "END_\n"
        for i, (kw, items, comment) in enumerate(blocks)
    )
    text = text.replace("\n", "\r\n") if crlf else text
    ours, theirs = kestcmd.Document.loads(text), kestcmd.Document.loads(text)
    commands = [ours[f"N{i}"] for i in range(len(blocks))]
    names = [f"N{i}" for i in range(len(blocks))]
    for step, edit in enumerate(sequence):
        expected = failure(lambda: by_address(theirs, names, edit, step))
        assert failure(lambda: by_dict(ours, commands, edit, step)) == expected, edit
        assert ours.dumps() == theirs.dumps(), edit
    assert [c.name for c in commands] == names


@settings(max_examples=60, deadline=None)
@given(
    st.lists(st.sampled_from(["DV", "DRESP"]), min_size=1, max_size=5),
    st.lists(st.tuples(st.sampled_from(["add DV", "add DRESP", "add STOP", "remove"]), st.integers(0, 20)),
             max_size=10),
)
def test_commands_follow_their_blocks(types: list[str], changes: list[tuple[str, int]]) -> None:
    """Blocks added after the last of their type and removed anywhere: every DocumentCommand
    taken before still names its own block, and one whose block went is refused."""
    doc = kestcmd.Document.loads("".join(f"{t}\n  ID_NAME = B{i}\nEND_\n" for i, t in enumerate(types)))
    model = [(t, f"B{i}") for i, t in enumerate(types)]
    held = {name: doc[name] for _, name in model}
    for step, (change, pick) in enumerate(changes):
        if change == "remove" and model:
            _, name = model.pop(pick % len(model))
            doc.remove(held[name])
        elif change != "remove":
            kind = change.split()[1]
            at = max((i + 1 for i, (t, _) in enumerate(model) if t == kind), default=len(model))
            model.insert(at, (kind, f"A{step}"))
            held[f"A{step}"] = doc.add(kind, name=f"A{step}")
        assert [c.name for c in doc] == [name for _, name in model]
        alive = {name for _, name in model}
        for name, cmd in held.items():
            if name in alive:
                assert cmd.name == name and cmd == doc[name]
            else:
                with pytest.raises(RuntimeError):
                    cmd.line
