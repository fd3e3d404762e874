#pragma once

// The ISO 13786 periodic response of many walls at once: structure-of-arrays in and out, several
// walls per vector register, threads on top. Every wall gets the characteristics that
// computePeriodicResponse gives it, within a few units in the last place (the vector exponential
// and trigonometric functions round differently from the C library's), and the same refusals.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "brusk/engine/layer_properties.h"
#include "brusk/engine/periodic_response.h"
#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"

namespace Brusk::Engine {

/// The instruction sets the many-wall kernel is built for. Results of one wall are the same bit
/// for bit whatever its neighbours, the thread count or the position in the input; they differ
/// between instruction sets only in the last bits (see docs/performance.md).
enum class InstructionSet {
  Baseline,  ///< one wall at a time through computePeriodicResponse: any CPU
  Avx2,      ///< four walls per register (AVX2 with FMA, SLEEF's 1-ulp functions)
  Avx512,    ///< eight walls per register (AVX-512F, SLEEF's 1-ulp functions)
};

/// Lower-case name of an instruction set ("baseline", "avx2", "avx512").
[[nodiscard]] const char* instructionSetName(InstructionSet instructionSet);

/// True when this build has a kernel for the instruction set and the CPU (and operating system)
/// can run it.
[[nodiscard]] bool isSupported(InstructionSet instructionSet);

/// The instruction set computeManyWalls uses when none is asked for: the widest supported one,
/// capped by the environment variable BRUSK_MANY_WALLS_ISA ("baseline", "avx2" or "avx512") when
/// it is set. Decided once per process.
[[nodiscard]] InstructionSet defaultInstructionSet();

/// Many walls as structure of arrays, read only. Wall w has the layers with indices
/// layerBegin[w] to layerBegin[w + 1] - 1, side 1 first; a layer of zero thickness is a pure
/// thermal resistance, as in LayerProperties.
///
/// The caller guarantees what computePeriodicResponse requires of each wall (check() has passed
/// for it): at least one layer, slabs with positive d, lambda, rho and c, resistances not negative
/// and a positive period.
struct WallArrays {
  std::size_t wallCount = 0;
  const std::size_t* layerBegin = nullptr;  ///< wallCount + 1 ascending offsets into the layers
  const double* thickness = nullptr;        ///< d per layer [m]
  const double* conductivity = nullptr;     ///< lambda per layer [W/(m.K)]
  const double* density = nullptr;          ///< rho per layer [kg/m3]
  const double* specificHeat = nullptr;     ///< c per layer [J/(kg.K)]
  const double* resistance = nullptr;       ///< R per layer [m2.K/W]; read where d = 0
  const double* internalSurfaceResistance = nullptr;  ///< Rsi per wall [m2.K/W]
  const double* externalSurfaceResistance = nullptr;  ///< Rse per wall [m2.K/W]
  const std::uint8_t* partition = nullptr;  ///< per wall: nonzero when both faces are inside
  const double* period = nullptr;           ///< T per wall [s]
};

/// Real and imaginary parts of one complex field, element w of wall w at real[w * stride] and
/// imaginary[w * stride]: stride 1 for two arrays of doubles, stride 2 with imaginary = real + 1
/// for an array of complex numbers (std::complex<double>, NumPy's complex128). A null `real`
/// is a field not wanted.
struct ComplexColumns {
  double* real = nullptr;
  double* imaginary = nullptr;
  std::size_t stride = 1;
};

/// Where computeManyWalls writes, one element per wall in every array. The fields of
/// PeriodicResponse come first; then what WallResult adds to them for the periodic part, each
/// computed only where its array is given (null: not wanted), as computePeriodicInto computes
/// it. A null array among the PeriodicResponse fields is also skipped. A wall whose result is
/// not a finite double (computePeriodicResponse returns false) gets computed = 0 and NaN in
/// every field.
struct ResponseArrays {
  ComplexColumns z11, z12, z21, z22;
  ComplexColumns internalAdmittance, externalAdmittance, periodicThermalTransmittance;
  double* internalArealHeatCapacity = nullptr;  ///< kappa1 [J/(m2.K)]
  double* externalArealHeatCapacity = nullptr;  ///< kappa2 [J/(m2.K)]
  double* thermalResistance = nullptr;          ///< R_tot [m2.K/W]
  double* uValue = nullptr;                     ///< U [W/(m2.K)]
  double* decrementFactor = nullptr;            ///< f [-]
  std::uint8_t* computed = nullptr;             ///< 1 when the wall's result is finite, else 0

