"""Every Python door a wall goes through and back, for the walls of
tests/data/round_trip_walls.json, which together use every key of brusk.wall_schema(): the
dict, pickle, the TOML and JSON writers, the Layer/Part/AirGap objects and compute_many(walls=).
Each gives back the same document and computes to the same doubles as the CLI."""

import json
import pickle

import pytest

import brusk
from conftest import SOURCE_DIR, run_brusk

FIXTURES = json.loads((SOURCE_DIR / "tests" / "data" / "round_trip_walls.json").read_text())
IDS = [fixture["wall"]["name"] for fixture in FIXTURES]


def used_keys(value, obj, schema, used):
    """Every (object, key) a document uses, following the schema's tables."""
    if not isinstance(value, dict):
        return
    for key in schema[obj]:
        if key["key"] not in value:
            continue
        used.add((obj, key["key"]))
        if key["type"] == "table":
            used_keys(value[key["key"]], key["holds"], schema, used)
        elif key["type"] == "tables":
            for item in value[key["key"]]:
                used_keys(item, key["holds"], schema, used)


def test_the_walls_use_every_key_of_the_schema():
    schema = {item["name"]: item["keys"] for item in brusk.wall_schema()["objects"]}
    used = set()
    for fixture in FIXTURES:
        used_keys(fixture["wall"], "wall", schema, used)
    missing = [f"{obj}.{key['key']}" for obj, keys in schema.items() for key in keys
               if (obj, key["key"]) not in used]
    assert not missing, f"no wall of round_trip_walls.json gives {missing}"


def as_objects(document):
    """The document built from the package's objects: Layer, Part, AirGap, the corrections."""
    def layer(entry):
        entry = dict(entry)
        if "parts" in entry:
            entry["parts"] = [brusk.Part(**part) for part in entry["parts"]]
        if "air_gap" in entry:
            return brusk.AirGap(entry.pop("air_gap"), **entry)
        return brusk.Layer(**entry)
    arguments = {key: value for key, value in document.items() if key != "layers"}
    corrections = arguments.pop("corrections", None)
    if corrections is not None:
        arguments["corrections"] = {
            "air_voids": brusk.AirVoids(**corrections["air_voids"]),
            "fasteners": brusk.Fasteners(**corrections["fasteners"])}
    return brusk.Wall([layer(entry) for entry in document["layers"]], **arguments)


DOORS = {
    "dict": lambda wall, tmp: brusk.Wall.from_dict(wall.to_dict()),
    "pickle": lambda wall, tmp: pickle.loads(pickle.dumps(wall)),
    "TOML file": lambda wall, tmp: write_and_read(tmp / "wall.toml", wall.to_toml()),
    "JSON file": lambda wall, tmp: write_and_read(tmp / "wall.json", wall.to_json()),
    "objects": lambda wall, tmp: as_objects(wall.to_dict()),
}


def write_and_read(path, text):
    path.write_text(text, encoding="utf-8")
    return brusk.Wall.from_file(path)


@pytest.mark.parametrize("door", DOORS, ids=list(DOORS))
@pytest.mark.parametrize("fixture", FIXTURES, ids=IDS)
def test_every_door_gives_back_the_same_wall(fixture, door, tmp_path):
    wall = brusk.Wall.from_dict(fixture["wall"])
    expected = {"position": "external", "heat_flow": "horizontal", **fixture["wall"]}
    assert wall.to_dict() == expected
    back = DOORS[door](wall, tmp_path)
    assert back == wall
    assert back.to_dict() == wall.to_dict()
    assert brusk.compute(back).to_dict() == brusk.compute(wall).to_dict()


@pytest.mark.parametrize("fixture", FIXTURES, ids=IDS)
def test_python_computes_what_the_cli_computes(fixture, tmp_path):
    wall = brusk.Wall.from_dict(fixture["wall"])
    path = tmp_path / "wall.toml"
    path.write_text(wall.to_toml(), encoding="utf-8")
    status, out, err = run_brusk("compute", "--format", "json", path)
    assert status == 0, err
    assert brusk.compute_element(wall) == json.loads(out)
    many = brusk.compute_many(walls=[wall, fixture["wall"]])
    result = brusk.compute(wall)
    for row in range(2):
        assert many["u_value"][row] == result.u_value
        assert many["u_value_corrected"][row] == result.u_value_corrected
        assert many["decrement_factor"][row] == result.decrement_factor


def test_a_wall_that_differs_in_one_key_is_not_equal():
    wall = brusk.Wall.from_dict(FIXTURES[0]["wall"])
    changed = json.loads(json.dumps(FIXTURES[0]["wall"]))
    changed["parts_aligned"] = False
    assert brusk.Wall.from_dict(changed) != wall
    del changed["corrections"]
    assert brusk.Wall.from_dict(changed) != wall


def test_an_unknown_key_is_refused_as_the_cli_refuses_it(tmp_path):
    document = {"layers": [{"material": "brick-solid", "thickness": 0.1, "colour": "red"}]}
    with pytest.raises(brusk.WallError) as refused:
        brusk.Wall.from_dict(document)
    path = tmp_path / "wall.json"
    path.write_text(json.dumps(document))
    status, _, err = run_brusk("compute", path)
    assert status == 2
    reason = str(refused.value).split("layer 1", 1)[1]
    assert reason in err
    with pytest.raises(AttributeError):
        brusk.Layer(thickness=0.1).colour = "red"
