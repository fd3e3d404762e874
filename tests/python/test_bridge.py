"""brusk.bridge(): two-dimensional junctions through Python, equal to the CLI's JSON."""

import json
import math

import numpy as np
import pytest

import brusk
from conftest import EXAMPLES, run_brusk

JUNCTIONS = EXAMPLES / "junctions"


@pytest.mark.parametrize("name", ["corner.toml", "t-junction.toml", "floor-slab.toml"])
def test_doors_agree_with_the_cli(name):
    status, out, err = run_brusk("bridge", "--format", "json", JUNCTIONS / name)
    assert status == 0, err
    cli = json.loads(out)
    result = brusk.bridge(JUNCTIONS / name)
    for key in ("psi", "f_rsi", "coupling_coefficient"):
        assert result[key] == cli[key], key
    assert result["minimum_surface_temperature"] == cli["minimum_surface_temperature"]
    assert result["heat_flow"] == cli["heat_flow"]


def test_field_is_an_array_on_the_grid_with_nan_outside():
    result = brusk.bridge(JUNCTIONS / "corner.toml")
    field = result["field"]
    temperature = field["temperature"]
    assert isinstance(temperature, np.ndarray)
    assert temperature.shape == (len(field["y"]), len(field["x"]))
    assert np.all(np.diff(field["x"]) > 0) and np.all(np.diff(field["y"]) > 0)
    inside = temperature[~np.isnan(temperature)]
    # The room's quadrant of the L-shaped corner holds no material.
    assert np.isnan(temperature).any()
    assert inside.min() >= 0.0 and inside.max() <= 20.0
    minimum = result["minimum_surface_temperature"]
    assert math.isclose(inside.min(), 0.0, abs_tol=2.0)  # the outer face is near 0 degC
    assert 0.0 < minimum["value"] < 20.0


def drawn_slab(**changes):
    junction = {
        "name": "slab",
        "regions": [{"x": [0.0, 0.2], "y": [0.0, 1.0], "conductivity": 1.0}],
        "environments": {"indoor": {"temperature": 20.0, "surface_resistance": 0.13},
                         "outdoor": {"temperature": 0.0, "surface_resistance": 0.04}},
        "boundaries": [{"environment": "indoor", "from": [0.0, 0.0], "to": [0.0, 1.0]},
                       {"environment": "outdoor", "from": [0.2, 0.0], "to": [0.2, 1.0]}],
        "flanking": [{"u_value": 1.0 / (0.13 + 0.2 + 0.04), "length": 1.0}],
        "probes": [{"name": "inner face", "at": [0.0, 0.5]}],
    }
    junction.update(changes)
    return junction


def test_a_dict_gives_a_plane_slab_psi_zero_and_its_surface_temperature():
    result = brusk.bridge(drawn_slab())
    assert abs(result["psi"]) < 1e-9
    q = 20.0 / (0.13 + 0.2 + 0.04)
    assert math.isclose(result["probes"][0]["temperature"], 20.0 - 0.13 * q, abs_tol=1e-9)


@pytest.mark.parametrize("changes, words", [
    ({"regions": [{"x": [0.0, 0.0], "y": [0.0, 1.0], "conductivity": 1.0}]}, "zero or negative"),
    ({"probes": [{"name": "P", "at": [5.0, 5.0]}]}, "outside the body"),
    ({"flanking": [{"u_value": -1.0, "length": 1.0}]}, "u_value must be a positive"),
])
def test_bad_dicts_raise_the_clis_words(changes, words):
    with pytest.raises(brusk.WallError, match=words):
        brusk.bridge(drawn_slab(**changes))


def _example_wall(name, as_dict):
    wall = brusk.Wall.from_file(EXAMPLES / name)
    return wall.to_dict() if as_dict else wall


# The example junctions with their walls handed over as the walls themselves (a brusk.Wall or
# its dict, as the page hands over the form's wall): the same figures as the files through the CLI.
@pytest.mark.parametrize("file, template", [
    ("corner.toml", {"type": "corner", "walls": ["2-concrete-insulated.toml"],
                     "dimensions": "internal"}),
    ("t-junction.toml", {"type": "t-junction",
                         "walls": ["2-concrete-insulated.toml", "partition.json"]}),
    ("floor-slab.toml", {"type": "floor-slab", "walls": ["2-concrete-insulated.toml",
                                                         "1-concrete.toml"],
                         "slab_into_wall": 0.2}),
])
@pytest.mark.parametrize("as_dict", [False, True])
def test_doors_agree_with_walls_handed_over(file, template, as_dict):
    status, out, err = run_brusk("bridge", "--format", "json", JUNCTIONS / file)
    assert status == 0, err
    cli = json.loads(out)
    junction = dict(template, walls=[_example_wall(w, as_dict) for w in template["walls"]])
    result = brusk.bridge({"name": cli["name"], "junction": junction})
    del result["field"]
    assert result == cli


LIMITS = ('name = "Limits"\n[[rules]]\nid = "psi"\nquantity = "psi"\nat_most = 0.15\n'
          'unit = "W/(m.K)"\n[[rules]]\nid = "mould"\nquantity = "f_rsi"\nat_least = 0.7\n'
          '[[rules]]\nid = "u"\nquantity = "u_value"\nat_most = 0.3\n')


@pytest.mark.parametrize("requirements, verdict", [
    (LIMITS, "passed"),
    (LIMITS.replace("at_most = 0.15", "at_most = 0.1"), "failed"),
    ("uk-adl-2021-dwellings", "nothing checked"),
])
@pytest.mark.parametrize("as_dict", [False, True])
def test_check_junction_agrees_with_the_cli(tmp_path, requirements, verdict, as_dict):
    rules = tmp_path / "rules.toml"
    if "\n" in requirements:
        rules.write_text(requirements)
    argument = str(rules) if "\n" in requirements else requirements
    status, out, err = run_brusk("check", "--format", "json", "--requirements", argument,
                                 JUNCTIONS / "corner.toml")
    assert status in (0, 1, 3), err
    cli = json.loads(out)[0]
    junction = (JUNCTIONS / "corner.toml") if not as_dict else {
        "name": cli["wall"],
        "junction": {"type": "corner", "dimensions": "internal",
                     "walls": [_example_wall("2-concrete-insulated.toml", True)]}}
    result = brusk.check_junction(junction, requirements)
    assert result == cli
    assert result["verdict"] == verdict
    assert result["passed"] is {"passed": True, "failed": False}.get(verdict)


def test_check_junction_refuses_what_the_cli_refuses():
    with pytest.raises(ValueError, match="embedded null"):
        brusk.check_junction(str(JUNCTIONS / "corner.toml") + "\0x", LIMITS)
    with pytest.raises(TypeError, match="a junction must be"):
        brusk.check_junction(3, LIMITS)
    with pytest.raises(brusk.WallError, match="did you mean"):
        brusk.check_junction(JUNCTIONS / "corner.toml", "uk-adl")
