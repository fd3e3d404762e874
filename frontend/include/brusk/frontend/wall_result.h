#pragma once

#include <string>

#include "brusk/engine/complex.h"
#include "brusk/engine/wall_response.h"
#include "brusk/frontend/wall.h"

namespace Brusk {

/// A periodic quantity as reported: amplitude and ISO 13786 time shift.
struct PeriodicValue {
  double modulus = 0.0;    ///< |Y| [W/(m2.K)]
  double timeShift = 0.0;  ///< (T / 2 pi) arg(Y) [h], in (-T/2, T/2]
};

/// Everything reported for one wall at one period, SI units throughout.
struct WallResult {
  std::string name;
  double period = 0.0;                         ///< T [s]
  double thickness = 0.0;                      ///< [m]
  double surfaceMass = 0.0;                    ///< sum of d rho [kg/m2]
  double thermalResistance = 0.0;              ///< R_tot with surface resistances [m2.K/W]
  double uValue = 0.0;                         ///< U [W/(m2.K)]
  double decrementFactor = 0.0;                ///< f = |Y12| / U [-]
  PeriodicValue periodicThermalTransmittance;  ///< Y12
  double timeLag = 0.0;  ///< delay of the inner heat-flow peak behind the outer one [h], [0, T)
  PeriodicValue internalAdmittance;              ///< Y11
  PeriodicValue externalAdmittance;              ///< Y22
  double internalArealHeatCapacity = 0.0;        ///< kappa1 [J/(m2.K)]
  double externalArealHeatCapacity = 0.0;        ///< kappa2 [J/(m2.K)]
  Engine::Complex z11, z12, z21, z22;            ///< heat transfer matrix, side 1 to side 2
  Engine::SequentialEstimate dailyCapacity;      ///< sequential heat capacity, 1-day cycle
  Engine::SequentialEstimate twelveDayCapacity;  ///< sequential heat capacity, 12-day cycle
};

/// Computes a wall at a period T [s] with the engine. Throws Brusk::Error naming the wall when
/// T is not a positive finite number or the transfer matrix overflows (layers too thick for
/// the period).
[[nodiscard]] WallResult computeWallResult(const Wall& wall, double periodSeconds);

/// "none", "thin-layer", "semi-infinite" or "limited-depth" for an Engine::CapacityMethod.
[[nodiscard]] const char* capacityMethodName(int method);

}  // namespace Brusk
