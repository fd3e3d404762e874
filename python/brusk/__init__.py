"""Brusk: dynamic thermal characteristics of building elements (ISO 13786).

The same engine, catalogue and messages as the ``brusk`` command::

    import brusk
    wall = brusk.Wall.from_file("examples/2-concrete-insulated.toml")
    result = brusk.compute(wall)
    result.decrement_factor, result.periodic_thermal_transmittance.time_lag

Layers are listed from side 1 (the inner face) outward. Units are SI: lengths [m],
conductivity [W/(m.K)], density [kg/m3], specific heat [J/(kg.K)], resistances [m2.K/W],
periods [s] in results and [h] in arguments, time shifts and lags [h].
"""

from __future__ import annotations

import decimal
import json
import math
import numbers
import os
import warnings

import numpy as np

from . import _brusk, columns
from ._brusk import WallError
from .result import (
    DESCRIPTION,
    Estimate,
    PeriodicQuantity,
    Result,
    SequentialHeatCapacity,
    TransferMatrix,
    Transmittance,
)
from .response import RESPONSE_QUANTITIES, response_frame, response_many

__all__ = [
    "Layer",
    "Part",
    "AirGap",
    "VapourControl",
    "AirVoids",
    "Fasteners",
    "Wall",
    "wall_schema",
    "WallError",
    "UnitsWarning",
    "Result",
    "compute",
    "compute_element",
    "compute_many",
    "compute_frame",
    "materials",
    "quantities",
    "moisture",
    "moisture_frame",
    "check",
    "check_many",
    "check_junction",
    "requirement_sets",
    "report",
    "validate",
    "response",
    "zone",
    "bridge",
    "response_many",
    "response_frame",
    "RESPONSE_QUANTITIES",
    "PERIODIC_FIELDS",
    "SEQUENTIAL_FIELDS",
    "ELEMENT_FIELDS",
]
__version__ = "0.2.0"

#: Outputs of compute_many() without the sequential estimates (fields="periodic").
PERIODIC_FIELDS = tuple(name for name, _, sequential in columns.OUTPUTS if not sequential)
#: Outputs of compute_many() that need the sequential estimates.
SEQUENTIAL_FIELDS = tuple(name for name, _, sequential in columns.OUTPUTS if sequential)


class UnitsWarning(UserWarning):
    """A wall's value that no building material has, most likely a slip of units (a thickness in
    mm typed as m, a conductivity in mW/(m.K)): warned of when the wall is read, as ``brusk``
    warns on standard error, and computed as given."""


def _path(path, what):
    """``path`` (a str, bytes or os.PathLike) as the str the native readers take. A NUL
    character is refused with ValueError, as ``open()`` refuses it: the system reads a file name
    up to its first NUL, so the rest would be dropped and another file read, or written."""
    text = os.fspath(path)
    if isinstance(text, bytes):
        text = os.fsdecode(text)
    if "\0" in text:
        raise ValueError(f"{what}: embedded null character in path {text!r}; the system would "
                         f"read it as {text.split(chr(0))[0]!r}, another file")
    return text


def _material_files(materials):
    if materials is None:
        return []
    if isinstance(materials, (str, bytes, os.PathLike)):
        return [_path(materials, "materials")]
    return [_path(path, "materials") for path in materials]


def _wall_file_value(value):
    """A Python value as the wall-file JSON holds it. A non-finite number, which JSON cannot
    hold, is passed as its text so the reader refuses it as it refuses any non-number."""
    if isinstance(value, bool) or value is None or isinstance(value, str):
        return value
    if getattr(value, "shape", None) == () and hasattr(value, "item"):
        return _wall_file_value(value.item())  # a 0-d NumPy array or a NumPy scalar
    if isinstance(value, numbers.Integral):
        return int(value)
    if isinstance(value, (numbers.Real, decimal.Decimal)):
        number = float(value)
        return number if math.isfinite(number) else repr(number)
    if isinstance(value, _WallObject):
        return _wall_file_value(value.to_dict())
    if isinstance(value, dict):
        return {str(key): _wall_file_value(item) for key, item in value.items()}
    if isinstance(value, (list, tuple)):
        return [_wall_file_value(item) for item in value]
    return str(value)


class _WallObject:
    """An object of a wall file built from Python: its keys are the wall schema's (see
    :func:`wall_schema`), and only those given are written. The values are checked when the
    wall is read, by the wall-file reader."""

    _OBJECT = ""

    def __init__(self, **given):
        self._given = {key: value for key, value in given.items() if value is not None}

    def __getattr__(self, key):
        if key.startswith("_"):
            raise AttributeError(key)
        if key in _schema_keys(self._OBJECT):
            return self._given.get(key)
        raise AttributeError(f"{type(self).__name__} has no attribute {key!r}")

    def __setattr__(self, key, value):
        if key.startswith("_"):
            object.__setattr__(self, key, value)
        elif key in _schema_keys(self._OBJECT):
            if value is None:
                self._given.pop(key, None)
            else:
                self._given[key] = value
        else:
            raise AttributeError(f"{type(self).__name__} has no attribute {key!r}; "
                                 f"{self._OBJECT} keys are {', '.join(_schema_keys(self._OBJECT))}")

    def to_dict(self):
        """The object as a wall file writes it: only the keys given, in the schema's order."""
        return {key: _wall_file_value(self._given[key]) for key in _schema_keys(self._OBJECT)
                if key in self._given}

    def __eq__(self, other):
        if not isinstance(other, _WallObject):
            return NotImplemented
        return self._OBJECT == other._OBJECT and self.to_dict() == other.to_dict()

    __hash__ = None

    def __repr__(self):
        items = ", ".join(f"{key}={value!r}" for key, value in self._given.items())
        return f"brusk.{type(self).__name__}({items})"

    def __getstate__(self):
        return dict(self._given)

    def __setstate__(self, state):
        object.__setattr__(self, "_given", dict(state))


