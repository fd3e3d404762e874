"""compute(), compute_many(kernel="scalar") and `brusk compute --format json` give the same
doubles; compute_many's default vector kernel agrees with them within 1e-12 relative."""

import json
import math

import numpy as np
import pytest

import brusk
from conftest import EXAMPLE_WALLS, cli_json, layer_arrays

# Every number of the JSON object and the output of compute_many that holds it.
SCALARS = {
    ("period",): "period",
    ("thickness",): "thickness",
    ("surface_mass",): "surface_mass",
    ("thermal_resistance",): "thermal_resistance",
    ("u_value",): "u_value",
    ("decrement_factor",): "decrement_factor",
    ("periodic_thermal_transmittance", "modulus"): "periodic_thermal_transmittance_modulus",
    ("periodic_thermal_transmittance", "time_shift"): "periodic_thermal_transmittance_time_shift",
    ("periodic_thermal_transmittance", "time_lag"): "periodic_thermal_transmittance_time_lag",
    ("internal_admittance", "modulus"): "internal_admittance_modulus",
    ("internal_admittance", "time_shift"): "internal_admittance_time_shift",
    ("external_admittance", "modulus"): "external_admittance_modulus",
    ("external_admittance", "time_shift"): "external_admittance_time_shift",
    ("internal_areal_heat_capacity",): "internal_areal_heat_capacity",
    ("external_areal_heat_capacity",): "external_areal_heat_capacity",
    ("sequential_heat_capacity", "daily", "value"): "sequential_heat_capacity_daily_value",
    ("sequential_heat_capacity", "twelve_day", "value"):
        "sequential_heat_capacity_twelve_day_value",
}
MATRIX = ("z11", "z12", "z21", "z22")


def at(document, path):
    for key in path:
        document = document[key]
    return document


def assert_row_matches(document, arrays, row):
    """Row `row` of compute_many's arrays holds exactly the numbers of the JSON `document`."""
    for path, name in SCALARS.items():
        value = at(document, path)
        if value is None:  # not computed: null in JSON, NaN in an array
            assert math.isnan(arrays[name][row]), (document["name"], name)
        else:
            assert float(value) == arrays[name][row], (document["name"], name)
    for element in MATRIX:
        re, im = document["transfer_matrix"][element]
        value = arrays["transfer_matrix_" + element][row]
        assert (float(re), float(im)) == (value.real, value.imag), (document["name"], element)
    for cycle in ("daily", "twelve_day"):
        method = arrays[f"sequential_heat_capacity_{cycle}_method"][row]
        assert document["sequential_heat_capacity"][cycle]["method"] == method


@pytest.mark.parametrize("period_hours", [24.0, 1.0, 288.0, 8760.0])
@pytest.mark.parametrize("path", EXAMPLE_WALLS, ids=lambda p: p.name)
def test_example_agrees_with_the_cli(path, period_hours):
    expected = cli_json([path], period_hours)[0]
    result = brusk.compute(brusk.Wall.from_file(path), period_hours=period_hours)
    assert result.to_dict() == expected
    # The attributes hold the same doubles as the dict.
    assert result.decrement_factor == expected["decrement_factor"]
    assert result.periodic_thermal_transmittance.time_lag == \
        expected["periodic_thermal_transmittance"]["time_lag"]
    assert result.transfer_matrix.z12 == complex(*expected["transfer_matrix"]["z12"])
    assert result.sequential_heat_capacity.daily.method == \
        expected["sequential_heat_capacity"]["daily"]["method"]


@pytest.mark.parametrize("period_hours", [24.0, 1.0, 288.0])
def test_examples_through_compute_many_agree_with_the_cli(period_hours):
    walls = [brusk.Wall.from_file(path) for path in EXAMPLE_WALLS]
    expected = cli_json(EXAMPLE_WALLS, period_hours)
    partition = np.array([wall.position == "internal" for wall in walls])
    for heat_flow in ("horizontal", "upward", "downward"):
        chosen = [i for i, wall in enumerate(walls) if wall.heat_flow == heat_flow]
        if not chosen:
            continue
        arrays = layer_arrays([walls[i] for i in chosen])
        out = brusk.compute_many(**arrays, partition=partition[chosen], heat_flow=heat_flow,
                                 period_hours=period_hours, kernel="scalar")
        for row, index in enumerate(chosen):
            assert_row_matches(expected[index], out, row)


