"""Refused walls raise brusk.WallError with the message `brusk compute` prints, and invalid
rows of compute_many are named with their reason."""

import math

import numpy as np
import pytest

import brusk
from conftest import run_brusk

CONCRETE = "thickness = 0.2\nconductivity = 1.8\ndensity = 2400\nspecific_heat = 1000\n"

# Wall files the CLI refuses, each for its own reason.
HOSTILE_FILES = [
    ("negative_conductivity", "w.toml",
     "[[layers]]\nname = \"EPS\"\nthickness = 0.1\nconductivity = -0.035\ndensity = 20\n"
     "specific_heat = 1450\n"),
    ("nan_density", "w.toml",
     "[[layers]]\nthickness = 0.1\nconductivity = 0.035\ndensity = nan\nspecific_heat = 1450\n"),
    ("unknown_material", "w.toml", "[[layers]]\nmaterial = \"concrete\"\nthickness = 0.2\n"),
    ("no_layers", "w.toml", "name = \"empty\"\n"),
    ("unknown_key", "w.json", '{"layers": [], "colour": "red"}'),
    ("bad_position", "w.json",
     '{"position": "outside", "layers": [{"thermal_resistance": 0.2}]}'),
    ("not_utf8", "w.toml", b"\xff\xfe[[layers]]"),
    ("too_thick_to_compute", "w.toml", "[[layers]]\n" + CONCRETE.replace("0.2", "60")),
    ("negative_rse", "w.toml", "rse = -0.04\n[[layers]]\n" + CONCRETE),
    ("wrong_extension", "w.txt", "[[layers]]\n" + CONCRETE),
]


@pytest.mark.parametrize("name,file_name,text", HOSTILE_FILES, ids=[c[0] for c in HOSTILE_FILES])
def test_refused_file_gives_the_clis_message(tmp_path, name, file_name, text):
    path = tmp_path / file_name
    path.write_bytes(text if isinstance(text, bytes) else text.encode())
    status, out, err = run_brusk("compute", file_name, cwd=tmp_path)
    assert status == 2 and out == ""
    assert err.startswith("brusk: ")
    with pytest.raises(brusk.WallError) as raised:
        brusk.compute(brusk.Wall.from_file(path))
    # The CLI names the file as given on its command line; here it is the full path.
    assert str(raised.value).replace(str(path), file_name) == err[len("brusk: "):].rstrip("\n")
    assert isinstance(raised.value, ValueError)


# The same faults given through Python objects: the reader's words, named after the wall.
OBJECT_FAULTS = [
    ("nan_conductivity", [brusk.Layer(0.1, math.nan, 20, 1450)],
     'wall "W": layer 1: conductivity must be a positive number of W/(m.K), got "nan"'),
    ("infinite_thickness", [brusk.Layer(math.inf, 0.04, 20, 1450, name="EPS")],
     'wall "W": layer 1 ("EPS"): thickness must be a positive number of m, got "inf"'),
    ("zero_density", [brusk.Layer(0.1, 0.04, 0, 1450)],
     'wall "W": layer 1: density must be a positive number of kg/m3, got 0'),
    ("string_thickness", [{"thickness": "thick", "conductivity": 1, "density": 1,
                           "specific_heat": 1}],
     'wall "W": layer 1: thickness must be a positive number of m, got "thick"'),
]


@pytest.mark.parametrize("name,layers,message", OBJECT_FAULTS, ids=[c[0] for c in OBJECT_FAULTS])
def test_refused_objects(name, layers, message):
    with pytest.raises(brusk.WallError) as raised:
        brusk.Wall(layers, name="W")
    assert str(raised.value) == message


def three_layer_rows(walls=6):
    d = np.tile([0.2, 0.1, 0.005], (walls, 1))
    lam = np.tile([1.8, 0.04, 1.0], (walls, 1))
    rho = np.tile([2400.0, 30.0, 1200.0], (walls, 1))
    c = np.tile([1000.0, 1400.0, 1500.0], (walls, 1))
    return {"thickness": d, "conductivity": lam, "density": rho, "specific_heat": c}


def spoil(key, row, column, value):
    def apply(arrays, options):
        arrays[key][row, column] = value
    return apply


def option(key, value):
    def apply(arrays, options):
        options[key] = value
    return apply


