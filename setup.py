"""Builds the kestcmd package with one CMake build: the engine's libraries, the native module and
the kestcmd program, installed into the package folder (CMake's `python` component), beside
python/kestcmd's own files. The build goes through ccache where it is installed, with the flags
and the folder depth of scripts/build.sh's build/, so that objects built there are reused."""

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
        build = ROOT / "build-wheel"
        package_root = Path(self.get_ext_fullpath(ext.name)).resolve().parent.parent
        configure = [
            "cmake", "-S", str(ROOT), "-B", str(build),
            "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
            "-DKEST_BUILD_PYTHON=ON",
            "-DKEST_BUILD_TESTS=OFF",
            "-DKEST_BUILD_TOOLS=ON",
            "-DKEST_BUILD_BENCHMARKS=OFF",
            f"-DPython_EXECUTABLE={sys.executable}",
        ]
        env = dict(os.environ)
        if shutil.which("ninja"):
            configure += ["-G", "Ninja"]
        if shutil.which("ccache"):
            configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
            env.setdefault("CCACHE_BASEDIR", str(ROOT))
            env.setdefault("CCACHE_NOHASHDIR", "1")
        subprocess.run(configure, check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "_kestcmd", "kestcmd"],
                       check=True, env=env)
        # Stripped: the debug information stays in the build tree.
        subprocess.run(["cmake", "--install", str(build), "--component", "python", "--strip",
                        "--prefix", str(package_root)], check=True)
        # A wheel holds no symbolic links: each library once, under the name the loader asks for.
        for link in (package_root / "kestcmd").glob("lib*.so*"):
            if link.is_symlink():
                target = link.resolve()
                link.unlink()
                target.rename(link)


# The version and the address of the project, as CMakeLists.txt gives them.
project = re.search(r"project\(KestCmdEngine VERSION (\S+).*?HOMEPAGE_URL \"([^\"]+)\"",
                    (ROOT / "CMakeLists.txt").read_text(), re.DOTALL)
assert project, "CMakeLists.txt names the project's version and address"
setup(
    version=project.group(1),
    project_urls={"Homepage": project.group(2)},
    packages=["kestcmd"],
    package_dir={"": "python"},
    package_data={"kestcmd": ["py.typed", "*.pyi"]},
    ext_modules=[CMakeExtension("kestcmd._kestcmd")],
    cmdclass={"build_ext": CMakeBuild},
    # Beside CMake's build/ folder, not in it.
    options={"build": {"build_base": os.path.join("build-python")}},
    zip_safe=False,
)
