#include <string>
#include <variant>
#include <vector>

#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/wall.h"
#include "brusk/frontend/wall_schema.h"
#include "document.h"

namespace Brusk::Frontend {

namespace {

using Engine::ElementProblemKind;

const char* fastenerKey(Engine::FastenerInput input) {
  switch (input) {
    case Engine::FastenerInput::CrossSection:
      return "cross_section must be a positive number of m2";
    case Engine::FastenerInput::Conductivity:
      return "conductivity must be a positive number of W/(m.K)";
    case Engine::FastenerInput::Penetration:
      return "penetration must be a positive number of m";
    case Engine::FastenerInput::Count:
      break;
  }
  return "count must be a positive number of fasteners per m2";
}

std::string got(double value) { return ", got " + Detail::formatNumber(value); }

}  // namespace

double ElementLayers::airGapThickness() const {
  double total = 0.0;
  for (const AirGap& gap : airGaps) total += gap.thickness;
  return total;
}

bool isElement(const Wall& wall) { return !wall.element.element.empty(); }

const char* ventilationName(Engine::AirLayerVentilation ventilation) {
  switch (ventilation) {
    case Engine::AirLayerVentilation::Slightly:
      return "slightly";
    case Engine::AirLayerVentilation::Well:
      return "well";
    case Engine::AirLayerVentilation::Unventilated:
      break;
  }
  return "unventilated";
}

Engine::Message partMessage(const Wall& wall, std::size_t layer, std::size_t part) {
  auto number = Engine::MessageValue::plain(std::to_string(part + 1));
  const Engine::ElementDescription& element = wall.element.element;
  std::string name;
  for (std::size_t i = 0; i < element.bridged.size() && i < wall.element.partLabels.size(); ++i) {
    if (element.bridged[i].layer != layer || part >= wall.element.partLabels[i].size()) continue;
    if (!wall.element.partLabels[i][part].name.empty())
      name = wall.element.partLabels[i][part].name;
  }
  if (name.empty()) return {"part", {{"part", std::move(number)}}};
  return {"part.named", {{"part", std::move(number)}, {"name", Engine::MessageValue::plain(name)}}};
}

std::string partLabel(const Wall& wall, std::size_t layer, std::size_t part) {
  return Engine::englishText(partMessage(wall, layer, part));
}

std::vector<Engine::Message> elementProblemMessage(const Engine::ElementProblem& problem,
                                                   const Wall& wall) {
  const auto value = Engine::MessageValue::number(Detail::formatNumber(problem.value));
  if (problem.kind != ElementProblemKind::Wall && problem.layer == Engine::kWholeWall) return {};
  switch (problem.kind) {
    case ElementProblemKind::Wall:
      return problemMessage(problem.wall, wall);
    case ElementProblemKind::PartProperty:
      return {layerMessage(wall, problem.layer), partMessage(wall, problem.layer, problem.part),
              requirementMessage(problem.field, Engine::ProblemKind::NotPositive, value)};
    case ElementProblemKind::FractionNotPositive:
      return {layerMessage(wall, problem.layer),
              partMessage(wall, problem.layer, problem.part),
              {"part.fraction_range", {{"value", value}}}};
    default:
      // The rest (corrections, air layers, paths) are worded in English only.
      return {};
  }
}

std::string describeElementProblem(const Engine::ElementProblem& problem, const Wall& wall) {
  const std::string layer =
      problem.layer == Engine::kWholeWall ? std::string() : layerLabel(wall, problem.layer) + ": ";
  switch (problem.kind) {
    case ElementProblemKind::Wall:
      return describeProblem(problem.wall, wall);
    case ElementProblemKind::Overflow:
      return "a path through the parts: " + describeProblem(problem.wall, wall);
    case ElementProblemKind::PartProperty:
      return layer + partLabel(wall, problem.layer, problem.part) + ": " +
             std::string(Schema::keyOf(problem.field)) + " must be a positive number of " +
             Engine::unitOf(problem.field) + got(problem.value);
    case ElementProblemKind::FractionNotPositive:
      return layer + partLabel(wall, problem.layer, problem.part) +
             ": fraction must be a share of the area above 0 and at most 1" + got(problem.value);
    case ElementProblemKind::FractionSum:
      return layer + "the fractions of the parts sum to " + Detail::formatNumber(problem.value) +
             ", not 1 (within 1e-9)";
    case ElementProblemKind::TooFewParts:
      return layer + "a layer of parts needs at least two parts" + got(problem.value);
    case ElementProblemKind::NotASlab:
      return layer + "a layer of parts must be a slab with a thickness, not a pure resistance";
    case ElementProblemKind::TooManyPaths:
      return "the layers of parts combine into " + Detail::formatNumber(problem.value) +
             " or more paths through the element, more than the " +
             std::to_string(Engine::kMaxPaths) +
             " computed; if the parts lie behind each other, say parts_aligned = true";
    case ElementProblemKind::AlignedMismatch:
      return layer +
             "parts_aligned = true needs every layer of parts to have as many parts, "
             "with the same fractions in the same order, as the first one";
    case ElementProblemKind::AirLayerThickness:
      return layer + "air_gap must be more than 0 and at most " +
             Detail::formatNumber(Engine::kThickestAirLayer) + " m (ISO 6946:2017 Table 8)" +
             got(problem.value);
    case ElementProblemKind::Emissivity:
      return layer + "an emissivity must be above 0 and at most 1" + got(problem.value);
    case ElementProblemKind::OpeningArea:
      return layer +
             "openings of a slightly ventilated air layer must be from 500 to 1500 mm2 "
             "per m (ISO 6946:2017 6.9.3)" +
             got(problem.value);
    case ElementProblemKind::NotAnAirLayer:
      return layer + "only an air layer (air_gap) can be ventilated";
    case ElementProblemKind::NothingInside:
      return layer + "a ventilated air layer on side 1 leaves no element inside it";
    case ElementProblemKind::VoidLevel:
      return "corrections.air_voids: level must be 0, 1 or 2" + got(problem.value);
    case ElementProblemKind::FastenerValue:
      return std::string("corrections.fasteners: ") + fastenerKey(problem.fastenerInput) +
             got(problem.value);
    case ElementProblemKind::Penetration:
      return "corrections.fasteners: penetration must be at most the thickness of " +
             layerLabel(wall, problem.layer) + " (" +
             Detail::formatNumber(wall.request.layers[problem.layer].thickness) + " m)" +
             got(problem.value);
    case ElementProblemKind::CorrectionLayer:
      return "corrections: layer " +
             std::to_string((problem.layer < wall.request.layers.size()
                                 ? wall.fileLayerOf(problem.layer)
                                 : problem.layer) +
                            1) +
             " must be a layer of material inside any well ventilated air layer, the one the "
             "air voids or fasteners are in";
    case ElementProblemKind::LayerIndex:
      break;
  }
  return "layer " + std::to_string(problem.layer + 1) + " is not a layer of the wall";
}

Engine::ElementResult computeElementWall(const Wall& wall) {
  Engine::ElementOutcome outcome = Engine::computeElement(wall.request, wall.element.element);
  if (const auto* problem = std::get_if<Engine::ElementProblem>(&outcome)) {
    std::vector<Engine::Message> parts = elementProblemMessage(*problem, wall);
    if (!parts.empty()) throw Error(std::move(parts), std::string());
    throw Error(describeElementProblem(*problem, wall));
  }
  Engine::ElementResult result = std::get<Engine::ElementResult>(std::move(outcome));
  // The air gaps are pure resistances in the request, of no thickness of their own there.
  result.wall.thickness += wall.element.airGapThickness();
  return result;
}

}  // namespace Brusk::Frontend
