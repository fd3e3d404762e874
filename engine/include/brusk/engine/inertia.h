#pragma once

#include "brusk/engine/complex.h"

namespace Brusk::Engine {

/// Dynamic thermal characteristics of an element for the daily cycle (ISO 13786).
struct Inertia {
  double _dampingFactor = 0.0;            ///< decrement factor f [-]
  double _conductance = 0.0;              ///< thermal transmittance U [W/(m2.K)]
  double _internalThermalCapacity = 0.0;  ///< areal heat capacity of side 1, kappa1 [J/(m2.K)]
  double _externalThermalCapacity = 0.0;  ///< areal heat capacity of side 2, kappa2 [J/(m2.K)]
  Complex _z11;                           ///< transfer-matrix element Z11 [-]
  Complex _z12;                           ///< transfer-matrix element Z12 [m2.K/W]
  Complex _z21;                           ///< transfer-matrix element Z21 [W/(m2.K)]
  Complex _z22;                           ///< transfer-matrix element Z22 [-]
  Complex _internalAdmittance;            ///< thermal admittance of side 1, Y11 [W/(m2.K)]
  Complex _externalAdmittance;            ///< thermal admittance of side 2, Y22 [W/(m2.K)]
  Complex _periodicThermalTransmittance;  ///< periodic thermal transmittance Y12 [W/(m2.K)]
};

/// Sequential estimates of side 1's areal heat capacity for one day and for twelve days.
struct SequentialInertia {
  double _dailySequentialThermalCapacity = 0.0;     ///< daily cycle [J/(m2.K)]
  int _dailyCapacityMethod = 0;                     ///< CapacityMethod of the daily estimate
  double _internalSequentialThermalCapacity = 0.0;  ///< twelve-day cycle [J/(m2.K)]
  int _sequentialCapacityMethod = 0;                ///< CapacityMethod of the twelve-day estimate
};

}  // namespace Brusk::Engine
