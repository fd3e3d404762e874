#pragma once

// Building elements beyond plane homogeneous layers, after ISO 6946:2017 (the edition followed
// throughout; clause numbers are that edition's): layers made of parts side by side across the
// area (studs in insulation), air layers from their thickness and ventilation, and the
// corrections of Annex F. Steady state by the combined method of 6.7.2; the periodic
// characteristics by the parallel-path approximation on top of ISO 13786 (which itself covers
// plane homogeneous layers only). Nothing here throws: results or problems, as data.

#include <cstddef>
#include <optional>
#include <variant>
#include <vector>

#include "brusk/engine/layer_properties.h"
#include "brusk/engine/many_walls.h"
#include "brusk/engine/periodic_response.h"
#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"

namespace Brusk::Engine {

/// How far the area fractions of a layer's parts may sum away from 1 [-].
inline constexpr double kFractionTolerance = 1e-9;

/// Most paths the parts of an element may combine into: far beyond any real construction.
inline constexpr std::size_t kMaxPaths = 1024;

/// Thickest air layer ISO 6946:2017 gives a resistance for (6.9.1, Table 8) [m]: a thicker one
/// is not a layer of the method but a space needing a heat balance, and is refused.
inline constexpr double kThickestAirLayer = 0.3;

/// R'_T / R''_T above which ISO 6946:2017 (6.7.2) does not allow the combined method: the
/// largest relative error e is then above 20 % [-].
inline constexpr double kLargestLimitRatio = 1.5;

/// ISO 6946:2017 6.9: how the air of an air layer is exchanged with the outside.
enum class AirLayerVentilation {
  Unventilated,  ///< openings A_v up to 500 mm2 per m (6.9.2)
  Slightly,      ///< 500 < A_v <= 1500 mm2 per m (6.9.3)
  Well,          ///< A_v above 1500 mm2 per m (6.9.4)
};

/// One part of an inhomogeneous layer: a material over a fraction of the area, through the
/// whole thickness of its layer.
struct LayerPart {
  double conductivity = 0.0;  ///< lambda [W/(m.K)]
  double density = 0.0;       ///< rho [kg/m3]
  double specificHeat = 0.0;  ///< c [J/(kg.K)]
  double fraction = 0.0;      ///< f, share of the element's area [-]
};

/// A layer of the request made of parts; the request's entry for it holds the equivalent
/// homogeneous slab of equivalentSlab().
struct BridgedLayer {
  std::size_t layer = 0;         ///< index in WallRequest::layers, 0 on side 1
  std::vector<LayerPart> parts;  ///< at least two, fractions summing to 1
};

/// A ventilated air layer of the request; the request's entry for it holds its resistance as
/// an unventilated layer, which 6.9.3 needs for R_T,u.
struct VentilatedAirLayer {
  std::size_t layer = 0;  ///< index in WallRequest::layers
  AirLayerVentilation ventilation = AirLayerVentilation::Well;
  double openingArea = 0.0;  ///< A_v [mm2 per m of length, or per m2 of area]; Slightly only
};

/// ISO 6946:2017 F.2: air voids in the insulation, by level 0, 1 or 2.
struct AirVoidCorrection {
  int level = 0;          ///< 0, 1 or 2 (Table F.1)
  std::size_t layer = 0;  ///< the layer holding the voids, index in WallRequest::layers
};

/// ISO 6946:2017 F.3: mechanical fasteners through an insulation layer.
struct FastenerCorrection {
  std::size_t layer = 0;              ///< the insulation layer they cross
  double count = 0.0;                 ///< n_f, fasteners per m2 [1/m2]
  double crossSection = 0.0;          ///< A_f, cross-section of one fastener [m2]
  double conductivity = 0.0;          ///< lambda_f [W/(m.K)]
  std::optional<double> penetration;  ///< d_1, length inside the layer [m]; its thickness if none
};

/// What an element has beyond its request's plane homogeneous layers. Empty for a plain wall,
/// whose results are then exactly those of compute().
struct ElementDescription {
  std::vector<BridgedLayer> bridged;  ///< in ascending layer order
  /// False: the parts of different layers are independent patterns, every combination a path
  /// with the product of the parts' fractions. True: part k of every bridged layer lies behind
  /// part k of the others (same counts and fractions), one path per k.
  bool alignedPatterns = false;
  std::optional<VentilatedAirLayer> ventilated;  ///< at most one slightly or well ventilated
  std::optional<AirVoidCorrection> airVoids;
  std::optional<FastenerCorrection> fasteners;