class Layer(_WallObject):
    """One layer: a slab, a catalogue material, a pure thermal resistance, a layer of parts,
    an air layer by its geometry or a vapour control layer (see :func:`wall_schema`).

    Args:
        thickness: d [m].
        conductivity: lambda [W/(m.K)].
        density: rho [kg/m3].
        specific_heat: c [J/(kg.K)].
        material: a catalogue key (see :func:`materials`); the properties given override it.
        thermal_resistance: R [m2.K/W] of a massless layer, or of an air layer instead of
            ISO 6946's.
        parts: :class:`Part` objects (or dicts) side by side across the area, at least two:
            a layer of parts (ISO 6946 combined method), with its ``thickness``.
        air_gap: thickness [m] of an air layer whose resistance comes from ISO 6946 6.9.
        ventilation: "unventilated", "slightly" (with ``openings`` [mm2/m]) or "well".
        emissivities: the two faces' emissivities of an air layer (ISO 6946 Annex D).
        name: what a person reads; defaults as in a wall file.
        family: one of the material families, for drawing.
        vapour_resistance_factor: mu [-] for :func:`moisture`; a catalogue material has one.
        sd: s_d = mu d [m] instead of mu; a layer of ``sd`` alone is a vapour control layer.
        condensation_limit: most condensate a face may hold [g/m2].
    """

    _OBJECT = "layer"

    def __init__(self, thickness=None, conductivity=None, density=None, specific_heat=None, *,
                 material=None, thermal_resistance=None, name=None, family=None,
                 vapour_resistance_factor=None, sd=None, parts=None, air_gap=None,
                 ventilation=None, openings=None, emissivities=None, condensation_limit=None):
        super().__init__(name=name, material=material, thickness=thickness,
                         conductivity=conductivity, density=density, specific_heat=specific_heat,
                         family=family, thermal_resistance=thermal_resistance,
                         parts=None if parts is None else list(parts), air_gap=air_gap,
                         ventilation=ventilation, openings=openings, emissivities=emissivities,
                         vapour_resistance_factor=vapour_resistance_factor, sd=sd,
                         condensation_limit=condensation_limit)


class Part(_WallObject):
    """One part of a layer of parts: a material over ``fraction`` of the area, through the
    layer's whole thickness (ISO 6946 6.7.2).

    Args:
        material: a catalogue key; conductivity, density and specific_heat override it.
        fraction: share of the element's area, above 0 and at most 1; a layer's parts sum to 1.
        conductivity, density, specific_heat: lambda [W/(m.K)], rho [kg/m3], c [J/(kg.K)].
        vapour_resistance_factor, sd: mu [-] or s_d [m] of the part, for :func:`moisture`.
        name, family: what a person reads, and the family for drawing.
    """

    _OBJECT = "part"

    def __init__(self, material=None, fraction=None, *, conductivity=None, density=None,
                 specific_heat=None, name=None, family=None, vapour_resistance_factor=None,
                 sd=None):
        super().__init__(name=name, material=material, conductivity=conductivity,
                         density=density, specific_heat=specific_heat, family=family,
                         fraction=fraction, vapour_resistance_factor=vapour_resistance_factor,
                         sd=sd)


def AirGap(thickness, ventilation=None, *, openings=None, emissivities=None,
           thermal_resistance=None, name=None, family=None):
    """An air layer by its thickness [m] (ISO 6946 6.9): its resistance from Table 8, or from
    Annex D with the faces' ``emissivities``, or ``thermal_resistance`` as given; mu = 1 in
    the moisture assessment. ``ventilation`` "slightly" needs ``openings`` [mm2/m]."""
    return Layer(air_gap=thickness, ventilation=ventilation, openings=openings,
                 emissivities=emissivities, thermal_resistance=thermal_resistance, name=name,
                 family=family)


def VapourControl(sd, *, name=None, family=None, condensation_limit=None):
    """A vapour control layer or membrane: s_d [m] and no thermal resistance."""
    return Layer(sd=sd, name=name, family=family, condensation_limit=condensation_limit)


class AirVoids(_WallObject):
    """ISO 6946 F.2 air voids: ``level`` 0, 1 or 2 in ``layer`` (counted from side 1, 1
    first)."""

    _OBJECT = "air_voids"

    def __init__(self, level, layer):
        super().__init__(level=level, layer=layer)


class Fasteners(_WallObject):
    """ISO 6946 F.3 mechanical fasteners through ``layer`` (counted from side 1, 1 first):
    ``count`` per m2, ``cross_section`` [m2] and ``conductivity`` [W/(m.K)] of one fastener,
    ``penetration`` [m] inside the layer (default its thickness)."""

    _OBJECT = "fasteners"

    def __init__(self, layer, count, cross_section, conductivity, penetration=None):
        super().__init__(layer=layer, count=count, cross_section=cross_section,
                         conductivity=conductivity, penetration=penetration)


_SCHEMA = None


def wall_schema() -> dict:
    """The wall schema, as ``brusk schema --format json`` prints it: every object of a wall
    file (wall, layer, part, corrections, air_voids, fasteners) with its keys (type, unit,
    description, words) and the layer kinds. Every door reads and writes walls by it."""
    return json.loads(_brusk._wall_schema_json())


def _schema_keys(name):
    global _SCHEMA
    if _SCHEMA is None:
        _SCHEMA = {item["name"]: tuple(key["key"] for key in item["keys"])
                   for item in wall_schema()["objects"]}
    return _SCHEMA[name]


