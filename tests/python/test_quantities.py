"""The Python package describes its outputs with the CLI's one quantity list, and its report
follows the cycle length as `brusk report --period` does."""

import json

import pytest

import brusk
from conftest import EXAMPLES, run_brusk

WALL = EXAMPLES / "2-concrete-insulated.toml"


def test_quantities_are_the_clis_list():
    status, out, err = run_brusk("quantities", "--format", "json")
    assert status == 0, err
    assert brusk.quantities() == json.loads(out)


@pytest.mark.parametrize("filter,files", [("", []), ("eps", []), ("no-such-material", []),
                                          ("hempcrete", ["materials/project.toml"])])
def test_materials_are_the_clis_list(filter, files):
    arguments = [argument for file in files for argument in ("--materials", EXAMPLES / file)]
    status, out, err = run_brusk("materials", filter, "--format", "json", *arguments)
    assert status == 0, err
    assert brusk.materials(filter, materials=[EXAMPLES / f for f in files]) == json.loads(out)


def test_every_key_of_the_description_is_an_attribute_path_of_a_result():
    result = brusk.compute(brusk.Wall.from_file(WALL))
    document = result.to_dict()
    for q in brusk.quantities():
        if q["scope"] != "compute":
            continue
        value, expected = result, document
        for part in q["key"].split("."):
            value, expected = getattr(value, part), expected[part]
        if q["type"] == "complex":
            expected = complex(*expected)
        assert value == expected, q["key"]
        if "." not in q["key"]:
            assert getattr(brusk.Result, q["key"]).__doc__.startswith(q["label"]), q["key"]


def test_every_numeric_attribute_path_of_a_result_is_described():
    result = brusk.compute(brusk.Wall.from_file(WALL)).to_dict()
    for q in brusk.quantities():
        if q["scope"] != "compute":
            continue
        value = result
        for part in q["key"].split("."):
            value = value[part]
        assert value is not None, q["key"]


@pytest.mark.parametrize("period_hours", [24.0, 168.0])
def test_report_follows_the_cycle_length(tmp_path, period_hours):
    wall = brusk.Wall.from_file(WALL)
    page = tmp_path / "wall.html"
    brusk.report(wall, page, period_hours=period_hours)
    status, out, err = run_brusk("report", "--period", period_hours, WALL, "-o",
                                 tmp_path / "cli.html")
    assert status == 0, err
    assert page.read_text() == (tmp_path / "cli.html").read_text()
    f = brusk.compute(wall, period_hours).decrement_factor
    assert f'<td class="value">{f:.3f}</td>' in page.read_text()
    with pytest.raises(brusk.WallError, match="period_hours must be"):
        brusk.report(wall, page, period_hours=0)


def test_notebook_table_reads_kappa_in_kilojoules():
    result = brusk.compute(brusk.Wall.from_file(WALL))
    view = result._repr_html_()
    kappa = result.internal_areal_heat_capacity
    assert f"{kappa / 1000:.1f}</td><td>kJ/(m²·K)" in view
    assert "Internal areal heat capacity" in view


ZONE = EXAMPLES / "zones" / "masonry-room.toml"
DAY = EXAMPLES / "profiles" / "hot-summer-day.csv"


def test_zone_is_the_clis_zone():
    status, out, err = run_brusk("zone", "--format", "json", ZONE)
    assert status == 0, err
    assert brusk.zone(ZONE) == json.loads(out)
    inline = {"name": "Inline", "floor_area": 10, "elements": [
        {"name": "Slab", "area": 10, "layers": [{"material": "concrete-reinforced",
                                                  "thickness": 0.2}]}]}
    assert brusk.zone(inline)["totals"]["heat_capacity"] > 0
    with pytest.raises(brusk.WallError, match="floor_area"):
        brusk.zone({"elements": inline["elements"]})
    with pytest.raises(TypeError, match="zone must be"):
        brusk.zone(5)


def _day_profile():
    rows = [line.split(",") for line in DAY.read_text().splitlines()
            if line and not line.startswith("#")][1:]
    return [float(row[0]) for row in rows], [float(row[1]) for row in rows]


