#pragma once

// The thermal mass of a room or zone from the walls, floors and ceilings that face it: every
// areal heat capacity in use (ISO 13786 detailed, the sequential estimate, the SAP "10 cm" rule,
// the whole thickness) per face, and the zone figures built on them (ISO 13790 Cm, Am and mass
// class, SAP TMP, the time constant).

#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include "brusk/engine/bridged_element.h"
#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"

namespace Brusk::Engine {

/// Which faces of an element exchange heat with the zone.
enum class ZoneFaces {
  Inner,  ///< side 1 only: an element of the zone's boundary
  Both,   ///< both sides: a partition or floor wholly inside the zone, computed as a partition
};

/// Which areal heat capacity makes up the zone's Cm.
enum class ZoneCapacityBasis {
  Detailed,    ///< kappa1 / kappa2 of the ISO 13786 transfer matrix on the daily cycle
  Simplified,  ///< the sequential daily estimate (computeSequentialCapacity)
};

/// One element of a zone: a wall as the engine models it, its area, and the faces that count.
struct ZoneElementRequest {
  WallRequest wall;   ///< computed on the daily cycle whatever its period
  double area = 0.0;  ///< A [m2], the area of one face
  ZoneFaces faces = ZoneFaces::Inner;
  /// Layers of parts, ventilated air layers and corrections of the wall: an element with any is
  /// taken by its parallel-path values, as computeElement() gives them (kappa, |Y|), and its
  /// "10 cm" and whole-thickness capacities are the paths' weighted by their area.
  ElementDescription element{};
};

/// A zone to compute.
struct ZoneRequest {
  std::vector<ZoneElementRequest> elements;
  double floorArea = 0.0;                         ///< Af [m2]
  std::optional<double> heatTransferCoefficient;  ///< H [W/K], for the time constant
  ZoneCapacityBasis capacityBasis = ZoneCapacityBasis::Detailed;
};

/// Most elements a zone may have: far beyond any room, small enough to refuse junk fast.
inline constexpr std::size_t kMaxZoneElements = 10000;

/// Lambda [W/(m.K)] at or below which a layer counts as insulating in the "10 cm" rule: the
/// threshold of the UK SAP's definition of kappa (SAP 2012 and SAP 10, thermal mass parameter).
/// A pure thermal resistance (an air layer) always counts as insulating.
inline constexpr double kTenCentimetreInsulatingConductivity = 0.08;

/// Deepest layer the "10 cm" rule reaches [m].
inline constexpr double kTenCentimetreDepth = 0.1;

/// The areal heat capacities of one face of an element, all per unit area of that face.
struct FaceMass {
  int side = 1;  ///< 1 (the wall's inner face) or 2
  /// ISO 13786 kappa1 or kappa2 = (T / 2 pi) |(Zii - 1) / Z12| at T = 24 h [J/(m2.K)].
  double detailedCapacity = 0.0;
  /// The sequential daily estimate from this face, with the rule that produced it.
  SequentialEstimate simplifiedCapacity;
  /// SAP "10 cm" rule: sum of d rho c from the face to the least of kTenCentimetreDepth, half
  /// the element's thickness (unknown with a pure resistance) and the first insulating layer
  /// [J/(m2.K)]; see tenCentimetreCapacity().
  double tenCentimetreCapacity = 0.0;
  /// Sum of d rho c over the whole element [J/(m2.K)].
  double wholeThicknessCapacity = 0.0;
  /// |Y11| or |Y22| at 24 h [W/(m2.K)].
  double admittance = 0.0;
  /// The kappa the zone's Cm takes, by the request's basis [J/(m2.K)].
  double capacity = 0.0;
};

/// One element's result: the wall at 24 h and one FaceMass per counted face (side 1 first).
struct ZoneElementResult {
  WallResult wall;
  double area = 0.0;  ///< A [m2]
  ZoneFaces faces = ZoneFaces::Inner;
  std::vector<FaceMass> faceMasses;
  /// A times the sum of its faces' capacity [J/K]: the element's part of Cm.
  double heatCapacity = 0.0;
};

/// ISO 13790 (Table 12) classes of a zone's heat capacity per floor area.
enum class MassClass { VeryLight, Light, Medium, Heavy, VeryHeavy };

/// The Cm / Af [J/(m2.K)] of a class in ISO 13790 Table 12: 80, 110, 165, 260 and 370 kJ.
[[nodiscard]] double massClassCapacity(MassClass massClass);

/// The class whose Table 12 Cm / Af is nearest to `capacityPerFloorArea` [J/(m2.K)]: the
/// boundaries lie at the midpoints between neighbours, 95, 137.5, 212.5 and 315 kJ/(m2.K), and a
/// value exactly on one belongs to the heavier class.
[[nodiscard]] MassClass nearestMassClass(double capacityPerFloorArea);

/// "very-light", "light", "medium", "heavy" or "very-heavy".
[[nodiscard]] const char* massClassName(MassClass massClass);

/// Figures of the whole zone.
struct ZoneTotals {
  /// Cm = sum of A kappa over the counted faces [J/K] (ISO 13790, 12.3.1.2).
  double heatCapacity = 0.0;
  /// Am = Cm^2 / sum of A kappa^2 [m2] (ISO 13790, 12.3.1.2); 0 when Cm is 0.
  double effectiveMassArea = 0.0;
  double heatCapacityPerFloorArea = 0.0;       ///< Cm / Af [J/(m2.K)]
  double effectiveMassAreaPerFloorArea = 0.0;  ///< Am / Af [-]
  MassClass massClass = MassClass::VeryLight;  ///< nearestMassClass(Cm / Af)
  /// SAP TMP = sum of A kappa(10 cm) / Af over the counted faces [J/(m2.K)].
  double thermalMassParameter = 0.0;
  double admittanceArea = 0.0;  ///< sum of A |Y| over the counted faces [W/K]
  /// Sum of A U over the boundary elements (ZoneFaces::Inner) [W/K]: an element wholly inside
  /// the zone has the zone's temperature on both faces and loses nothing through it.
  double conductanceArea = 0.0;
  /// tau = Cm / (3600 H) [h] (ISO 13790, 12.2.1.3), when H is given.
  std::optional<double> timeConstant;
};

/// A zone's result.
struct ZoneResult {
  std::vector<ZoneElementResult> elements;
  ZoneTotals totals;
};

/// What a zone problem is about.
enum class ZoneProblemKind {
  NoElements,               ///< the zone lists no element
  TooManyElements,          ///< more than kMaxZoneElements; `value` is the count
  AreaNotPositive,          ///< an element's area is not a positive finite number
  FloorAreaNotPositive,     ///< Af is not a positive finite number
  HeatTransferNotPositive,  ///< H is given but not a positive finite number
  Wall,                     ///< an element's wall cannot be computed; see `wall`
  Overflow,                 ///< a total exceeds double precision; `value` is what it gave
  /// tau = Cm / H exceeds double precision, H being too small; `value` is H [W/K]
  TimeConstantOverflow,
};

/// Marks a problem of the zone as a whole rather than of one element.
inline constexpr std::size_t kWholeZone = static_cast<std::size_t>(-1);

/// The first thing that makes a zone uncomputable, as data for a front end to word.
struct ZoneProblem {
  ZoneProblemKind kind = ZoneProblemKind::NoElements;
  std::size_t element = kWholeZone;  ///< index of the element, or kWholeZone
  double value = 0.0;                ///< the offending value
  WallProblem wall;                  ///< for ZoneProblemKind::Wall
};

/// An element's area must be positive and finite.
[[nodiscard]] std::optional<ZoneProblem> checkElementArea(double area, std::size_t element);
/// The floor area Af must be positive and finite.
[[nodiscard]] std::optional<ZoneProblem> checkFloorArea(double floorArea);
/// The heat transfer coefficient H, where given, must be positive and finite.
[[nodiscard]] std::optional<ZoneProblem> checkHeatTransferCoefficient(double coefficient);
/// A zone has 1 to kMaxZoneElements elements.
[[nodiscard]] std::optional<ZoneProblem> checkElementCount(std::size_t count);

/// The first problem of the zone's own figures (floor area, H, the element count, each area),
/// without computing any wall.
[[nodiscard]] std::optional<ZoneProblem> checkZone(const ZoneRequest& request);

/// Either the zone's result or its first problem.
using ZoneOutcome = std::variant<ZoneResult, ZoneProblem>;

/// Checks and computes a zone: each element's wall on the daily cycle (as a partition when both
/// faces count), the areal heat capacities of each counted face, and the totals.
[[nodiscard]] ZoneOutcome computeZone(const ZoneRequest& request);

/// The SAP "10 cm" rule from the face at the start of `layers` (ordered from that face): the sum
/// of d rho c [J/(m2.K)] down to the least of kTenCentimetreDepth, half the total thickness and
/// the first insulating layer (lambda <= kTenCentimetreInsulatingConductivity, or a pure
/// resistance); the layer crossing the depth counts in part. A pure resistance has no thickness,
/// so an element with one has no known half: there the walk ends at the first insulating layer
/// or pure resistance, or at kTenCentimetreDepth.
[[nodiscard]] double tenCentimetreCapacity(const LayerProperties* layers, std::size_t count);

/// Sum of d rho c over all layers [J/(m2.K)].
[[nodiscard]] double wholeThicknessCapacity(const LayerProperties* layers, std::size_t count);

}  // namespace Brusk::Engine