class Wall:
    """A wall: layers from side 1 (the inner face) outward, where it stands, and names.

    Args:
        layers: :class:`Layer` objects or dicts with the wall-file layer keys.
        position: "external" (side 2 outdoors) or "internal" (a partition).
        heat_flow: "horizontal", "upward" or "downward"; selects the surface resistances.
        rsi: Rsi [m2.K/W] instead of the ISO 6946 convention.
        rse: Rse [m2.K/W] instead of the ISO 6946 convention.
        name: the wall's name in results and reports.
        parts_aligned: True when part k of every layer of parts lies behind part k of the
            others (ISO 6946 6.7.2); default independent patterns.
        corrections: ISO 6946 Annex F corrections, e.g. ``{"fasteners": Fasteners(...)}`` or
            ``{"air_voids": AirVoids(1, 3)}`` (or dicts with the wall-file keys).
        orientation: the compass point the outer face looks to, for requirements.
        site_irradiance: I_m,s of the site [W/m2], for requirements.
        materials: catalogue files (TOML) adding to the built-in catalogue, as ``--materials``.

    Raises:
        WallError: with the message ``brusk compute`` gives for the same wall file.
    """

    def __init__(self, layers, position="external", heat_flow="horizontal", rsi=None, rse=None,
                 name=None, *, parts_aligned=None, corrections=None, orientation=None,
                 site_irradiance=None, materials=None):
        document = {"layers": list(layers), "position": position, "heat_flow": heat_flow}
        for key, value in (("rsi", rsi), ("rse", rse), ("name", name),
                           ("parts_aligned", parts_aligned), ("corrections", corrections),
                           ("orientation", orientation), ("site_irradiance", site_irradiance)):
            if value is not None:
                document[key] = value
        parsed = Wall._parse(document, materials)
        self._wall = parsed._wall
        self._materials = parsed._materials

    @classmethod
    def _wrap(cls, native, materials=(), stacklevel=4):
        wall = cls.__new__(cls)
        wall._wall = native
        wall._materials = tuple(materials)
        for message in native._plausibility():
            warnings.warn(message, UnitsWarning, stacklevel=stacklevel)
        return wall

    @classmethod
    def _parse(cls, document, materials):
        if not isinstance(document, dict):
            raise TypeError(f"a wall must be a dict of wall-file keys, got {type(document).__name__}")
        name = document.get("name")
        source = f'wall "{name}"' if isinstance(name, str) else "wall"
        text = json.dumps(_wall_file_value(document), ensure_ascii=False, allow_nan=False)
        files = _material_files(materials)
        return cls._wrap(_brusk._parse_wall(text, source, files), files)

    @classmethod
    def from_file(cls, path, *, materials=None):
        """Reads a wall file (.toml or .json) with the reader of ``brusk compute``."""
        files = _material_files(materials)
        return cls._wrap(_brusk._load_wall(_path(path, "path"), files), files, stacklevel=3)

    @classmethod
    def from_dict(cls, document, *, materials=None):
        """A wall from a dict with the wall-file keys (see :func:`wall_schema`)."""
        return cls._parse(document, materials)

    def _described(self):
        """The native wall's attributes, read once: a wall never changes after it is read.
        Callers copy what they hand out that could be changed (the layer dicts)."""
        try:
            return self._description
        except AttributeError:
            self._description = self._wall._describe()
            return self._description

    @property
    def name(self):
        return self._described()["name"]

    @property
    def position(self):
        return self._described()["position"]

    @property
    def heat_flow(self):
        return self._described()["heat_flow"]

    @property
    def rsi(self):
        """The Rsi override [m2.K/W], or None for the convention."""
        return self._described()["rsi"]

    @property
    def rse(self):
        """The Rse override [m2.K/W], or None for the convention."""
        return self._described()["rse"]

    @property
    def layers(self):
        """The layers as the engine computes them, side 1 first, as dicts of wall-file keys
        with every property resolved (a layer of parts as its equivalent slab, an air layer
        as its resistance; vapour control layers, which have no thermal part, are left
        out). :meth:`to_dict` gives the wall as its file says it."""
        return [dict(layer) for layer in self._described()["layers"]]

    @property
    def orientation(self):
        """The compass point the outer face looks to ("N", "NE", ... "NW"), or None."""
        return self._described()["orientation"]

    @property
    def site_irradiance(self):
        """The site's I_m,s [W/m2] that requirements may ask about, or None."""
        return self._described()["site_irradiance"]

    @property
    def parts_aligned(self):
        """Whether the parts of the layers of parts lie behind each other, or None."""
        return self.to_dict().get("parts_aligned")

    @property
    def corrections(self):
        """The ISO 6946 Annex F corrections as the file gives them (a dict), or None."""
        return self.to_dict().get("corrections")

    def to_dict(self):
        """The wall as its file says it, every key of the wall schema it gives (name, position
        and heat flow filled in): ``Wall.from_dict(w.to_dict()) == w``."""
        return json.loads(self._described()["document"])

    def to_json(self):
        """The wall as a JSON wall file (indented text)."""
        return _brusk._wall_json(self._wall)

    def to_toml(self):
        """The wall as a TOML wall file that ``brusk compute`` reads as the same wall."""
        return _brusk._wall_toml(self._wall)

    def __repr__(self):
        return f"<brusk.Wall {self.name!r}: {len(self.to_dict()['layers'])} layers, {self.position}>"

    def __eq__(self, other):
        """Walls are equal when their files say the same (every key of the schema) and they
        compute the same layers (the catalogues may differ)."""
        if not isinstance(other, Wall):
            return NotImplemented
        return self.to_dict() == other.to_dict() and self.layers == other.layers

    __hash__ = None

    def __reduce__(self):
        return (_unpickle_wall, (self.to_dict(), self._materials))


def _unpickle_wall(document, materials):
    return Wall.from_dict(document, materials=list(materials) or None)


def compute(wall: "Wall | dict", period_hours: float = 24.0) -> Result:
    """Computes a wall at a cycle of ``period_hours`` [h] with the engine.

    Returns a :class:`Result` whose attributes are named as the JSON keys of
    ``brusk compute``; ``result.to_dict()`` equals ``brusk compute --format json``.

    Raises:
        WallError: when the engine refuses the wall, with the message the CLI prints.
    """
    if not isinstance(wall, Wall):
        wall = Wall.from_dict(wall)
    return Result(_brusk._compute(wall._wall, float(period_hours)), wall, float(period_hours))


def compute_element(wall, period_hours=24.0):
    """Computes a wall as ``brusk compute --format json`` does and returns that JSON, parsed.

    For a wall with layers of parts, a ventilated air layer or corrections (ISO 6946:2017, see
    docs/u-value.md) the dict holds, after the usual keys, ``thermal_resistance_upper`` R'_T,
    ``thermal_resistance_lower`` R''_T, ``relative_error`` e, ``corrections``,
    ``u_value_corrected`` U_c, ``paths`` and ``air_layers``; ``thermal_resistance`` is then
    R_T and the periodic values are those of the parallel-path approximation (``method``).

    Raises:
        WallError: when the wall is refused, with the message the CLI prints.
    """
    if not isinstance(wall, Wall):
        wall = Wall.from_dict(wall)
    return json.loads(_brusk._compute_element(wall._wall, float(period_hours)))


