"""Many walls' periodic response to one pair of temperature profiles (ISO 13786 harmonics).

A year of hourly weather, taken as periodic, through every wall of a building stock: each wall's
heat flow into the room q_in [W/m2] and inner surface temperature theta_si [degC] at every
sample, and the figures a study keeps of them (see RESPONSE_QUANTITIES).
"""

import numpy

from . import _brusk, columns
from .result import DESCRIPTION

#: The summary quantities of response_many(): dicts of key, label, symbol, unit, definition.
RESPONSE_QUANTITIES = tuple(
    {key: q[key] for key in ("key", "label", "symbol", "unit", "definition")}
    for q in DESCRIPTION if q["scope"] == "response_summary")


def response_many(thickness, conductivity, density, specific_heat, *, outdoor, indoor=None,
                  indoor_constant=None, layer_count=None, thermal_resistance=None, rsi=None,
                  rse=None, partition=None, heat_flow="horizontal", period_hours=None,
                  refinement=1, series=True, threads=0, errors="raise"):
    """The periodic response of many walls to the same indoor and outdoor profiles.

    Each profile holds N samples equally spaced over the period, taken as periodic (the
    periodic steady state needs no warm-up); its harmonics go through each wall's ISO 13786
    matrices at the periods T / k, computed by the engine's many-wall kernel with the
    harmonics as lanes, and the series come back by inverse FFT.

    Args:
        thickness, conductivity, density, specific_heat, layer_count, thermal_resistance,
            rsi, rse, partition, heat_flow: the walls, with the array conventions of
            compute_many() (shape (walls, layers), NaN padding, NaN rsi/rse for the
            convention).
        outdoor: theta_e [degC] (the sol-air temperature of a sunlit wall), 1-D.
        indoor: theta_i [degC], 1-D, its own sample count; or indoor_constant [degC]
            (default 20 when neither is given).
        period_hours: the period T [h]; default one hour per sample of the longer profile.
        refinement: output samples per step of the longer profile (1: its own times).
        series: False leaves out the (walls, samples) arrays, for studies of many walls that
            keep only the summaries.
        threads: worker threads; 0 uses every core.
        errors: "raise" raises WallError naming the first invalid row and why; "nan" gives
            NaN for invalid rows and their messages in an "error" list.

    Returns:
        A dict of NumPy arrays: "time" [h] of shape (samples,); "heat_flow_in" [W/m2] and
        "inner_surface_temperature" [degC] of shape (walls, samples); and one array of shape
        (walls,) per summary quantity, named by its key in RESPONSE_QUANTITIES (units there:
        heat in kWh/m2, times in hours from the start of the profiles).
    """
    columns.check_errors(errors)
    walls = columns.wall_columns(
        thickness=thickness, conductivity=conductivity, density=density,
        specific_heat=specific_heat, thermal_resistance=thermal_resistance,
        layer_count=layer_count, rsi=rsi, rse=rse, partition=partition)
    outdoor = numpy.ascontiguousarray(numpy.asarray(outdoor, dtype=numpy.float64))
    if indoor is not None and indoor_constant is not None:
        raise ValueError("give indoor or indoor_constant, not both")
    if indoor is None:
        indoor = [20.0 if indoor_constant is None else float(indoor_constant)]
    indoor = numpy.ascontiguousarray(numpy.asarray(indoor, dtype=numpy.float64))
    if outdoor.ndim != 1 or indoor.ndim != 1:
        raise ValueError("outdoor and indoor must be 1-D arrays of temperatures")
    if period_hours is None:
        period_hours = float(max(outdoor.size, indoor.size))
    refinement = int(refinement)
    if refinement < 1:
        raise ValueError(f"refinement must be at least 1, got {refinement}")
    return _brusk._response_many(walls, heat_flow, outdoor, indoor, float(period_hours),
                                 refinement, columns.thread_count(threads), errors == "raise", bool(series))


def response_frame(*args, **kwargs):
    """The summaries of response_many() as a ``pandas.DataFrame``, one row per wall."""
    try:
        import pandas
    except ImportError as error:  # pragma: no cover - depends on the machine
        raise ImportError("response_frame needs pandas; response_many gives the arrays") from error
    kwargs["series"] = False
    result = response_many(*args, **kwargs)
    columns = {quantity["key"]: result[quantity["key"]] for quantity in RESPONSE_QUANTITIES}
    if "error" in result:
        columns["error"] = result["error"]
    return pandas.DataFrame(columns)
