"""The result of compute(): every characteristic of one wall at one cycle length, its
attributes named as the JSON keys of ``brusk compute`` (a dotted key is a path of attributes)
and documented from the quantity description, in SI units (time shifts and lags in hours)."""

import json
import math

from . import _brusk

#: The quantity description, parsed once for the package (see brusk.quantities()).
DESCRIPTION = tuple(json.loads(_brusk._quantities_json()))
_QUANTITIES = tuple(q for q in DESCRIPTION if q["scope"] == "compute")


def _described(key):
    """The description's label, symbol, SI unit and definition with its clause."""
    for q in _QUANTITIES:
        if q["key"] == key:
            unit = f" [{q['unit']}]" if q["unit"] else ""
            symbol = f" {q['symbol_unicode']}" if q["symbol_unicode"] else ""
            return f"{q['label']}{symbol}{unit}: {q['definition']} ({q['source']})"
    raise KeyError(key)


class _Group:
    """Values of a result that the JSON output groups in one object, read-only."""
    __slots__ = ("_values",)

    def __init__(self, **values):
        self._values = values


def _attributes(docs):
    """Gives a group class one documented read-only attribute per entry of `docs`."""
    def add(cls):
        for name, doc in docs.items():
            setattr(cls, name, property(lambda self, name=name: self._values[name], doc=doc))
        return cls
    return add


@_attributes({"value": "complex value [W/(m2.K)]", "modulus": "modulus |Y| [W/(m2.K)]",
              "time_shift": "ISO 13786 time shift (T / 2 pi) arg(Y) [h]"})
class PeriodicQuantity(_Group):
    """A periodic quantity of the wall: its complex value, modulus and time shift."""
    __slots__ = ()

    def __repr__(self):
        text = (f"<brusk.{type(self).__name__} modulus={self.modulus:.6g} W/(m2.K), "
                f"time shift={self.time_shift:.6g} h")
        if isinstance(self, Transmittance):
            text += f", time lag={self.time_lag:.6g} h"
        return text + ">"


@_attributes({"time_lag": _described("periodic_thermal_transmittance.time_lag")})
class Transmittance(PeriodicQuantity):
    """The periodic thermal transmittance Y12."""
    __slots__ = ()


@_attributes({name: _described(f"transfer_matrix.{name}") for name in ("z11", "z12", "z21",
                                                                       "z22")})
class TransferMatrix(_Group):
    """The ISO 13786 heat transfer matrix Z."""
    __slots__ = ()

    def __repr__(self):
        return (f"<brusk.TransferMatrix z11={self.z11:.6g} z12={self.z12:.6g} m2.K/W "
                f"z21={self.z21:.6g} W/(m2.K) z22={self.z22:.6g}>")


@_attributes({"value": "capacity [J/(m2.K)], None where no rule gives an estimate",
              "method": "the rule that produced it, \"none\" without an estimate"})
class Estimate(_Group):
    """A sequential heat capacity estimate of side 1."""
    __slots__ = ()

    def __repr__(self):
        if self.value is None:
            return "<brusk.Estimate none: no rule gives an estimate>"
        return f"<brusk.Estimate {self.value / 1000:.6g} kJ/(m2.K) by {self.method!r}>"


@_attributes({"daily": "for the one-day cycle", "twelve_day": "for the twelve-day cycle"})
class SequentialHeatCapacity(_Group):
    """Sequential heat capacity estimates of side 1."""
    __slots__ = ()

    def __repr__(self):
        return (f"<brusk.SequentialHeatCapacity daily={self.daily!r} "
                f"twelve_day={self.twelve_day!r}>")


# The class of each group of keys: a JSON object of `brusk compute`.
_GROUPS = {
    "periodic_thermal_transmittance": Transmittance,
    "internal_admittance": PeriodicQuantity,
    "external_admittance": PeriodicQuantity,
    "transfer_matrix": TransferMatrix,
    "sequential_heat_capacity": SequentialHeatCapacity,
    "sequential_heat_capacity.daily": Estimate,
    "sequential_heat_capacity.twelve_day": Estimate,
}


