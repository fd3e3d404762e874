"""Hostile and careless calls: files the writer must not replace, arrays read through odd
strides, outputs sharing memory, arguments of the wrong kind, files that are no files. Each
gets a clear error or the right number, never a silently wrong one."""

import decimal
import json
import os
import subprocess
import sys
import warnings

import numpy as np
import pytest

import brusk
from conftest import EXAMPLE_WALLS, EXAMPLES, run_brusk
from test_errors import three_layer_rows

WALL = "[[layers]]\nthickness = 0.2\nconductivity = 1.8\ndensity = 2400\nspecific_heat = 1000\n"
CATALOGUE = "mine = {name = \"M\", conductivity = 1, density = 1000, specific_heat = 1000}\n"


def wall_from_file(tmp_path):
    (tmp_path / "x.toml").write_text(WALL)
    return brusk.Wall.from_file(tmp_path / "x.toml")


def wall_with_catalogue(tmp_path):
    (tmp_path / "m.toml").write_text(CATALOGUE)
    (tmp_path / "x.toml").write_text("[[layers]]\nmaterial = \"mine\"\nthickness = 0.1\n")
    return brusk.Wall.from_file(tmp_path / "x.toml", materials=tmp_path / "m.toml")


# (case, the walls given tmp_path, the page's path relative to tmp_path)
REPLACED_INPUTS = [
    ("wall_file", wall_from_file, "x.toml"),
    ("wall_file_spelled_otherwise", wall_from_file, "sub/../x.toml"),
    ("catalogue_file", wall_with_catalogue, "m.toml"),
    ("wall_in_a_list", lambda tmp: [brusk.Wall([brusk.Layer(0.1, 1, 1, 1)]), wall_from_file(tmp)],
     "x.toml"),
]


@pytest.mark.parametrize("name,walls,page", REPLACED_INPUTS, ids=[c[0] for c in REPLACED_INPUTS])
def test_report_never_replaces_a_file_a_wall_was_read_from(tmp_path, name, walls, page):
    (tmp_path / "sub").mkdir()
    chosen = walls(tmp_path)
    before = {p.name: p.read_bytes() for p in tmp_path.iterdir() if p.is_file()}
    with pytest.raises(brusk.WallError) as raised:
        brusk.report(chosen, tmp_path / page)
    assert "is the input file" in str(raised.value)
    assert "the output would replace it" in str(raised.value)
    assert {p.name: p.read_bytes() for p in tmp_path.iterdir() if p.is_file()} == before


def test_report_takes_dicts_as_compute_does(tmp_path):
    document = {"name": "Slab", "layers": [{"thickness": 0.2, "conductivity": 1.8,
                                            "density": 2400, "specific_heat": 1000}]}
    brusk.report([document], tmp_path / "a.html")
    brusk.report(document, tmp_path / "b.html")
    assert "Slab" in (tmp_path / "a.html").read_text()
    assert (tmp_path / "a.html").read_text() == (tmp_path / "b.html").read_text()


def structured_column(values):
    """A float64 field of a structured array: stride 12 bytes, not a multiple of 8."""
    table = np.zeros(len(values), dtype=[("T", "f8"), ("x", "f4")])
    table["T"] = values
    assert table["T"].strides == (12,)
    return table["T"]


# (case, arguments changed, output, the expected output per wall)
ODD_LAYOUTS = [
    ("period_from_structured_field", {"period_hours": structured_column([96.0] * 6)}, "period",
     96.0 * 3600),
    ("rsi_from_structured_field", {"rsi": structured_column([0.25] * 6)}, "u_value",
     brusk.compute(brusk.Wall([brusk.Layer(0.2, 1.8, 2400, 1000), brusk.Layer(0.1, 0.04, 30, 1400),
                               brusk.Layer(0.005, 1.0, 1200, 1500)], rsi=0.25)).u_value),
]


@pytest.mark.parametrize("name,change,output,expected", ODD_LAYOUTS, ids=[c[0] for c in ODD_LAYOUTS])
def test_arrays_with_odd_strides_are_read_as_numpy_reads_them(name, change, output, expected):
    out = brusk.compute_many(**three_layer_rows(), **change, kernel="scalar")
    assert out[output].tolist() == [expected] * 6