  double* period = nullptr;                               ///< T [s]
  double* thickness = nullptr;                            ///< sum of d [m]
  double* surfaceMass = nullptr;                          ///< sum of d rho [kg/m2]
  double* internalAdmittanceModulus = nullptr;            ///< |Y11| [W/(m2.K)]
  double* externalAdmittanceModulus = nullptr;            ///< |Y22| [W/(m2.K)]
  double* periodicThermalTransmittanceModulus = nullptr;  ///< |Y12| [W/(m2.K)]
  double* internalAdmittanceShift = nullptr;              ///< timeShiftHours(Y11) [h]
  double* externalAdmittanceShift = nullptr;              ///< timeShiftHours(Y22) [h]
  double* periodicThermalTransmittanceShift = nullptr;    ///< timeShiftHours(Y12) [h]
  double* timeLag = nullptr;                              ///< timeLagFromShift of Y12's shift [h]
};

/// The first problem of wall `index` of `walls`, as check() finds it for the request the wall
/// came from: the surface resistances (finite, not negative), the layer count (1 to
/// kMaxLayers), each layer from side 1, the period. Walls without a problem may be given to
/// computeManyWalls.
[[nodiscard]] std::optional<WallProblem> checkWall(const WallArrays& walls, std::size_t index);

/// How to compute many walls.
struct ManyWallsOptions {
  /// Threads to share the walls between, the calling one included; 0 or 1 computes on the
  /// calling thread only.
  unsigned threads = 1;
  /// The kernel to use; defaultInstructionSet() when empty. One that is not supported falls back
  /// to the widest supported one below it.
  std::optional<InstructionSet> instructionSet;
};

/// Computes the ISO 13786 characteristics of every wall of `walls` into `responses`, as
/// computePeriodicResponse does for one. Walls of different layer counts may be mixed: each
/// vector of walls runs to its longest wall's count, the shorter ones masked.
void computeManyWalls(const WallArrays& walls, const ResponseArrays& responses,
                      const ManyWallsOptions& options = {});

/// Owning structure-of-arrays input, built wall by wall.
class ManyWallsInput {
public:
  /// Appends a wall: its layers (side 1 first), boundary and period T [s].
  void add(const LayerProperties* layers, std::size_t layerCount, const ElementBoundary& boundary,
           double period);
  /// Makes room for `wallCount` walls of `layerCount` layers in all, so that add() does not
  /// grow the arrays on the way.
  void reserve(std::size_t wallCount, std::size_t layerCount);
  /// Removes every wall, keeping the allocations.
  void clear();
  [[nodiscard]] std::size_t wallCount() const { return _period.size(); }
  /// Views of the arrays, valid until the next add() or clear().
  [[nodiscard]] WallArrays arrays() const;

private:
  std::vector<std::size_t> _layerBegin{0};
  std::vector<double> _thickness, _conductivity, _density, _specificHeat, _resistance;
  std::vector<double> _internalSurfaceResistance, _externalSurfaceResistance, _period;
  std::vector<std::uint8_t> _partition;
};

/// Owning structure-of-arrays results for a number of walls.
class ManyWallsOutput {
public:
  /// The columns an output holds.
  enum class Fields {
    Response,  ///< the fields of PeriodicResponse
    Periodic,  ///< and what WallResult adds for the periodic part (period, thickness, time
               ///< shifts...)
  };
  /// Makes room for `wallCount` walls (contents unspecified until computed).
  void resize(std::size_t wallCount, Fields fields = Fields::Response);
  [[nodiscard]] std::size_t wallCount() const { return _computed.size(); }
  [[nodiscard]] Fields fields() const { return _fields; }
  /// Views of the arrays, valid until the next resize().
  [[nodiscard]] ResponseArrays arrays();
  /// Wall `index` as one record; false, leaving `response` untouched, for a refused wall.
  [[nodiscard]] bool response(std::size_t index, PeriodicResponse& response) const;
  /// Wall `index` as computePeriodicInto() gives it (the sequential estimates left as no
  /// estimate), from an output of Fields::Periodic; false, leaving `result` untouched, for a
  /// refused wall.
  [[nodiscard]] bool result(std::size_t index, WallResult& result) const;

private:
  /// One array per real column: the PeriodicResponse fields in the order of ResponseArrays,
  /// then the derived ones.
  static constexpr std::size_t kResponseColumnCount = 19;
  static constexpr std::size_t kColumnCount = kResponseColumnCount + 10;
  std::vector<double> _columns[kColumnCount];
  std::vector<std::uint8_t> _computed;
  Fields _fields = Fields::Response;
};

/// Convenience: computes `walls` into `output`, resized to fit.
void computeManyWalls(const ManyWallsInput& walls, ManyWallsOutput& output,
                      const ManyWallsOptions& options = {});

}  // namespace Brusk::Engine
