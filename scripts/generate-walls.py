#!/usr/bin/env python3
"""Writes seeded random walls as JSON Lines, one wall object per line, for batch runs and load tests.

    python3 scripts/generate-walls.py --count 1000000 --seed 1 > walls.jsonl

Each wall has a name, a position ("external" or "internal"), a heat-flow direction and 1 to 8
layers from side 1: slabs with thickness [m], conductivity [W/(m.K)], density [kg/m3] and
specific_heat [J/(kg.K)], and now and then an air layer given only by its thermal_resistance
[m2.K/W]. The same seed always gives the same file. Standard library only.

With --mu every slab also gets its water-vapour resistance factor mu (vapour_resistance_factor),
the design value of its material, so that the walls can be assessed for moisture
(brusk batch --climate); the walls are otherwise the same as without it.
"""

import argparse
import json
import random
import sys

# Material families a wall is drawn from: (name, conductivity, density, specific heat, thickness
# range [m], water-vapour resistance factor mu). Thermal values are typical design values, varied
# by up to 10 % per layer so that no two layers are identical; mu is the value the built-in
# catalogue gives the material (the dry-cup value of ISO 10456 Tables 3 and 4, of EN 1745 for
# masonry; see docs/moisture.md), as given.
MATERIALS = (
    ("concrete", 1.8, 2400, 1000, (0.10, 0.30), 130),
    ("brick", 0.77, 1700, 1000, (0.10, 0.30), 10),
    ("aerated concrete", 0.12, 500, 1000, (0.15, 0.40), 10),
    ("mineral wool", 0.035, 30, 1030, (0.05, 0.30), 1),
    ("polystyrene", 0.038, 20, 1450, (0.04, 0.25), 60),
    ("wood fibre", 0.045, 160, 2000, (0.04, 0.20), 5),
    ("timber", 0.13, 500, 1600, (0.02, 0.20), 50),
    ("plasterboard", 0.25, 900, 1000, (0.0095, 0.025), 10),
    ("lime plaster", 0.7, 1600, 1000, (0.005, 0.03), 10),
    ("render", 1.0, 1800, 1000, (0.005, 0.02), 10),
)
HEAT_FLOWS = ("horizontal", "upward", "downward")
AIR_LAYER_SHARE = 0.1
AIR_LAYER_RESISTANCE = (0.11, 0.23)  # unventilated cavities of ISO 6946 [m2.K/W]


def varied(value, generator):
    """The value times a factor between 0.9 and 1.1, rounded to four significant digits."""
    return float(f"{value * generator.uniform(0.9, 1.1):.4g}")


def random_slab(generator, mu):
    _, conductivity, density, specific_heat, thickness, factor = generator.choice(MATERIALS)
    slab = {
        "thickness": round(generator.uniform(*thickness), 4),
        "conductivity": varied(conductivity, generator),
        "density": varied(density, generator),
        "specific_heat": varied(specific_heat, generator),
    }
    # mu draws nothing from the generator: a seed gives the same walls with or without it.
    if mu:
        slab["vapour_resistance_factor"] = factor
    return slab


def random_layer(generator, mu):
    if generator.random() < AIR_LAYER_SHARE:
        # A pure resistance has s_d = 0 unless given: an unventilated cavity's still air.
        return {"thermal_resistance": round(generator.uniform(*AIR_LAYER_RESISTANCE), 3)}
    return random_slab(generator, mu)


def random_wall(index, generator, mu=False):
    # The first layer is always a slab: a wall of air alone is no wall.
    layers = [random_slab(generator, mu)]
    layers += [random_layer(generator, mu) for _ in range(generator.randint(0, 7))]
    return {
        "name": f"wall-{index}",
        "position": generator.choice(("external", "internal")),
        "heat_flow": generator.choice(HEAT_FLOWS),
        "layers": layers,
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--count", type=int, required=True, help="number of walls to write")
    parser.add_argument("--seed", type=int, default=1, help="random seed (default 1)")
    parser.add_argument("--mu", action="store_true",
                        help="give every slab its water-vapour resistance factor mu, for "
                             "brusk batch --climate")
    arguments = parser.parse_args()
    if arguments.count < 0:
        parser.error("--count must not be negative")

    generator = random.Random(arguments.seed)
    output = sys.stdout
    for index in range(arguments.count):
        output.write(json.dumps(random_wall(index, generator, arguments.mu),
                                separators=(",", ":")))
        output.write("\n")


if __name__ == "__main__":
    main()
