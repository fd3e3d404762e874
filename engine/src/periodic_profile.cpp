// Response of a wall to periodic temperature profiles by harmonic superposition through the
// ISO 13786 transfer matrix; the sol-air temperature helper. Conventions in the header.
//
// The path of one wall: the profiles' spectra by a forward FFT (once for many walls), the K
// harmonics' admittances by one many-wall kernel call with the periods T / k as lanes, the
// flows' harmonics, and the series at the output times by an inverse FFT.
#include "brusk/engine/periodic_profile.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <thread>
#include <vector>

#include "brusk/engine/constants.h"

namespace Brusk::Engine {

namespace {

/// Scratch of the transforms, kept per thread so that repeated responses allocate nothing
/// beyond what they return.
std::vector<Complex>& transformScratch() {
  thread_local std::vector<Complex> scratch;
  return scratch;
}

/// The mean c_0 (returned) and amplitudes A_k = w_k c_k of harmonics 1 .. harmonicCount of a
/// profile, zero past its own floor(N / 2), at index k - 1 of `amplitudes`:
/// theta(t) = mean + sum_k Re(A_k e^(i 2 pi k t / T)), with c_k = X_k / N of the forward
/// transform and w_k = 2, or 1 at the Nyquist harmonic of an even N (see
/// computeProfileResponse).
double spectrumOf(const std::vector<double>& samples, std::size_t harmonicCount,
                  FourierMethod method, std::vector<Complex>& amplitudes) {
  const std::size_t n = samples.size();
  amplitudes.assign(harmonicCount, Complex{});
  double sum = 0.0;
  for (double sample : samples) sum += sample;
  const double mean = sum / static_cast<double>(n);
  if (n < 2) return mean;
  std::vector<Complex>& transform = transformScratch();
  transform.resize(n / 2 + 1);
  forwardRealTransform(samples.data(), n, transform.data(), method);
  const std::size_t ownHarmonics = std::min(n / 2, harmonicCount);
  for (std::size_t k = 1; k <= ownHarmonics; ++k) {
    // Weight 2 folds in the conjugate harmonic -k; the Nyquist harmonic is its own conjugate,
    // and its X_k is real (the transform writes its imaginary part as 0).
    const double weight = (2 * k == n ? 1.0 : 2.0) / static_cast<double>(n);
    amplitudes[k - 1] = weight * transform[k];
  }
  return mean;
}

/// The synthesis of mean + sum_k Re(A_k e^(i 2 pi k j / M)) at j = 0 .. M - 1 by the inverse
/// transform of X_0 = mean, X_k = A_k / 2 (the conjugate pair's share), X_(M/2) = A_(M/2).
/// `spectrum` is scratch of M / 2 + 1 terms.
void synthesize(double mean, const Complex* amplitudes, std::size_t harmonicCount,
                std::size_t outputCount, FourierMethod method, std::vector<Complex>& spectrum,
                double* values) {
  spectrum.assign(outputCount / 2 + 1, Complex{});
  spectrum[0] = Complex{mean, 0.0};
  for (std::size_t k = 1; k <= harmonicCount; ++k) {
    spectrum[k] = (2 * k == outputCount ? 1.0 : 0.5) * amplitudes[k - 1];
  }
  inverseRealTransform(spectrum.data(), outputCount, values, method);
}

/// A profile at the output times: the samples themselves at their own times (j N mod M = 0),
/// the trigonometric interpolant of its spectrum between them.
void valuesAtOutputTimes(const std::vector<double>& samples, double mean,
                         const std::vector<Complex>& amplitudes, std::size_t outputCount,
                         FourierMethod method, std::vector<double>& values) {
  values.resize(outputCount);
  const std::size_t n = samples.size();
  if (n == outputCount) {
    values = samples;
    return;
  }
  if (n == 1) {
    values.assign(outputCount, samples[0]);
    return;
  }
  synthesize(mean, amplitudes.data(), std::min(n / 2, amplitudes.size()), outputCount, method,
             transformScratch(), values.data());
  for (std::size_t j = 0; j < outputCount; ++j) {
    if ((j * n) % outputCount == 0) values[j] = samples[j * n / outputCount];
  }
}

std::optional<ProfileProblem> checkSamples(const std::vector<double>& samples, ProfileField field) {
  if (samples.empty()) return ProfileProblem{ProfileProblemKind::Empty, field, kWholeProfile, 0.0};
  if (samples.size() > kMaxProfileSamples) {
    return ProfileProblem{ProfileProblemKind::TooManySamples, field, kWholeProfile,
                          static_cast<double>(samples.size())};
  }
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (!std::isfinite(samples[i])) {
      return ProfileProblem{ProfileProblemKind::NotFinite, field, i, samples[i]};
    }
  }
  return std::nullopt;
}

/// tanh((1 + i) xi) for xi >= 0, from tanh(a + ib) = (sinh 2a + i sin 2b) / (cosh 2a + cos 2b);
/// past 2 xi = 40 it equals 1 to double precision (the remainder is below 4 e^-40).
Complex tanhOfDiagonal(double xi) {
  const double twice = 2.0 * xi;
  if (twice > 40.0) return Complex{1.0, 0.0};
  const double denominator = std::cosh(twice) + std::cos(twice);
  return Complex{std::sinh(twice) / denominator, std::sin(twice) / denominator};
}

/// zeta <- zeta' of the stack side across one layer (see surfaceAdmittances).
Complex impedanceAcross(const LayerProperties& layer, double period, Complex zeta) {
  if (layer.isPureResistance()) return zeta + Complex{layer.resistance, 0.0};
  const double penetrationDepth = periodicPenetrationDepth(layer, period);
  const double scale = penetrationDepth / (2.0 * layer.conductivity);
  const Complex characteristic{scale, -scale};  // Zc = delta (1 - i) / (2 lambda) [m2.K/W]
  const Complex t = tanhOfDiagonal(layer.thickness / penetrationDepth);
  return characteristic * (zeta + characteristic * t) / (characteristic + zeta * t);
}

}  // namespace

