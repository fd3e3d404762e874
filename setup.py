"""Builds the extension module brusk._brusk with the project's CMake build, for pip."""

import os
import pathlib
import shutil
import subprocess
import sys
import sysconfig

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).parent.resolve()


class CMakeExtension(Extension):
    def __init__(self, name):
        super().__init__(name, sources=[])


class CMakeBuild(build_ext):
    """Configures the project with only the engine, the frontend, the report and the module,
    for the interpreter running pip, and copies the built module into the wheel."""

    def build_extension(self, ext):
        build_dir = pathlib.Path(self.build_temp).resolve() / "cmake"
        arguments = [
            "-DCMAKE_BUILD_TYPE=Release",
            f"-DPython_EXECUTABLE={sys.executable}",
            "-DBRUSK_BUILD_PYTHON=ON",
            "-DBRUSK_BUILD_TOOLS=OFF",
            "-DBRUSK_BUILD_TESTS=OFF",
            "-DBRUSK_BUILD_VALIDATION=OFF",
            "-DBRUSK_INSTALL=OFF",
        ]
        try:  # pybind11 from the build environment (pip's isolated build elsewhere)
            import pybind11

            arguments.append(f"-Dpybind11_DIR={pybind11.get_cmake_dir()}")
        except ImportError:
            pass  # Debian's pybind11-dev, found by CMake itself
        cmake = os.environ.get("CMAKE", "cmake")
        jobs = os.environ.get("BRUSK_BUILD_JOBS", "2")
        subprocess.run([cmake, "-S", str(ROOT), "-B", str(build_dir), *arguments], check=True)
        subprocess.run([cmake, "--build", str(build_dir), "--target", "brusk_python", "-j", jobs],
                       check=True)
        suffix = sysconfig.get_config_var("EXT_SUFFIX")
        built = build_dir / "python" / "brusk" / f"_brusk{suffix}"
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(built, target)


# Out of the way of the CMake build folder the README uses.
setup(ext_modules=[CMakeExtension("brusk._brusk")], cmdclass={"build_ext": CMakeBuild},
      options={"build": {"build_base": "build-python"}})