def compute_many(thickness=None, conductivity=None, density=None, specific_heat=None, *,
                 walls=None, layer_count=None, thermal_resistance=None, rsi=None, rse=None,
                 partition=None, heat_flow="horizontal", period_hours=24.0, fields="all",
                 threads=0, errors="raise", out=None, kernel="vector", continuous=False):
    """Computes many walls at once, in the engine, on every core, without the GIL.

    Walls given as objects (``walls=``, a sequence of :class:`Wall` or dicts of wall-file keys,
    any construction: layers of parts, air layers, corrections) are computed one by one as
    :func:`compute` computes them, the same doubles; the outputs add the ISO 6946 combined
    method's ``thermal_resistance_upper``, ``thermal_resistance_lower``, ``relative_error`` and
    ``u_value_corrected`` (for a plain wall R_T, R_T, 0 and U). Only ``period_hours``,
    ``fields``, ``errors`` and ``continuous`` go with them.

    Args:
        walls: :class:`Wall` objects or dicts, instead of the arrays below.
        thickness, conductivity, density, specific_heat: arrays of shape (walls, layers),
            side 1 first: d [m], lambda [W/(m.K)], rho [kg/m3], c [J/(kg.K)].
        layer_count: layers of each wall, shape (walls,); without it a wall ends at its first
            NaN thickness (NaN padding).
        thermal_resistance: R [m2.K/W] of pure resistance layers, shape (walls, layers); such a
            layer has thickness, conductivity, density and specific heat 0.
        rsi, rse: surface resistance overrides [m2.K/W], a number or one per wall; NaN keeps
            the ISO 6946 convention.
        partition: true for walls with both faces inside (position "internal"), per wall.
        heat_flow: "horizontal", "upward" or "downward", for every wall.
        period_hours: cycle length T [h], a number or one per wall.
        fields: "all", "periodic" (skips the sequential estimates, about a third faster) or a
            list of output names (PERIODIC_FIELDS, SEQUENTIAL_FIELDS).
        threads: worker threads, a whole number; 0 uses every core; capped at four per core.
        errors: "raise" raises WallError naming the first invalid row and why; "nan" gives
            NaN for invalid rows and their messages in an "error" array ("" for valid rows).
        out: the dict of an earlier call on as many walls: its float64 and complex128 arrays
            are written over and returned instead of new ones, whose memory the operating
            system must first clear (a quarter of the time of a large study).
        kernel: "vector" (default) computes the walls eight or four at a time with the
            engine's many-wall kernel, within a few ulps (1e-12 relative) of compute();
            "scalar" uses compute()'s own kernel, giving exactly its doubles.
        continuous: False (default) gives each wall's time lag wrapped into [0, T), as
            ``brusk compute`` does; True follows it continuously along the rows, as over a
            sweep of a parameter: the first row's lag as it is, each next one plus the whole
            cycles that keep its phase within half a cycle of the row before (restarting after
            an invalid row), so that a lag passing T goes on to T + 1 h rather than back to
            1 h. The same rule as the report's plot of the lag against the cycle length.

    Returns:
        A dict of NumPy arrays of shape (walls,), named as ``brusk compute --format csv``
        names its columns; the transfer matrix elements as complex128.
    """
    columns.check_errors(errors)
    if walls is not None:
        arrays = dict(thickness=thickness, conductivity=conductivity, density=density,
                      specific_heat=specific_heat, layer_count=layer_count,
                      thermal_resistance=thermal_resistance, rsi=rsi, rse=rse,
                      partition=partition, out=out)
        given = [name for name, value in arrays.items() if value is not None]
        if given:
            raise ValueError(f"walls= computes the walls as they are; {', '.join(given)} "
                             f"belong to the array form: give one or the other")
        return _compute_walls(walls, period_hours, _selected_fields(fields), errors, continuous)
    if kernel not in ("vector", "scalar"):
        raise ValueError(f'kernel must be "vector" or "scalar", got "{kernel}"')
    threads = columns.thread_count(threads)
    inputs = columns.wall_columns(
        thickness=thickness, conductivity=conductivity, density=density,
        specific_heat=specific_heat, thermal_resistance=thermal_resistance,
        layer_count=layer_count, rsi=rsi, rse=rse, partition=partition,
        period_hours=period_hours)
    walls = inputs["thickness"].shape[0]
    results = columns.output_arrays(_selected_fields(fields), walls, out, inputs, threads)
    failures = _brusk._compute_columns(inputs, results, heat_flow, threads, errors == "raise",
                                       kernel == "vector")
    if errors == "raise" and failures:
        raise WallError(failures[0][1])
    # Methods as their names, as `brusk compute` prints them; "" where a row failed (-1).
    names = np.array(_brusk.CAPACITY_METHODS + [""], dtype=object)
    for name, kind, _ in columns.OUTPUTS:
        if kind == "method" and name in results:
            results[name] = names[results[name]]
    if errors == "nan":
        results["error"] = np.full(walls, "", dtype=object)
        for row, message in failures:
            results["error"][row] = message
    lag = "periodic_thermal_transmittance_time_lag"
    if continuous and lag in results:
        periods = np.broadcast_to(np.asarray(period_hours, dtype=float),
                                  results[lag].shape)
        results[lag][...] = _brusk._follow_time_lags(results[lag], periods)
    return results


#: The combined method's outputs compute_many(walls=...) adds, by their keys.
ELEMENT_FIELDS = ("thermal_resistance_upper", "thermal_resistance_lower", "relative_error",
                  "u_value_corrected")


