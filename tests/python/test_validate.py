"""brusk.validate: the same cases and figures as `brusk validate --format json`, one row per
figure, every figure agreeing."""

import json
import math

import brusk
from conftest import run_brusk


def test_frame_is_the_program_run_row_by_row():
    frame = brusk.validate()
    status, out, err = run_brusk("validate", "--format", "json")
    assert status == 0, err
    run = json.loads(out)
    figures = [(case, figure) for case in run["cases"] for figure in case["figures"]]
    assert len(frame) == len(figures) == run["summary"]["figures"]
    for (case, figure), (_, row) in zip(figures, frame.iterrows()):
        assert row["id"] == case["id"]
        assert row["document"] == case["source"]["document"]
        assert row["edition"] == case["source"]["edition"]
        assert row["quantity"] == figure["quantity"]
        assert row["printed"] == figure["printed"]
        assert row["computed"] == figure["computed"]
        assert row["agrees"] == figure["agrees"]
    assert frame.attrs["summary"] == run["summary"]
    assert frame.attrs["version"] == run["version"]


def test_every_published_figure_agrees_within_its_tolerance():
    frame = brusk.validate()
    assert frame["agrees"].all()
    assert ((frame["computed"] - frame["published"]).abs() <= frame["tolerance"]).all()
    assert not any(math.isnan(value) for value in frame["computed"])
    cases = set(frame["id"])
    for published in ("sbs-6b2-timber-frame", "tgd-l-2011-a2", "br443-low-emissivity-air-layers",
                      "iso-13788-b1"):
        assert published in cases


def test_columns_are_the_described_keys():
    described = [q["key"].rsplit(".", 1)[-1] for q in brusk.quantities()
                 if q["scope"] == "validation" and q["key"].startswith("cases.")]
    assert list(brusk.validate().columns) == described


def test_report_names_its_inputs_with_their_hashes_as_the_program_does(tmp_path):
    import hashlib

    wall_file = tmp_path / "wall.toml"
    wall_file.write_text((brusk_examples() / "3-brick-cavity.toml").read_text())
    wall = brusk.Wall.from_file(str(wall_file))
    brusk.report(wall, tmp_path / "page.html", project="Hall <B>", author="A & B")
    page = (tmp_path / "page.html").read_text()
    digest = hashlib.sha256(wall_file.read_bytes()).hexdigest()
    for expected in ('<section id="provenance">', f"Brusk {brusk.validate().attrs['version']}",
                     str(wall_file), digest, "Hall &lt;B&gt;", "A &amp; B", "ISO 10456:2007"):
        assert expected in page, expected


def brusk_examples():
    from conftest import EXAMPLES

    return EXAMPLES