def with_resistance(row, column, resistance, thickness=None):
    def change(arrays):
        arrays["thermal_resistance"] = np.zeros_like(arrays["thickness"])
        arrays["thermal_resistance"][row, column] = resistance
        if thickness is not None:
            arrays["thickness"][row, column] = thickness
    return change


# (case, change of the rows, message)
MISPLACED = [
    ("resistance_on_padding", with_resistance(2, 2, 0.18, thickness=np.nan),
     "row 2: layer 3 has a thermal_resistance (0.18 m2.K/W) but is no layer of the row (its "
     "thickness NaN pads the row); a pure resistance layer takes thickness 0"),
    ("resistance_on_slab", with_resistance(4, 0, 0.18),
     "row 4: layer 1 has both a thickness (0.2 m) and a thermal_resistance (0.18 m2.K/W); a layer "
     "is a slab (thickness, conductivity, density, specific_heat) or a pure resistance "
     "(thickness 0 and thermal_resistance)"),
]


@pytest.mark.parametrize("name,change,message", MISPLACED, ids=[c[0] for c in MISPLACED])
def test_a_resistance_is_never_dropped_silently(name, change, message):
    arrays = three_layer_rows()
    change(arrays)
    with pytest.raises(brusk.WallError) as raised:
        brusk.compute_many(**arrays)
    assert str(raised.value) == message
    assert brusk.compute_many(**arrays, errors="nan")["error"].tolist().count(message) == 1


def test_a_resistance_past_the_layer_count_is_refused():
    arrays = three_layer_rows()
    with_resistance(1, 2, 0.18)(arrays)
    arrays["thickness"][1, 2] = 0.0
    with pytest.raises(brusk.WallError, match="row 1: layer 3 .*past its layer_count"):
        brusk.compute_many(**arrays, layer_count=np.array([3, 2, 3, 3, 3, 3]))


def test_an_air_layer_given_by_thickness_zero_is_kept():
    arrays = three_layer_rows()
    with_resistance(0, 1, 0.18, thickness=0.0)(arrays)
    for key in ("conductivity", "density", "specific_heat"):
        arrays[key][0, 1] = 0.0
    expected = brusk.compute(brusk.Wall([brusk.Layer(0.2, 1.8, 2400, 1000),
                                         brusk.Layer(thermal_resistance=0.18),
                                         brusk.Layer(0.005, 1.0, 1200, 1500)]))
    assert brusk.compute_many(**arrays, kernel="scalar")["u_value"][0] == expected.u_value


def shared(walls=6):
    array = np.zeros(walls)
    return {"u_value": array, "decrement_factor": array}


# (case, extra arguments given the rows, error type, words of the message)
BAD_OUTPUTS = [
    ("one_array_for_two_outputs", lambda rows: {"out": shared()}, ValueError,
     'out["decrement_factor"] shares its memory with out["u_value"]; each output needs an array '
     "of its own"),
    ("overlapping_views", lambda rows: {"out": {"u_value": np.zeros(8)[:6],
                                                "decrement_factor": np.zeros(8)[2:]}}, None, None),
    ("output_is_an_input", lambda rows: {"period_hours": rows["periods"],
                                         "out": {"u_value": rows["periods"]}}, ValueError,
     'out["u_value"] shares its memory with the input period_hours, which the results would '
     "overwrite"),
    ("output_is_a_layer_column", lambda rows: {"out": {"thickness": rows["thickness"].T[0]}},
     ValueError, 'out["thickness"] shares its memory with the input thickness'),
    ("big_endian_output", lambda rows: {"out": {"u_value": np.zeros(6, dtype=">f8")}}, ValueError,
     'out["u_value"] must be a writeable contiguous NumPy array of float64 in native byte order'),
    ("out_is_a_number", lambda rows: {"out": 5}, TypeError,
     "out must be the dict of an earlier compute_many call (output names to NumPy arrays), got int"),
]