SurfaceAdmittances surfaceAdmittances(const LayerProperties* layers, std::size_t layerCount,
                                      const ElementBoundary& boundary, double period) {
  const Complex one{1.0, 0.0};
  // Side 1 driven: from the air of side 2 through Rse, the layers from the last, and Rsi.
  Complex fromInside{boundary.externalSurfaceResistance, 0.0};
  for (std::size_t i = layerCount; i-- > 0;) {
    fromInside = impedanceAcross(layers[i], period, fromInside);
  }
  fromInside = fromInside + Complex{boundary.internalSurfaceResistance, 0.0};
  // Side 2 driven: the mirror image.
  Complex fromOutside{boundary.internalSurfaceResistance, 0.0};
  for (std::size_t i = 0; i < layerCount; ++i) {
    fromOutside = impedanceAcross(layers[i], period, fromOutside);
  }
  fromOutside = fromOutside + Complex{boundary.externalSurfaceResistance, 0.0};
  return {one / fromInside, one / fromOutside};
}

namespace {

/// The harmonics' admittances of one wall, k = 1 .. K at index k - 1 [W/(m2.K)]: Y11 = -Z11 /
/// Z12, Y22 = -Z22 / Z12 and Y12 = -1 / Z12 of ISO 13786 at the period T / k, or, where the
/// matrix overflows, the thick-wall limit of surfaceAdmittances with Y12 = 0.
struct HarmonicAdmittances {
  std::vector<double> y11re, y11im, y22re, y22im, y12re, y12im;
  std::vector<std::uint8_t> throughMatrix;
};

/// The kernel's input for a group of harmonics: the wall's layers once per lane.
struct KernelLanes {
  std::vector<std::size_t> layerBegin;
  std::vector<double> thickness, conductivity, density, specificHeat, resistance;
  std::vector<double> rsi, rse, period;
  std::vector<std::uint8_t> partition;
};

/// Harmonics per kernel call: enough to fill the vector lanes many times over, few enough that
/// the copies of a wall's layers stay small (a wall may have kMaxLayers of them).
std::size_t harmonicGroup(std::size_t layerCount) {
  const std::size_t group = 4096 / layerCount;
  return std::max<std::size_t>(8, std::min<std::size_t>(512, group - group % 8));
}

void harmonicAdmittances(const LayerProperties* layers, std::size_t layerCount,
                         const ElementBoundary& boundary, double period, std::size_t harmonicCount,
                         const std::optional<InstructionSet>& kernel, KernelLanes& lanes,
                         HarmonicAdmittances& out) {
  for (std::vector<double>* column :
       {&out.y11re, &out.y11im, &out.y22re, &out.y22im, &out.y12re, &out.y12im}) {
    column->resize(harmonicCount);
  }
  out.throughMatrix.resize(harmonicCount);
  if (harmonicCount == 0) return;
  const std::size_t group = std::min(harmonicGroup(layerCount), harmonicCount);
  // The same wall in every lane: the layers copied once, the periods set per group.
  lanes.layerBegin.resize(group + 1);
  for (std::vector<double>* column : {&lanes.thickness, &lanes.conductivity, &lanes.density,
                                      &lanes.specificHeat, &lanes.resistance}) {
    column->resize(group * layerCount);
  }
  for (std::size_t lane = 0; lane < group; ++lane) {
    lanes.layerBegin[lane] = lane * layerCount;
    for (std::size_t i = 0; i < layerCount; ++i) {
      const std::size_t at = lane * layerCount + i;
      lanes.thickness[at] = layers[i].thickness;
      lanes.conductivity[at] = layers[i].conductivity;
      lanes.density[at] = layers[i].density;
      lanes.specificHeat[at] = layers[i].specificHeat;
      lanes.resistance[at] = layers[i].resistance;
    }
  }
  lanes.layerBegin[group] = group * layerCount;
  lanes.rsi.assign(group, boundary.internalSurfaceResistance);
  lanes.rse.assign(group, boundary.externalSurfaceResistance);
  lanes.period.resize(group);
  // Not a partition: the response takes -Zii / Z12 for either kind of wall (see the header).
  lanes.partition.assign(group, 0);

  WallArrays walls;
  walls.layerBegin = lanes.layerBegin.data();
  walls.thickness = lanes.thickness.data();
  walls.conductivity = lanes.conductivity.data();
  walls.density = lanes.density.data();
  walls.specificHeat = lanes.specificHeat.data();
  walls.resistance = lanes.resistance.data();
  walls.internalSurfaceResistance = lanes.rsi.data();
  walls.externalSurfaceResistance = lanes.rse.data();
  walls.partition = lanes.partition.data();
  walls.period = lanes.period.data();
  ManyWallsOptions options;
  options.threads = 1;
  options.instructionSet = kernel;
  for (std::size_t first = 0; first < harmonicCount; first += group) {
    const std::size_t count = std::min(group, harmonicCount - first);
    for (std::size_t lane = 0; lane < count; ++lane) {
      lanes.period[lane] = period / static_cast<double>(first + lane + 1);  // T / k [s]
    }
    walls.wallCount = count;
    ResponseArrays arrays;
    arrays.internalAdmittance = {out.y11re.data() + first, out.y11im.data() + first, 1};
    arrays.externalAdmittance = {out.y22re.data() + first, out.y22im.data() + first, 1};
    arrays.periodicThermalTransmittance = {out.y12re.data() + first, out.y12im.data() + first, 1};
    arrays.computed = out.throughMatrix.data() + first;
    computeManyWalls(walls, arrays, options);
  }
  for (std::size_t k = 1; k <= harmonicCount; ++k) {
    if (out.throughMatrix[k - 1] != 0) continue;
    // Thick-wall limit: Y12 below e^-354 [W/(m2.K)], nothing any temperature makes visible.
    const SurfaceAdmittances limit =
        surfaceAdmittances(layers, layerCount, boundary, period / static_cast<double>(k));
    out.y11re[k - 1] = limit.internal.getRealPart();
    out.y11im[k - 1] = limit.internal.getImaginaryPart();
    out.y22re[k - 1] = limit.external.getRealPart();
    out.y22im[k - 1] = limit.external.getImaginaryPart();
    out.y12re[k - 1] = 0.0;
    out.y12im[k - 1] = 0.0;
  }
}

/// One wall's harmonics and flows under analysed profiles, and the scratch they use; kept per
/// thread so that many walls reuse the allocations.
struct WallWork {
  KernelLanes lanes;
  HarmonicAdmittances admittances;
  HarmonicAdmittances pathAdmittances;           ///< one path's, for an element
  std::vector<Complex> heatFlowIn, heatFlowOut;  ///< A_k of q_in and q_e [W/m2]
  std::vector<Complex> spectrum;                 ///< the inverse transform's input
  std::vector<double> seriesIn, seriesOut;       ///< q_in and q_e at the output times [W/m2]
  double uValue = 0.0;                           ///< U [W/(m2.K)]
  double decrementConductance = 0.0;             ///< U, or 1 / R'_T of an element [W/(m2.K)]
  double meanHeatFlow = 0.0;                     ///< U (c_0e - c_0i) [W/m2]
};

WallWork& threadWork() {
  thread_local WallWork work;
  return work;
}

std::optional<WallProblem> checkWallOf(const WallRequest& wall, double period) {
  // The wall's own check stops at a year of 365 days; a leap year's profiles are computed.
  if (wall.period == std::min(period, kLongestPeriod)) return check(wall);
  WallRequest checked = wall;
  checked.period = std::min(period, kLongestPeriod);
  return check(checked);
}

/// checkWallOf() and, for an element, its own check: a problem of the element's parts is the
/// reader's business, so only the plain wall's part (or an overflow) can come back here.
std::optional<WallProblem> checkWallOf(const WallRequest& wall, const ElementDescription& element,
                                       double period) {
  if (auto problem = checkWallOf(wall, period)) return problem;
  if (element.empty()) return std::nullopt;
  WallRequest checked = wall;
  checked.period = std::min(period, kLongestPeriod);
  if (auto problem = check(checked, element)) return problem->wall;
  return std::nullopt;
}

/// The admittances of an element's harmonics: each stack's (a path in a ventilation variant)
/// through the kernel, added with the stack's weight, the parallel-path approximation of
/// ISO 6946's paths on top of ISO 13786 that computeElement() uses at one period.
void elementHarmonicAdmittances(const WallRequest& wall, const ElementDescription& element,
                                const AnalysedProfiles& profiles, WallWork& work) {
  const std::size_t harmonicCount = profiles.harmonicCount;
  HarmonicAdmittances& sum = work.admittances;
  for (std::vector<double>* column :
       {&sum.y11re, &sum.y11im, &sum.y22re, &sum.y22im, &sum.y12re, &sum.y12im}) {
    column->assign(harmonicCount, 0.0);
  }
  sum.throughMatrix.assign(harmonicCount, 1);
  for (const ElementStack& stack : elementStacks(wall, element)) {
    HarmonicAdmittances& path = work.pathAdmittances;
    harmonicAdmittances(stack.layers.data(), stack.layers.size(), stack.boundary, profiles.period,
                        harmonicCount, profiles.options.kernel, work.lanes, path);
    const double f = stack.weight;
    for (std::size_t k = 0; k < harmonicCount; ++k) {
      sum.y11re[k] += f * path.y11re[k];
      sum.y11im[k] += f * path.y11im[k];
      sum.y22re[k] += f * path.y22re[k];
      sum.y22im[k] += f * path.y22im[k];
      sum.y12re[k] += f * path.y12re[k];
      sum.y12im[k] += f * path.y12im[k];
      sum.throughMatrix[k] = sum.throughMatrix[k] != 0 && path.throughMatrix[k] != 0;
    }
  }
}

/// The steady state, the admittances and the flows' harmonics of a checked wall.
void respond(const WallRequest& wall, const ElementDescription& element,
             const AnalysedProfiles& profiles, bool wantHeatFlowOut, WallWork& work) {
  const ElementBoundary boundary = wall.boundary();
  const std::size_t harmonicCount = profiles.harmonicCount;
  if (element.empty()) {
    // Steady state: U = 1 / R_tot with R_tot = Rsi + sum R + Rse [W/(m2.K)] (ISO 6946).
    double totalResistance =
        boundary.internalSurfaceResistance + boundary.externalSurfaceResistance;
    for (const LayerProperties& layer : wall.layers) totalResistance += layer.thermalResistance();
    work.uValue = 1.0 / totalResistance;
    work.decrementConductance = work.uValue;
    harmonicAdmittances(wall.layers.data(), wall.layers.size(), boundary, profiles.period,
                        harmonicCount, profiles.options.kernel, work.lanes, work.admittances);
  } else {
    // The combined method's U = 1 / R_T, R_T = (R'_T + R''_T) / 2 (ISO 6946:2017 6.7.2),
    // which no period changes.
    WallRequest steady = wall;
    steady.period = std::min(profiles.period, kLongestPeriod);
    const ElementOutcome outcome = computeElement(steady, element);
    const auto* result = std::get_if<ElementResult>(&outcome);
    const double notComputed = std::numeric_limits<double>::quiet_NaN();
    work.uValue = result != nullptr ? result->wall.uValue : notComputed;
    work.decrementConductance = result != nullptr ? 1.0 / result->upperResistance : notComputed;
    elementHarmonicAdmittances(wall, element, profiles, work);
  }
  work.meanHeatFlow = work.uValue * (profiles.outdoorMean - profiles.indoorMean);
  // q_in = Y12 theta_e - Y11 theta_i and q_e = Y22 theta_e - Y12 theta_i per harmonic [W/m2].
  const HarmonicAdmittances& y = work.admittances;
  work.heatFlowIn.resize(harmonicCount);
  work.heatFlowOut.resize(wantHeatFlowOut ? harmonicCount : 0);
  for (std::size_t k = 0; k < harmonicCount; ++k) {
    const Complex y11{y.y11re[k], y.y11im[k]};
    const Complex y12{y.y12re[k], y.y12im[k]};
    work.heatFlowIn[k] = y12 * profiles.outdoor[k] - y11 * profiles.indoor[k];
    if (wantHeatFlowOut) {
      const Complex y22{y.y22re[k], y.y22im[k]};
      work.heatFlowOut[k] = y22 * profiles.outdoor[k] - y12 * profiles.indoor[k];
    }
  }
}

/// The summary of sampled series of M values, as summarizeProfileResponse documents it.
ProfileSummary summarize(const AnalysedProfiles& profiles, double meanHeatFlow,
                         double decrementConductance, const double* heatFlowIn,
                         const double* innerSurface, const Complex* heatFlowHarmonics) {
  ProfileSummary summary;
  summary.meanHeatFlowIn = meanHeatFlow;
  const std::size_t count = profiles.outputCount;
  const double periodHours = profiles.period / kSecondsPerHour;
  const double stepHours = periodHours / static_cast<double>(count);
  const auto timeOf = [&](std::size_t j) {
    return profiles.period * static_cast<double>(j) /
           (static_cast<double>(count) * kSecondsPerHour);
  };
  std::size_t peak = 0;
  std::size_t minimum = 0;
  std::size_t outdoorPeak = 0;
  std::size_t warmest = 0;
  std::size_t coldest = 0;
  const double* outdoor = profiles.outdoorAt.data();
  for (std::size_t j = 0; j < count; ++j) {
    const double q = heatFlowIn[j];
    if (q > heatFlowIn[peak]) peak = j;
    if (q < heatFlowIn[minimum]) minimum = j;
    if (outdoor[j] > outdoor[outdoorPeak]) outdoorPeak = j;
    if (innerSurface[j] > innerSurface[warmest]) warmest = j;
    if (innerSurface[j] < innerSurface[coldest]) coldest = j;
    // Energy over the step [Wh/m2] = q [W/m2] x dt [h].
    if (q > 0.0) summary.energyGained += q * stepHours;
    if (q < 0.0) summary.energyLost -= q * stepHours;
  }
  summary.peakHeatFlowIn = heatFlowIn[peak];
  summary.peakTime = timeOf(peak);
  summary.minimumHeatFlowIn = heatFlowIn[minimum];
  summary.minimumTime = timeOf(minimum);
  summary.outdoorPeakTime = timeOf(outdoorPeak);
  // Whole steps apart, so the wrap is exact: (peak - outdoorPeak) mod M steps.
  const std::size_t delaySteps = (peak + count - outdoorPeak) % count;
  summary.peakDelay = stepHours * static_cast<double>(delaySteps);
  summary.innerSurfaceMaximum = innerSurface[warmest];
  summary.innerSurfaceMaximumTime = timeOf(warmest);
  summary.innerSurfaceMinimum = innerSurface[coldest];
  summary.innerSurfaceMinimumTime = timeOf(coldest);

  const double notDefined = std::numeric_limits<double>::quiet_NaN();
  summary.mainHarmonicPeriod = notDefined;
  summary.effectiveDecrementFactor = notDefined;
  summary.effectiveTimeLag = notDefined;
  double largest = 0.0;
  for (std::size_t k = 1; k <= profiles.harmonicCount; ++k) {
    const double amplitude = profiles.outdoor[k - 1].getModulus();
    if (amplitude > largest) {
      largest = amplitude;
      summary.mainHarmonic = k;
    }
  }
  if (summary.mainHarmonic == 0) return summary;
  const std::size_t k = summary.mainHarmonic;
  const double harmonicHours = periodHours / static_cast<double>(k);
  summary.mainHarmonicPeriod = harmonicHours;
  const Complex& flow = heatFlowHarmonics[k - 1];
  // f_eff = |A_q| / (U |A_e|) [-].
  summary.effectiveDecrementFactor = flow.getModulus() / (decrementConductance * largest);
  if (flow.getModulus() > 0.0) {
    // Lag of q behind theta_e: (T_k / 2 pi) arg(A_e / A_q) [h], wrapped into [0, T_k).
    const Complex ratio = profiles.outdoor[k - 1] / flow;
    double lag = harmonicHours * std::atan2(ratio.getImaginaryPart(), ratio.getRealPart()) / kTwoPi;
    if (lag < 0.0) lag += harmonicHours;
    if (lag >= harmonicHours) lag -= harmonicHours;
    summary.effectiveTimeLag = lag;
  }
  return summary;
}

}  // namespace

