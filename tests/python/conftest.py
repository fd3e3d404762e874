"""Shared helpers of the Python package's tests: the built brusk program and the examples."""

import json
import os
import pathlib
import subprocess

import numpy as np
import pytest

SOURCE_DIR = pathlib.Path(os.environ.get("BRUSK_SOURCE_DIR", pathlib.Path(__file__).parents[2]))
EXAMPLES = SOURCE_DIR / "examples"
EXAMPLE_WALLS = sorted(p for p in EXAMPLES.iterdir() if p.suffix in (".toml", ".json"))


def brusk_program():
    program = os.environ.get("BRUSK_PROGRAM")
    if not program:
        pytest.skip("BRUSK_PROGRAM is not set: run these tests through ctest")
    return os.path.abspath(program)


def run_brusk(*arguments, cwd=None):
    """Runs the brusk program; returns (exit status, standard output, standard error)."""
    done = subprocess.run([brusk_program(), *map(str, arguments)], capture_output=True,
                          text=True, cwd=cwd)
    return done.returncode, done.stdout, done.stderr


def cli_json(files, period_hours=24.0, materials=()):
    """`brusk compute --format json` on `files`, parsed: one dict per file."""
    arguments = ["compute", "--format", "json", "--period", repr(period_hours)]
    for path in materials:
        arguments += ["--materials", path]
    status, out, err = run_brusk(*arguments, *files)
    assert status == 0, err
    document = json.loads(out)
    return document if isinstance(document, list) else [document]


def layer_arrays(walls):
    """The layers of brusk.Wall objects as the (walls, layers) arrays of compute_many, padded
    with NaN thickness."""
    columns = max(len(wall.layers) for wall in walls)
    shape = (len(walls), columns)
    arrays = {key: np.zeros(shape) for key in
              ("thickness", "conductivity", "density", "specific_heat", "thermal_resistance")}
    arrays["thickness"][:] = np.nan
    for row, wall in enumerate(walls):
        for column, layer in enumerate(wall.layers):
            for key in arrays:
                arrays[key][row, column] = layer.get(key, 0.0)
    return arrays
