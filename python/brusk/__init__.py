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

import json
import math
import numbers
import os

from . import _brusk
from ._brusk import (
    Estimate,
    PeriodicQuantity,
    Result,
    SequentialHeatCapacity,
    TransferMatrix,
    Transmittance,
    WallError,
)

__all__ = [
    "Layer",
    "Wall",
    "WallError",
    "Result",
    "compute",
    "compute_element",
    "compute_many",
    "compute_frame",
    "materials",
    "report",
    "PERIODIC_FIELDS",
    "SEQUENTIAL_FIELDS",
]
__version__ = "0.2.0"

#: Outputs of compute_many() without the sequential estimates (fields="periodic").
PERIODIC_FIELDS = tuple(_brusk.PERIODIC_FIELDS)
#: Outputs of compute_many() that need the sequential estimates.
SEQUENTIAL_FIELDS = tuple(_brusk.SEQUENTIAL_FIELDS)


def _material_files(materials):
    if materials is None:
        return []
    if isinstance(materials, (str, os.PathLike)):
        return [os.fspath(materials)]
    return [os.fspath(path) for path in materials]


def _wall_file_value(value):
    """A Python value as the wall-file JSON holds it. A non-finite number, which JSON cannot
    hold, is passed as its text so the reader refuses it as it refuses any non-number."""
    if isinstance(value, bool) or value is None or isinstance(value, str):
        return value
    if isinstance(value, numbers.Integral):
        return int(value)
    if isinstance(value, numbers.Real):
        number = float(value)
        return number if math.isfinite(number) else repr(number)
    if isinstance(value, Layer):
        return _wall_file_value(value.to_dict())
    if isinstance(value, dict):
        return {str(key): _wall_file_value(item) for key, item in value.items()}
    if isinstance(value, (list, tuple)):
        return [_wall_file_value(item) for item in value]
    return str(value)


class Layer:
    """One layer: a slab, a catalogue material, or a pure thermal resistance.

    Args:
        thickness: d [m].
        conductivity: lambda [W/(m.K)].
        density: rho [kg/m3].
        specific_heat: c [J/(kg.K)].
        material: a catalogue key (see :func:`materials`); the properties given override it.
        thermal_resistance: R [m2.K/W] of a massless layer such as an air gap.
        name: what a person reads; defaults as in a wall file.
        family: one of the material families, for drawing.

    The values are checked when the layer is put in a :class:`Wall`, by the wall-file reader.
    """

    _KEYS = ("name", "material", "thickness", "conductivity", "density", "specific_heat",
             "thermal_resistance", "family")

    def __init__(self, thickness=None, conductivity=None, density=None, specific_heat=None, *,
                 material=None, thermal_resistance=None, name=None, family=None):
        self.thickness = thickness
        self.conductivity = conductivity
        self.density = density
        self.specific_heat = specific_heat
        self.material = material
        self.thermal_resistance = thermal_resistance
        self.name = name
        self.family = family

    def to_dict(self):
        """The layer as a wall file writes it: only the keys given."""
        return {key: getattr(self, key) for key in self._KEYS if getattr(self, key) is not None}

    def __repr__(self):
        items = ", ".join(f"{key}={value!r}" for key, value in self.to_dict().items())
        return f"brusk.Layer({items})"


class Wall:
    """A wall: layers from side 1 (the inner face) outward, where it stands, and names.

    Args:
        layers: :class:`Layer` objects or dicts with the wall-file layer keys.
        position: "external" (side 2 outdoors) or "internal" (a partition).
        heat_flow: "horizontal", "upward" or "downward"; selects the surface resistances.
        rsi: Rsi [m2.K/W] instead of the ISO 6946 convention.
        rse: Rse [m2.K/W] instead of the ISO 6946 convention.
        name: the wall's name in results and reports.
        materials: catalogue files (TOML) adding to the built-in catalogue, as ``--materials``.

    Raises:
        WallError: with the message ``brusk compute`` gives for the same wall file.
    """

    def __init__(self, layers, position="external", heat_flow="horizontal", rsi=None, rse=None,
                 name=None, *, materials=None):
        document = {"layers": list(layers), "position": position, "heat_flow": heat_flow}
        if rsi is not None:
            document["rsi"] = rsi
        if rse is not None:
            document["rse"] = rse
        if name is not None:
            document["name"] = name
        self._wall = Wall._parse(document, materials)._wall

    @classmethod
    def _wrap(cls, native):
        wall = cls.__new__(cls)
        wall._wall = native
        return wall

    @classmethod
    def _parse(cls, document, materials):
        if not isinstance(document, dict):
            raise TypeError(f"a wall must be a dict of wall-file keys, got {type(document).__name__}")
        name = document.get("name")
        source = f'wall "{name}"' if isinstance(name, str) else "wall"
        text = json.dumps(_wall_file_value(document), ensure_ascii=False, allow_nan=False)
        return cls._wrap(_brusk._parse_wall(text, source, _material_files(materials)))

    @classmethod
    def from_file(cls, path, *, materials=None):
        """Reads a wall file (.toml or .json) with the reader of ``brusk compute``."""
        return cls._wrap(_brusk._load_wall(os.fspath(path), _material_files(materials)))

    @classmethod
    def from_dict(cls, document, *, materials=None):
        """A wall from a dict with the wall-file keys (name, position, heat_flow, rsi, rse,
        layers)."""
        return cls._parse(document, materials)

    @property
    def name(self):
        return self._wall.name

    @property
    def position(self):
        return self._wall.position

    @property
    def heat_flow(self):
        return self._wall.heat_flow

    @property
    def rsi(self):
        """The Rsi override [m2.K/W], or None for the convention."""
        return self._wall.rsi

    @property
    def rse(self):
        """The Rse override [m2.K/W], or None for the convention."""
        return self._wall.rse

    @property
    def layers(self):
        """The layers as read, side 1 first, as dicts of wall-file keys."""
        return self._wall.layers

    def to_dict(self):
        """The wall with the wall-file keys; Wall.from_dict(w.to_dict()) is the same wall."""
        document = {"name": self.name, "position": self.position, "heat_flow": self.heat_flow}
        if self.rsi is not None:
            document["rsi"] = self.rsi
        if self.rse is not None:
            document["rse"] = self.rse
        document["layers"] = [
            {key: value for key, value in layer.items() if key != "material"}
            for layer in self.layers
        ]
        return document

    def __repr__(self):
        return f"<brusk.Wall {self.name!r}: {len(self.layers)} layers, {self.position}>"


