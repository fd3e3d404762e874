#!/usr/bin/env python3
"""Speed of the Python package on random three-layer walls: compute_many() against a
straightforward pure-NumPy vectorised implementation of the same ISO 13786 formulas, and a
per-wall Python loop calling brusk.compute(). Prints walls/s and the ratios of one run.

    PYTHONPATH=build/python /usr/bin/python3 bench/python_benchmark.py [--walls 1000000]
"""

import argparse
import os
import time

import numpy as np

import brusk

SECONDS_PER_HOUR = 3600.0


def random_walls(count, seed=1):
    """Building-like stacks of three slabs, side 1 first."""
    rng = np.random.default_rng(seed)
    shape = (count, 3)
    return {"thickness": rng.uniform(0.01, 0.3, shape),
            "conductivity": rng.uniform(0.03, 2.0, shape),
            "density": rng.uniform(20.0, 2500.0, shape),
            "specific_heat": rng.uniform(800.0, 2000.0, shape)}


def numpy_periodic(thickness, conductivity, density, specific_heat, rsi=0.13, rse=0.04,
                   period=86400.0):
    """The comparison: ISO 13786 with complex128 arrays, one layer column at a time.

    Layer matrix with xi = d / delta, delta = sqrt(lambda T / (pi rho c)) [m]:
      Z11 = Z22 = cosh(xi) cos(xi) + i sinh(xi) sin(xi)
      Z12 = -delta / (2 lambda) [sinh cos + cosh sin + i (cosh sin - sinh cos)]
      Z21 = -lambda / delta [sinh cos - cosh sin + i (sinh cos + cosh sin)]
    Z = Zs2 Z_N ... Z_1 Zs1 with Zs = [[1, -R], [0, 1]]; Y12 = -1 / Z12, Y11 = -Z11 / Z12,
    Y22 = -Z22 / Z12, kappa = T / (2 pi) |(Zii - 1) / Z12|, f = |Y12| / U.
    """
    walls = thickness.shape[0]
    one = np.ones(walls, dtype=np.complex128)
    zero = np.zeros(walls, dtype=np.complex128)
    # Z so far = Zs1: [[1, -Rsi], [0, 1]]
    a, b, c, d = one.copy(), -rsi * one, zero.copy(), one.copy()
    resistance = rsi + rse
    for layer in range(thickness.shape[1]):
        lam = conductivity[:, layer]
        delta = np.sqrt(lam * period / (np.pi * density[:, layer] * specific_heat[:, layer]))
        xi = thickness[:, layer] / delta
        ch, sh, co, si = np.cosh(xi), np.sinh(xi), np.cos(xi), np.sin(xi)
        z11 = ch * co + 1j * (sh * si)
        z12 = -delta / (2.0 * lam) * ((sh * co + ch * si) + 1j * (ch * si - sh * co))
        z21 = -lam / delta * ((sh * co - ch * si) + 1j * (sh * co + ch * si))
        a, b, c, d = z11 * a + z12 * c, z11 * b + z12 * d, z21 * a + z11 * c, z21 * b + z11 * d
        resistance = resistance + thickness[:, layer] / lam
    a, b = a - rse * c, b - rse * d  # Zs2 on the outside
    y12 = -1.0 / b
    y11 = -a / b
    y22 = -d / b
    u = 1.0 / resistance
    cycle = period / SECONDS_PER_HOUR
    shift12 = cycle * np.angle(y12) / (2.0 * np.pi)
    lag = np.mod(-shift12, cycle)
    return {"u_value": u, "decrement_factor": np.abs(y12) / u,
            "periodic_thermal_transmittance_time_lag": lag,
            "periodic_thermal_transmittance_time_shift": shift12,
            "internal_admittance_modulus": np.abs(y11),
            "internal_admittance_time_shift": cycle * np.angle(y11) / (2.0 * np.pi),
            "external_admittance_modulus": np.abs(y22),
            "external_admittance_time_shift": cycle * np.angle(y22) / (2.0 * np.pi),
            "internal_areal_heat_capacity": period / (2.0 * np.pi) * np.abs((a - 1.0) / b),
            "external_areal_heat_capacity": period / (2.0 * np.pi) * np.abs((d - 1.0) / b),
            "transfer_matrix_z11": a, "transfer_matrix_z12": b,
            "transfer_matrix_z21": c, "transfer_matrix_z22": d}


def best_seconds(function, repeats):
    """The shortest wall-clock time of `repeats` calls."""
    return best_times(function, repeats)[0]


