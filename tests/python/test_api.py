"""The package's API around the numbers: outputs chosen, threads, array layouts, walls built in
Python, the catalogue, the report and the notebook view."""

import html
import math

import numpy as np
import pytest

import brusk
from conftest import EXAMPLES, layer_arrays


def random_rows(walls=20_000, layers=3, seed=1):
    rng = np.random.default_rng(seed)
    return {"thickness": rng.uniform(0.01, 0.3, (walls, layers)),
            "conductivity": rng.uniform(0.03, 2.0, (walls, layers)),
            "density": rng.uniform(20.0, 2500.0, (walls, layers)),
            "specific_heat": rng.uniform(800.0, 2000.0, (walls, layers))}


ALL = brusk.PERIODIC_FIELDS + brusk.SEQUENTIAL_FIELDS


@pytest.mark.parametrize("fields,expected", [
    ("all", ALL),
    ("periodic", brusk.PERIODIC_FIELDS),
    (["decrement_factor", "periodic_thermal_transmittance_time_lag"],
     ("decrement_factor", "periodic_thermal_transmittance_time_lag")),
    (["sequential_heat_capacity_daily_method"], ("sequential_heat_capacity_daily_method",)),
])
def test_fields_choose_the_outputs_and_change_no_number(fields, expected):
    rows = random_rows(walls=500)
    full = brusk.compute_many(**rows)
    chosen = brusk.compute_many(**rows, fields=fields)
    assert sorted(chosen) == sorted(expected)
    for name in expected:
        assert np.array_equal(chosen[name], full[name]), name


@pytest.mark.parametrize("threads", [1, 2, 3, 7])
def test_threads_give_the_same_numbers(threads):
    rows = random_rows()
    single = brusk.compute_many(**rows, threads=1, fields="periodic")
    many = brusk.compute_many(**rows, threads=threads, fields="periodic")
    for name in brusk.PERIODIC_FIELDS:
        assert np.array_equal(single[name], many[name]), name


def transposed(array):
    return np.asfortranarray(array)


def every_other(array):
    wide = np.repeat(array, 2, axis=1)
    return wide[:, ::2]


def as_float32_exact(array):
    return array.astype(np.float32).astype(np.float64)


@pytest.mark.parametrize("layout", [transposed, every_other, lambda a: a.tolist()],
                         ids=["fortran_order", "strided_columns", "nested_lists"])
def test_any_array_layout_reads_the_same_walls(layout):
    rows = random_rows(walls=300)
    expected = brusk.compute_many(**rows, fields="periodic")
    got = brusk.compute_many(**{k: layout(v) for k, v in rows.items()}, fields="periodic")
    assert np.array_equal(got["decrement_factor"], expected["decrement_factor"])
    assert np.array_equal(got["transfer_matrix_z21"], expected["transfer_matrix_z21"])


def test_layer_count_and_nan_padding_read_the_same_walls():
    rows = random_rows(walls=100, layers=4)
    counts = np.random.default_rng(3).integers(1, 5, 100)
    padded = {k: v.copy() for k, v in rows.items()}
    for row, count in enumerate(counts):
        padded["thickness"][row, count:] = np.nan
    by_count = brusk.compute_many(**rows, layer_count=counts)
    by_padding = brusk.compute_many(**padded)
    assert np.array_equal(by_count["u_value"], by_padding["u_value"])
    first = brusk.compute(brusk.Wall([brusk.Layer(*(rows[k][0, i] for k in rows))
                                      for i in range(counts[0])]))
    assert first.u_value == by_count["u_value"][0]


def test_pure_resistance_layers_and_overrides_match_compute():
    wall = brusk.Wall.from_file(EXAMPLES / "3-brick-cavity.toml")
    arrays = layer_arrays([wall, wall])
    out = brusk.compute_many(**arrays, rsi=[math.nan, 0.0], rse=0.1)
    conventional = brusk.compute(brusk.Wall.from_dict({**wall.to_dict(), "rse": 0.1}))
    overridden = brusk.compute(brusk.Wall.from_dict({**wall.to_dict(), "rsi": 0.0, "rse": 0.1}))
    assert out["u_value"][0] == conventional.u_value
    assert out["u_value"][1] == overridden.u_value
    assert out["internal_admittance_modulus"][1] == overridden.internal_admittance.modulus


def test_compute_frame_is_a_dataframe_of_the_arrays():
    pandas = pytest.importorskip("pandas")
    rows = random_rows(walls=50)
    frame = brusk.compute_frame(**rows, fields="periodic")
    assert isinstance(frame, pandas.DataFrame)
    assert list(frame.columns) == list(brusk.PERIODIC_FIELDS)
    assert np.array_equal(frame["decrement_factor"].to_numpy(),
                          brusk.compute_many(**rows)["decrement_factor"])


