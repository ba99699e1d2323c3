"""Builds the package orvunits for pip (pip install --no-build-isolation ./python).

CMake builds the Orv Units libraries of the repository around this folder and the extension
module, and installs them into a staging folder; the module and the shared libraries it loads
are then put side by side in the package, where the module finds them.
"""

import os
import pathlib
import re
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent.parent


def project_version():
    text = (ROOT / "CMakeLists.txt").read_text()
    return re.search(r"project\(OrvUnits VERSION ([0-9.]+)", text).group(1)


def wanted(path):
    """Each library once, under the name the module asks for (libX.so.0), and the modules."""
    if path.is_symlink():
        return not path.name.endswith(".so")
    return path.is_file() and re.search(r"\.so(\.\d+){3}$", path.name) is None and ".so" in path.name


class CMakeBuild(build_ext):
    def build_extension(self, ext):
        temp = pathlib.Path(self.build_temp).resolve()
        build, stage = temp / "cmake", temp / "stage"
        generator = ["-G", "Ninja"] if shutil.which("ninja") else []
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), *generator,
                        "-DCMAKE_BUILD_TYPE=Release", "-DORV_UNITS_BUILD_TESTS=OFF",
                        "-DORV_UNITS_BUILD_EXAMPLES=OFF", "-DORV_UNITS_BUILD_TOOLS=OFF",
                        "-DORV_UNITS_BUILD_PYTHON=ON", "-DPython3_EXECUTABLE=" + sys.executable,
                        "-DCMAKE_INSTALL_LIBDIR=orvunits", "-DORV_UNITS_PYTHON_INSTALL_DIR=."],
                       check=True)
        subprocess.run(["cmake", "--build", str(build), "--parallel", str(os.cpu_count() or 1)],
                       check=True)
        shutil.rmtree(stage, ignore_errors=True)
        subprocess.run(["cmake", "--install", str(build), "--prefix", str(stage)], check=True,
                       stdout=subprocess.DEVNULL)
        package = pathlib.Path(self.get_ext_fullpath(ext.name)).parent
        package.mkdir(parents=True, exist_ok=True)
        for path in (stage / "orvunits").iterdir():
            if wanted(path):
                shutil.copyfile(path, package / path.name)


setup(version=project_version(),
      packages=["orvunits"],
      package_data={"orvunits": ["__init__.pyi", "py.typed"]},
      ext_modules=[Extension("orvunits._orvunits", sources=[])],
      cmdclass={"build_ext": CMakeBuild})