namespace {

/// analyseProfiles into `profiles`, whose allocations are reused.
std::optional<ProfileProblem> analyseInto(const ProfileRequest& request, double period,
                                          const ProfileOptions& options,
                                          AnalysedProfiles& profiles) {
  if (auto problem = checkSamples(request.indoor, ProfileField::Indoor)) return problem;
  if (auto problem = checkSamples(request.outdoor, ProfileField::Outdoor)) return problem;
  const std::size_t longest = std::max(request.indoor.size(), request.outdoor.size());
  if (request.refinement < 1) {
    return ProfileProblem{ProfileProblemKind::OutOfRange, ProfileField::Refinement, kWholeProfile,
                          0.0};
  }
  if (request.refinement > kMaxResponseSamples / longest) {
    return ProfileProblem{ProfileProblemKind::TooManySamples, ProfileField::Refinement,
                          kWholeProfile,
                          static_cast<double>(longest) * static_cast<double>(request.refinement)};
  }
  if (!(period >= kShortestPeriod && period <= kLongestProfilePeriod)) {
    return ProfileProblem{ProfileProblemKind::OutOfRange, ProfileField::Period, kWholeProfile,
                          period};
  }
  const std::size_t harmonicCount = longest / 2;
  if (harmonicCount > 0 && period / static_cast<double>(harmonicCount) < kShortestPeriod) {
    return ProfileProblem{ProfileProblemKind::ShortHarmonic,
                          request.indoor.size() > request.outdoor.size() ? ProfileField::Indoor
                                                                         : ProfileField::Outdoor,
                          harmonicCount, period / static_cast<double>(harmonicCount)};
  }
  profiles.period = period;
  profiles.outputCount = longest * request.refinement;
  profiles.harmonicCount = harmonicCount;
  profiles.options = options;
  const FourierMethod method = options.transform;
  profiles.indoorMean = spectrumOf(request.indoor, harmonicCount, method, profiles.indoor);
  profiles.outdoorMean = spectrumOf(request.outdoor, harmonicCount, method, profiles.outdoor);
  valuesAtOutputTimes(request.indoor, profiles.indoorMean, profiles.indoor, profiles.outputCount,
                      method, profiles.indoorAt);
  valuesAtOutputTimes(request.outdoor, profiles.outdoorMean, profiles.outdoor, profiles.outputCount,
                      method, profiles.outdoorAt);
  return std::nullopt;
}

}  // namespace

