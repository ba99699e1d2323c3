"""The package as a whole: its stubs, and the package that cmake --install puts in place."""

import ast
import os
import pathlib
import subprocess
import sys

import pytest

import orvunits as ou
from conftest import ROOT, run_fresh


def public(names):
    return {name for name in names if not name.startswith("_")}


def test_the_stubs_declare_exactly_what_the_package_offers():
    stub = ast.parse((pathlib.Path(ou.__file__).parent / "__init__.pyi").read_text())
    classes = [node for node in stub.body if isinstance(node, ast.ClassDef)]
    functions = [node for node in stub.body if isinstance(node, ast.FunctionDef)]
    assert {node.name for node in classes + functions} == set(ou.__all__)
    for node in classes:
        declared = public(item.name for item in node.body if isinstance(item, ast.FunctionDef))
        assert declared == public(vars(getattr(ou, node.name))), node.name


def test_the_readme_shows_the_example_which_prints_what_it_says():
    example = (ROOT / "python" / "examples" / "depths.py").read_text()
    readme = (ROOT / "README.md").read_text()
    section = readme[readme.index("## Using Orv Units from Python"):]
    snippet = section[section.index("```python\n") + 10:]
    assert snippet[:snippet.index("```")] == example
    assert run_fresh(example) == [
        "3.81", "3.81 m 150.0", "now Site", "12.5 ft [365.76 381.15 399.29]"]


@pytest.mark.skipif("ORV_UNITS_BUILD_DIR" not in os.environ, reason="needs the build tree")
def test_the_installed_package_imports_and_finds_its_libraries(tmp_path):
    subprocess.run(["cmake", "--install", os.environ["ORV_UNITS_BUILD_DIR"], "--prefix",
                    str(tmp_path)], check=True, capture_output=True)
    [package] = tmp_path.glob("**/orvunits/__init__.py")
    environment = dict(os.environ, PYTHONPATH=str(package.parent.parent))
    printed = subprocess.run([sys.executable, "-c", "import orvunits; print(orvunits.__file__, "
                              "orvunits.convert(1.0, 'ft', 'in'))"], cwd=tmp_path, env=environment,
                             capture_output=True, text=True, check=True).stdout.split()
    assert printed == [str(package), "12.0"]
