"""brusk.moisture() against `brusk moisture --format json`: the same numbers, the same
refusals."""

import json

import pytest

import brusk
from conftest import EXAMPLES, SOURCE_DIR, run_brusk

WALL = EXAMPLES / "moisture" / "internal-insulation.toml"
CLIMATES = sorted((SOURCE_DIR / "examples" / "climates").glob("*.csv"))


def cli_moisture(*arguments):
    status, out, err = run_brusk("moisture", "--format", "json", *map(str, arguments))
    assert status == 0, err
    return json.loads(out)


@pytest.mark.parametrize("climate", CLIMATES, ids=lambda path: path.name)
@pytest.mark.parametrize("humidity_class", [None, 1, 3, 5])
def test_same_numbers_as_the_command(climate, humidity_class):
    wall = brusk.Wall.from_file(WALL)
    options = [] if humidity_class is None else ["--humidity-class", humidity_class]
    expected = cli_moisture(WALL, "--climate", climate, *options)
    assert brusk.moisture(wall, climate, humidity_class=humidity_class) == expected


def test_rows_read_as_the_file_reads_them():
    wall = brusk.Wall.from_file(WALL)
    climate = CLIMATES[0]
    lines = [line for line in climate.read_text().splitlines() if not line.startswith("#")]
    header = lines[0].split(",")
    rows = [dict(zip(header, map(float, line.split(",")))) for line in lines[1:]]
    assert brusk.moisture(wall, rows) == brusk.moisture(wall, climate)
    # A list of walls gives a list, even of one.
    assert brusk.moisture([wall], rows) == [brusk.moisture(wall, rows)]


def test_layer_vapour_keys_and_their_refusals():
    layers = [brusk.Layer(material="board-gypsum", thickness=0.0125),
              brusk.Layer(0.1, 0.04, 30, 1400, name="Foam", sd=5.0)]
    wall = brusk.Wall(layers)
    result = brusk.moisture(wall, CLIMATES[0])
    assert [layer["sd_source"] for layer in result["layers"]] == ["catalogue", "sd"]
    with pytest.raises(brusk.WallError, match="no water-vapour property"):
        brusk.moisture(brusk.Wall([brusk.Layer(0.1, 0.04, 30, 1400)]), CLIMATES[0])
    with pytest.raises(brusk.WallError, match="disagrees with vapour_resistance_factor"):
        brusk.Wall([brusk.Layer(0.1, 0.04, 30, 1400, vapour_resistance_factor=10, sd=2)])


@pytest.mark.parametrize("row,message", [
    ({"outdoor_relative_humidity": 120.0}, "month 1: outdoor_relative_humidity: relative "
                                           "humidity must be above 0 and at most 100 %"),
    ({"outdoor_temperature": float("nan")}, "month 1: outdoor_temperature: a temperature"),
    ({"wind": 3.0}, 'unknown column "wind"'),
])
def test_bad_rows_are_refused_with_the_reason(row, message):
    rows = [{"month": m, "outdoor_temperature": 0.0, "outdoor_relative_humidity": 80.0,
             "indoor_temperature": 20.0, "indoor_relative_humidity": 50.0} for m in range(1, 13)]
    rows[0].update(row)
    with pytest.raises(brusk.WallError) as error:
        brusk.moisture(brusk.Wall.from_file(WALL), rows)
    assert message in str(error.value)


@pytest.mark.parametrize("options,message", [
    ({"humidity_class": 6}, "humidity_class must be 1 to 5"),
    ({"humidity_class": 3, "indoor_temperature": 150.0}, "indoor_temperature must lie within"),
    ({"indoor_temperature": 18.0}, "indoor_temperature goes with humidity_class"),
])
def test_bad_options_are_named_as_python_spells_them(options, message):
    with pytest.raises(brusk.WallError) as error:
        brusk.moisture(brusk.Wall.from_file(WALL), CLIMATES[0], **options)
    assert message in str(error.value)
    assert "--" not in str(error.value)


def test_frame_has_a_row_per_wall():
    pandas = pytest.importorskip("pandas")
    wall = brusk.Wall.from_file(WALL)
    frame = brusk.moisture_frame([wall, wall], CLIMATES[0])
    assert isinstance(frame, pandas.DataFrame)
    assert list(frame["max_accumulated"]) == [brusk.moisture(wall, CLIMATES[0])["max_accumulated"]] * 2