std::variant<AnalysedProfiles, ProfileProblem> analyseProfiles(const ProfileRequest& request,
                                                               double period,
                                                               const ProfileOptions& options) {
  AnalysedProfiles profiles;
  if (auto problem = analyseInto(request, period, options, profiles)) return *problem;
  return profiles;
}

ProfileOutcome computeProfileResponse(const ProfileRequest& request,
                                      const ProfileOptions& options) {
  ProfileResponse response;
  if (auto problem = computeProfileResponseInto(request, response, options)) {
    if (const auto* wall = std::get_if<WallProblem>(&*problem)) return *wall;
    return std::get<ProfileProblem>(*problem);
  }
  return response;
}

std::optional<std::variant<WallProblem, ProfileProblem>> computeProfileResponseInto(
    const ProfileRequest& request, ProfileResponse& response, const ProfileOptions& options) {
  const double period = request.wall.period;
  if (std::optional<WallProblem> problem = checkWallOf(request.wall, request.element, period)) {
    return *problem;
  }
  thread_local AnalysedProfiles profiles;
  if (auto problem = analyseInto(request, period, options, profiles)) return *problem;

  WallWork& work = threadWork();
  respond(request.wall, request.element, profiles, true, work);
  const std::size_t harmonicCount = profiles.harmonicCount;
  const std::size_t outputCount = profiles.outputCount;

  response.period = period;
  response.uValue = work.uValue;
  response.decrementConductance = work.decrementConductance;
  response.meanHeatFlow = work.meanHeatFlow;
  // Filled in place rather than resized first: a year's response is a megabyte, and zeroing it
  // before writing it would cost as much as the transforms. clear() keeps the storage of an
  // earlier call.
  response.harmonics.clear();
  response.samples.clear();
  response.harmonics.reserve(harmonicCount);
  for (std::size_t k = 1; k <= harmonicCount; ++k) {
    ProfileHarmonic harmonic;
    harmonic.order = k;
    harmonic.period = period / static_cast<double>(k);
    harmonic.indoor = profiles.indoor[k - 1];
    harmonic.outdoor = profiles.outdoor[k - 1];
    harmonic.heatFlowIn = work.heatFlowIn[k - 1];
    harmonic.heatFlowOut = work.heatFlowOut[k - 1];
    harmonic.throughMatrix = work.admittances.throughMatrix[k - 1] != 0;
    response.harmonics.push_back(harmonic);
  }

  std::vector<double>& heatFlowIn = work.seriesIn;
  std::vector<double>& heatFlowOut = work.seriesOut;
  heatFlowIn.resize(outputCount);
  heatFlowOut.resize(outputCount);
  synthesize(work.meanHeatFlow, work.heatFlowIn.data(), harmonicCount, outputCount,
             profiles.options.transform, work.spectrum, heatFlowIn.data());
  synthesize(work.meanHeatFlow, work.heatFlowOut.data(), harmonicCount, outputCount,
             profiles.options.transform, work.spectrum, heatFlowOut.data());
  const ElementBoundary boundary = request.wall.boundary();
  const double rsi = boundary.internalSurfaceResistance;
  const double rse = boundary.externalSurfaceResistance;
  response.samples.reserve(outputCount);
  for (std::size_t j = 0; j < outputCount; ++j) {
    ProfileSample sample;
    sample.time =
        period * static_cast<double>(j) / (static_cast<double>(outputCount) * kSecondsPerHour);
    sample.indoor = profiles.indoorAt[j];
    sample.outdoor = profiles.outdoorAt[j];
    sample.heatFlowIn = heatFlowIn[j];
    sample.heatFlowOut = heatFlowOut[j];
    // The surface film: theta_si - theta_i = Rsi q_in, theta_e - theta_se = Rse q_e [K].
    sample.innerSurfaceTemperature = sample.indoor + rsi * sample.heatFlowIn;
    sample.outerSurfaceTemperature = sample.outdoor - rse * sample.heatFlowOut;
    response.samples.push_back(sample);
  }
  return std::nullopt;
}