def _compute_walls(walls, period_hours, fields, errors, continuous):
    """compute_many(walls=...): each wall through compute(), its values laid out as the
    array form's outputs."""
    walls = list(walls)
    count = len(walls)
    keys = {q["key"].replace(".", "_"): q["key"] for q in DESCRIPTION if q["scope"] == "compute"}
    periods = np.broadcast_to(np.asarray(period_hours, dtype=float), (count,))
    kinds = {name: kind for name, kind, _ in columns.OUTPUTS}
    results = {}
    for name in fields:
        if kinds[name] == "method":
            results[name] = np.full(count, "", dtype=object)
        else:
            results[name] = np.full(count, np.nan,
                                    dtype=complex if kinds[name] == "complex" else float)
    for name in ELEMENT_FIELDS:
        results[name] = np.full(count, np.nan)
    failures = np.full(count, "", dtype=object)
    for row, wall in enumerate(walls):
        try:
            result = compute(wall if isinstance(wall, Wall) else Wall.from_dict(wall),
                             float(periods[row]))
        except WallError as error:
            if errors == "raise":
                raise WallError(f"wall {row}: {error}") from None
            failures[row] = str(error)
            continue
        values = result._values
        for name in fields:
            value = values.get(keys[name])
            results[name][row] = ("" if value is None and kinds[name] == "method" else
                                  np.nan if value is None else value)
        for name in ELEMENT_FIELDS:
            results[name][row] = getattr(result, name)
    if errors == "nan":
        results["error"] = failures
    lag = "periodic_thermal_transmittance_time_lag"
    if continuous and lag in results:
        results[lag][...] = _brusk._follow_time_lags(results[lag], periods.astype(float))
    return results


def _selected_fields(fields):
    every = PERIODIC_FIELDS + SEQUENTIAL_FIELDS
    if isinstance(fields, str):
        if fields in ("all", "periodic"):
            return every if fields == "all" else PERIODIC_FIELDS
        raise ValueError(f'fields must be "all", "periodic" or a list of output names, got '
                         f'"{fields}"')
    chosen = [str(name) for name in fields]
    for name in chosen:
        if name not in every:
            known = [f'"{field}"' for field in every]
            raise ValueError(f'unknown output "{name}"; compute_many gives '
                             f'{", ".join(known[:-1])} or {known[-1]}')
    return chosen


def compute_frame(*args, **kwargs) -> "pandas.DataFrame":
    """compute_many() as a ``pandas.DataFrame``, one row per wall."""
    try:
        import pandas
    except ImportError as error:  # pragma: no cover - depends on the machine
        raise ImportError("compute_frame needs pandas; compute_many gives the same arrays") from error
    return pandas.DataFrame(compute_many(*args, **kwargs))


def materials(filter: str = "", *, materials=None) -> list[dict]:
    """Catalogue entries whose key, name, family or source contains ``filter``
    (case-insensitive), as dicts: key, name, family, conductivity [W/(m.K)], density [kg/m3],
    specific_heat [J/(kg.K)], source, and vapour_resistance_factor [-] where the catalogue gives
    one, as ``brusk materials --format json`` lists them. ``materials`` adds catalogue files as
    ``--materials``."""
    return json.loads(_brusk._materials_json(filter, _material_files(materials)))


def quantities() -> list[dict]:
    """Every output quantity as ``brusk quantities --format json`` describes it: a list of
    dicts with ``scope`` ("compute", "zone", "response", "response_summary", "element",
    "moisture" or "bridge"), ``key`` (the dotted path in the JSON
    output), ``type``, ``label``, ``symbol``, ``symbol_unicode``, ``symbol_html``, ``unit`` (of
    the SI value that attributes and arrays hold), ``display_unit`` and ``display_scale`` (what a
    person reads: value × scale), ``decimals``, ``csv_column``, ``definition`` and ``source``."""
    return [dict(q) for q in DESCRIPTION]  # copies: the package's own stays as described


def zone(zone: "str | os.PathLike | dict", *, materials=None) -> dict:
    """The thermal mass of a room or zone, as ``brusk zone --format json`` prints it (parsed):
    each element's faces with every areal heat capacity, and the totals Cm, Am, mass class, TMP
    (SI units: J/K, J/(m2.K); the time constant in hours).

    Args:
        zone: a zone file (.toml or .json) or a dict with the zone-file keys; wall files a
            dict names are found relative to the current folder.
        materials: catalogue files adding to the built-in catalogue, as ``--materials``.
    """
    files = _material_files(materials)
    if isinstance(zone, (str, bytes, os.PathLike)):
        return json.loads(_brusk._zone_file(_path(zone, "zone"), files))
    if not isinstance(zone, dict):
        raise TypeError(f"a zone must be a file name or a dict of zone-file keys, "
                        f"got {type(zone).__name__}")
    name = zone.get("name")
    source = f'zone "{name}"' if isinstance(name, str) else "zone"
    text = json.dumps(zone, ensure_ascii=False, allow_nan=False)
    return json.loads(_brusk._zone_text(text, source, os.getcwd(), files))


def _walls_as_dicts(value):
    """A junction dict with every :class:`Wall` in it replaced by its wall-file keys."""
    if isinstance(value, Wall):
        return value.to_dict()
    if isinstance(value, dict):
        return {key: _walls_as_dicts(item) for key, item in value.items()}
    if isinstance(value, (list, tuple)):
        return [_walls_as_dicts(item) for item in value]
    return value


def bridge(junction: "str | os.PathLike | dict", *, materials=None) -> dict:
    """A two-dimensional thermal bridge (ISO 10211), as ``brusk bridge --format json`` prints it
    for one junction (parsed: heat_flow, coupling_coefficient(s), psi, minimum_surface_temperature,
    f_rsi, probes, grid, ...), with the temperature field added.

    Args:
        junction: a junction file (.toml or .json) or a dict with the junction-file keys
            (docs/thermal-bridges.md); a template's walls (and a flanking element's wall) are
            file names, found relative to the current folder, or the walls themselves: a
            :class:`Wall` or a dict with the wall-file keys.
        materials: catalogue files adding to the built-in catalogue, as ``--materials``.

    Returns:
        the results, plus ``field``: a dict of ``x`` and ``y`` (the grid's node lines [m]) and
        ``temperature``, a NumPy array of shape (len(y), len(x)) [degC], NaN outside the body.

    Raises:
        WallError: with the message ``brusk bridge`` gives.
    """
    files = _material_files(materials)
    text, xs, ys, field = _junction_call(junction, _brusk._bridge_file, _brusk._bridge_text,
                                         files)
    result = json.loads(text)
    result["field"] = {"x": xs, "y": ys, "temperature": field}
    return result


