"""brusk.check and brusk.check_many: the same verdicts as `brusk check`, requirements given as a
built-in key, a file or TOML text, descriptors kept through to_dict, bad files refused with
their line."""

import json

import pytest

import brusk
from conftest import run_brusk

INSULATED = {
    "name": "Insulated",
    "orientation": "S",
    "site_irradiance": 300,
    "layers": [
        {"material": "concrete-reinforced", "thickness": 0.2},
        {"name": "EPS", "thickness": 0.12, "conductivity": 0.035, "density": 20,
         "specific_heat": 1450},
    ],
}
ROOF = {"name": "Roof", "heat_flow": "upward", "layers": [{"thermal_resistance": 7}]}

PROJECT = """name = "Project"
source = "Brief"
[[rules]]
id = "u"
source = "4.1"
quantity = "u_value"
at_most = 0.30
[[rules]]
id = "class"
classes = [ { name = "good", all = [ { quantity = "decrement_factor", less_than = 0.3 } ] },
            { name = "poor", all = [] } ]
"""


@pytest.mark.parametrize("key, wall, passed", [
    ("it-dm2015-summer", INSULATED, True),
    ("uk-adl-2021-dwellings", INSULATED, False),
    ("uk-adl-2021-dwellings", ROOF, True),
    ("de-geg-2020-anlage7", INSULATED, False),
], ids=["italy", "england_wall", "england_roof", "germany"])
def test_built_in_sets_agree_with_the_program(tmp_path, key, wall, passed):
    result = brusk.check(brusk.Wall.from_dict(wall), key)
    assert result["passed"] is passed, key
    path = tmp_path / "wall.json"
    path.write_text(json.dumps(wall))
    status, out, err = run_brusk("check", "--format", "json", "--requirements", key, path)
    assert status == (0 if passed else 1), err
    assert json.loads(out)[0] == result, key


@pytest.mark.parametrize("how", ["text", "file", "pathlike"])
def test_requirements_as_text_or_file(tmp_path, how):
    path = tmp_path / "project.toml"
    path.write_text(PROJECT)
    requirements = {"text": PROJECT, "file": str(path), "pathlike": path}[how]
    result = brusk.check(INSULATED, requirements)
    assert [rule["id"] for rule in result["rules"]] == ["u", "class"], how
    assert result["rules"][0]["passed"] is True
    assert result["rules"][1]["class"] == "good"
    assert "class" not in result["rules"][0]


def test_check_many_has_a_row_per_wall_and_rule():
    pandas = pytest.importorskip("pandas")
    frame = brusk.check_many(pandas.DataFrame({"wall": [INSULATED, ROOF]}), PROJECT)
    assert len(frame) == 4
    assert list(frame["rule"]) == ["u", "class", "u", "class"]
    assert frame.loc[0, "u_value"] == pytest.approx(0.2713, abs=1e-4)
    assert list(frame["passed"]) == [True, True, True, True]
    same = brusk.check_many([INSULATED, ROOF], PROJECT)
    assert list(same["verdict"]) == list(frame["verdict"])


def test_descriptors_survive_to_dict():
    wall = brusk.Wall.from_dict(INSULATED)
    assert wall.orientation == "S" and wall.site_irradiance == 300
    again = brusk.Wall.from_dict(wall.to_dict())
    assert again == wall and again.orientation == "S"
    assert brusk.Wall.from_dict(ROOF).orientation is None


@pytest.mark.parametrize("requirements, message", [
    (PROJECT.replace("u_value", "u_valeu"), 'requirements:6: unknown quantity "u_valeu"'),
    ("not-a-set", "no such file and no built-in set"),
])
def test_bad_requirements_raise_wall_error(requirements, message):
    with pytest.raises(brusk.WallError, match=message):
        brusk.check(INSULATED, requirements)


def test_requirement_sets_list_the_built_ins():
    keys = [entry["key"] for entry in brusk.requirement_sets()]
    assert {"it-dm2015-summer", "uk-adl-2021-dwellings", "de-geg-2020-anlage7"} <= set(keys)
    assert all(entry["source"] for entry in brusk.requirement_sets())
