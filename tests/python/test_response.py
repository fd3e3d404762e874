"""response_many(): the example walls' series equal `brusk response`'s doubles, their summaries
`brusk batch --outdoor`'s; invalid rows raise or give NaN; response_frame is one row per wall."""

import json
import math

import numpy as np
import pytest

import brusk
from conftest import EXAMPLE_WALLS, EXAMPLES, run_brusk, layer_arrays

DAY = EXAMPLES / "profiles" / "hot-summer-day.csv"


def day_samples():
    lines = [line for line in DAY.read_text().splitlines()
             if line.strip() and not line.startswith("#")]
    return np.array([float(line.split(",")[-1]) for line in lines[1:]])


def example_arrays():
    walls = [brusk.Wall.from_file(path) for path in EXAMPLE_WALLS]
    arrays = layer_arrays(walls)
    arrays["rsi"] = [math.nan if wall.rsi is None else wall.rsi for wall in walls]
    arrays["rse"] = [math.nan if wall.rse is None else wall.rse for wall in walls]
    arrays["partition"] = [wall.position == "internal" for wall in walls]
    return walls, arrays


@pytest.mark.parametrize("indoor", [None, "swing"])
def test_series_equal_brusk_response(indoor, tmp_path):
    _, arrays = example_arrays()
    outdoor = day_samples()
    arguments = ["--indoor-constant", "26"]
    options = {"indoor_constant": 26.0}
    if indoor == "swing":
        samples = 24.0 + np.cos(np.arange(12) * 2 * np.pi / 12)
        path = tmp_path / "indoor.csv"
        path.write_text("".join(f"{value!r}\n" for value in samples))
        arguments = ["--indoor", str(path)]
        options = {"indoor": samples}
    result = brusk.response_many(**arrays, outdoor=outdoor, period_hours=24.0, **options)
    assert result["heat_flow_in"].shape == (len(EXAMPLE_WALLS), outdoor.size)
    for row, path in enumerate(EXAMPLE_WALLS):
        status, out, err = run_brusk("response", str(path), "--outdoor", str(DAY), *arguments,
                                     "--format", "json")
        assert status == 0, err
        document = json.loads(out)
        flows = [sample["heat_flow_in"] for sample in document["samples"]]
        surfaces = [sample["inner_surface_temperature"] for sample in document["samples"]]
        assert result["heat_flow_in"][row].tolist() == flows, path.name
        assert result["inner_surface_temperature"][row].tolist() == surfaces, path.name
        # The summary of `brusk response` is the per-wall summary, key for key.
        summary = document["summary"]
        assert list(summary) == [q["key"] for q in brusk.RESPONSE_QUANTITIES]
        for key, expected in summary.items():
            got = result[key][row]
            assert got == expected or (expected is None and math.isnan(got)), (path.name, key)


def wall_line(wall):
    """A wall as one JSON line of explicit layers, for `brusk batch`."""
    layers = []
    for layer in wall.layers:
        if layer.get("thickness", 0.0) == 0.0:
            layers.append({"thermal_resistance": layer["thermal_resistance"]})
        else:
            layers.append({key: layer[key] for key in
                           ("thickness", "conductivity", "density", "specific_heat")})
    document = {"name": wall.name, "position": wall.position, "heat_flow": wall.heat_flow,
                "layers": layers}
    for key in ("rsi", "rse"):
        if getattr(wall, key) is not None:
            document[key] = getattr(wall, key)
    return json.dumps(document) + "\n"


def test_summaries_equal_brusk_batch(tmp_path):
    walls, arrays = example_arrays()
    lines = tmp_path / "walls.jsonl"
    lines.write_text("".join(wall_line(wall) for wall in walls))
    status, out, err = run_brusk("batch", str(lines), "--outdoor", str(DAY), "--format", "jsonl")
    assert status == 0, err
    result = brusk.response_many(**arrays, outdoor=day_samples(), indoor_constant=25.0,
                                 period_hours=24.0)
    rows = out.splitlines()
    assert len(rows) == len(walls)
    for row, line in enumerate(rows):
        document = json.loads(line)
        for quantity in brusk.RESPONSE_QUANTITIES:
            value = document[quantity["key"]]
            got = result[quantity["key"]][row]
            if value is None:
                assert math.isnan(got), quantity["key"]
            else:
                assert got == value, (walls[row].name, quantity["key"])


def test_bad_rows_raise_or_give_nan():
    thickness = np.array([[0.2, 0.1], [0.2, 0.1], [0.1, np.nan]])
    conductivity = np.array([[1.8, -0.5], [1.8, 0.04], [0.5, 0.0]])
    density = np.array([[2400, 30], [2400, 30], [1200, 0]])
    specific_heat = np.array([[1000, 1400], [1000, 1400], [840, 0]])
    outdoor = 20 + 5 * np.cos(np.arange(24) * 2 * np.pi / 24)
    with pytest.raises(brusk.WallError, match=r"row 0: .*conductivity must be a positive"):
        brusk.response_many(thickness, conductivity, density, specific_heat, outdoor=outdoor)
    result = brusk.response_many(thickness, conductivity, density, specific_heat,
                                 outdoor=outdoor, errors="nan")
    assert np.isnan(result["heat_flow_in"][0]).all()
    assert np.isfinite(result["heat_flow_in"][1:]).all()
    assert result["error"][0].startswith("row 0: ") and result["error"][1:] == ["", ""]
    assert np.isnan(result["peak_heat_flow_in"][0]) and np.isfinite(result["heat_lost"][1])