def _junction_call(junction, from_file, from_text, files, *rest):
    """``from_file(path, files, *rest)`` for a junction file, ``from_text(json, source,
    directory, files, *rest)`` for a dict of junction-file keys (its walls as dicts)."""
    if isinstance(junction, (str, bytes, os.PathLike)):
        return from_file(_path(junction, "junction"), files, *rest)
    if isinstance(junction, dict):
        name = junction.get("name")
        source = f'junction "{name}"' if isinstance(name, str) else "junction"
        document = json.dumps(_wall_file_value(_walls_as_dicts(junction)), ensure_ascii=False,
                              allow_nan=False)
        return from_text(document, source, os.getcwd(), files, *rest)
    raise TypeError(f"a junction must be a file name or a dict of junction-file keys, "
                    f"got {type(junction).__name__}")


def check_junction(junction, requirements, *, materials=None) -> dict:
    """Checks a two-dimensional junction (ISO 10211) against a requirement set's rules on
    ``psi`` and ``f_rsi``, as ``brusk check`` does with a junction file.

    Args:
        junction: a junction file or a dict of junction-file keys, as :func:`bridge` takes it.
        requirements: a requirements file, a built-in set's key or TOML text, as :func:`check`
            takes it. A rule that reads only a wall's figures does not apply to a junction.
        materials: catalogue files adding to the built-in catalogue, as ``--materials``.

    Returns:
        the dict ``{"wall", "requirements", "source", "passed", "verdict", "rules": [...]}`` of
        ``brusk check --format json`` for the junction (``wall`` holds its name); ``passed`` is
        None where nothing was checked or a figure is not computable (psi without flanking
        elements, f_rsi without environments named indoor and outdoor).

    Raises:
        WallError: with the message ``brusk check`` gives.
    """
    files = _material_files(materials)
    path, text = _requirements_arguments(requirements)
    answer = _junction_call(junction, _brusk._check_junction_file, _brusk._check_junction_text,
                            files, path, text)
    return json.loads(answer)[0]


def _samples(values, what):
    array = np.asarray(values, dtype=float).ravel()
    if array.size == 0:
        raise WallError(f"{what} has no samples")
    return array.tolist()


def response(wall: "Wall | dict", outdoor, *, indoor=None, indoor_constant: float = 25.0,
             period_hours: float | None = None, solar=None, absorptance: float | None = None,
             emissivity: float | None = None, sky_radiation: float | None = None,
             start_hours: float = 0.0) -> dict:
    """The exact periodic response of a wall to hourly (or any evenly spaced) profiles, as
    ``brusk response --format json`` gives it.

    Args:
        wall: a :class:`Wall` or a dict of wall-file keys.
        outdoor: outdoor (or sol-air) temperatures over one period [degC], evenly spaced.
        indoor: indoor temperatures [degC], evenly spaced over the same period, or None for
            ``indoor_constant``.
        period_hours: the period T [h] the samples span; default 24.
        solar: irradiance on the outer surface [W/m2], one per outdoor sample; with
            ``absorptance`` the outdoor temperature becomes the sol-air temperature.
        absorptance, emissivity, sky_radiation: the outer surface's alpha [-], epsilon [-]
            (default 0.9) and long-wave loss to the sky Delta R [W/m2] (default 0), with
            ``solar`` only: without it they would change nothing, and are refused.
        start_hours: the time of the first sample [h], added to every time.

    Returns:
        a dict with ``name``, ``period`` [h], ``u_value``, ``samples`` (a pandas DataFrame with
        the columns of ``brusk response --format csv``) and ``summary``, the per-wall summary
        quantities of RESPONSE_QUANTITIES (heat flows [W/m2] and their times [h], heat gained
        and lost [kWh/m2], the inner surface extremes, the main harmonic's f and lag, the peak
        delay), None where one is not defined.
    """
    if not isinstance(wall, Wall):
        wall = Wall.from_dict(wall)
    inputs = _brusk._ResponseInputs()
    inputs.outdoor = _samples(outdoor, "outdoor")
    if indoor is not None:
        inputs.indoor = _samples(indoor, "indoor")
    else:
        inputs.indoor_constant = float(indoor_constant)
    if period_hours is not None:
        inputs.period_hours = float(period_hours)
    if solar is not None:
        if absorptance is None:
            raise WallError("solar needs the absorptance alpha [-] of the outer surface, "
                            "as --solar needs --absorptance")
        inputs.solar = _samples(solar, "solar")
        inputs.absorptance = float(absorptance)
    else:
        for name, value in (("absorptance", absorptance), ("emissivity", emissivity),
                            ("sky_radiation", sky_radiation)):
            if value is not None:
                raise WallError(f"{name} has no effect without solar: it describes the outer "
                                f"surface under the sun's irradiance; leave it out")
    inputs.emissivity = 0.9 if emissivity is None else float(emissivity)
    inputs.sky_radiation = 0.0 if sky_radiation is None else float(sky_radiation)
    inputs.start_hours = float(start_hours)
    document = json.loads(_brusk._response(wall._wall, inputs))
    import pandas as pd
    document["samples"] = pd.DataFrame(document["samples"])
    return document


_CLIMATE_COLUMNS = ("month", "outdoor_temperature", "outdoor_relative_humidity",
                    "indoor_temperature", "indoor_relative_humidity")


def _climate_text(rows):
    """Twelve rows (mappings with the climate-file columns) as the climate CSV, so that they are
    read and refused exactly as a file is."""
    if hasattr(rows, "to_dict"):  # a pandas.DataFrame
        rows = rows.to_dict("records")
    rows = list(rows)
    columns = [column for column in _CLIMATE_COLUMNS
               if any(isinstance(row, dict) and column in row for row in rows)]
    extra = sorted({str(key) for row in rows if isinstance(row, dict) for key in row
                    if key not in _CLIMATE_COLUMNS})
    lines = [",".join(columns + extra)]
    for row in rows:
        if not isinstance(row, dict):
            raise TypeError(f"a climate row must be a dict of climate columns, got "
                            f"{type(row).__name__}")
        cells = []
        for column in columns + extra:
            value = row.get(column, "")
            cells.append(repr(float(value)) if isinstance(value, numbers.Real) and
                         not isinstance(value, bool) else str(value).replace(",", " "))
        lines.append(",".join(cells))
    return "\n".join(lines) + "\n"


