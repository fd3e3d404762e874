"""brusk.check and brusk.check_many: the same verdicts as `brusk check`, requirements given as a
built-in key, a file or TOML text, descriptors kept through to_dict, bad files refused with
their line."""

import csv
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


# U = 0.193, Uc = 0.252 W/(m2.K): 14 steel fasteners per m2 through the EPS (ISO 6946 F.3).
FASTENED = {
    "name": "Fastened",
    "layers": [
        {"material": "concrete-reinforced", "thickness": 0.2},
        {"name": "EPS", "thickness": 0.172, "conductivity": 0.035, "density": 20,
         "specific_heat": 1450},
    ],
    "corrections": {"fasteners": {"layer": 2, "count": 14, "cross_section": 2.0e-5,
                                  "conductivity": 50}},
}
PLAIN = {"name": "Plain", "layers": [{"material": "concrete-reinforced", "thickness": 0.2}]}


def example(path):
    from conftest import EXAMPLES
    return brusk.Wall.from_file(EXAMPLES / path)


DRY = 'name = "D"\n[[rules]]\nid = "dry"\nquantity = "dries_out"\nis = true\n'
CAPACITY = ('name = "C"\n[[rules]]\nid = "cap"\nquantity = "sequential_heat_capacity.daily.value"\n'
            'at_most = 5\nunit = "kJ/(m2.K)"\n')


@pytest.mark.parametrize("key, passed, compared", [
    ("de-geg-2020-anlage7", False, "u_value_corrected = 0.252 W/(m2.K), not <= 0.24 W/(m2.K)"),
    ("uk-adl-2021-dwellings", True, "u_value_corrected = 0.252 W/(m2.K) <= 0.26 W/(m2.K)"),
], ids=["germany", "england"])
def test_national_limits_judge_the_corrected_u(tmp_path, key, passed, compared):
    result = brusk.check(FASTENED, key)
    assert result["passed"] is passed
    rule = next(rule for rule in result["rules"] if rule["applicable"])
    assert rule["values"]["u_value_corrected"] == pytest.approx(0.2522, abs=1e-4)
    assert rule["tests"][0]["text"] == compared
    path = tmp_path / "fastened.json"
    path.write_text(json.dumps(FASTENED))
    status, out, err = run_brusk("check", "--format", "json", "--requirements", key, path)
    assert status == (0 if passed else 1), err
    assert json.loads(out)[0] == result


# (case, wall, requirements, keyword arguments, verdict, exit status of brusk check)
NO_VERDICT = [
    ("nothing_applies", PLAIN, "it-dm2015-summer", {}, "nothing checked", 3),
    ("studs_capacity", "bridged/timber-frame-studs.toml", CAPACITY, {}, "not computable", 4),
    ("moisture_without_climate", "moisture/internal-insulation.toml", DRY, {}, "not computable", 4),
]


@pytest.mark.parametrize("name, wall, requirements, options, verdict, status", NO_VERDICT,
                         ids=[case[0] for case in NO_VERDICT])
def test_a_check_without_a_verdict_is_never_passed(tmp_path, name, wall, requirements, options,
                                                   verdict, status):
    chosen = example(wall) if isinstance(wall, str) else brusk.Wall.from_dict(wall)
    result = brusk.check(chosen, requirements, **options)
    assert result["passed"] is None and result["verdict"] == verdict
    assert all(rule["passed"] is None for rule in result["rules"])
    from conftest import EXAMPLES
    path = EXAMPLES / wall if isinstance(wall, str) else tmp_path / "wall.json"
    if not isinstance(wall, str):
        path.write_text(json.dumps(wall))
    rules = tmp_path / "rules.toml"
    rules.write_text(requirements if "\n" in requirements else "")
    argument = rules if "\n" in requirements else requirements
    done, out, err = run_brusk("check", "--format", "json", "--requirements", argument, path)
    assert done == status, err
    assert json.loads(out)[0]["verdict"] == verdict


def test_stud_capacity_is_none_not_zero():
    result = brusk.check(example("bridged/timber-frame-studs.toml"), CAPACITY)
    rule = result["rules"][0]
    assert rule["values"]["sequential_heat_capacity.daily.value"] is None
    assert 'method "none"' in rule["not_computable"]


@pytest.mark.parametrize("climate, options, dries", [
    ("temperate.csv", {}, True),
    ("cold.csv", {}, False),
    ("temperate.csv", {"humidity_class": 1}, True),
    ("temperate.csv", {"humidity_class": 3, "indoor_temperature": 20}, False),
], ids=["temperate", "cold", "class_1", "class_3"])
def test_moisture_rules_take_the_climate_moisture_takes(climate, options, dries):
    from conftest import EXAMPLES
    wall = example("moisture/internal-insulation.toml")
    path = EXAMPLES / "climates" / climate
    result = brusk.check(wall, DRY, climate=path, **options)
    assessed = brusk.moisture(wall, path, **options)
    assert assessed["dries_out"] is dries
    assert result["passed"] is dries
    assert result["rules"][0]["values"]["dries_out"] is dries
    # Twelve rows are read as the file is.
    lines = [line for line in path.read_text().splitlines() if line and not line.startswith("#")]
    rows = list(csv.DictReader(lines))
    rows = [{key: float(value) for key, value in row.items()} for row in rows]
    assert brusk.check(wall, DRY, climate=rows, **options) == result


def test_check_many_reads_moisture_rules_with_a_climate():
    pandas = pytest.importorskip("pandas")
    from conftest import EXAMPLES
    frame = brusk.check_many([example("moisture/internal-insulation.toml")], DRY,
                             climate=EXAMPLES / "climates" / "cold.csv")
    assert list(frame["verdict"]) == ["failed"]
    assert not frame.loc[0, "dries_out"]
    assert pandas.isna(brusk.check_many([PLAIN], DRY).loc[0, "passed"])


def test_a_climate_for_a_set_without_moisture_rules_is_refused():
    from conftest import EXAMPLES
    with pytest.raises(brusk.WallError, match="^climate gives the moisture results .* leave it out$"):
        brusk.check(PLAIN, "uk-adl-2021-dwellings", climate=EXAMPLES / "climates" / "cold.csv")
