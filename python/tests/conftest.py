"""Shared helpers of the orvunits tests. The library's catalogue and current unit system are
process-wide: tests that need a fresh catalogue run code in a fresh interpreter."""

import os
import subprocess
import sys
import textwrap

import pytest

import orvunits as ou


@pytest.fixture(autouse=True)
def default_current_system():
    """Every test leaves the default current unit system behind it."""
    yield
    ou.set_current_system(None)


def run_fresh(code, cwd=None):
    """Runs `code` in a fresh interpreter with the same path; returns what it printed."""
    result = subprocess.run([sys.executable, "-c", textwrap.dedent(code)], cwd=cwd,
                            capture_output=True, text=True, env=dict(os.environ))
    assert result.returncode == 0, result.stderr
    return result.stdout
