"""Builds the kestcmd package with CMake: the engine's libraries and the native module, installed
into the package folder (CMake's `python` component), beside python/kestcmd's own files."""

import os
import re
import shutil
import subprocess
import sys
from pathlib import Path

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = Path(__file__).resolve().parent


class CMakeExtension(Extension):
    def __init__(self, name: str) -> None:
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    def build_extension(self, ext: Extension) -> None:
        build = Path(self.build_temp).resolve() / "cmake"
        package_root = Path(self.get_ext_fullpath(ext.name)).resolve().parent.parent
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(build),
            "-DCMAKE_BUILD_TYPE=Release",
            "-DKEST_BUILD_PYTHON=ON",
            "-DKEST_BUILD_TESTS=OFF",
            "-DKEST_BUILD_TOOLS=OFF",
            "-DKEST_BUILD_BENCHMARKS=OFF",
            f"-DPython_EXECUTABLE={sys.executable}",
        ]
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "_kestcmd"], check=True)
        subprocess.run(["cmake", "--install", str(build), "--component", "python",
                        "--prefix", str(package_root)], check=True)


version = re.search(r"project\(KestCmdEngine VERSION (\S+)", (ROOT / "CMakeLists.txt").read_text())
assert version, "CMakeLists.txt names the project's version"
setup(
    version=version.group(1),
    packages=["kestcmd"],
    package_dir={"": "python"},
    package_data={"kestcmd": ["py.typed", "*.pyi"]},
    ext_modules=[CMakeExtension("kestcmd._kestcmd")],
    cmdclass={"build_ext": CMakeBuild},
    # Beside CMake's build/ folder, not in it.
    options={"build": {"build_base": os.path.join("build-python")}},
    zip_safe=False,
)