@pytest.mark.parametrize("path", sorted(EXAMPLES.glob("*.toml")), ids=lambda p: p.name)
def test_wall_round_trips_through_a_dict(path):
    wall = brusk.Wall.from_file(path)
    again = brusk.Wall.from_dict(wall.to_dict())
    assert again.name == wall.name
    assert brusk.compute(again).to_dict() == brusk.compute(wall).to_dict()


def test_materials_filter_and_files():
    keys = [entry["key"] for entry in brusk.materials("eps")]
    assert keys == ["insulation-eps"]
    project = EXAMPLES / "materials" / "project.toml"
    entry = brusk.materials("insulation-eps", materials=project)[0]
    assert entry["conductivity"] == 0.031
    assert brusk.materials("hempcrete") == []
    wall = brusk.Wall([brusk.Layer(material="hempcrete", thickness=0.3)], materials=[project])
    assert wall.layers[0]["conductivity"] == 0.07


def test_report_writes_the_page_and_keeps_the_old_one_on_refusal(tmp_path):
    target = tmp_path / "walls.html"
    walls = [brusk.Wall.from_file(p) for p in sorted(EXAMPLES.glob("*.toml"))[:2]]
    brusk.report(walls, target, title="Two walls")
    page = target.read_text()
    assert "Two walls" in page and html.escape(walls[0].name) in page
    too_thick = brusk.Wall([brusk.Layer(60, 1.8, 2400, 1000)], name="Deep")
    with pytest.raises(brusk.WallError, match="overflows double precision"):
        brusk.report([too_thick], target)
    with pytest.raises(brusk.WallError, match="amplitude must be"):
        brusk.report(walls, target, amplitude=0)
    assert target.read_text() == page
    assert [p.name for p in tmp_path.iterdir()] == ["walls.html"]


@pytest.mark.parametrize("name,shown", [
    ("<script>alert(1)</script>", "&lt;script&gt;alert(1)&lt;/script&gt;"),
    ("bell\x07 & clear\x1b[2J", "bell\\x07 &amp; clear\\x1b[2J"),
])
def test_notebook_view_shows_names_inertly(name, shown):
    result = brusk.compute(brusk.Wall([brusk.Layer(0.2, 1.8, 2400, 1000)], name=name))
    view = result._repr_html_()
    assert shown in view
    assert "<script>" not in view and "\x1b" not in view
    assert result.to_dict()["name"] == name  # JSON keeps names exact


def test_out_arrays_are_written_over_with_the_same_numbers():
    rows = random_rows(walls=1000)
    first = brusk.compute_many(**rows, fields="periodic")
    expected = {name: array.copy() for name, array in first.items()}
    other = random_rows(walls=1000, seed=2)
    brusk.compute_many(**other, fields="periodic", out=first)  # overwrite with other walls
    again = brusk.compute_many(**rows, fields="periodic", out=first)
    for name in brusk.PERIODIC_FIELDS:
        assert again[name] is first[name], name
        assert np.array_equal(again[name], expected[name]), name


def read_only(array):
    array.flags.writeable = False
    return array


@pytest.mark.parametrize("name,array", [
    ("u_value", np.zeros(1000, dtype=np.float32)),
    ("u_value", read_only(np.zeros(1000))),
    ("u_value", np.zeros(999)),
    ("u_value", np.zeros(2000)[::2]),
    ("transfer_matrix_z11", np.zeros(1000)),
    ("decrement_factor", [0.0] * 1000),
])
def test_out_arrays_that_do_not_fit_are_refused(name, array):
    with pytest.raises(ValueError, match=f'out\\["{name}"\\] must be a writeable contiguous'):
        brusk.compute_many(**random_rows(walls=1000), fields="periodic", out={name: array})


@pytest.mark.parametrize("threads", [1, 2])
def test_refused_rows_anywhere_leave_their_neighbours_unchanged(threads):
    """Rows are computed in blocks; a refused row ends one and starts the next, wherever it
    falls, and the walls around it keep the bits they have without it."""
    rows = random_rows(walls=3000)
    clean = brusk.compute_many(**rows, threads=threads)
    spoilt = {name: values.copy() for name, values in rows.items()}
    negative, overflowing = np.arange(0, 3000, 97), np.arange(5, 3000, 211)
    spoilt["conductivity"][negative, 1] = -1.0
    for name, value in [("thickness", 60.0), ("conductivity", 1.8), ("density", 2400.0),
                        ("specific_heat", 1000.0)]:
        spoilt[name][overflowing, 0] = value  # 60 m of concrete: 418 penetration depths
    out = brusk.compute_many(**spoilt, threads=threads, errors="nan")
    refused = np.zeros(3000, dtype=bool)
    refused[negative] = refused[overflowing] = True
    assert [bool(message) for message in out["error"]] == list(refused)
    assert all("overflows" in out["error"][row] for row in overflowing)
    for name in ALL:
        if out[name].dtype == object:
            assert list(out[name][~refused]) == list(clean[name][~refused]), name
        else:
            assert np.array_equal(out[name][~refused], clean[name][~refused]), name
            assert np.isnan(out[name][refused]).all(), name
