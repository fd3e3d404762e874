#pragma once

// Constants of the periodic method, written once for the whole engine and its front ends.

namespace Brusk::Engine {

/// pi, to double precision.
inline constexpr double kPi = 3.141592653589793;

/// 2 pi, to double precision; T / (2 pi) turns a period [s] into the factor of ISO 13786's
/// areal heat capacities and time shifts.
inline constexpr double kTwoPi = 6.283185307179586;

/// Seconds in one hour [s/h].
inline constexpr double kSecondsPerHour = 3600.0;

/// Length of the daily cycle T [s] used by the ISO 13786 characteristics.
inline constexpr double kDailyPeriod = 86400.0;

/// Length of the twelve-day cycle T [s] of the extended sequential heat capacity estimate.
inline constexpr double kTwelveDayPeriod = 1036800.0;

}  // namespace Brusk::Engine
