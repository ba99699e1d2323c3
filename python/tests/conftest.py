"""Shared helpers of the orvunits tests. The library's catalogue and current unit system are
process-wide: tests that need a fresh catalogue run code in a fresh interpreter."""

import pathlib
import subprocess
import sys
import textwrap

import pytest

import orvunits as ou

ROOT = pathlib.Path(__file__).resolve().parents[2]


@pytest.fixture(autouse=True)
def default_current_system():
    """Every test leaves the default current unit system behind it."""
    yield
    ou.set_current_system(None)


def run_fresh(code, *arguments):
    """Runs `code` with `arguments` in a fresh interpreter; returns the lines it printed."""
    result = subprocess.run([sys.executable, "-c", textwrap.dedent(code), *arguments],
                            capture_output=True, text=True)
    assert result.returncode == 0, result.stderr
    return result.stdout.splitlines()