def _option_number(value, name, what):
    """An optional number as the native call takes it: None stays None (the option left out);
    a real number is passed as a float, as given, for the engine's own check (never rounded or
    cut to an int here: 2.9 is no class 2). A bool or a non-number is refused with TypeError."""
    if value is None:
        return None
    if getattr(value, "shape", None) == () and hasattr(value, "item"):
        value = value.item()  # a 0-d NumPy array or a NumPy scalar
    if isinstance(value, bool) or not isinstance(value, (numbers.Real, decimal.Decimal)):
        raise TypeError(f"{name} must be {what}, got {type(value).__name__} {value!r}")
    try:
        return float(value)
    except OverflowError:  # an int beyond any double: as far out of range as infinity
        return math.inf if value > 0 else -math.inf


def moisture(walls, climate, *, humidity_class=None, indoor_temperature=None):
    """The ISO 13788 moisture assessment of ``brusk moisture``: interstitial condensation by the
    monthly Glaser method and the surface temperature factor against mould.

    Args:
        walls: a :class:`Wall`, or a list of them.
        climate: a climate CSV file (path), or twelve rows as dicts (or a ``pandas.DataFrame``)
            with the columns month, outdoor_temperature, outdoor_relative_humidity,
            indoor_temperature, indoor_relative_humidity (degC, %).
        humidity_class: 1 to 5: the indoor side from ISO 13788 Annex A instead.
        indoor_temperature: with ``humidity_class``, the indoor temperature [degC] (20).

    Returns:
        the dict ``brusk moisture --format json`` prints for one wall (the same keys and
        numbers; water in g/m2), or a list of them for a list of walls.

    Raises:
        WallError: with the message ``brusk moisture`` gives.
    """
    single = isinstance(walls, Wall)
    wall_list = [walls] if single else list(walls)
    for wall in wall_list:
        if not isinstance(wall, Wall):
            raise TypeError(f"walls must be brusk.Wall objects, got {type(wall).__name__}")
    if isinstance(climate, (str, bytes, os.PathLike)):
        path, text, source = _path(climate, "climate"), "", ""
    else:
        path, text, source = "", _climate_text(climate), "climate"
    answer = json.loads(_brusk._moisture(
        [wall._wall for wall in wall_list], path, text, source,
        _option_number(humidity_class, "humidity_class", "1 to 5 (a whole number)"),
        _option_number(indoor_temperature, "indoor_temperature", "a number of degC")))
    if single:
        return answer
    return [answer] if isinstance(answer, dict) else answer


def moisture_frame(walls, climate, **options):
    """moisture() of many walls as a ``pandas.DataFrame``: one row per wall with the year's
    results (max_accumulated, max_month, end_accumulated, dries_out) and the surface check
    (f_rsi, f_rsi_min, critical_month, passes)."""
    try:
        import pandas
    except ImportError as error:  # pragma: no cover - depends on the machine
        raise ImportError("moisture_frame needs pandas; moisture gives the same numbers") from error
    results = moisture(list(walls), climate, **options)
    rows = []
    for result in results:
        rows.append({
            "name": result["name"],
            "max_accumulated": result["max_accumulated"],
            "max_month": result["max_month"],
            "end_accumulated": result["end_accumulated"],
            "dries_out": result["dries_out"],
            "f_rsi": result["surface"]["f_rsi"],
            "f_rsi_min": result["surface"]["f_rsi_min"],
            "critical_month": result["surface"]["critical_month"],
            "passes": result["surface"]["passes"],
        })
    return pandas.DataFrame(rows)


def _requirements_arguments(requirements):
    """(path, text) for _brusk._check: a path-like or a str naming a file is read as a file; a
    built-in key or TOML text (any str holding a newline) is passed as text."""
    if isinstance(requirements, (bytes, os.PathLike)):
        return _path(requirements, "requirements"), ""
    if not isinstance(requirements, str):
        raise TypeError(f"requirements must be a file path, a built-in set's key or TOML text, "
                        f"got {type(requirements).__name__}")
    builtin = {entry["key"] for entry in requirement_sets()}
    if requirements in builtin or "\n" in requirements:
        return "", requirements
    return _path(requirements, "requirements"), ""


def _check_climate_arguments(climate, humidity_class, indoor_temperature):
    """(with_climate, path, text, source, humidity class, indoor temperature) for _brusk._check:
    the climate and its indoor side read as moisture() reads them."""
    if climate is None:
        if humidity_class is not None or indoor_temperature is not None:
            raise ValueError("humidity_class and indoor_temperature give the indoor side of "
                             "climate: give the climate too, or leave them out")
        return False, "", "", "", None, None
    if isinstance(climate, (str, bytes, os.PathLike)):
        path, text, source = _path(climate, "climate"), "", ""
    else:
        path, text, source = "", _climate_text(climate), "climate"
    return (True, path, text, source,
            _option_number(humidity_class, "humidity_class", "1 to 5 (a whole number)"),
            _option_number(indoor_temperature, "indoor_temperature", "a number of degC"))


def requirement_sets() -> list[dict]:
    """The built-in requirement sets: dicts of key, name and source (``brusk check --list``)."""
    return json.loads(_brusk._requirement_sets())


