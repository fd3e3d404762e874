// Response of a wall to periodic temperature profiles by harmonic superposition through the
// ISO 13786 transfer matrix; the sol-air temperature helper. Conventions in the header.
#include "brusk/engine/periodic_profile.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "brusk/engine/constants.h"

namespace Brusk::Engine {

namespace {

/// e^(i 2 pi m / M) for m = 0 .. M - 1 [-]: the roots of unity the transforms and the output
/// read by index (k n mod M), which keeps the phase exact for every harmonic.
std::vector<Complex> rootsOfUnity(std::size_t count) {
  std::vector<Complex> roots(count);
  const double step = kTwoPi / static_cast<double>(count);
  for (std::size_t m = 0; m < count; ++m) {
    const double angle = step * static_cast<double>(m);
    roots[m] = Complex{std::cos(angle), std::sin(angle)};
  }
  return roots;
}

/// Mean and amplitudes w_k c_k of harmonics 1 .. harmonicCount of a profile (zero past its own
/// floor(N / 2)): theta(t) = mean + sum_k Re(A_k e^(i 2 pi k t / T)).
struct Spectrum {
  double mean = 0.0;
  std::vector<Complex> amplitudes;  ///< A_k at index k - 1
};

Spectrum spectrumOf(const std::vector<double>& samples, std::size_t harmonicCount) {
  const std::size_t n = samples.size();
  Spectrum spectrum;
  spectrum.amplitudes.assign(harmonicCount, Complex{});
  double sum = 0.0;
  for (double sample : samples) sum += sample;
  spectrum.mean = sum / static_cast<double>(n);
  const std::vector<Complex> roots = rootsOfUnity(n);
  const std::size_t ownHarmonics = std::min(n / 2, harmonicCount);
  for (std::size_t k = 1; k <= ownHarmonics; ++k) {
    // c_k = (1/N) sum_n theta_n e^(-i 2 pi k n / N): the conjugate root at index k n mod N.
    double re = 0.0;
    double im = 0.0;
    for (std::size_t m = 0; m < n; ++m) {
      const Complex& root = roots[(k * m) % n];
      re += samples[m] * root.getRealPart();
      im -= samples[m] * root.getImaginaryPart();
    }
    const bool nyquist = 2 * k == n;
    // Weight 2 folds in the conjugate harmonic -k; the Nyquist harmonic is its own conjugate.
    // Its samples only see cos(pi n), so its sine part is 0 rather than rounding noise.
    const double weight = (nyquist ? 1.0 : 2.0) / static_cast<double>(n);
    spectrum.amplitudes[k - 1] = Complex{weight * re, nyquist ? 0.0 : weight * im};
  }
  return spectrum;
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

ProfileOutcome computeProfileResponse(const ProfileRequest& request) {
  if (std::optional<WallProblem> problem = check(request.wall)) return *problem;
  if (auto problem = checkSamples(request.indoor, ProfileField::Indoor)) return *problem;
  if (auto problem = checkSamples(request.outdoor, ProfileField::Outdoor)) return *problem;
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
  const double period = request.wall.period;
  const std::size_t harmonicCount = longest / 2;
  if (harmonicCount > 0 && period / static_cast<double>(harmonicCount) < kShortestPeriod) {
    return ProfileProblem{ProfileProblemKind::ShortHarmonic,
                          request.indoor.size() > request.outdoor.size() ? ProfileField::Indoor
                                                                         : ProfileField::Outdoor,
                          harmonicCount, period / static_cast<double>(harmonicCount)};
  }

  const ElementBoundary boundary = request.wall.boundary();
  const LayerProperties* layers = request.wall.layers.data();
  const std::size_t layerCount = request.wall.layers.size();
  const Spectrum indoor = spectrumOf(request.indoor, harmonicCount);
  const Spectrum outdoor = spectrumOf(request.outdoor, harmonicCount);

  ProfileResponse response;
  response.period = period;
  // Steady state: U = 1 / R_tot with R_tot = Rsi + sum R + Rse [W/(m2.K)] (ISO 6946).
  double totalResistance = boundary.internalSurfaceResistance + boundary.externalSurfaceResistance;
  for (const LayerProperties& layer : request.wall.layers) {
    totalResistance += layer.thermalResistance();
  }
  response.uValue = 1.0 / totalResistance;
  response.meanHeatFlow = response.uValue * (outdoor.mean - indoor.mean);

  response.harmonics.reserve(harmonicCount);
  for (std::size_t k = 1; k <= harmonicCount; ++k) {
    ProfileHarmonic harmonic;
    harmonic.order = k;
    harmonic.period = period / static_cast<double>(k);
    harmonic.indoor = indoor.amplitudes[k - 1];
    harmonic.outdoor = outdoor.amplitudes[k - 1];
    Complex y11;
    Complex y22;
    Complex y12;
    PeriodicResponse matrix;
    if (computePeriodicResponse(layers, layerCount, boundary, harmonic.period, matrix)) {
      y11 = -matrix.z11 / matrix.z12;
      y22 = -matrix.z22 / matrix.z12;
      y12 = matrix.periodicThermalTransmittance;
    } else {
      // Thick-wall limit: Y12 below e^-354 [W/(m2.K)], nothing any temperature makes visible.
      const SurfaceAdmittances limit =
          surfaceAdmittances(layers, layerCount, boundary, harmonic.period);
      y11 = limit.internal;
      y22 = limit.external;
      harmonic.throughMatrix = false;
    }
    harmonic.heatFlowIn = y12 * harmonic.outdoor - y11 * harmonic.indoor;
    harmonic.heatFlowOut = y22 * harmonic.outdoor - y12 * harmonic.indoor;
    response.harmonics.push_back(harmonic);
  }

  // Output at t_j = j T / M: Re(A e^(i 2 pi k j / M)) with the root at index k j mod M.
  const std::size_t outputCount = longest * request.refinement;
  const std::vector<Complex> roots = rootsOfUnity(outputCount);
  const double rsi = boundary.internalSurfaceResistance;
  const double rse = boundary.externalSurfaceResistance;
  response.samples.resize(outputCount);
  for (std::size_t j = 0; j < outputCount; ++j) {
    ProfileSample& sample = response.samples[j];
    sample.time =
        period * static_cast<double>(j) / (static_cast<double>(outputCount) * kSecondsPerHour);
    double indoorValue = indoor.mean;
    double outdoorValue = outdoor.mean;
    double heatFlowIn = response.meanHeatFlow;
    double heatFlowOut = response.meanHeatFlow;
    for (const ProfileHarmonic& harmonic : response.harmonics) {
      const Complex& root = roots[(harmonic.order * j) % outputCount];
      const auto realPart = [&root](const Complex& amplitude) {
        return amplitude.getRealPart() * root.getRealPart() -
               amplitude.getImaginaryPart() * root.getImaginaryPart();
      };
      indoorValue += realPart(harmonic.indoor);
      outdoorValue += realPart(harmonic.outdoor);
      heatFlowIn += realPart(harmonic.heatFlowIn);
      heatFlowOut += realPart(harmonic.heatFlowOut);
    }
    // At a profile's own sample times its interpolant equals the sample up to rounding; the
    // sample itself is reported, so that a table echoes its input.
    if ((j * request.indoor.size()) % outputCount == 0) {
      indoorValue = request.indoor[j * request.indoor.size() / outputCount];
    }
    if ((j * request.outdoor.size()) % outputCount == 0) {
      outdoorValue = request.outdoor[j * request.outdoor.size() / outputCount];
    }
    sample.indoor = indoorValue;
    sample.outdoor = outdoorValue;
    sample.heatFlowIn = heatFlowIn;
    sample.heatFlowOut = heatFlowOut;
    // The surface film: theta_si - theta_i = Rsi q_in, theta_e - theta_se = Rse q_e [K].
    sample.innerSurfaceTemperature = indoorValue + rsi * heatFlowIn;
    sample.outerSurfaceTemperature = outdoorValue - rse * heatFlowOut;
  }
  return response;
}

ProfileSummary summarizeProfileResponse(const ProfileResponse& response) {
  ProfileSummary summary;
  summary.meanHeatFlowIn = response.meanHeatFlow;
  const std::vector<ProfileSample>& samples = response.samples;
  const double periodHours = response.period / kSecondsPerHour;
  const double stepHours = periodHours / static_cast<double>(samples.size());
  std::size_t peak = 0;
  std::size_t minimum = 0;
  std::size_t outdoorPeak = 0;
  for (std::size_t j = 0; j < samples.size(); ++j) {
    const double q = samples[j].heatFlowIn;
    if (q > samples[peak].heatFlowIn) peak = j;
    if (q < samples[minimum].heatFlowIn) minimum = j;
    if (samples[j].outdoor > samples[outdoorPeak].outdoor) outdoorPeak = j;
    // Energy over the step [Wh/m2] = q [W/m2] x dt [h].
    if (q > 0.0) summary.energyGained += q * stepHours;
    if (q < 0.0) summary.energyLost -= q * stepHours;
  }
  summary.peakHeatFlowIn = samples[peak].heatFlowIn;
  summary.peakTime = samples[peak].time;
  summary.minimumHeatFlowIn = samples[minimum].heatFlowIn;
  summary.minimumTime = samples[minimum].time;
  summary.outdoorPeakTime = samples[outdoorPeak].time;
  // Whole steps apart, so the wrap is exact: (peak - outdoorPeak) mod M steps.
  const std::size_t delaySteps = (peak + samples.size() - outdoorPeak) % samples.size();
  summary.peakDelay = stepHours * static_cast<double>(delaySteps);
  return summary;
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