def _grouped(values, prefix):
    """The attribute at `prefix`: the value of a key, or the group of the keys below it."""
    if prefix in values:
        return values[prefix]
    below = {key[len(prefix) + 1:].split(".")[0] for key in values
             if key.startswith(prefix + ".")}
    return _GROUPS[prefix](**{name: _grouped(values, f"{prefix}.{name}") for name in below})


class Result:
    """Every characteristic of one wall at one period; attributes are named as the JSON keys
    of `brusk compute`, in SI units (time shifts in hours)."""

    __slots__ = ("_native", "_read", "_wall", "_period_hours")

    def __init__(self, native, wall, period_hours):
        self._native = native
        self._read = None
        # A result pickles as its wall and cycle: the engine gives the same bits on loading.
        self._wall = wall
        self._period_hours = period_hours

    @property
    def _values(self):
        """Every value by its key, read from the engine's result on first use."""
        if self._read is None:
            self._read = self._native._values()
        return self._read

    @property
    def name(self):
        return self._native.name

    def to_dict(self):
        """The result as ``brusk compute --format json`` prints it, parsed: the same doubles."""
        return json.loads(self._native._json())

    def __str__(self):
        """The table ``brusk compute`` prints."""
        return self._native._table()

    def __repr__(self):
        return (f'<brusk.Result "{_brusk._visible_text(self.name)}" U={self.u_value!r} '
                f"f={self.decrement_factor!r}>")

    def __reduce__(self):
        from . import compute
        return (compute, (self._wall, self._period_hours))

    def _repr_html_(self):
        """A Jupyter table of the result: one row per number of the quantity description,
        with its label, symbol and display unit, as the report and the page show it."""
        rows = []
        for q in _QUANTITIES:
            if q["type"] != "number":
                continue
            value = self._values.get(q["key"])
            shown = ("–" if value is None or not math.isfinite(value)
                     else f"{value * q['display_scale']:.{q['decimals']}f}")
            rows.append(f"<tr><th style=\"text-align:left\">{_escaped(q['label'])}</th>"
                        f"<td>{q['symbol_html']}</td><td style=\"text-align:right\">{shown}</td>"
                        f"<td>{_escaped(q['display_unit_unicode'])}</td></tr>")
        return (f"<table><caption>{_escaped(_brusk._visible_text(self.name))}</caption><tbody>"
                + "".join(rows) + "</tbody></table>")


def _escaped(text):
    return (str(text).replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")
            .replace('"', "&quot;"))


def _attribute(key, doc):
    return property(lambda self: _grouped(self._values, key), doc=doc)


# The combined method's figures of ISO 6946: an element's own, and for a plain wall those the
# method gives one (R'_T = R''_T = R_T, e = 0, Uc = U).
_ELEMENT = {q["key"]: q for q in DESCRIPTION if q["scope"] == "element"}


def _element_attribute(key, plain):
    q = _ELEMENT[key]
    doc = f"{q['label']} {q['symbol_unicode']} [{q['unit']}]: {q['definition']} ({q['source']})"

    def get(self):
        values = self._values
        return values[key] if key in values else plain(values)
    return property(get, doc=doc)


Result.thermal_resistance_upper = _element_attribute(
    "thermal_resistance_upper", lambda values: values["thermal_resistance"])
Result.thermal_resistance_lower = _element_attribute(
    "thermal_resistance_lower", lambda values: values["thermal_resistance"])
Result.relative_error = _element_attribute("relative_error", lambda values: 0.0)
Result.u_value_corrected = _element_attribute("u_value_corrected",
                                              lambda values: values["u_value"])

# One attribute per top-level key of the description; a group is documented by its first key.
for _key in dict.fromkeys(q["key"].split(".")[0] for q in _QUANTITIES):
    _first = next(q["key"] for q in _QUANTITIES if q["key"].split(".")[0] == _key)
    setattr(Result, _key, _attribute(_key, _described(_first)))