@pytest.mark.parametrize("name,extra,error,message", BAD_OUTPUTS, ids=[c[0] for c in BAD_OUTPUTS])
def test_outputs_never_alias_inputs_or_each_other(name, extra, error, message):
    rows = three_layer_rows()
    rows["thickness"] = np.asfortranarray(rows["thickness"])  # column 0 contiguous
    inputs = {key: value.copy() for key, value in rows.items()}
    periods = np.full(6, 24.0)
    arguments = extra({**rows, "periods": periods})
    if error is None:  # two views of different arrays: no aliasing, computed
        brusk.compute_many(**rows, **arguments)
        return
    with pytest.raises(error) as raised:
        brusk.compute_many(**rows, **arguments)
    assert message in str(raised.value)
    assert all(np.array_equal(rows[key], inputs[key]) for key in inputs)
    assert periods.tolist() == [24.0] * 6


# (case, arguments changed, error type, message)
BAD_ARGUMENTS = [
    ("infinite_layer_count", {"layer_count": np.inf}, brusk.WallError,
     "row 0: layer_count must be a whole number of layers, not negative, got inf"),
    ("huge_layer_count", {"layer_count": 1e300}, brusk.WallError,
     "row 0: layer_count 1e+300 is more than the 3 layer columns"),
    ("nan_partition", {"partition": np.nan}, brusk.WallError,
     "row 0: partition must be true or false (1 or 0) for each wall, got nan"),
    ("half_partition", {"partition": np.array([0, 1, 0, 0.5, 0, 0])}, brusk.WallError,
     "row 3: partition must be true or false (1 or 0) for each wall, got 0.5"),
    ("fractional_threads", {"threads": 1.5}, TypeError,
     "threads must be a whole number of threads (0: one per core), got 1.5"),
    ("negative_threads", {"threads": -2}, ValueError,
     "threads must be a whole number of threads (0: one per core), got -2"),
    ("complex_thickness", {"thickness": np.full((6, 3), 0.1 + 0.01j)}, TypeError,
     "thickness must be a 2-D array of shape (walls, layers), of real numbers"),
    ("complex_period", {"period_hours": 24 + 1j}, TypeError,
     "period_hours must be a number or an array, of real numbers"),
    ("no_thickness", {"thickness": None}, ValueError,
     "thickness must be a 2-D array of shape (walls, layers)"),
]


@pytest.mark.parametrize("name,change,error,message", BAD_ARGUMENTS,
                         ids=[c[0] for c in BAD_ARGUMENTS])
def test_bad_arguments_are_named_with_their_value(name, change, error, message):
    with pytest.raises(error) as raised:
        brusk.compute_many(**{**three_layer_rows(), **change})
    assert str(raised.value) == message


# response_many takes one period, that of its profiles.
WALL_ARGUMENTS = [case for case in BAD_ARGUMENTS if "period_hours" not in case[1]]


@pytest.mark.parametrize("name,change,error,message", WALL_ARGUMENTS,
                         ids=[c[0] for c in WALL_ARGUMENTS])
def test_response_many_refuses_the_same_arguments(name, change, error, message):
    with pytest.raises(error) as raised:
        brusk.response_many(**{**three_layer_rows(), **change}, outdoor=[20.0, 25.0])
    assert str(raised.value) == message


@pytest.mark.parametrize("threads", [2**40, np.int64(3), True])
def test_any_whole_thread_count_gives_the_same_numbers(threads):
    assert np.array_equal(brusk.compute_many(**three_layer_rows(), threads=threads)["u_value"],
                          brusk.compute_many(**three_layer_rows(), threads=1)["u_value"])


@pytest.mark.parametrize("thickness", [decimal.Decimal("0.2"), np.array(0.2), np.float32(0.2)],
                         ids=["decimal", "zero_d_array", "float32"])
def test_numbers_of_other_types_are_read_as_their_value(thickness):
    expected = brusk.compute(brusk.Wall([brusk.Layer(float(thickness), 1.8, 2400, 1000)]))
    got = brusk.compute(brusk.Wall([brusk.Layer(thickness, np.array(1.8), 2400, 1000)]))
    assert got.to_dict() == expected.to_dict()