@pytest.mark.parametrize("arguments, message", [
    ({"outdoor": [20.0, math.nan]}, "sample 2 of the outdoor profile"),
    ({"outdoor": []}, "has no samples"),
    ({"outdoor": [20.0, 21.0], "indoor": [20.0], "indoor_constant": 20.0}, "not both"),
    ({"outdoor": [20.0, 21.0], "period_hours": 9000.0}, "period of the profiles"),
    ({"outdoor": [20.0, 21.0], "heat_flow": "sideways"}, "heat_flow must be"),
])
def test_bad_profiles_and_options_are_refused(arguments, message):
    with pytest.raises(ValueError, match=message):
        brusk.response_many([[0.2]], [[1.8]], [[2400.0]], [[1000.0]], **arguments)


def test_frame_has_one_row_per_wall_and_a_column_per_quantity():
    pandas = pytest.importorskip("pandas")
    _, arrays = example_arrays()
    frame = brusk.response_frame(**arrays, outdoor=day_samples(), period_hours=24.0)
    assert isinstance(frame, pandas.DataFrame)
    assert len(frame) == len(EXAMPLE_WALLS)
    assert list(frame.columns) == [quantity["key"] for quantity in brusk.RESPONSE_QUANTITIES]


# (case, arguments changed from two one-layer walls, the message of row 1)
LAYOUT_FAULTS = [
    ("half_partition", {"partition": np.array([0.0, 0.5])},
     "row 1: partition must be true or false (1 or 0) for each wall, got 0.5"),
    ("fractional_layer_count", {"layer_count": np.array([1, 0.5])},
     "row 1: layer_count must be a whole number of layers, not negative, got 0.5"),
    ("layer_after_padding", {"thickness": np.array([[0.2, np.nan], [np.nan, 0.1]])},
     "row 1: layer 2 has a thickness after a layer without one (NaN): NaN pads a row only at "
     "its side-2 end"),
]


@pytest.mark.parametrize("name,change,message", LAYOUT_FAULTS, ids=[c[0] for c in LAYOUT_FAULTS])
def test_response_many_refuses_rows_as_compute_many_does(name, change, message):
    arrays = {"thickness": np.array([[0.2, np.nan], [0.2, np.nan]]),
              "conductivity": np.full((2, 2), 1.8), "density": np.full((2, 2), 2400.0),
              "specific_heat": np.full((2, 2), 1000.0), **change}
    outdoor = 20 + 5 * np.cos(np.arange(24) * 2 * np.pi / 24)
    with pytest.raises(brusk.WallError) as raised:
        brusk.response_many(**arrays, outdoor=outdoor)
    assert str(raised.value) == message
    assert brusk.compute_many(**arrays, errors="nan")["error"].tolist() == ["", message]
    result = brusk.response_many(**arrays, outdoor=outdoor, errors="nan")
    assert result["error"] == ["", message]
    assert np.isnan(result["heat_flow_in"][1]).all() and np.isfinite(result["heat_flow_in"][0]).all()


# (case, conductivity of the two one-layer walls, partition, outdoor, errors, message raised)
REFUSAL_ORDER = [
    ("refused_wall_before_bad_profile", [1.8, -0.5], [0.0, 0.0], [20.0, math.nan], "raise",
     r"^row 1: .*conductivity must be a positive"),
    ("bad_profile_when_rows_are_kept", [1.8, -0.5], [0.0, 0.0], [20.0, math.nan], "nan",
     "sample 2 of the outdoor profile"),
    ("layout_fault_below_refused_wall", [1.8, -0.5], [0.5, 0.0], [20.0, 21.0], "raise",
     r"^row 0: partition must be true or false"),
    ("refused_wall_below_layout_fault", [-0.5, 1.8], [0.0, 0.5], [20.0, 21.0], "raise",
     r"^row 0: .*conductivity must be a positive"),
]


@pytest.mark.parametrize("name,conductivity,partition,outdoor,errors,message", REFUSAL_ORDER,
                         ids=[c[0] for c in REFUSAL_ORDER])
def test_the_first_refusal_is_the_lowest_row_then_the_profiles(name, conductivity, partition,
                                                               outdoor, errors, message):
    with pytest.raises(ValueError, match=message):
        brusk.response_many([[0.2], [0.2]], [[c] for c in conductivity], [[2400.0]] * 2,
                            [[1000.0]] * 2, partition=np.array(partition), outdoor=outdoor,
                            errors=errors)
