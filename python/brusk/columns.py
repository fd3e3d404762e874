"""Many walls as columns: the arrays of compute_many() and response_many() laid out as the
engine reads them in place, and compute_many()'s outputs made or checked for reuse.

The engine steps through every array in whole doubles, so each input becomes a float64 array
whose strides are multiples of 8 bytes (a plain or sliced array as it is; anything else, a
field of a structured array say, as a contiguous copy). The tables are (walls, layers); a
per-wall value is one number for every wall or a (walls,) array.
"""

import operator
import os

import numpy as np

from . import _brusk

#: (CSV column, kind, needs the sequential estimates) of every output, in the order of the
#: quantity description; kind is "real", "complex" or "method".
OUTPUTS = tuple(tuple(output) for output in _brusk._column_outputs())
_KINDS = {name: kind for name, kind, _ in OUTPUTS}
_DTYPES = {"real": np.dtype(np.float64), "complex": np.dtype(np.complex128),
           "method": np.dtype(np.int8)}
_TABLES = ("thickness", "conductivity", "density", "specific_heat", "thermal_resistance")
_PER_WALL = ("layer_count", "rsi", "rse", "partition", "period_hours")
_PAGE = 4096  # bytes; the smallest page size


def _doubles(value, refusal):
    # A complex number has no one value to take; casting would drop its imaginary part.
    if np.iscomplexobj(value):
        raise TypeError(f"{refusal}, of real numbers")
    try:
        array = np.asarray(value, dtype=np.float64)
    except (TypeError, ValueError):
        raise TypeError(refusal) from None
    if array.ctypes.data % 8 or any(stride % 8 for stride in array.strides):
        array = np.ascontiguousarray(array)
    return array


def wall_columns(**arrays):
    """The inputs given (keyword arguments named as compute_many's; None: not given) as
    a dict of arrays the engine reads in place, with their shapes checked."""
    columns = {}
    for name in _TABLES:
        if name == "thermal_resistance" and arrays.get(name) is None:
            continue
        shape_words = f"{name} must be a 2-D array of shape (walls, layers)"
        table = _doubles(arrays[name], shape_words)
        if table.ndim != 2:
            raise ValueError(shape_words)
        if columns and table.shape != columns["thickness"].shape:
            raise ValueError(f"{name} must have the shape of thickness, "
                             f"{columns['thickness'].shape}")
        columns[name] = table
    walls, layers = columns["thickness"].shape
    if layers > _brusk.MAX_LAYERS:
        raise _brusk.WallError(f"{layers} layer columns, more than the {_brusk.MAX_LAYERS} a "
                               "wall may have")
    for name in _PER_WALL:
        if arrays.get(name) is None:
            continue
        column = _doubles(arrays[name], f"{name} must be a number or an array")
        if column.ndim != 0 and column.shape != (walls,):
            raise ValueError(f"{name} must be a number or an array of shape ({walls},), one "
                             "per wall")
        columns[name] = column
    return columns


def output_arrays(names, walls, out, columns, threads):
    """The arrays the engine writes `names` into: those of `out` (an earlier call's dict),
    checked to be writeable in place and to share no memory with an input or with each other,
    and new ones for the rest, their pages touched first.

    A new array's pages are mapped and cleared by the operating system on their first write,
    and threads doing that at once contend in the kernel: on 2 cores the outputs of a million
    walls (184 MB) took 66 to 700 ms when two threads faulted them in while computing, against
    27 ms touched first on one thread."""
    if out is not None and not isinstance(out, dict):
        raise TypeError("out must be the dict of an earlier compute_many call (output names to "
                        f"NumPy arrays), got {type(out).__name__}")
    arrays, fresh = {}, []
    wanted = set(names)
    # In the description's order whatever the order asked, as compute_frame's columns read.
    for name in (output[0] for output in OUTPUTS if output[0] in wanted):
        dtype = _DTYPES[_KINDS[name]]
        given = None if out is None or _KINDS[name] == "method" else out.get(name)
        if given is None:
            arrays[name] = np.empty(walls, dtype=dtype)
            fresh.append(arrays[name])
            continue
        if not (isinstance(given, np.ndarray) and given.shape == (walls,) and
                given.dtype == dtype and given.flags.writeable and given.flags.c_contiguous):
            raise ValueError(f'out["{name}"] must be a writeable contiguous NumPy array of '
                             f"{dtype} in native byte order and shape ({walls},)")
        # Written in place: an output over an input would overwrite what it reads, and two
        # outputs in one array would keep only the last written.
        for other, array in arrays.items():
            if np.may_share_memory(given, array):
                raise ValueError(f'out["{name}"] shares its memory with out["{other}"]; each '
                                 "output needs an array of its own")
        for other, array in columns.items():
            if np.may_share_memory(given, array):
                raise ValueError(f'out["{name}"] shares its memory with the input {other}, '
                                 "which the results would overwrite")
        arrays[name] = given
    if fresh and _brusk._column_threads(walls, threads) > 1:
        for array in fresh:
            array.view(np.uint8)[::_PAGE] = 0
    return arrays


def check_errors(errors):
    """``errors`` as compute_many and response_many take it."""
    if errors not in ("raise", "nan"):
        raise ValueError(f'errors must be "raise" or "nan", got "{errors}"')


def thread_count(threads):
    """``threads`` as compute_many runs them: a whole number, 0 for one per core, capped at
    four per core as ``brusk batch --jobs`` is (more only cost memory and switching)."""
    try:
        count = operator.index(threads)
    except TypeError:
        raise TypeError("threads must be a whole number of threads (0: one per core), got "
                        f"{threads!r}") from None
    if count < 0:
        raise ValueError(f"threads must be a whole number of threads (0: one per core), got {count}")
    return min(count, 4 * (os.cpu_count() or 1))