ProfileSummary summarizeProfileResponse(const ProfileResponse& response) {
  const std::size_t count = response.samples.size();
  AnalysedProfiles profiles;
  profiles.period = response.period;
  profiles.outputCount = count;
  profiles.harmonicCount = response.harmonics.size();
  std::vector<double> heatFlowIn(count);
  std::vector<double> innerSurface(count);
  profiles.outdoorAt.resize(count);
  for (std::size_t j = 0; j < count; ++j) {
    heatFlowIn[j] = response.samples[j].heatFlowIn;
    innerSurface[j] = response.samples[j].innerSurfaceTemperature;
    profiles.outdoorAt[j] = response.samples[j].outdoor;
  }
  std::vector<Complex> heatFlowHarmonics(profiles.harmonicCount);
  profiles.outdoor.resize(profiles.harmonicCount);
  for (std::size_t k = 0; k < profiles.harmonicCount; ++k) {
    profiles.outdoor[k] = response.harmonics[k].outdoor;
    heatFlowHarmonics[k] = response.harmonics[k].heatFlowIn;
  }
  return summarize(profiles, response.meanHeatFlow, response.decrementConductance,
                   heatFlowIn.data(), innerSurface.data(), heatFlowHarmonics.data());
}

std::optional<WallProblem> computeProfileSeries(const WallRequest& wall,
                                                const AnalysedProfiles& profiles,
                                                ProfileSeries& series) {
  if (std::optional<WallProblem> problem = checkWallOf(wall, profiles.period)) return problem;
  WallWork& work = threadWork();
  static const ElementDescription kPlain;
  respond(wall, kPlain, profiles, false, work);
  const std::size_t outputCount = profiles.outputCount;
  series.heatFlowIn.resize(outputCount);
  series.innerSurfaceTemperature.resize(outputCount);
  synthesize(work.meanHeatFlow, work.heatFlowIn.data(), profiles.harmonicCount, outputCount,
             profiles.options.transform, work.spectrum, series.heatFlowIn.data());
  const double rsi = wall.boundary().internalSurfaceResistance;
  for (std::size_t j = 0; j < outputCount; ++j) {
    // theta_si = theta_i + Rsi q_in [degC].
    series.innerSurfaceTemperature[j] = profiles.indoorAt[j] + rsi * series.heatFlowIn[j];
  }
  series.summary =
      summarize(profiles, work.meanHeatFlow, work.decrementConductance, series.heatFlowIn.data(),
                series.innerSurfaceTemperature.data(), work.heatFlowIn.data());
  return std::nullopt;
}