def random_wall(rng):
    """A wall of building materials and air gaps, with now and then its own surface
    resistances."""
    layers = []
    for _ in range(rng.integers(1, 6)):
        if rng.random() < 0.15:
            layers.append({"thermal_resistance": float(rng.uniform(0.05, 0.25))})
        else:
            layers.append({"thickness": float(rng.uniform(0.005, 0.3)),
                           "conductivity": float(rng.uniform(0.02, 2.5)),
                           "density": float(rng.uniform(10.0, 2800.0)),
                           "specific_heat": float(rng.uniform(800.0, 2500.0))})
    wall = {"layers": layers,
            "position": "internal" if rng.random() < 0.3 else "external",
            "heat_flow": ("horizontal", "upward", "downward")[rng.integers(0, 3)]}
    if rng.random() < 0.2:
        wall["rsi"] = float(rng.uniform(0.0, 0.3))
    if rng.random() < 0.2:
        wall["rse"] = float(rng.uniform(0.0, 0.3))
    return wall


def compute_many_of(documents, **options):
    walls = [brusk.Wall.from_dict(document) for document in documents]
    arrays = layer_arrays(walls)
    rsi = np.array([document.get("rsi", math.nan) for document in documents])
    rse = np.array([document.get("rse", math.nan) for document in documents])
    partition = np.array([document["position"] == "internal" for document in documents])
    return walls, brusk.compute_many(**arrays, rsi=rsi, rse=rse, partition=partition, **options)


@pytest.fixture(scope="module")
def random_walls():
    rng = np.random.default_rng(20261209)
    return [random_wall(rng) for _ in range(10_000)]


def test_ten_thousand_random_walls_agree_with_the_cli(random_walls, tmp_path):
    files = []
    for index, document in enumerate(random_walls):
        path = tmp_path / f"w{index}.json"
        path.write_text(json.dumps(document))
        files.append(path)
    expected = []
    for start in range(0, len(files), 2000):
        expected += cli_json(files[start:start + 2000])
    for heat_flow in ("horizontal", "upward", "downward"):
        chosen = [i for i, d in enumerate(random_walls) if d["heat_flow"] == heat_flow]
        walls, out = compute_many_of([random_walls[i] for i in chosen], heat_flow=heat_flow,
                                     kernel="scalar")
        for row, index in enumerate(chosen):
            assert_row_matches(expected[index], out, row)
            if index % 50 == 0:  # compute() on a sample: its dict is the CLI's
                result = brusk.compute(walls[row]).to_dict()
                result["name"] = expected[index]["name"]
                assert result == expected[index]


def test_per_wall_periods_agree_with_compute(random_walls):
    documents = [d for d in random_walls[:2000] if d["heat_flow"] == "horizontal"]
    periods = np.random.default_rng(7).uniform(1.0, 400.0, len(documents))
    walls, out = compute_many_of(documents, period_hours=periods, kernel="scalar")
    for row, wall in enumerate(walls):
        document = brusk.compute(wall, period_hours=periods[row]).to_dict()
        assert_row_matches(document, out, row)


def test_vector_kernel_agrees_with_the_scalar_one(random_walls):
    """The many-wall kernel's last bits differ from compute()'s, by a few ulps of each term's
    magnitude; every output agrees within 1e-12 of its column's scale, the same rows are
    refused, and the sequential estimates, computed alike, are the same."""
    documents = [d for d in random_walls if d["heat_flow"] == "horizontal"]
    # Walls too thick for a one-hour cycle: both kernels must refuse them, and only them.
    thick = {"thickness": 20.0, "conductivity": 2.3, "density": 2300.0, "specific_heat": 1000.0}
    documents += [{"layers": [thick], "position": "external", "heat_flow": "horizontal"}] * 7
    periods = np.random.default_rng(11).uniform(1.0, 720.0, len(documents))
    periods[-7:] = 1.0
    _, scalar = compute_many_of(documents, period_hours=periods, kernel="scalar", errors="nan")
    _, vector = compute_many_of(documents, period_hours=periods, errors="nan")
    assert list(scalar["error"]) == list(vector["error"])
    assert sum(1 for message in vector["error"] if "overflows" in message) == 7
    for name, column in scalar.items():
        if name == "error" or column.dtype == object:
            assert list(column) == list(vector[name]), name
            continue
        finite = np.isfinite(column)
        assert np.array_equal(finite, np.isfinite(vector[name])), name
        scale = np.max(np.abs(column[finite])) if finite.any() else 1.0
        np.testing.assert_allclose(vector[name][finite], column[finite], rtol=1e-12,
                                   atol=1e-12 * scale, err_msg=name)
