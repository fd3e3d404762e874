#!/usr/bin/env python3
"""The worked example of docs/python.md: an insulation-thickness sweep of 10,000 variants of a
concrete wall insulated outside, into a DataFrame, and a plot of the decrement factor f and the
time lag against the insulation thickness (docs/python-sweep.png).

    PYTHONPATH=build/python /usr/bin/python3 docs/python_sweep.py
"""

import pathlib
import sys

import numpy as np

import brusk

variants = 10_000
concrete = brusk.materials("concrete-reinforced")[0]
eps = brusk.materials("insulation-eps")[0]

# Side 1 first: 200 mm of reinforced concrete, 0 to 300 mm of EPS, 5 mm of render.
insulation = np.linspace(0.001, 0.3, variants)
thickness = np.column_stack([np.full(variants, 0.2), insulation, np.full(variants, 0.005)])
conductivity = np.tile([concrete["conductivity"], eps["conductivity"], 1.0], (variants, 1))
density = np.tile([concrete["density"], eps["density"], 1200.0], (variants, 1))
specific_heat = np.tile([concrete["specific_heat"], eps["specific_heat"], 1500.0], (variants, 1))

frame = brusk.compute_frame(thickness, conductivity, density, specific_heat, fields="periodic")
frame.insert(0, "insulation_thickness", insulation)
print(frame[["insulation_thickness", "u_value", "decrement_factor",
             "periodic_thermal_transmittance_time_lag"]].iloc[::2000].to_string(index=False))

try:
    import matplotlib
except ImportError:
    sys.exit("matplotlib is not installed: the sweep ran, the plot is skipped "
             "(apt-get install python3-matplotlib)")
matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402

figure, left = plt.subplots(figsize=(7, 4), dpi=100)
left.plot(frame.insulation_thickness * 1000, frame.decrement_factor, color="tab:blue")
left.set_xlabel("EPS thickness [mm] (200 mm concrete, 5 mm render)")
left.set_ylabel("decrement factor f [-]", color="tab:blue")
right = left.twinx()
right.plot(frame.insulation_thickness * 1000, frame.periodic_thermal_transmittance_time_lag,
           color="tab:red")
right.set_ylabel("time lag [h]", color="tab:red")
left.set_title(f"{variants:,} variants, daily cycle (ISO 13786)")
figure.tight_layout()
output = pathlib.Path(__file__).with_name("python-sweep.png")
figure.savefig(output)
print(f"wrote {output}")
