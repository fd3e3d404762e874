#pragma once

// Interstitial condensation by the monthly Glaser method and the internal surface temperature
// factor against mould and surface condensation, as ISO 13788:2012 gives them.
//
// The element is one-dimensional and every month is a steady state: heat by conduction through
// the layers' thermal resistances, water vapour by diffusion through their diffusion-equivalent
// air layer thicknesses sd, no liquid transport, no moisture storage outside the condensation
// planes, no latent heat, no air movement. The engine throws nothing: a request it cannot compute
// comes back as a MoistureProblem for a front end to word.

#include <array>
#include <cstddef>
#include <optional>
#include <vector>

#include "brusk/engine/layer_properties.h"

namespace Brusk::Engine {

/// Water-vapour permeability of still air used by ISO 13788:2012 (4.3), delta0
/// [kg/(m.s.Pa)]. The vapour flux density through a layer stack of equivalent air-layer
/// thickness sd [m] under a vapour-pressure difference dp [Pa] is g = delta0 dp / sd
/// [kg/(m2.s)].
inline constexpr double kVapourPermeabilityOfAir = 2.0e-10;

/// Internal surface resistance of the surface check, ISO 13788:2012 (4.2.1): 0.25 m2.K/W for
/// opaque elements, standing for furniture and corners that shield the surface.
inline constexpr double kSurfaceCheckResistance = 0.25;

/// Largest thermal resistance of one calculation sub-layer [m2.K/W]: ISO 13788:2012 (6.2)
/// divides thicker layers so that condensation inside a layer is found at a sub-layer plane.
inline constexpr double kMaxSublayerResistance = 0.25;

/// Highest relative humidity at the inner surface before mould is likely, ISO 13788:2012 (5.2).
inline constexpr double kMouldSurfaceHumidity = 0.8;

/// Relative humidity of surface condensation (saturation).
inline constexpr double kCondensationSurfaceHumidity = 1.0;

/// Safety factor on a humidity class's vapour-pressure excess, ISO 13788:2012 (Annex A.2):
/// p_i = p_e + 1.10 dp.
inline constexpr double kHumidityClassSafetyFactor = 1.10;

/// Days of each calendar month, January first, February of 28 days (ISO 13788:2012, 6.1).
inline constexpr std::array<int, 12> kDaysInMonth = {31, 28, 31, 30, 31, 30,
                                                     31, 31, 30, 31, 30, 31};

/// Saturation water-vapour pressure p_sat [Pa] at temperature theta [degC], ISO 13788:2012
/// Annex E: over water for theta >= 0, p_sat = 610.5 exp(17.269 theta / (237.3 + theta));
/// over ice for theta < 0, p_sat = 610.5 exp(21.875 theta / (265.5 + theta)).
[[nodiscard]] double saturationPressure(double theta);

/// The temperature [degC] at which `pressure` [Pa] saturates the air: the inverse of
/// saturationPressure(), over ice below 610.5 Pa. `pressure` must be positive.
[[nodiscard]] double saturationTemperature(double pressure);

/// Internal vapour-pressure excess dp [Pa] of an ISO 13788:2012 Annex A humidity class (1 to 5)
/// at the monthly mean outdoor temperature theta_e [degC]: dp_0 = 270 x class at theta_e <= 0,
/// falling linearly to 0 at theta_e >= 20 (Figure A.1). 0 for a class outside 1..5.
[[nodiscard]] double humidityClassExcess(int humidityClass, double outdoorTemperature);

/// One month's boundary conditions: monthly mean temperatures [degC] and relative humidities as
/// fractions (0.8, not 80 %).
struct MonthClimate {
  double outdoorTemperature = 0.0;       ///< theta_e [degC]
  double outdoorRelativeHumidity = 0.0;  ///< phi_e [-]
  double indoorTemperature = 20.0;       ///< theta_i [degC]
  double indoorRelativeHumidity = 0.5;   ///< phi_i [-]