def best_times(function, repeats):
    """The shortest wall-clock time of `repeats` calls and the CPU time of this process (all
    threads) in that call: on a shared machine the CPU time tells what idle cores would do."""
    best = (float("inf"), float("inf"))
    for _ in range(repeats):
        start, start_cpu = time.perf_counter(), time.process_time()
        function()
        elapsed = (time.perf_counter() - start, time.process_time() - start_cpu)
        best = min(best, elapsed)
    return best


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--walls", type=int, default=1_000_000)
    parser.add_argument("--loop-walls", type=int, default=20_000)
    parser.add_argument("--repeats", type=int, default=3)
    parser.add_argument("--threads", type=int, default=0)
    options = parser.parse_args()

    walls = random_walls(options.walls)
    many = lambda fields: brusk.compute_many(**walls, fields=fields, threads=options.threads)

    # The comparison computes what compute_many does: check it before timing either.
    ours = many("periodic")
    theirs = numpy_periodic(**walls)
    for name, values in theirs.items():
        if not np.allclose(values, ours[name], rtol=1e-9, atol=1e-12):
            raise SystemExit(f"the NumPy comparison disagrees with compute_many on {name}")

    periodic, periodic_cpu = best_times(lambda: many("periodic"), options.repeats)
    reused, reused_cpu = best_times(
        lambda: brusk.compute_many(**walls, fields="periodic", threads=options.threads, out=ours),
        options.repeats)
    everything = best_seconds(lambda: many("all"), options.repeats)
    vectorised, vectorised_cpu = best_times(lambda: numpy_periodic(**walls), options.repeats)

    loop = {k: v[:options.loop_walls] for k, v in walls.items()}
    documents = [{"layers": [{"thickness": loop["thickness"][i, j],
                              "conductivity": loop["conductivity"][i, j],
                              "density": loop["density"][i, j],
                              "specific_heat": loop["specific_heat"][i, j]} for j in range(3)]}
                 for i in range(options.loop_walls)]
    prebuilt = [brusk.Wall.from_dict(document) for document in documents]
    loop_build = best_seconds(
        lambda: [brusk.compute(brusk.Wall.from_dict(d)).decrement_factor for d in documents], 1)
    loop_compute = best_seconds(
        lambda: [brusk.compute(w).decrement_factor for w in prebuilt], 1)

    rate = lambda count, seconds: f"{count / seconds / 1e6:8.2f} M walls/s ({seconds:.3f} s)"
    print(f"{options.walls} random three-layer walls, {os.cpu_count()} cores, best of "
          f"{options.repeats}, threads={options.threads or 'all'}")
    print(f"compute_many fields='periodic'      {rate(options.walls, periodic)}")
    cores = min(os.cpu_count(), options.threads or os.cpu_count())
    print(f"  CPU {periodic_cpu / options.walls * 1e9:.0f} ns per wall: {cores} idle cores would "
          f"give {cores * options.walls / periodic_cpu / 1e6:.2f} M walls/s; load average "
          f"{os.getloadavg()[0]:.1f}")
    print(f"compute_many periodic, out= reused  {rate(options.walls, reused)}")
    print(f"  CPU {reused_cpu / options.walls * 1e9:.0f} ns per wall: {cores} idle cores would "
          f"give {cores * options.walls / reused_cpu / 1e6:.2f} M walls/s")
    print(f"compute_many fields='all'           {rate(options.walls, everything)}")
    print(f"pure NumPy complex128 (periodic)    {rate(options.walls, vectorised)}")
    print(f"  CPU {vectorised_cpu / options.walls * 1e9:.0f} ns per wall (one thread)")
    print(f"loop of brusk.compute, walls built  {rate(options.loop_walls, loop_compute)}")
    print(f"loop of Wall.from_dict + compute    {rate(options.loop_walls, loop_build)}")
    print(f"ratio compute_many periodic / NumPy {vectorised / periodic:8.2f}")
    print(f"ratio periodic, out= reused / NumPy {vectorised / reused:8.2f}")
    print(f"ratio on {cores} idle cores from CPU time, periodic / NumPy "
          f"{cores * vectorised_cpu / periodic_cpu:.2f}, out= reused / NumPy "
          f"{cores * vectorised_cpu / reused_cpu:.2f}")
    print(f"ratio compute_many periodic / loop  "
          f"{(options.walls / periodic) / (options.loop_walls / loop_compute):8.1f}")


if __name__ == "__main__":
    main()