# (fault, first bad row, message)
ROW_FAULTS = [
    ("negative_conductivity", spoil("conductivity", 3, 1, -0.04), 3,
     "row 3: layer 2: conductivity must be a positive number of W/(m.K), got -0.04"),
    ("nan_specific_heat", spoil("specific_heat", 1, 0, math.nan), 1,
     "row 1: layer 1: specific_heat must be a positive number of J/(kg.K), got nan"),
    ("layer_after_padding", spoil("thickness", 2, 1, math.nan), 2,
     "row 2: layer 3 has a thickness after a layer without one (NaN): NaN pads a row only at "
     "its side-2 end"),
    ("too_many_layers_counted", option("layer_count", np.array([3, 3, 3, 3, 4, 3])), 4,
     "row 4: layer_count 4 is more than the 3 layer columns"),
    ("no_layers_counted", option("layer_count", np.array([3, 0, 3, 3, 3, 3])), 1,
     "row 1: the wall has no layers; list them from the inner face (side 1) outward as "
     "[[layers]] tables"),
    ("fractional_layer_count", option("layer_count", np.array([3, 3, 3, 3, 3, 2.5])), 5,
     "row 5: layer_count must be a whole number of layers, not negative, got 2.5"),
    ("negative_rsi", option("rsi", np.array([0.13, 0.13, -0.1, 0.13, 0.13, 0.13])), 2,
     "row 2: rsi must be a non-negative number of m2.K/W, got -0.1"),
    ("period_too_long", option("period_hours", np.array([24, 24, 24, 24, 24, 9000.0])), 5,
     "row 5: the period must be from 1 s to 31536000 s (one year), where double precision holds "
     "the results, got 32400000 s"),
    ("too_thick", spoil("thickness", 0, 0, 60.0), 0, "wall \"row 0\": the heat transfer matrix "
     "overflows double precision at a 24 h period: the layers add up to 418 periodic penetration "
     "depths and about 354 can be computed; layer 1 is 60 m thick, 418 depths: make it thinner "
     "or the period longer"),
]


@pytest.mark.parametrize("name,fault,row,message", ROW_FAULTS, ids=[c[0] for c in ROW_FAULTS])
@pytest.mark.parametrize("threads", [1, 2])
def test_invalid_row_raises_with_its_index_and_reason(name, fault, row, message, threads):
    arrays, options = three_layer_rows(), {}
    fault(arrays, options)
    with pytest.raises(brusk.WallError) as raised:
        brusk.compute_many(**arrays, **options, threads=threads)
    assert str(raised.value) == message


@pytest.mark.parametrize("name,fault,row,message", ROW_FAULTS, ids=[c[0] for c in ROW_FAULTS])
def test_invalid_row_gives_nan_and_its_message(name, fault, row, message):
    arrays, options = three_layer_rows(), {}
    fault(arrays, options)
    out = brusk.compute_many(**arrays, **options, errors="nan")
    good = brusk.compute_many(**three_layer_rows())
    assert out["error"][row] == message
    assert math.isnan(out["decrement_factor"][row])
    assert math.isnan(out["transfer_matrix_z11"][row].real)
    assert out["sequential_heat_capacity_daily_method"][row] == ""
    others = [r for r in range(6) if r != row]
    assert all(out["error"][r] == "" for r in others)
    assert np.array_equal(out["decrement_factor"][others], good["decrement_factor"][others])


BAD_ARGUMENTS = [
    ("one_dimensional", {"thickness": np.ones(3)}, "thickness must be a 2-D array"),
    ("shape_mismatch", {"density": np.ones((6, 2))}, "density must have the shape of thickness"),
    ("per_wall_length", {"rsi": np.ones(5)}, "rsi must be a number or an array of shape (6,)"),
    ("unknown_field", {"fields": ["u_value", "colour"]}, 'unknown output "colour"'),
    ("unknown_preset", {"fields": "fast"}, 'fields must be "all", "periodic"'),
    ("unknown_errors", {"errors": "ignore"}, 'errors must be "raise" or "nan"'),
    ("unknown_heat_flow", {"heat_flow": "sideways"}, 'heat_flow must be "horizontal"'),
]


@pytest.mark.parametrize("name,change,message", BAD_ARGUMENTS, ids=[c[0] for c in BAD_ARGUMENTS])
def test_bad_arguments_are_refused(name, change, message):
    arguments = {**three_layer_rows(), **change}
    with pytest.raises(ValueError) as raised:
        brusk.compute_many(**arguments)
    assert message in str(raised.value)


@pytest.mark.parametrize("threads", [1, 2, 5])
def test_failures_in_every_threads_share_are_all_reported(threads):
    walls = 20_000  # enough rows for every thread to get a share
    arrays = three_layer_rows(walls)
    bad_rows = [19_999, 7, 12_345, 4_000]
    for row in bad_rows:
        arrays["density"][row, 2] = -row
    with pytest.raises(brusk.WallError) as raised:
        brusk.compute_many(**arrays, threads=threads)
    assert str(raised.value) == "row 7: layer 3: density must be a positive number of kg/m3, got -7"
    out = brusk.compute_many(**arrays, threads=threads, errors="nan")
    failed = [row for row in range(walls) if out["error"][row]]
    assert failed == sorted(bad_rows)
    assert out["error"][12_345] == \
        "row 12345: layer 3: density must be a positive number of kg/m3, got -12345"
    assert np.isnan(out["u_value"][failed]).all()
    assert not np.isnan(np.delete(out["u_value"], failed)).any()