def test_response_is_the_clis_response():
    times, outdoor = _day_profile()
    status, out, err = run_brusk("response", "--format", "json", WALL, "--outdoor", DAY)
    assert status == 0, err
    native = json.loads(out)
    got = brusk.response(brusk.Wall.from_file(WALL), outdoor, start_hours=times[0])
    assert got["summary"] == native["summary"]
    assert got["u_value"] == native["u_value"] and got["period"] == native["period"]
    assert got["samples"].to_dict("records") == native["samples"]
    with pytest.raises(brusk.WallError, match="absorptance"):
        brusk.response(brusk.Wall.from_file(WALL), outdoor, solar=[0.0] * len(outdoor))
    with pytest.raises(brusk.WallError, match="not a finite number"):
        brusk.response(brusk.Wall.from_file(WALL), [20.0, float("nan")])


@pytest.mark.parametrize("options,message", [
    ({"period_hours": 0.0}, "period_hours must be a number of hours"),
    ({"indoor_constant": 1e6}, "indoor_constant must be a temperature"),
    ({"indoor": [20.0, 500.0]}, "indoor: sample 2: temperature 500 degC is outside"),
    ({"solar": [0.0], "absorptance": 0.6}, "solar: 1 samples, but outdoor has 24"),
])
def test_response_refusals_name_the_python_arguments(options, message):
    # The checks of `brusk response`, worded with Python's argument names, not the options'.
    _, outdoor = _day_profile()
    with pytest.raises(brusk.WallError) as error:
        brusk.response(brusk.Wall.from_file(WALL), outdoor, **options)
    assert message in str(error.value)
    assert "--" not in str(error.value)


def test_walls_compare_and_pickle():
    import pickle
    wall = brusk.Wall.from_file(WALL)
    assert wall == brusk.Wall.from_dict(wall.to_dict())
    assert pickle.loads(pickle.dumps(wall)) == wall
    assert wall != brusk.Wall([brusk.Layer(0.2, 1.8, 2400, 1000)])
    # What a wall hands out is a copy: changing it leaves the wall as it was read.
    layers = wall.layers
    layers[0]["thickness"] = 99.0
    layers.append({"thickness": 1.0})
    assert wall.layers == brusk.Wall.from_file(WALL).layers
    assert wall == brusk.Wall.from_dict(wall.to_dict())
    for period in (24.0, 168.0):
        result = brusk.compute(wall, period)
        loaded = pickle.loads(pickle.dumps(result))
        assert loaded.to_dict() == result.to_dict(), period


@pytest.mark.parametrize("attribute,words", [
    ("periodic_thermal_transmittance", ["Transmittance", "modulus=", "W/(m2.K)", "time lag="]),
    ("internal_admittance", ["PeriodicQuantity", "modulus=", "time shift="]),
    ("transfer_matrix", ["TransferMatrix", "z11=", "z22="]),
    ("sequential_heat_capacity", ["SequentialHeatCapacity", "daily=<brusk.Estimate", "kJ/(m2.K)"]),
])
def test_parts_of_a_result_say_what_they_hold(attribute, words):
    text = repr(getattr(brusk.compute(brusk.Wall.from_file(WALL)), attribute))
    for word in words:
        assert word in text, (attribute, text)


def test_continuous_lag_follows_a_thickness_sweep():
    # Concrete from 5 cm to 1.2 m: the wrapped lag passes 24 h and falls back to a few hours;
    # followed continuously it keeps growing, and agrees with the wrapped one modulo T.
    import numpy as np
    d = np.linspace(0.05, 1.2, 60)[:, None]
    args = (d, np.full_like(d, 1.8), np.full_like(d, 2400.0), np.full_like(d, 1000.0))
    wrapped = brusk.compute_many(*args)["periodic_thermal_transmittance_time_lag"]
    followed = brusk.compute_many(*args, continuous=True)["periodic_thermal_transmittance_time_lag"]
    assert np.any(np.diff(wrapped) < 0)          # the sawtooth
    assert np.all(np.diff(followed) > 0)         # the curve
    assert followed[-1] > 24.0
    np.testing.assert_allclose(np.mod(followed, 24.0), wrapped, atol=1e-9)
    frame = brusk.compute_frame(*args, continuous=True)
    assert list(frame["periodic_thermal_transmittance_time_lag"]) == list(followed)