def check(wall, requirements, *, period_hours: float = 24.0, climate=None, humidity_class=None,
          indoor_temperature=None):
    """Checks walls against a requirement set, as ``brusk check --format json`` does.

    Args:
        wall: a :class:`Wall` (or a dict of wall-file keys), or a list of them.
        requirements: a requirements file (path), the key of a built-in set
            (:func:`requirement_sets`), or the TOML text of a requirements file (a str with a
            newline).
        period_hours: the cycle length T [h] of the quantities compared.
        climate: the climate of the moisture results a rule may test (max_accumulated,
            dries_out, surface.f_rsi, ...), as :func:`moisture` takes it: a climate CSV file or
            twelve rows. Refused for a set that tests no moisture result. Without it, such a
            rule is not computable.
        humidity_class: with ``climate``, 1 to 5: the indoor side from ISO 13788 Annex A.
        indoor_temperature: with ``humidity_class``, the indoor temperature [degC] (20).

    Returns:
        for one wall the dict ``{"wall", "requirements", "source", "passed", "verdict",
        "rules": [...]}`` of ``brusk check --format json``; for a list, a list of them.
        ``passed`` is True, False, or None where the verdict is "nothing checked" (no rule
        applies to the wall) or "not computable" (a rule needs a value the wall does not have).

    Raises:
        WallError: with the message ``brusk check`` gives (file and line for a bad file).
    """
    single = not isinstance(wall, (list, tuple))
    walls = [wall] if single else list(wall)
    native = [(w if isinstance(w, Wall) else Wall.from_dict(w))._wall for w in walls]
    path, text = _requirements_arguments(requirements)
    climate_arguments = _check_climate_arguments(climate, humidity_class, indoor_temperature)
    answer = json.loads(_brusk._check(native, path, text, float(period_hours), *climate_arguments))
    return answer[0] if single else answer


def validate():
    """Every built-in validation case (published worked examples and the standards' tables),
    run as ``brusk validate`` runs them, as a ``pandas.DataFrame``: one row per compared figure
    with its case's columns (id, title, standard, kind, file, document, clause, edition, notes,
    problem) and the figure's (quantity, label, at, unit, printed, published, computed,
    tolerance, difference, agrees), named as the last part of their keys in
    :func:`quantities` (scope "validation"). ``frame.attrs`` holds the version and the summary.
    Every figure agrees when ``frame["agrees"].all()``."""
    try:
        import pandas
    except ImportError as error:  # pragma: no cover - depends on the machine
        raise ImportError("validate needs pandas") from error
    run = json.loads(_brusk._validate())
    case_keys = [q["key"] for q in DESCRIPTION if q["scope"] == "validation"
                 and q["key"].startswith("cases.") and not q["key"].startswith("cases.figures.")]
    figure_keys = [q["key"] for q in DESCRIPTION if q["scope"] == "validation"
                   and q["key"].startswith("cases.figures.")]

    def value_at(document, key):
        for part in key.split("."):
            document = document[part]
        return document

    rows = []
    for case in run["cases"]:
        own = {key.rsplit(".", 1)[-1]: value_at(case, key[len("cases."):]) for key in case_keys}
        for figure in case["figures"]:
            row = dict(own)
            row.update({key.rsplit(".", 1)[-1]: figure[key.rsplit(".", 1)[-1]]
                        for key in figure_keys})
            rows.append(row)
    columns = [key.rsplit(".", 1)[-1] for key in case_keys + figure_keys]
    frame = pandas.DataFrame(rows, columns=columns)
    frame["computed"] = frame["computed"].astype(float)  # a figure not computed is NaN
    frame["difference"] = frame["difference"].astype(float)
    frame.attrs["version"] = run["version"]
    frame.attrs["summary"] = run["summary"]
    return frame


def check_many(frame_or_walls, requirements, *, period_hours: float = 24.0, climate=None,
               humidity_class=None, indoor_temperature=None):
    """check() of many walls as a ``pandas.DataFrame``: one row per wall and rule with the
    columns wall, requirements, rule, source, applicable, passed, verdict, class and one column
    per quantity compared (its value in the JSON unit of ``brusk quantities``; None where not
    computable).

    ``frame_or_walls`` is a list of walls (or wall dicts), or a DataFrame whose ``wall`` column
    holds them; ``climate``, ``humidity_class`` and ``indoor_temperature`` as check() takes
    them."""
    try:
        import pandas
    except ImportError as error:  # pragma: no cover - depends on the machine
        raise ImportError("check_many needs pandas; check gives the same verdicts") from error
    if hasattr(frame_or_walls, "columns"):
        if "wall" not in frame_or_walls.columns:
            raise ValueError("a DataFrame for check_many needs a 'wall' column of walls")
        walls = list(frame_or_walls["wall"])
    else:
        walls = list(frame_or_walls)
    rows = []
    for result in check(walls, requirements, period_hours=period_hours, climate=climate,
                        humidity_class=humidity_class, indoor_temperature=indoor_temperature):
        for rule in result["rules"]:
            row = {
                "wall": result["wall"],
                "requirements": result["requirements"],
                "rule": rule["id"],
                "source": rule["source"],
                "applicable": rule["applicable"],
                "passed": rule["passed"],
                "verdict": rule["verdict"],
                "class": rule.get("class"),
            }
            row.update(rule["values"])
            rows.append(row)
    return pandas.DataFrame(rows)


def report(walls: "Wall | list[Wall]", path: "str | os.PathLike", *, title: str = "Brusk report",
           amplitude: float = 1.0, period_hours: float = 24.0, project: str = "",
           element: str = "", author: str = "") -> None:
    """Writes the HTML report of ``brusk report`` for one wall or several to ``path``, ending
    with its provenance: Brusk's version, the date, the files the walls were read from with
    their SHA-256, the standards applied and the conventions.

    Args:
        walls: a :class:`Wall` or a dict of wall-file keys, or a list of them.
        path: the HTML file, replaced atomically; never a file a wall was read from (its wall
            or catalogue file), as ``brusk report -o`` refuses.
        title: page title and heading.
        amplitude: outdoor and indoor temperature swing of the response plots [K].
        period_hours: cycle length T [h] of the results table and the swing plots, as
            ``brusk report --period``.
        project, element, author: named in the provenance, as ``brusk report --project``,
            ``--element`` and ``--author``.
    """
    if not hasattr(_brusk, "_report"):  # pragma: no cover - depends on the build
        raise WallError("this brusk was built without the HTML report library")
    if isinstance(walls, (Wall, dict)):
        walls = [walls]
    walls = [wall if isinstance(wall, Wall) else Wall.from_dict(wall) for wall in walls]
    _brusk._report([wall._wall for wall in walls], _path(path, "path"), title, float(amplitude),
                   float(period_hours), str(project), str(element), str(author))
