// Many walls: the choice of kernel for this CPU, the baseline kernel, threads, and the owning
// structure-of-arrays containers.
#include "brusk/engine/many_walls.h"

#include <cstdlib>
#include <functional>
#include <limits>
#include <string_view>
#include <thread>
#include <utility>

#include "brusk/engine/wall_result.h"
#include "many_walls_dispatch.h"

namespace Brusk::Engine {

namespace {

/// Wall `index` of `walls` through the one-wall kernel and the time shifts of computeInto,
/// written to `out` (NaN when refused): computePeriodicInto's doubles, bit for bit.
void computeOneWall(const WallArrays& walls, const ResponseArrays& out, std::size_t index,
                    std::vector<LayerProperties>& layers) {
  const std::size_t first = walls.layerBegin[index];
  const std::size_t count = walls.layerBegin[index + 1] - first;
  layers.resize(count);
  double thickness = 0.0, surfaceMass = 0.0;
  for (std::size_t i = 0; i < count; ++i) {
    layers[i] = LayerProperties{walls.thickness[first + i], walls.conductivity[first + i],
                                walls.density[first + i], walls.specificHeat[first + i],
                                walls.resistance[first + i]};
    thickness += layers[i].thickness;
    surfaceMass += layers[i].arealMass();
  }
  const ElementBoundary boundary{walls.internalSurfaceResistance[index],
                                 walls.externalSurfaceResistance[index],
                                 walls.partition[index] != 0};
  const double period = walls.period[index];
  PeriodicResponse response;
  const bool computed = computePeriodicResponse(layers.data(), count, boundary, period, response);
  out.computed[index] = computed ? 1 : 0;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const auto put = [&](double* column, double value) {
    if (column != nullptr) column[index] = computed ? value : nan;
  };
  const auto putComplex = [&](const ComplexColumns& columns, const Complex& value) {
    if (columns.real == nullptr) return;
    columns.real[index * columns.stride] = computed ? value.getRealPart() : nan;
    columns.imaginary[index * columns.stride] = computed ? value.getImaginaryPart() : nan;
  };
  putComplex(out.z11, response.z11);
  putComplex(out.z12, response.z12);
  putComplex(out.z21, response.z21);
  putComplex(out.z22, response.z22);
  putComplex(out.internalAdmittance, response.internalAdmittance);
  putComplex(out.externalAdmittance, response.externalAdmittance);
  putComplex(out.periodicThermalTransmittance, response.periodicThermalTransmittance);
  put(out.internalArealHeatCapacity, response.internalArealHeatCapacity);
  put(out.externalArealHeatCapacity, response.externalArealHeatCapacity);
  put(out.thermalResistance, response.thermalResistance);
  put(out.uValue, response.uValue);
  put(out.decrementFactor, response.decrementFactor);

  put(out.period, period);
  put(out.thickness, thickness);
  put(out.surfaceMass, surfaceMass);
  put(out.internalAdmittanceModulus, response.internalAdmittance.getModulus());
  put(out.externalAdmittanceModulus, response.externalAdmittance.getModulus());
  put(out.periodicThermalTransmittanceModulus, response.periodicThermalTransmittance.getModulus());
  if (!computed) {
    for (double* column : {out.internalAdmittanceShift, out.externalAdmittanceShift,
                           out.periodicThermalTransmittanceShift, out.timeLag}) {
      put(column, nan);
    }
    return;
  }
  if (out.internalAdmittanceShift) {
    put(out.internalAdmittanceShift, timeShiftHours(response.internalAdmittance, period));
  }
  if (out.externalAdmittanceShift) {
    put(out.externalAdmittanceShift, timeShiftHours(response.externalAdmittance, period));
  }
  if (out.periodicThermalTransmittanceShift || out.timeLag) {
    const double shift = timeShiftHours(response.periodicThermalTransmittance, period);
    put(out.periodicThermalTransmittanceShift, shift);
    put(out.timeLag, timeLagFromShift(shift, period));
  }
}

void computeWallRangeBaseline(const WallArrays& walls, const ResponseArrays& responses,
                              std::size_t begin, std::size_t end) {
  std::vector<LayerProperties> layers;
  for (std::size_t index = begin; index < end; ++index) {
    computeOneWall(walls, responses, index, layers);
  }
}

bool cpuRuns(InstructionSet instructionSet) {
#if defined(BRUSK_HAVE_VECTOR_KERNELS) && (defined(__x86_64__) || defined(__i386__))
  switch (instructionSet) {
    case InstructionSet::Baseline:
      return true;
    case InstructionSet::Avx2:
      return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
    case InstructionSet::Avx512:
      return __builtin_cpu_supports("avx512f");
  }
  return false;
#else
  return instructionSet == InstructionSet::Baseline;
#endif
}

/// The widest supported instruction set not wider than `cap`.
InstructionSet widestSupportedUpTo(InstructionSet cap) {
  for (InstructionSet candidate : {InstructionSet::Avx512, InstructionSet::Avx2}) {
    if (candidate <= cap && cpuRuns(candidate)) return candidate;
  }
  return InstructionSet::Baseline;
}

InstructionSet environmentCap() {
  const char* value = std::getenv("BRUSK_MANY_WALLS_ISA");
  if (value == nullptr) return InstructionSet::Avx512;
  const std::string_view name(value);
  for (InstructionSet candidate :
       {InstructionSet::Baseline, InstructionSet::Avx2, InstructionSet::Avx512}) {
    if (name == instructionSetName(candidate)) return candidate;
  }
  // An unknown name forces the kernel every CPU runs rather than guessing.
  return InstructionSet::Baseline;
}

using RangeKernel = void (*)(const WallArrays&, const ResponseArrays&, std::size_t, std::size_t);

RangeKernel kernelOf(InstructionSet instructionSet) {
#if defined(BRUSK_HAVE_VECTOR_KERNELS)
  switch (instructionSet) {
    case InstructionSet::Avx512:
      return Detail::computeWallRangeAvx512;
    case InstructionSet::Avx2:
      return Detail::computeWallRangeAvx2;
    case InstructionSet::Baseline:
      break;
  }
#else
  static_cast<void>(instructionSet);
#endif
  return computeWallRangeBaseline;
}

}  // namespace

const char* instructionSetName(InstructionSet instructionSet) {
  switch (instructionSet) {
    case InstructionSet::Baseline:
      return "baseline";
    case InstructionSet::Avx2:
      return "avx2";
    case InstructionSet::Avx512:
      return "avx512";
  }
  return "baseline";
}

bool isSupported(InstructionSet instructionSet) { return cpuRuns(instructionSet); }

InstructionSet defaultInstructionSet() {
  static const InstructionSet chosen = widestSupportedUpTo(environmentCap());
  return chosen;
}

std::optional<WallProblem> checkWall(const WallArrays& walls, std::size_t index) {
  // The order of check(): surface resistances, layer count, layers from side 1, period. A
  // conventional resistance always passes, so checking the resolved ones finds what checking
  // only the overrides finds.
  const std::pair<WallField, double> resistances[] = {
      {WallField::InternalSurfaceResistance, walls.internalSurfaceResistance[index]},
      {WallField::ExternalSurfaceResistance, walls.externalSurfaceResistance[index]}};
  for (const auto& [field, value] : resistances) {
    if (auto problem = checkSurfaceResistance(field, value)) return problem;
  }
  const std::size_t first = walls.layerBegin[index];
  const std::size_t count = walls.layerBegin[index + 1] - first;
  if (auto problem = checkLayerCount(count)) return problem;
  for (std::size_t i = 0; i < count; ++i) {
    const LayerProperties layer{walls.thickness[first + i], walls.conductivity[first + i],
                                walls.density[first + i], walls.specificHeat[first + i],
                                walls.resistance[first + i]};
    if (!isComputableLayer(layer)) return checkLayer(layer, i);
  }
  return checkPeriod(walls.period[index]);
}

void computeManyWalls(const WallArrays& walls, const ResponseArrays& responses,
                      const ManyWallsOptions& options) {
  const InstructionSet instructionSet = options.instructionSet
                                            ? widestSupportedUpTo(*options.instructionSet)
                                            : defaultInstructionSet();
  const RangeKernel kernel = kernelOf(instructionSet);
  // Shares of whole groups of eight walls, so that no thread has less than a register's worth
  // while another has more; a wall's result does not depend on its share either way.
  constexpr std::size_t kGroup = 8;
  const std::size_t groups = (walls.wallCount + kGroup - 1) / kGroup;
  std::size_t threads = options.threads == 0 ? 1 : options.threads;
  if (threads > groups) threads = groups == 0 ? 1 : groups;
  if (threads == 1) {
    kernel(walls, responses, 0, walls.wallCount);
    return;
  }
  const auto shareEnd = [&](std::size_t share) {
    const std::size_t end = (groups * share / threads) * kGroup;
    return end < walls.wallCount ? end : walls.wallCount;
  };
  std::vector<std::thread> helpers;
  helpers.reserve(threads - 1);
  for (std::size_t share = 1; share < threads; ++share) {
    helpers.emplace_back(kernel, std::cref(walls), std::cref(responses), shareEnd(share),
                         shareEnd(share + 1));
  }
  kernel(walls, responses, 0, shareEnd(1));
  for (std::thread& helper : helpers) helper.join();
}

void ManyWallsInput::add(const LayerProperties* layers, std::size_t layerCount,
                         const ElementBoundary& boundary, double period) {
  for (std::size_t i = 0; i < layerCount; ++i) {
    _thickness.push_back(layers[i].thickness);
    _conductivity.push_back(layers[i].conductivity);
    _density.push_back(layers[i].density);
    _specificHeat.push_back(layers[i].specificHeat);
    _resistance.push_back(layers[i].resistance);
  }
  _layerBegin.push_back(_thickness.size());
  _internalSurfaceResistance.push_back(boundary.internalSurfaceResistance);
  _externalSurfaceResistance.push_back(boundary.externalSurfaceResistance);
  _partition.push_back(boundary.partition ? 1 : 0);
  _period.push_back(period);
}

void ManyWallsInput::reserve(std::size_t wallCount, std::size_t layerCount) {
  for (std::vector<double>* column :
       {&_thickness, &_conductivity, &_density, &_specificHeat, &_resistance}) {
    column->reserve(layerCount);
  }
  for (std::vector<double>* column :
       {&_internalSurfaceResistance, &_externalSurfaceResistance, &_period}) {
    column->reserve(wallCount);
  }
  _layerBegin.reserve(wallCount + 1);
  _partition.reserve(wallCount);
}

void ManyWallsInput::clear() {
  _layerBegin.assign(1, 0);
  for (std::vector<double>* column :
       {&_thickness, &_conductivity, &_density, &_specificHeat, &_resistance,
        &_internalSurfaceResistance, &_externalSurfaceResistance, &_period}) {
    column->clear();
  }
  _partition.clear();
}

WallArrays ManyWallsInput::arrays() const {
  return {wallCount(),
          _layerBegin.data(),
          _thickness.data(),
          _conductivity.data(),
          _density.data(),
          _specificHeat.data(),
          _resistance.data(),
          _internalSurfaceResistance.data(),
          _externalSurfaceResistance.data(),
          _partition.data(),
          _period.data()};
}

void ManyWallsOutput::resize(std::size_t wallCount, Fields fields) {
  _fields = fields;
  const std::size_t columns = fields == Fields::Periodic ? kColumnCount : kResponseColumnCount;
  for (std::size_t column = 0; column < kColumnCount; ++column) {
    _columns[column].resize(column < columns ? wallCount : 0);
  }
  _computed.resize(wallCount);
}

ResponseArrays ManyWallsOutput::arrays() {
  std::vector<double>* c = _columns;
  ResponseArrays arrays{{c[0].data(), c[1].data()},
                        {c[2].data(), c[3].data()},
                        {c[4].data(), c[5].data()},
                        {c[6].data(), c[7].data()},
                        {c[8].data(), c[9].data()},
                        {c[10].data(), c[11].data()},
                        {c[12].data(), c[13].data()},
                        c[14].data(),
                        c[15].data(),
                        c[16].data(),
                        c[17].data(),
                        c[18].data(),
                        _computed.data()};
  if (_fields == Fields::Periodic) {
    arrays.period = c[19].data();
    arrays.thickness = c[20].data();
    arrays.surfaceMass = c[21].data();
    arrays.internalAdmittanceModulus = c[22].data();
    arrays.externalAdmittanceModulus = c[23].data();
    arrays.periodicThermalTransmittanceModulus = c[24].data();
    arrays.internalAdmittanceShift = c[25].data();
    arrays.externalAdmittanceShift = c[26].data();
    arrays.periodicThermalTransmittanceShift = c[27].data();
    arrays.timeLag = c[28].data();
  }
  return arrays;
}

bool ManyWallsOutput::response(std::size_t index, PeriodicResponse& response) const {
  if (_computed[index] == 0) return false;
  const std::vector<double>* c = _columns;
  const auto complexAt = [&](std::size_t column) {
    return Complex{c[column][index], c[column + 1][index]};
  };
  response.z11 = complexAt(0);
  response.z12 = complexAt(2);
  response.z21 = complexAt(4);
  response.z22 = complexAt(6);
  response.internalAdmittance = complexAt(8);
  response.externalAdmittance = complexAt(10);
  response.periodicThermalTransmittance = complexAt(12);
  response.internalArealHeatCapacity = c[14][index];
  response.externalArealHeatCapacity = c[15][index];
  response.thermalResistance = c[16][index];
  response.uValue = c[17][index];
  response.decrementFactor = c[18][index];
  return true;
}

bool ManyWallsOutput::result(std::size_t index, WallResult& result) const {
  if (!response(index, result)) return false;
  const std::vector<double>* c = _columns;
  result.period = c[19][index];
  result.thickness = c[20][index];
  result.surfaceMass = c[21][index];
  result.internalAdmittanceShift = c[25][index];
  result.externalAdmittanceShift = c[26][index];
  result.periodicThermalTransmittanceShift = c[27][index];
  result.timeLag = c[28][index];
  result.daily = result.twelveDay = SequentialEstimate{};
  return true;
}

void computeManyWalls(const ManyWallsInput& walls, ManyWallsOutput& output,
                      const ManyWallsOptions& options) {
  output.resize(walls.wallCount(), output.fields());
  computeManyWalls(walls.arrays(), output.arrays(), options);
}

}  // namespace Brusk::Engine