@pytest.mark.parametrize("call", ["brusk.Wall.from_file(path)",
                                  "brusk.Wall.from_file('x.toml', materials=path)"])
def test_a_pipe_is_refused_at_once_instead_of_waited_on(tmp_path, call):
    path = tmp_path / "w.toml"
    os.mkfifo(path)
    (tmp_path / "x.toml").write_text(WALL)
    script = ("import brusk, sys\npath = sys.argv[1]\ntry:\n    " + call +
              "\nexcept brusk.WallError as error:\n    print(error)\n")
    # A reader waiting for a writer would hold the interpreter until the timeout.
    done = subprocess.run([sys.executable, "-c", script, str(path)], capture_output=True,
                          text=True, timeout=60, cwd=tmp_path)
    assert done.returncode == 0, done.stderr
    assert done.stdout == f"{path}: is not a regular file (a pipe); brusk reads its inputs from " \
                          "files, which it can read to their end\n"


def _laid_out(**change):
    table = np.full((4, 2), 0.1)
    columns = {"thickness": table, "conductivity": table, "density": table,
               "specific_heat": table}
    outputs = {"u_value": np.zeros(4)}
    for key, value in change.items():
        (outputs if key == "u_value" else columns)[key] = value
    return columns, outputs


# The private entry trusts nothing of its caller: each of these would read or write out of
# bounds if taken as compute_many lays its arrays out.
MISLAID = [
    ("integer_table", {"conductivity": np.ones((4, 2), dtype=np.int64)}, "conductivity"),
    ("short_table", {"density": np.ones((3, 2))}, "density"),
    ("short_per_wall", {"rsi": np.ones(3)}, "rsi"),
    ("short_output", {"u_value": np.zeros(3)}, "u_value"),
    ("strided_output", {"u_value": np.zeros(8)[::2]}, "u_value"),
]


@pytest.mark.parametrize("name,change,refused", MISLAID, ids=[c[0] for c in MISLAID])
def test_the_private_entry_refuses_arrays_not_laid_out(name, change, refused):
    columns, outputs = _laid_out(**change)
    with pytest.raises(brusk.WallError, match=refused):
        brusk._brusk._compute_columns(columns, outputs, "horizontal", 1, False, True)


def test_outputs_come_in_the_descriptions_order_whatever_the_order_asked():
    out = brusk.compute_many(**three_layer_rows(), fields=["u_value", "period", "u_value"])
    assert list(out) == ["period", "u_value"]


CHECKED_WALL = {"name": "W", "layers": [{"thermal_resistance": 2}]}
RULE_HEAD = 'name = "P"\n[[rules]]\nid = "r"\n'

# (case, requirements text or path, error, message): every refusal names the line and the field.
REFUSED_REQUIREMENTS = [
    ("nan_condition", RULE_HEAD + 'when = { site_irradiance = { at_least = nan } }\n'
     'quantity = "u_value"\nat_most = 1\n', brusk.WallError,
     "requirements:4: at_least must be a number of W/m2, got nan"),
    ("infinite_condition", RULE_HEAD + 'when = { site_irradiance = { less_than = -inf } }\n'
     'quantity = "u_value"\nat_most = 1\n', brusk.WallError,
     "requirements:4: less_than must be a number of W/m2, got -inf"),
    ("infinite_after_unit", RULE_HEAD + 'quantity = "internal_areal_heat_capacity"\n'
     'at_most = 1e305\nunit = "MJ/(m2.K)"\n', brusk.WallError,
     "requirements:5: at_most = 1e+305 MJ/(m2.K) is beyond the largest number in J/(m2.K)"),
    ("class_any_empty", RULE_HEAD + 'classes = [ { name = "never", any = [] } ]\n',
     brusk.WallError, 'requirements:4: class "never" of rule "r" has any = [], which no wall '
     'can match'),
    ("flag_with_bound", RULE_HEAD + 'quantity = "dries_out"\nat_most = 1\n', brusk.WallError,
     "requirements:5: dries_out is a yes/no result: test it with is = true or is = false"),
    ("nul_in_path", "de-geg-2020-anlage7.toml\0x", ValueError,
     "requirements: embedded null character in path"),
]


