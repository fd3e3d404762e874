#pragma once

// Response of a wall to any periodic indoor and outdoor temperature, by superposition of
// harmonics through the ISO 13786 transfer matrix (the principle of its applications annex).
//
// Sign conventions, for the whole file:
//   - side 1 is the room (indoor temperature theta_i), side 2 the outdoors (theta_e, the sol-air
//     temperature for a sunlit external wall) or, for a partition, the neighbouring room;
//   - heatFlowIn q_in [W/m2] is the heat flow density leaving the inner surface into the room:
//     positive when the room gains heat;
//   - heatFlowOut q_e [W/m2] is the heat flow density entering the outer surface from side 2:
//     positive when the wall takes heat from outdoors. In steady state both equal
//     U (theta_e - theta_i);
//   - theta_si = theta_i + Rsi q_in and theta_se = theta_e - Rse q_e [degC].

#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include "brusk/engine/bridged_element.h"
#include "brusk/engine/complex.h"
#include "brusk/engine/fourier.h"
#include "brusk/engine/layer_properties.h"
#include "brusk/engine/many_walls.h"
#include "brusk/engine/periodic_response.h"
#include "brusk/engine/wall.h"

namespace Brusk::Engine {

/// Most samples a profile may have: an hourly profile over a leap year.
inline constexpr std::size_t kMaxProfileSamples = 8784;

/// Most output samples of one response (the longer profile's count times the refinement): a
/// minute's resolution over a day, or ten per hour over a year.
inline constexpr std::size_t kMaxResponseSamples = 86400;

/// Longest period of the profiles, a leap year of 366 days [s]: 8784 hourly samples. The
/// wall's own check stops at kLongestPeriod (365 days); the harmonics of a longer profile
/// period are computed all the same, with the rounding kLongestPeriod describes.
inline constexpr double kLongestProfilePeriod = 366.0 * kDailyPeriod;

/// A wall under periodic temperatures on both sides. Each profile holds N >= 1 samples equally
/// spaced over the period, theta(n T / N) for n = 0 .. N - 1 (N = 1 is a constant); the two
/// profiles may have different counts.
struct ProfileRequest {
  WallRequest wall;             ///< the wall; its `period` is the period T [s] of the profiles
  std::vector<double> indoor;   ///< theta_i on side 1 [degC]
  std::vector<double> outdoor;  ///< theta_e on side 2 [degC]
  /// Output samples per step of the longer profile: 1 gives its own times, more give the
  /// trigonometric interpolation in between (for plots).
  std::size_t refinement = 1;
  /// Layers of parts, ventilated air layers, corrections: with any, each harmonic goes through
  /// the element's parallel-path admittances (the area-weighted sums of its paths' -Z11 / Z12,
  /// -Z22 / Z12 and -1 / Z12 at T / k, as computeElement() forms them) and the mean through
  /// its combined-method U = 1 / R_T, so that the response at T is the one the element's
  /// computed characteristics give. The element must pass check(wall, element).
  ElementDescription element{};
};

/// How a response is computed; the defaults are the fast path, the others its references.
struct ProfileOptions {
  /// The transforms: FFTW's, or the direct sums they are tested against.
  FourierMethod transform = FourierMethod::Fast;
  /// The many-wall kernel that computes the harmonics' matrices, the harmonics as its lanes;
  /// defaultInstructionSet() when empty. Baseline is computePeriodicResponse per harmonic.
  std::optional<InstructionSet> kernel;
};

/// What a profile problem is about.
enum class ProfileField {
  Indoor,                     ///< the indoor profile
  Outdoor,                    ///< the outdoor profile
  Irradiance,                 ///< the solar irradiance profile of the sol-air temperature
  Refinement,                 ///< output samples per input step
  Period,                     ///< the period T of the profiles [s]
  Absorptance,                ///< solar absorptance alpha [-]
  Emissivity,                 ///< long-wave emissivity epsilon [-]
  SkyRadiation,               ///< extra long-wave loss to the sky Delta R [W/m2]
  ExternalSurfaceResistance,  ///< Rse of the sol-air temperature [m2.K/W]
};

/// Why a profile cannot be used.
enum class ProfileProblemKind {
  Empty,           ///< no samples
  TooManySamples,  ///< more than kMaxProfileSamples, or output beyond kMaxResponseSamples;
                   ///< `value` is the count
  NotFinite,       ///< sample `index` is NaN or infinite
  Negative,        ///< sample `index` (an irradiance) is below zero
  OutOfRange,      ///< `value` outside its range: [0, 1] for alpha and epsilon, finite and not
                   ///< negative for Delta R and Rse, at least 1 for the refinement,
                   ///< [kShortestPeriod, kLongestProfilePeriod] for the period
  ShortHarmonic,   ///< the highest harmonic's period T / K [s] (`value`) is below
                   ///< kShortestPeriod; `index` is K
  LengthMismatch,  ///< the irradiance has `value` samples, not one per outdoor sample
};

/// Marks a profile problem that is not about one sample.
inline constexpr std::size_t kWholeProfile = static_cast<std::size_t>(-1);

/// The first thing that makes a profile unusable, as data for a front end to word.
struct ProfileProblem {
  ProfileProblemKind kind = ProfileProblemKind::Empty;
  ProfileField field = ProfileField::Outdoor;
  std::size_t index = kWholeProfile;  ///< the sample (0 first), or kWholeProfile
  double value = 0.0;                 ///< the offending value
};

/// One harmonic k of the response: complex amplitudes A such that the quantity is
/// Re(A e^(i 2 pi k t / T)), the convention of the ISO 13786 time shifts.
struct ProfileHarmonic {
  std::size_t order = 0;      ///< k >= 1
  double period = 0.0;        ///< T / k [s]
  Complex indoor;             ///< of theta_i [K]
  Complex outdoor;            ///< of theta_e [K]
  Complex heatFlowIn;         ///< of q_in = Y12 theta_e - Y11 theta_i [W/m2]
  Complex heatFlowOut;        ///< of q_e = Y22 theta_e - Y12 theta_i [W/m2]
  bool throughMatrix = true;  ///< false: the thick-wall limit, Y12 = 0 (see computeProfileResponse)
};

/// The response at one output time.
struct ProfileSample {
  double time = 0.0;                     ///< t from the start of the period [h]
  double indoor = 0.0;                   ///< theta_i [degC]
  double outdoor = 0.0;                  ///< theta_e [degC]
  double heatFlowIn = 0.0;               ///< q_in [W/m2], positive when the room gains heat
  double heatFlowOut = 0.0;              ///< q_e [W/m2], positive when heat enters from side 2
  double innerSurfaceTemperature = 0.0;  ///< theta_si = theta_i + Rsi q_in [degC]
  double outerSurfaceTemperature = 0.0;  ///< theta_se = theta_e - Rse q_e [degC]
};

/// The periodic response of a wall to its two profiles.
struct ProfileResponse {
  double period = 0.0;  ///< T [s]
  double uValue = 0.0;  ///< U [W/(m2.K)]
  /// The steady conductance the effective decrement factor is measured against [W/(m2.K)]: U
  /// for a plain wall, 1 / R'_T (the combined method's upper limit) for an element, as
  /// computeElement() takes its f = |Y12| R'_T.
  double decrementConductance = 0.0;
  double meanHeatFlow = 0.0;               ///< U (mean theta_e - mean theta_i) [W/m2]
  std::vector<ProfileHarmonic> harmonics;  ///< k = 1 .. K, K = floor(max N / 2)
  std::vector<ProfileSample> samples;      ///< at t_j = j T / M, M = max N x refinement
};

/// Figures of a response's samples for a designer.
struct ProfileSummary {
  double meanHeatFlowIn = 0.0;     ///< the exact mean of q_in [W/m2]
  double peakHeatFlowIn = 0.0;     ///< largest sampled q_in [W/m2]
  double peakTime = 0.0;           ///< its time, the first if tied [h]
  double minimumHeatFlowIn = 0.0;  ///< smallest sampled q_in [W/m2]
  double minimumTime = 0.0;        ///< its time [h]
  /// Heat gained and lost by the room over one period [Wh/m2]: the sums of max(q_in, 0) dt and
  /// max(-q_in, 0) dt over the samples, dt = T / M (exact for the mean part; the split into
  /// gain and loss is as fine as the samples).
  double energyGained = 0.0;
  double energyLost = 0.0;
  double outdoorPeakTime = 0.0;          ///< time of the largest sampled theta_e [h]
  double peakDelay = 0.0;                ///< peakTime - outdoorPeakTime wrapped into [0, T) [h]
  double innerSurfaceMaximum = 0.0;      ///< largest sampled theta_si [degC]
  double innerSurfaceMaximumTime = 0.0;  ///< its time, the first if tied [h]
  double innerSurfaceMinimum = 0.0;      ///< smallest sampled theta_si [degC]
  double innerSurfaceMinimumTime = 0.0;  ///< its time [h]
  /// The main harmonic k*: the outdoor profile's harmonic of largest amplitude |A_e,k| (the
  /// first if tied), 0 when the outdoor profile is constant. For an hourly year it is the
  /// annual (k = 1) or the daily (k = 365) swing.
  std::size_t mainHarmonic = 0;
  double mainHarmonicPeriod = 0.0;  ///< its period T / k* [h]; NaN without a main harmonic
  /// Effective decrement factor of the main harmonic, f_eff = |A_q,k*| / (U |A_e,k*|) [-] (U
  /// the response's decrementConductance, 1 / R'_T for an element): the
  /// swing of q_in per steady-state flow of the outdoor swing. With a constant indoor
  /// temperature it is the ISO 13786 decrement factor f at the period T / k*; an indoor swing
  /// of the same period adds its own share. NaN without a main harmonic.
  double effectiveDecrementFactor = 0.0;
  /// Effective time lag of the main harmonic [h]: how long the q_in harmonic peaks after the
  /// theta_e harmonic, (T / k*) arg(A_e,k* / A_q,k*) / (2 pi) wrapped into [0, T / k*). With a
  /// constant indoor temperature it is the ISO 13786 time lag of Y12 at the period T / k*. NaN
  /// without a main harmonic or when that harmonic of q_in is 0.
  double effectiveTimeLag = 0.0;
};

/// Either the response, or the first problem of the wall or of the profiles.
using ProfileOutcome = std::variant<ProfileResponse, WallProblem, ProfileProblem>;

/// The periodic response of `request.wall` to its indoor and outdoor profiles.
///
/// Each profile of N samples is split by its discrete Fourier transform into the mean c_0 and
/// harmonics c_k = (1/N) sum_n theta_n e^(-i 2 pi k n / N), k = 1 .. floor(N / 2); the profile
/// is read as the trigonometric polynomial through its samples,
///   theta(t) = c_0 + sum_k w_k Re(c_k e^(i 2 pi k t / T)),  w_k = 2,
/// except that for even N the Nyquist harmonic k = N / 2 has w_k = 1: its samples fix only its
/// cosine part, c_{N/2} is real, and it is taken as the pure cosine through them (the
/// interpolant of least energy), not dropped, so the samples are reproduced.
///
/// The mean goes through the steady state, q_in = q_e = U (c_0e - c_0i). Harmonic k goes
/// through the ISO 13786 matrix Z at period T / k, in admittance form with
/// Y11 = -Z11 / Z12, Y22 = -Z22 / Z12, Y12 = -1 / Z12 [W/(m2.K)] (det Z = 1):
///   q_in = Y12 theta_e - Y11 theta_i,   q_e = Y22 theta_e - Y12 theta_i.
/// For a partition these are the same matrix elements; the partition's own admittances
/// (1 - Zii) / Z12, for both sides swinging together, are not used.
///
/// A harmonic whose matrix overflows double precision (sum of d / delta beyond about 354, met by
/// the high harmonics of heavy walls since delta shrinks like 1 / sqrt(k)) takes the thick-wall
/// limit: |Y12| is below e^-354 and is taken as 0, while Y11 and Y22 keep their finite limits,
/// computed by surfaceAdmittances(); its `throughMatrix` is false.
///
/// The output is the inverse transform of these harmonics at M = max N x refinement points:
/// at a profile's own sample times the temperature reported is the sample itself.
///
/// Cost: the transforms are FFTs (forwardRealTransform, inverseRealTransform), O(M log M); the
/// K matrices are one many-wall kernel call with the harmonics' periods T / k as its lanes.
/// Problems: check(request.wall) (its period taken no longer than kLongestPeriod), then the
/// profiles (empty, too long, not finite), the refinement, the period (at most
/// kLongestProfilePeriod) and the highest harmonic's period T / K against kShortestPeriod.
[[nodiscard]] ProfileOutcome computeProfileResponse(const ProfileRequest& request,
                                                    const ProfileOptions& options = {});

/// computeProfileResponse() into a caller's response, for loops over many walls or profiles:
/// its vectors keep their storage from one call to the next, so that a year's megabyte of
/// samples is neither mapped afresh nor first touched on every call. Returns the problem, or
/// none with `response` filled (unspecified after a problem). The same doubles as
/// computeProfileResponse().
[[nodiscard]] std::optional<std::variant<WallProblem, ProfileProblem>> computeProfileResponseInto(
    const ProfileRequest& request, ProfileResponse& response, const ProfileOptions& options = {});

/// The summary of a response's samples (which must not be empty).
[[nodiscard]] ProfileSummary summarizeProfileResponse(const ProfileResponse& response);

/// The two profiles of many walls, analysed once: their means and harmonics, and their values
/// at the output times t_j = j T / M (the samples themselves at their own times).
struct AnalysedProfiles {
  double period = 0.0;            ///< T [s]
  std::size_t outputCount = 0;    ///< M
  std::size_t harmonicCount = 0;  ///< K = floor(max N / 2)
  double indoorMean = 0.0;        ///< c_0 of theta_i [degC]
  double outdoorMean = 0.0;       ///< c_0 of theta_e [degC]
  std::vector<Complex> indoor;    ///< A_k of theta_i at index k - 1 [K]
  std::vector<Complex> outdoor;   ///< A_k of theta_e at index k - 1 [K]
  std::vector<double> indoorAt;   ///< theta_i(t_j) [degC]
  std::vector<double> outdoorAt;  ///< theta_e(t_j) [degC]
  ProfileOptions options;
};

/// The profiles of `request` analysed for many walls (request.wall is not read: `period` [s]
/// is), or their first problem, checked as computeProfileResponse checks them.
[[nodiscard]] std::variant<AnalysedProfiles, ProfileProblem> analyseProfiles(
    const ProfileRequest& request, double period, const ProfileOptions& options = {});

/// What a study keeps of one wall's response: q_in and theta_si at the M output times, and
/// the summary.
struct ProfileSeries {
  std::vector<double> heatFlowIn;               ///< q_in(t_j) [W/m2]
  std::vector<double> innerSurfaceTemperature;  ///< theta_si(t_j) [degC]
  ProfileSummary summary;
};

/// The series of one wall (its period is not read: the profiles' is) under analysed profiles,
/// the same doubles as computeProfileResponse gives for them; or the wall's problem. `series`
/// keeps its allocations from call to call.
[[nodiscard]] std::optional<WallProblem> computeProfileSeries(const WallRequest& wall,
                                                              const AnalysedProfiles& profiles,
                                                              ProfileSeries& series);

/// Where computeManyProfileSeries writes, per wall w of W: row w of the (W, M) row-major
/// arrays, element w of the others; a null array is not wanted.
struct ManyProfileSeries {
  double* heatFlowIn = nullptr;                    ///< q_in [W/m2], W x M
  double* innerSurfaceTemperature = nullptr;       ///< theta_si [degC], W x M
  ProfileSummary* summaries = nullptr;             ///< W
  std::optional<WallProblem>* problems = nullptr;  ///< W: the wall's problem, or none
};

/// computeProfileSeries for `wallCount` walls on `threads` threads (0 or 1: the calling one);
/// a wall with a problem gets NaN in its rows and its problem in `problems`.
void computeManyProfileSeries(const WallRequest* walls, std::size_t wallCount,
                              const AnalysedProfiles& profiles, const ManyProfileSeries& out,
                              unsigned threads = 1);

/// Surface admittances of the element for one side driven and the other held at zero,
/// Y11 = -Z11 / Z12 and Y22 = -Z22 / Z12 [W/(m2.K)], computed without the matrix, by the input
/// impedance zeta = theta / q of the stack seen from each face, so that they stay finite where
/// the matrix overflows. From the far air (zeta = 0), across a surface or pure resistance R:
/// zeta <- zeta + R; across a slab of characteristic impedance Zc = delta (1 - i) / (2 lambda)
/// [m2.K/W] and gamma = (1 + i) d / delta:
///   zeta <- Zc (zeta + Zc tanh gamma) / (Zc + zeta tanh gamma);
/// then Y = 1 / zeta at the near air. Same preconditions as computePeriodicResponse.
struct SurfaceAdmittances {
  Complex internal;  ///< Y11 [W/(m2.K)]
  Complex external;  ///< Y22 [W/(m2.K)]
};
[[nodiscard]] SurfaceAdmittances surfaceAdmittances(const LayerProperties* layers,
                                                    std::size_t layerCount,
                                                    const ElementBoundary& boundary, double period);

/// The outer surface of a sunlit element for its sol-air temperature.
struct SolAirSurface {
  double absorptance = 0.6;                 ///< alpha, solar absorptance [-], in [0, 1]
  double emissivity = 0.9;                  ///< epsilon, long-wave emissivity [-], in [0, 1]
  double skyRadiation = 0.0;                ///< Delta R [W/m2]: 0 for vertical walls
  double externalSurfaceResistance = 0.04;  ///< Rse [m2.K/W]
};

/// Sol-air temperature theta_sa = theta_e + alpha I Rse - epsilon Delta R Rse [degC]: the
/// outdoor air temperature that, with no sun, would give the same heat flow into the outer
/// surface as the air, the absorbed irradiance I [W/m2] and the long-wave loss to the sky. The
/// form of the ASHRAE Handbook of Fundamentals (nonresidential cooling load chapter), with the
/// outside surface coefficient h_o = 1 / Rse; Delta R is about 63 W/m2 for a horizontal roof
/// under a clear sky and taken as 0 for walls. ISO 13790 (11.3.5, 11.4.6) words the same
/// balance as a solar gain and an extra flow to the sky h_r Delta theta_er.
[[nodiscard]] inline double solAirTemperature(double outdoor, double irradiance,
                                              const SolAirSurface& surface) {
  return outdoor + surface.absorptance * irradiance * surface.externalSurfaceResistance -
         surface.emissivity * surface.skyRadiation * surface.externalSurfaceResistance;
}

/// The surface's problem, if any: alpha and epsilon in [0, 1], Delta R and Rse finite and not
/// negative.
[[nodiscard]] std::optional<ProfileProblem> checkSolAirSurface(const SolAirSurface& surface);

/// The sol-air profile of an outdoor profile and an irradiance profile of the same sample
/// count (finite temperatures, finite irradiances not below zero), or the first problem.
[[nodiscard]] std::variant<std::vector<double>, ProfileProblem> solAirProfile(
    const std::vector<double>& outdoor, const std::vector<double>& irradiance,
    const SolAirSurface& surface);

}  // namespace Brusk::Engine
