from pathlib import Path

import pytest

EXAMPLES = Path(__file__).resolve().parents[2] / "examples"


@pytest.fixture
def topology() -> Path:
    return EXAMPLES / "topology.par"