  /// True when nothing is added to the plain wall.
  [[nodiscard]] bool empty() const {
    return bridged.empty() && !ventilated && !airVoids && !fasteners;
  }
};

/// The equivalent homogeneous slab of a bridged layer of thickness d [m], the one the lower
/// limit of ISO 6946:2017 6.7.2.3 uses: lambda'' = sum f_q lambda_q [W/(m.K)], so that
/// R''_j = d / lambda''. Its rho = sum f_q rho_q and rho c = sum f_q rho_q c_q
/// keep the layer's mass and heat capacity per area.
[[nodiscard]] LayerProperties equivalentSlab(double thickness, const std::vector<LayerPart>& parts);

/// What an element problem is about, beyond the fields of WallProblem.
enum class ElementProblemKind {
  Wall,                 ///< the plain request's problem, in `wall`
  PartProperty,         ///< a part's conductivity, density or specific heat (`field`) not positive
  FractionNotPositive,  ///< a part's fraction is zero, negative or not finite
  FractionSum,          ///< the parts' fractions sum to `value`, not to 1
  TooFewParts,          ///< a bridged layer of fewer than two parts
  NotASlab,             ///< a bridged layer's entry in the request is not a slab
  TooManyPaths,         ///< the parts combine into `value` paths, more than kMaxPaths
  AlignedMismatch,      ///< aligned patterns, but `layer` differs from the first bridged layer
  AirLayerThickness,    ///< an air layer's thickness `value` outside (0, kThickestAirLayer]
  Emissivity,           ///< an emissivity `value` outside (0, 1]
  OpeningArea,          ///< a slightly ventilated layer's A_v `value` outside [500, 1500]
  NotAnAirLayer,        ///< the ventilated layer's entry is not a pure resistance
  NothingInside,        ///< a ventilated air layer on side 1, with no layer inside it
  VoidLevel,            ///< an air-void level `value` other than 0, 1 or 2
  FastenerValue,        ///< a fastener input (`fastenerInput`) not positive and finite
  Penetration,          ///< d_1 `value` more than the layer's thickness
  CorrectionLayer,      ///< a correction's layer is not a slab of the element (or is dropped)
  LayerIndex,           ///< a layer index past the request's layers, or bridged twice
  Overflow,             ///< a path's transfer matrix overflows; `wall` holds the path's problem
};

/// The inputs of a fastener correction, for problems.
enum class FastenerInput { Count, CrossSection, Conductivity, Penetration };

/// The first thing that keeps an element from being computed.
struct ElementProblem {
  ElementProblemKind kind = ElementProblemKind::Wall;
  WallProblem wall;                     ///< for Wall and Overflow
  std::size_t layer = kWholeWall;       ///< the layer, index in the request
  std::size_t part = kWholeWall;        ///< the part of that layer, 0 first
  WallField field = WallField::Layers;  ///< for PartProperty
  FastenerInput fastenerInput = FastenerInput::Count;
  double value = 0.0;  ///< the offending value
};

/// Resistance R_g [m2.K/W] of an unventilated air layer of thickness d [m] between surfaces of
/// high emissivity (at least 0.8), ISO 6946:2017 Table 8, linearly interpolated between the
/// tabulated thicknesses (0, 5, 7, 10, 15, 25, 50, 100, 300 mm) as the table's note allows.
/// Needs 0 < d <= kThickestAirLayer (checkAirLayer()).
[[nodiscard]] double tabulatedAirLayerResistance(double thickness, HeatFlowDirection heatFlow);

/// Resistance R_g = 1 / (h_a + h_r) [m2.K/W] of an unventilated air layer of thickness d [m]
/// whose faces have emissivities eps1, eps2, ISO 6946:2017 D.2 (eq. D.1): h_r = E h_r0 with
/// E = 1 / (1/eps1 + 1/eps2 - 1) and h_r0 = 5.1 W/(m2.K) (Table D.1, 10 degC); h_a the
/// conduction-convection coefficient of D.3 [W/(m2.K)]: the larger of 1.25 (horizontal flow),
/// 1.95 (upward) or 0.12 d^-0.44 (downward) and 0.025 / d.
[[nodiscard]] double airLayerResistance(double thickness, HeatFlowDirection heatFlow,
                                        double emissivity1, double emissivity2);

/// The thickness must lie in (0, kThickestAirLayer]; an emissivity, when given, in (0, 1].
[[nodiscard]] std::optional<ElementProblem> checkAirLayerThickness(double thickness,
                                                                   std::size_t layer);
[[nodiscard]] std::optional<ElementProblem> checkEmissivity(double emissivity, std::size_t layer);
/// A slightly ventilated layer's openings A_v must lie in [500, 1500] mm2 per m (6.9.3).
[[nodiscard]] std::optional<ElementProblem> checkOpeningArea(double openingArea, std::size_t layer);

/// A part read on its own: lambda, rho and c positive and finite, the fraction above 0 and
/// finite.
[[nodiscard]] std::optional<ElementProblem> checkPart(const LayerPart& part, std::size_t layer,
                                                      std::size_t index);
/// The parts of a layer: at least two, each as checkPart() wants, fractions summing to 1 within
/// kFractionTolerance.
[[nodiscard]] std::optional<ElementProblem> checkParts(const std::vector<LayerPart>& parts,
                                                       std::size_t layer);

/// The first problem of the element: the plain request's check(), then the bridged layers, the
/// paths, the ventilated layer and the corrections.
[[nodiscard]] std::optional<ElementProblem> check(const WallRequest& request,
                                                  const ElementDescription& element);

/// The parts one path takes, with its share of the area.
struct PathParts {
  double fraction = 1.0;           ///< f_j [-]
  std::vector<std::size_t> parts;  ///< the part taken in each bridged layer, in their order
};

/// The paths the parts of an element combine into (ISO 6946:2017 6.7.2.1), before any
/// ventilation variant: independent patterns give every combination, the first bridged layer's
/// part varying slowest, with the product of the fractions; aligned ones part k of every layer
/// with part k's fraction. One path of fraction 1 and no parts for an element without bridged
/// layers. The element must pass check(), which bounds their number by kMaxPaths.
[[nodiscard]] std::vector<PathParts> elementPathParts(const ElementDescription& element);

/// One plain stack the element is computed as: a path (one part of each layer of parts) in one
/// ventilation variant (ISO 6946:2017 6.7.2.1 and 6.9.3/6.9.4).
struct ElementStack {
  /// f_j times the variant's weight [-]: the share of the element's heat flows this stack
  /// carries in the parallel-path approximation; the weights of all stacks sum to 1.
  double weight = 1.0;
  /// Side 1 first: the request's layers with each bridged layer the slab of its part, cut
  /// before a well-ventilated air layer in that variant.
  std::vector<LayerProperties> layers;
  /// Rsi and Rse of the request, Rse = Rsi in a well-ventilated variant.
  ElementBoundary boundary;
};

/// The stacks of a checked element (check() found nothing), in the order computeElement()
/// lists its paths. A plain wall is one stack of weight 1, its own layers.
[[nodiscard]] std::vector<ElementStack> elementStacks(const WallRequest& request,
                                                      const ElementDescription& element);

/// One path through the element: one part of each bridged layer (none where homogeneous).
struct ElementPath {
  double fraction = 0.0;           ///< f_j = product of the parts' fractions (or part k's) [-]
  std::vector<std::size_t> parts;  ///< the part taken in each bridged layer, in their order
  double thermalResistance = 0.0;  ///< R_Tj, surface to surface with Rsi and Rse [m2.K/W]
  PeriodicResponse response;       ///< the path's own ISO 13786 characteristics
  /// True for a path of the element cut at its ventilated air layer, Rse = Rsi (6.9.3, 6.9.4).
  bool wellVentilated = false;
};

/// A correction of ISO 6946:2017 Annex F with what went into it.
struct CorrectionTerm {
  bool applied = false;          ///< the element asked for it
  double deltaU = 0.0;           ///< its Delta U [W/(m2.K)]
  double layerResistance = 0.0;  ///< R_1 of the layer concerned [m2.K/W]
  double coefficient = 0.0;      ///< Delta U'' of the level (air voids), alpha (fasteners) [-]
};

/// Everything computed for an element.
struct ElementResult {
  /// The element as a wall: thermalResistance R_T, uValue U = 1/R_T, and the periodic
  /// characteristics by the parallel-path approximation (Y11, Y22, Y12 the area-weighted sums of
  /// the paths' values, the transfer matrix the one with those admittances, kappa from them,
  /// f = |Y12| R'_T); thickness and surface mass of the whole element.
  WallResult wall;
  double upperResistance = 0.0;  ///< R'_T, 6.7.2.2 [m2.K/W]
  double lowerResistance = 0.0;  ///< R''_T, 6.7.2.3 [m2.K/W]
  double relativeError = 0.0;    ///< e = (R'_T - R''_T) / (2 R_T), 6.7.2 [-]
  bool beyondMethod = false;     ///< R'_T / R''_T > kLargestLimitRatio: outside 6.7.2
  CorrectionTerm airVoids;       ///< F.2
  CorrectionTerm fasteners;      ///< F.3
  double deltaU = 0.0;           ///< Delta U = Delta U_g + Delta U_f [W/(m2.K)], F.1
  double correctedU = 0.0;       ///< U_c = U + Delta U [W/(m2.K)], F.1
  /// Delta U < 3 % of U: F.1 lets the correction be left out (U_c is given all the same).
  bool correctionNegligible = true;
  /// The paths; for a slightly ventilated layer, those with the layer unventilated followed by
  /// those with it well ventilated, the fractions scaled by the weights of 6.9.3.
  std::vector<ElementPath> paths;
  /// Weight of the unventilated variant: (1500 - A_v) / 1000 for a slightly ventilated layer,
  /// 1 otherwise; the well-ventilated variant weighs 1 minus this.
  double unventilatedWeight = 1.0;
};

using ElementOutcome = std::variant<ElementResult, ElementProblem>;

/// Checks and computes the element: each path through computePeriodicResponse, the combined
/// method, the ventilation rules, the corrections. With an empty description the element's
/// wall is exactly compute(request)'s result, with R'_T = R''_T = R_T and one path.
[[nodiscard]] ElementOutcome computeElement(const WallRequest& request,
                                            const ElementDescription& element);

/// computeElement() for `count` elements, the paths of all of them through one call of the
/// many-wall kernel (computeManyWalls, within a few ulps of computePeriodicResponse's values),
/// combined per element as computeElement() combines them; outcomes[i] is the answer for
/// requests[i] and elements[i]. An element whose path overflows gets the Overflow problem.
void computeManyElements(const WallRequest* requests, const ElementDescription* elements,
                         std::size_t count, ElementOutcome* outcomes,
                         const ManyWallsOptions& options = {});

}  // namespace Brusk::Engine