@pytest.mark.parametrize("name,requirements,error,message", REFUSED_REQUIREMENTS,
                         ids=[c[0] for c in REFUSED_REQUIREMENTS])
def test_check_refuses_what_brusk_check_refuses(name, requirements, error, message):
    with pytest.raises(error) as raised:
        brusk.check(CHECKED_WALL, requirements)
    assert str(raised.value).startswith(message)


def test_names_from_a_requirements_file_come_back_exact():
    # JSON keeps a class name exactly; it is the writer of a terminal table that shows it inert.
    hostile = "\x1b[31mRED\x1b]0;owned\x07"
    text = RULE_HEAD + 'classes = [ { name = "\\u001b[31mRED\\u001b]0;owned\\u0007", all = [] } ]\n'
    assert brusk.check(CHECKED_WALL, text)["rules"][0]["class"] == hostile


DRY_RULE = 'name = "D"\n[[rules]]\nid = "dry"\nquantity = "dries_out"\nis = true\n'

# (case, keyword arguments, error, message)
BAD_CLIMATE_ARGUMENTS = [
    # The class as moisture() takes it: checked as given, never rounded.
    ("fractional_class", {"climate": "x.csv", "humidity_class": 2.9}, brusk.WallError,
     "humidity_class must be 1 to 5 (a whole number: ISO 13788 Annex A's humidity classes), "
     "got 2.9"),
    ("boolean_class", {"climate": "x.csv", "humidity_class": True}, TypeError,
     "humidity_class must be 1 to 5 (a whole number), got bool True"),
    ("class_out_of_range", {"climate": "x.csv", "humidity_class": 2**32 + 3}, brusk.WallError,
     "humidity_class must be 1 to 5 (a whole number: ISO 13788 Annex A's humidity classes), "
     "got 4294967299"),
    ("class_zero", {"climate": "x.csv", "humidity_class": 0}, brusk.WallError,
     "humidity_class must be 1 to 5 (a whole number: ISO 13788 Annex A's humidity classes), "
     "got 0"),
    ("class_without_climate", {"humidity_class": 2}, ValueError,
     "humidity_class and indoor_temperature give the indoor side of climate"),
    ("temperature_without_climate", {"indoor_temperature": 18}, ValueError,
     "humidity_class and indoor_temperature give the indoor side of climate"),
]


@pytest.mark.parametrize("name, options, error, message", BAD_CLIMATE_ARGUMENTS,
                         ids=[case[0] for case in BAD_CLIMATE_ARGUMENTS])
def test_climate_arguments_are_checked(name, options, error, message):
    with pytest.raises(error) as raised:
        brusk.check(CHECKED_WALL, DRY_RULE, **options)
    assert str(raised.value).startswith(message)


MOISTURE_WALL = EXAMPLES / "moisture" / "internal-insulation.toml"
TEMPERATE = EXAMPLES / "climates" / "temperate.csv"
REQUIREMENTS = "name = \"R\"\n[[rules]]\nid = \"u\"\nquantity = \"u_value\"\nat_most = 0.3\n"


