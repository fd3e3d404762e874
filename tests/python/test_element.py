"""Walls of parts, air layers and corrections through the Python package: the same numbers
and the same words as `brusk compute`."""

import pytest

import brusk

from conftest import EXAMPLES, cli_json

TIMBER = EXAMPLES / "bridged" / "timber-frame-studs.toml"


def studs(fraction=0.85):
    return {
        "name": "Studs",
        "layers": [
            {"material": "board-gypsum", "thickness": 0.0125},
            {"thickness": 0.14, "parts": [
                {"material": "timber-softwood", "fraction": 0.15},
                {"material": "insulation-mineral-wool", "conductivity": 0.035,
                 "fraction": fraction}]},
            {"material": "board-osb", "thickness": 0.009},
            {"material": "insulation-wood-fibre", "thickness": 0.05},
        ],
    }


def test_the_timber_frame_wall_as_checked_by_hand():
    element = brusk.compute_element(brusk.Wall.from_file(str(TIMBER)))
    assert element["thermal_resistance_upper"] == pytest.approx(4.744126, abs=5e-7)
    assert element["thermal_resistance_lower"] == pytest.approx(4.381870, abs=5e-7)
    assert element["u_value"] == pytest.approx(0.219154, abs=5e-7)
    assert element["relative_error"] == pytest.approx(0.039695, abs=5e-7)
    assert [path["fraction"] for path in element["paths"]] == [0.15, 0.85]
    assert "parallel-path approximation" in element["method"]


@pytest.mark.parametrize("period_hours", [24.0, 240.0])
def test_same_doubles_as_the_cli(period_hours):
    [cli] = cli_json([TIMBER], period_hours=period_hours)
    element = brusk.compute_element(brusk.Wall.from_file(str(TIMBER)), period_hours)
    assert element == cli
    # compute() gives the element's wall quantities too, not the homogenised layer's.
    result = brusk.compute(brusk.Wall.from_file(str(TIMBER)), period_hours)
    assert result.u_value == cli["u_value"]
    assert result.decrement_factor == cli["decrement_factor"]


def test_a_plain_wall_has_no_element_keys():
    wall = brusk.Wall.from_file(str(EXAMPLES / "1-concrete.toml"))
    assert brusk.compute_element(wall) == brusk.compute(wall).to_dict()


@pytest.mark.parametrize("fraction, words", [
    (0.80, "the fractions of the parts sum to 0.95, not 1"),
    (0.0, "part 2 (\"Mineral wool (glass wool)\"): fraction must be a share of the area"),
])
def test_bad_parts_are_refused_with_the_part_named(fraction, words):
    with pytest.raises(brusk.WallError, match=r"layer 2") as refused:
        brusk.compute_element(studs(fraction))
    assert words in str(refused.value)