def compute(wall, period_hours=24.0):
    """Computes a wall at a cycle of ``period_hours`` [h] with the engine.

    Returns a :class:`Result` whose attributes are named as the JSON keys of
    ``brusk compute``; ``result.to_dict()`` equals ``brusk compute --format json``.

    Raises:
        WallError: when the engine refuses the wall, with the message the CLI prints.
    """
    if not isinstance(wall, Wall):
        wall = Wall.from_dict(wall)
    return _brusk._compute(wall._wall, float(period_hours))


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


def _result_to_dict(self):
    """The result as ``brusk compute --format json`` prints it, parsed: the same doubles."""
    return json.loads(self._json())


Result.to_dict = _result_to_dict


def compute_many(thickness, conductivity, density, specific_heat, *, layer_count=None,
                 thermal_resistance=None, rsi=None, rse=None, partition=None,
                 heat_flow="horizontal", period_hours=24.0, fields="all", threads=0,
                 errors="raise", out=None, kernel="vector"):
    """Computes many walls at once, in the engine, on every core, without the GIL.

    Args:
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
        threads: worker threads; 0 uses every core.
        errors: "raise" raises WallError naming the first invalid row and why; "nan" gives
            NaN for invalid rows and their messages in an "error" array ("" for valid rows).
        out: the dict of an earlier call on as many walls: its float64 and complex128 arrays
            are written over and returned instead of new ones, whose memory the operating
            system must first clear (a quarter of the time of a large study).
        kernel: "vector" (default) computes the walls eight or four at a time with the
            engine's many-wall kernel, within a few ulps (1e-12 relative) of compute();
            "scalar" uses compute()'s own kernel, giving exactly its doubles.

    Returns:
        A dict of NumPy arrays of shape (walls,), named as ``brusk compute --format csv``
        names its columns; the transfer matrix elements as complex128.
    """
    return _brusk._compute_many(thickness, conductivity, density, specific_heat, layer_count,
                                thermal_resistance, rsi, rse, partition, heat_flow,
                                period_hours, fields, int(threads), errors, out, kernel)


def compute_frame(*args, **kwargs):
    """compute_many() as a ``pandas.DataFrame``, one row per wall."""
    try:
        import pandas
    except ImportError as error:  # pragma: no cover - depends on the machine
        raise ImportError("compute_frame needs pandas; compute_many gives the same arrays") from error
    return pandas.DataFrame(compute_many(*args, **kwargs))


def materials(filter="", *, materials=None):
    """Catalogue entries whose key, name, family or source contains ``filter``
    (case-insensitive), as dicts: key, name, family, conductivity [W/(m.K)], density [kg/m3],
    specific_heat [J/(kg.K)], source. ``materials`` adds catalogue files as ``--materials``."""
    return _brusk._materials(filter, _material_files(materials))


def report(walls, path, *, title="Brusk report", amplitude=1.0):
    """Writes the HTML report of ``brusk report`` for one wall or several to ``path``.

    Args:
        walls: a :class:`Wall` or a list of them.
        path: the HTML file, replaced atomically.
        title: page title and heading.
        amplitude: outdoor and indoor temperature swing of the response plots [K].
    """
    if not hasattr(_brusk, "_report"):  # pragma: no cover - depends on the build
        raise WallError("this brusk was built without the HTML report library")
    if isinstance(walls, Wall):
        walls = [walls]
    _brusk._report([wall._wall for wall in walls], os.fspath(path), title, float(amplitude))