def _nul_calls(tmp_path):
    """(case, the call with a NUL in a path, the file the cut path would name) per function."""
    (tmp_path / "r.toml").write_text(REQUIREMENTS)
    (tmp_path / "m.toml").write_text(CATALOGUE)
    (tmp_path / "w.toml").write_text(WALL)
    wall = brusk.Wall.from_file(MOISTURE_WALL)
    page = str(tmp_path / "page.html")
    return [
        ("from_file", lambda: brusk.Wall.from_file(str(tmp_path / "w.toml") + "\0x")),
        ("from_file_bytes", lambda: brusk.Wall.from_file(os.fsencode(tmp_path / "w.toml") + b"\0")),
        ("from_file_materials",
         lambda: brusk.Wall.from_file(tmp_path / "w.toml", materials=str(tmp_path / "m.toml") + "\0")),
        ("wall_materials", lambda: brusk.Wall([brusk.Layer(0.1, 1, 1000, 1000)],
                                              materials=[str(tmp_path / "m.toml") + "\0"])),
        ("materials", lambda: brusk.materials(materials=str(tmp_path / "m.toml") + "\0.toml")),
        ("zone", lambda: brusk.zone(str(EXAMPLES / "zones" / "masonry-room.toml") + "\0")),
        ("moisture_climate", lambda: brusk.moisture(wall, str(TEMPERATE) + "\0ignored")),
        ("check_requirements", lambda: brusk.check(wall, str(tmp_path / "r.toml") + "\0x")),
        ("check_requirements_bytes", lambda: brusk.check(wall, os.fsencode(tmp_path / "r.toml") + b"\0")),
        ("report_page", lambda: brusk.report(wall, page + "\0.html")),
        ("check_climate", lambda: brusk.check(wall, DRY_RULE, climate=str(TEMPERATE) + "\0x")),
    ]


@pytest.mark.parametrize("case", range(11), ids=lambda i: ["from_file", "from_file_bytes",
                         "from_file_materials", "wall_materials", "materials", "zone",
                         "moisture_climate", "check_requirements", "check_requirements_bytes",
                         "report_page", "check_climate"][i])
def test_a_path_with_a_nul_is_refused_as_open_refuses_it(tmp_path, case):
    name, call = _nul_calls(tmp_path)[case]
    with pytest.raises(ValueError) as raised:
        call()
    assert not isinstance(raised.value, brusk.WallError), name
    assert "embedded null character in path" in str(raised.value), name
    assert not (tmp_path / "page.html").exists()


def test_a_nul_in_a_path_a_file_names_is_refused_by_the_reader(tmp_path):
    # The zone's wall file is named inside the zone, so it reaches the reader as data.
    (tmp_path / "w.toml").write_text(WALL)
    zone = {"name": "Z", "floor_area": 10, "elements": [{"area": 10, "wall": "w.toml\0x"}]}
    os.chdir(tmp_path)
    with pytest.raises(brusk.WallError) as raised:
        brusk.zone(zone)
    assert 'wall "w.toml\\x00x" holds a NUL character, which no file name can hold' in \
        str(raised.value)


# (value, error type, message); the message is the command line's with the keyword's name.
BAD_CLASSES = [
    (2.9, brusk.WallError, "humidity_class must be 1 to 5 (a whole number: ISO 13788 Annex A's "
                           "humidity classes), got 2.9"),
    (0, brusk.WallError, "got 0"),
    (6, brusk.WallError, "got 6"),
    (-1, brusk.WallError, "got -1"),
    (2**32 + 3, brusk.WallError, "got 4294967299"),
    (10**400, brusk.WallError, "got inf"),
    (float("nan"), brusk.WallError, "got nan"),
    (np.float64(3.5), brusk.WallError, "got 3.5"),
    (True, TypeError, "humidity_class must be 1 to 5 (a whole number), got bool True"),
    ("3", TypeError, "humidity_class must be 1 to 5 (a whole number), got str '3'"),
]


@pytest.mark.parametrize("value,error,message", BAD_CLASSES, ids=[repr(c[0])[:12] for c in BAD_CLASSES])
def test_a_humidity_class_is_never_rounded_or_wrapped(value, error, message):
    wall = brusk.Wall.from_file(MOISTURE_WALL)
    with pytest.raises(error) as raised:
        brusk.moisture(wall, TEMPERATE, humidity_class=value)
    assert message in str(raised.value)


@pytest.mark.parametrize("value", [3, 3.0, np.int64(3), decimal.Decimal("3")],
                         ids=["int", "float", "numpy", "decimal"])
def test_a_whole_class_of_any_number_type_is_class_three(value):
    wall = brusk.Wall.from_file(MOISTURE_WALL)
    assert brusk.moisture(wall, TEMPERATE, humidity_class=value) == \
        brusk.moisture(wall, TEMPERATE, humidity_class=3)