void computeManyProfileSeries(const WallRequest* walls, std::size_t wallCount,
                              const AnalysedProfiles& profiles, const ManyProfileSeries& out,
                              unsigned threads) {
  const std::size_t outputCount = profiles.outputCount;
  const auto computeRange = [&](std::size_t begin, std::size_t end) {
    ProfileSeries series;
    for (std::size_t w = begin; w < end; ++w) {
      std::optional<WallProblem> problem = computeProfileSeries(walls[w], profiles, series);
      if (out.problems != nullptr) out.problems[w] = problem;
      const double notComputed = std::numeric_limits<double>::quiet_NaN();
      const auto row = [&](double* target, const std::vector<double>& values) {
        if (target == nullptr) return;
        double* first = target + w * outputCount;
        if (problem) {
          std::fill(first, first + outputCount, notComputed);
        } else {
          std::copy(values.begin(), values.end(), first);
        }
      };
      row(out.heatFlowIn, series.heatFlowIn);
      row(out.innerSurfaceTemperature, series.innerSurfaceTemperature);
      if (out.summaries != nullptr) out.summaries[w] = problem ? ProfileSummary{} : series.summary;
    }
  };
  std::size_t shares = threads == 0 ? 1 : threads;
  if (shares > wallCount) shares = wallCount == 0 ? 1 : wallCount;
  if (shares == 1) {
    computeRange(0, wallCount);
    return;
  }
  std::vector<std::thread> helpers;
  helpers.reserve(shares - 1);
  for (std::size_t share = 1; share < shares; ++share) {
    helpers.emplace_back(computeRange, wallCount * share / shares,
                         wallCount * (share + 1) / shares);
  }
  computeRange(0, wallCount / shares);
  for (std::thread& helper : helpers) helper.join();
}