  /// Outdoor vapour pressure p_e = phi_e p_sat(theta_e) [Pa].
  [[nodiscard]] double outdoorVapourPressure() const;
  /// Indoor vapour pressure p_i = phi_i p_sat(theta_i) [Pa].
  [[nodiscard]] double indoorVapourPressure() const;
};

/// Twelve months, January first.
using YearClimate = std::array<MonthClimate, 12>;

/// The lowest inner surface temperature theta_si,min [degC] at which the month's indoor vapour
/// pressure keeps the surface air at or below phi_si: p_sat(theta_si,min) = p_i / phi_si
/// (ISO 13788:2012, 5.2). `surfaceHumidity` is phi_si as a fraction (kMouldSurfaceHumidity).
[[nodiscard]] double minimumSurfaceTemperature(const MonthClimate& month, double surfaceHumidity);

/// The minimum temperature factor f_Rsi,min = (theta_si,min - theta_e) / (theta_i - theta_e)
/// (ISO 13788:2012, 5.2, eq. 4) [-]; NaN in a month with theta_i <= theta_e, where it means
/// nothing.
[[nodiscard]] double minimumTemperatureFactor(const MonthClimate& month, double surfaceHumidity);

/// The critical month of the surface check (ISO 13788:2012, 5.3): the month of the highest
/// f_Rsi,min against mould (0 = January, the earlier of equal months); kNoIndex when no month
/// is colder outside than inside.
[[nodiscard]] std::size_t criticalMonth(const YearClimate& year);

/// The indoor side of a year from a humidity class: p_i = p_e + 1.10 dp(theta_e) (Annex A.2)
/// at the given indoor temperature, phi_i = p_i / p_sat(theta_i). The outdoor side is kept.
[[nodiscard]] YearClimate withHumidityClass(const YearClimate& outdoor, int humidityClass,
                                            double indoorTemperature);

/// A wall for the moisture assessment: the layers, side 1 (indoors) first, with one
/// diffusion-equivalent air layer thickness per layer, and the surface resistances.
struct MoistureRequest {
  /// Side 1 first. Besides slabs and pure resistances, a layer whose properties are all 0
  /// (isVapourOnlyLayer) is a vapour control layer or membrane: its s_d and no thermal
  /// resistance, its two faces at one temperature.
  std::vector<LayerProperties> layers;
  std::vector<double> sd;  ///< s_d = mu d [m], one per layer, >= 0
  /// Rsi and Rse [m2.K/W] for the interstitial calculation (ISO 13788:2012, 6.2: those of
  /// ISO 6946 for the element's heat-flow direction).
  double internalSurfaceResistance = 0.13;
  double externalSurfaceResistance = 0.04;
  /// Rsi [m2.K/W] of the surface check (4.2.1); the layers and Rse stay as they are.
  double surfaceCheckResistance = kSurfaceCheckResistance;
  /// Largest resistance of one sub-layer [m2.K/W]; 0 keeps every layer whole.
  double maxSublayerResistance = kMaxSublayerResistance;
  YearClimate climate{};
};

/// What makes a moisture request uncomputable.
enum class MoistureProblemKind {
  NoLayers,              ///< the stack is empty
  LayerCountMismatch,    ///< sd does not give one value per layer; `value` is its count
  BadLayer,              ///< the layer's thermal properties are not computable (checkLayer)
  BadSd,                 ///< sd must be finite and not negative; `value` is it
  BadSurfaceResistance,  ///< a surface resistance must be finite and not negative
  BadTemperature,        ///< a temperature must be finite and above -100 degC, below 100 degC
  BadHumidity,           ///< a relative humidity must be finite, above 0 and at most 1
  IndoorSupersaturated,  ///< the indoor vapour pressure exceeds saturation at theta_i
  TooManyPlanes,         ///< the sub-layers would exceed kMaxMoisturePlanes; `value` is the
                         ///< count the wall needs (its faces and every sub-layer plane)
  NoVapourResistance,    ///< every layer has s_d = 0: the vapour-pressure line is undefined
  /// A layer face with s_d = 0 between it and the room is colder than the indoor dew point in
  /// `month`: the room air would condense there at a rate the method cannot bound. `layer` is
  /// the layer whose outer face it is, `value` the face's temperature [degC].
  CondensationAtZeroSd,
};

/// True for a layer of no thickness and no thermal resistance: a vapour control layer, which
/// the moisture assessment takes by its s_d alone.
[[nodiscard]] constexpr bool isVapourOnlyLayer(const LayerProperties& layer) {
  return layer.thickness == 0.0 && layer.conductivity == 0.0 && layer.density == 0.0 &&
         layer.specificHeat == 0.0 && layer.resistance == 0.0;
}

/// Most calculation planes (layer interfaces and sub-layer planes, both faces included).
inline constexpr std::size_t kMaxMoisturePlanes = 4096;

/// Marks a moisture problem of no particular month or layer.
inline constexpr std::size_t kNoIndex = static_cast<std::size_t>(-1);

/// The first problem of a request, as data.
struct MoistureProblem {
  MoistureProblemKind kind = MoistureProblemKind::NoLayers;
  std::size_t layer = kNoIndex;  ///< layer index (0 on side 1)
  std::size_t month = kNoIndex;  ///< month index (0 = January)
  bool indoor = false;           ///< for temperatures and humidities: the indoor side
  double value = 0.0;            ///< the offending value
};

/// The first problem of the request, in the order layers, sd values, surface resistances,
/// climate month by month; none when it can be computed.
[[nodiscard]] std::optional<MoistureProblem> checkMoisture(const MoistureRequest& request);

/// One calculation plane: a face of the stack, an interface between two layers, or a plane
/// inside a layer divided into sub-layers.
struct MoisturePlane {
  double depth = 0.0;       ///< distance from the inner face [m]
  double sd = 0.0;          ///< cumulative s_d from the inner face [m]
  double resistance = 0.0;  ///< thermal resistance from the indoor air, Rsi included [m2.K/W]
  std::size_t layer = 0;    ///< the layer whose outer (side-2) side it lies on; kNoIndex at
                            ///< the inner face
  bool interface = false;   ///< a face of a layer (not a sub-layer plane)
};

/// One month's state at every plane, at the month's end (accumulated) and its steady profile.
struct MoistureMonth {
  /// Moisture condensed (+) or evaporated (-) in the month, summed over planes [kg/m2].
  double condensation = 0.0;
  /// Moisture held at the month's end, summed over planes [kg/m2].
  double accumulated = 0.0;
  std::vector<double> temperature;         ///< theta per plane [degC]
  std::vector<double> saturationPressure;  ///< p_sat per plane [Pa]
  /// p per plane [Pa] of the month's profile as it starts, with the moisture held then (a
  /// plane that dries out within the month changes it later); equal to p_sat at a wet plane.
  std::vector<double> vapourPressure;
  std::vector<double> accumulatedAt;  ///< M_a per plane at the month's end [kg/m2]
  /// g_c per plane at the month's start [kg/(m2.s)]: condensing (+) or evaporating (-, a wet
  /// plane), 0 elsewhere. Times the month's length it is the amount the standard's example
  /// tables list for the month, which a plane drying out within the month does not reach.
  std::vector<double> rateAt;
  /// Minimum temperature factor f_Rsi,min against mould (phi_si <= 0.8) [-]; NaN in a month
  /// with theta_i <= theta_e, where the factor means nothing.
  double fRsiMinMould = 0.0;
  /// Minimum temperature factor against surface condensation (phi_si <= 1.0) [-]; NaN likewise.
  double fRsiMinCondensation = 0.0;
};

/// The assessment of one wall over one year.
struct MoistureResult {
  std::optional<MoistureProblem> problem;  ///< set when nothing else is
  std::vector<MoisturePlane> planes;       ///< the inner face first, the outer face last
  std::array<MoistureMonth, 12> months{};  ///< January first
  /// True when the dry element condenses in at least one month.
  bool condenses = false;
  /// Month the calculation starts in (0 = January): the first month of condensation after a
  /// month without (6.4); January when every month or none condenses.
  std::size_t startMonth = 0;
  /// Largest of the months' accumulated totals (MoistureMonth::accumulated, the water held at a
  /// month's end summed over the planes) [kg/m2] and its month (0 = January; kNoIndex without
  /// condensation): the one "largest accumulation" of the year, read off the monthly column.
  double maxAccumulated = 0.0;
  std::size_t maxMonth = kNoIndex;
  /// Largest M_a at one plane at a month's end [kg/m2], its month and plane (kNoIndex without
  /// condensation). The same amount as maxAccumulated when one plane holds all the water; less
  /// when several planes hold water at once.
  double maxPlaneAccumulated = 0.0;
  std::size_t maxPlaneMonth = kNoIndex;
  std::size_t maxPlane = kNoIndex;
  /// Planes that hold water at the end of at least one month.
  std::size_t wetPlaneCount = 0;
  /// M_a summed over planes at the end of the twelfth month from the start [kg/m2].
  double endAccumulated = 0.0;
  /// True when all condensate has evaporated by the end of the twelve months.
  bool driesOut = true;
  /// The element's f_Rsi = (R_T - Rsi) / R_T with Rsi = surfaceCheckResistance in R_T [-].
  double fRsi = 0.0;
  /// Month of the highest f_Rsi,min against mould (0 = January); kNoIndex when no month has one.
  std::size_t criticalMonth = kNoIndex;
  /// f_Rsi,min against mould of the critical month [-]; NaN without one.
  double fRsiMin = 0.0;
  /// f_Rsi > f_Rsi,min in the critical month (true without one).
  bool surfacePasses = true;
};

/// The whole assessment: temperatures and saturation pressures at every plane, the vapour
/// pressure by the tangent construction, condensation and evaporation month by month from the
/// start month, and the surface check. A request checkMoisture() refuses gives only `problem`,
/// and so does one with CondensationAtZeroSd, found once the temperatures are known.
[[nodiscard]] MoistureResult computeMoisture(const MoistureRequest& request);

/// The same into a result whose vectors are reused, for loops over many walls.
void computeMoisture(const MoistureRequest& request, MoistureResult& result);

}  // namespace Brusk::Engine