@pytest.mark.parametrize("indoor", [{}, {"indoor_temperature": "", "indoor_relative_humidity": "n/a"},
                                    {"indoor_temperature": 20.0, "indoor_relative_humidity": 500.0}],
                         ids=["left_out", "not_available", "out_of_range"])
def test_indoor_cells_are_not_read_with_a_class(indoor):
    rows = [{"month": m, "outdoor_temperature": 2.0, "outdoor_relative_humidity": 85.0, **indoor}
            for m in range(1, 13)]
    plain = [{"month": m, "outdoor_temperature": 2.0, "outdoor_relative_humidity": 85.0}
             for m in range(1, 13)]
    wall = brusk.Wall.from_file(MOISTURE_WALL)
    assert brusk.moisture(wall, rows, humidity_class=2) == brusk.moisture(wall, plain, humidity_class=2)


def test_a_climate_file_with_a_byte_order_mark_is_the_same_climate(tmp_path):
    marked = tmp_path / "marked.csv"
    marked.write_bytes(b"\xef\xbb\xbf" + TEMPERATE.read_bytes())
    wall = brusk.Wall.from_file(MOISTURE_WALL)
    assert brusk.moisture(wall, marked) == brusk.moisture(wall, TEMPERATE)


# (case, the wall, the warning's text after its source and ": ")
UNIT_SLIPS = [
    ("millimetres", {"layers": [{"name": "Slab", "thickness": 12.5, "conductivity": 1.8,
                                 "density": 2400, "specific_heat": 1000}]},
     'layer 1 ("Slab"): thickness 12.5 m is more than any building layer (at most 2 m); was it '
     "given in cm (0.125 m) or mm (0.0125 m)?"),
    ("milliwatts", {"layers": [{"thickness": 0.1, "conductivity": 35, "density": 20,
                                "specific_heat": 1450}]},
     "layer 1: conductivity 35 W/(m.K) is a metal's, but the density 20 kg/m3 is far below any "
     "metal's; was it given in mW/(m.K) (0.035 W/(m.K))?"),
    ("kilojoules", {"layers": [{"thickness": 0.2, "conductivity": 1.8, "density": 2400,
                                "specific_heat": 1.0}]},
     "layer 1: specific_heat 1 J/(kg.K) is less than any building material's (lead: about 130); "
     "was it given in kJ/(kg.K) (1000 J/(kg.K))?"),
]


@pytest.mark.parametrize("name,document,message", UNIT_SLIPS, ids=[c[0] for c in UNIT_SLIPS])
def test_a_units_slip_is_warned_of_and_computed(tmp_path, name, document, message):
    with pytest.warns(brusk.UnitsWarning) as caught:
        wall = brusk.Wall.from_dict(document)
    assert [str(w.message) for w in caught] == ["wall: " + message]
    assert caught[0].filename == __file__  # the caller's line, not the package's
    assert brusk.compute(wall).u_value > 0
    path = tmp_path / "w.json"
    path.write_text(json.dumps(document))
    with pytest.warns(brusk.UnitsWarning) as from_file:
        brusk.Wall.from_file(path)
    assert [str(w.message) for w in from_file] == [f"{path}: {message}"]
    status, _, err = run_brusk("compute", path)
    assert status == 0 and err == f"brusk: warning: {path}: {message}\n"


def test_the_example_walls_give_no_warning():
    with warnings.catch_warnings():
        warnings.simplefilter("error")
        for path in EXAMPLE_WALLS:
            brusk.Wall.from_file(path)


@pytest.mark.parametrize("option", [{"absorptance": 0.6}, {"emissivity": 0.9},
                                    {"sky_radiation": 63.0}], ids=lambda o: next(iter(o)))
def test_a_surface_option_without_solar_is_refused(option):
    wall = brusk.Wall.from_file(EXAMPLES / "1-concrete.toml")
    with pytest.raises(brusk.WallError) as raised:
        brusk.response(wall, [20.0, 25.0, 30.0, 25.0], **option)
    assert str(raised.value) == (f"{next(iter(option))} has no effect without solar: it describes "
                                 "the outer surface under the sun's irradiance; leave it out")