std::optional<ProfileProblem> checkSolAirSurface(const SolAirSurface& surface) {
  const auto fraction = [](double value) { return value >= 0.0 && value <= 1.0; };
  const auto notNegative = [](double value) { return value >= 0.0 && std::isfinite(value); };
  if (!fraction(surface.absorptance)) {
    return ProfileProblem{ProfileProblemKind::OutOfRange, ProfileField::Absorptance, kWholeProfile,
                          surface.absorptance};
  }
  if (!fraction(surface.emissivity)) {
    return ProfileProblem{ProfileProblemKind::OutOfRange, ProfileField::Emissivity, kWholeProfile,
                          surface.emissivity};
  }
  if (!notNegative(surface.skyRadiation)) {
    return ProfileProblem{ProfileProblemKind::OutOfRange, ProfileField::SkyRadiation, kWholeProfile,
                          surface.skyRadiation};
  }
  if (!notNegative(surface.externalSurfaceResistance)) {
    return ProfileProblem{ProfileProblemKind::OutOfRange, ProfileField::ExternalSurfaceResistance,
                          kWholeProfile, surface.externalSurfaceResistance};
  }
  return std::nullopt;
}

std::variant<std::vector<double>, ProfileProblem> solAirProfile(
    const std::vector<double>& outdoor, const std::vector<double>& irradiance,
    const SolAirSurface& surface) {
  if (auto problem = checkSolAirSurface(surface)) return *problem;
  if (auto problem = checkSamples(outdoor, ProfileField::Outdoor)) return *problem;
  if (auto problem = checkSamples(irradiance, ProfileField::Irradiance)) return *problem;
  if (irradiance.size() != outdoor.size()) {
    return ProfileProblem{ProfileProblemKind::LengthMismatch, ProfileField::Irradiance,
                          kWholeProfile, static_cast<double>(irradiance.size())};
  }
  std::vector<double> solAir(outdoor.size());
  for (std::size_t i = 0; i < outdoor.size(); ++i) {
    if (irradiance[i] < 0.0) {
      return ProfileProblem{ProfileProblemKind::Negative, ProfileField::Irradiance, i,
                            irradiance[i]};
    }
    solAir[i] = solAirTemperature(outdoor[i], irradiance[i], surface);
  }
  return solAir;
}

}  // namespace Brusk::Engine
