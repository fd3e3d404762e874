#include "brusk/frontend/compute.h"

#include <cstdio>

#include "brusk/engine/constants.h"
#include "brusk/engine/periodic_response.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/wall_schema.h"
#include "document.h"

namespace Brusk::Frontend {

namespace {

/// A count of penetration depths as a message shows it: whole numbers, and three digits once
/// they no longer fit.
std::string depthText(double depths) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, depths < 1e15 ? "%.0f" : "%.3g", depths);
  return buffer;
}

/// Why the transfer matrix left double precision. Its elements grow like e^(sum of d / delta),
/// and a pure resistance between two slabs multiplies them further, so either a stack of too
/// many penetration depths or many resistances between heavy slabs can overflow.
std::string describeOverflow(const Engine::WallProblem& problem, const Wall& wall) {
  std::string message = "wall \"" + wall.name +
                        "\": the heat transfer matrix overflows double precision at a " +
                        Detail::formatNumber(problem.value / Engine::kSecondsPerHour) +
                        " h period: the layers add up to " + depthText(problem.penetrationDepths) +
                        " periodic penetration depths";
  if (problem.penetrationDepths >= Engine::kComputablePenetrationDepths &&
      problem.dominantLayer != Engine::kWholeWall) {
    const Engine::LayerProperties& thickest = wall.request.layers[problem.dominantLayer];
    return message + " and about " +
           std::to_string(static_cast<int>(Engine::kComputablePenetrationDepths)) +
           " can be computed; " + layerLabel(wall, problem.dominantLayer) + " is " +
           Detail::formatNumber(thickest.thickness) + " m thick, " +
           depthText(problem.dominantPenetrationDepths) +
           " depths: make it thinner or the period longer";
  }
  if (problem.pureResistance > 0.0) {
    char resistance[32];
    std::snprintf(resistance, sizeof resistance, "%.3g", problem.pureResistance);
    return message + " with " + resistance +
           " m2.K/W of pure thermal resistance between them, which amplifies the matrix "
           "further: make the wall thinner, the period longer or use fewer air layers";
  }
  return message +
         ", few enough, so a conductivity or surface resistance is too extreme to "
         "compute";
}

}  // namespace

std::string layerLabel(const Wall& wall, std::size_t index) {
  std::string label = "layer " + std::to_string(wall.fileLayerOf(index) + 1);
  if (index < wall.labels.size() && !wall.labels[index].name.empty()) {
    label += " (\"" + wall.labels[index].name + "\")";
  }
  return label;
}

std::string requirementPhrase(Engine::WallField field, Engine::ProblemKind kind) {
  const char* const requirement = kind == Engine::ProblemKind::Negative
                                      ? " must be a non-negative number of "
                                      : " must be a positive number of ";
  return std::string(Schema::keyOf(field)) + requirement + Engine::unitOf(field);
}

std::string describeRequirement(const Engine::WallProblem& problem) {
  return requirementPhrase(problem.field, problem.kind) + ", got " +
         Detail::formatNumber(problem.value);
}

std::string describeProblem(const Engine::WallProblem& problem, const Wall& wall) {
  switch (problem.kind) {
    case Engine::ProblemKind::NoLayers:
      return "the wall has no layers; list them from the inner face (side 1) outward as "
             "[[layers]] tables";
    case Engine::ProblemKind::TooManyLayers:
      return std::to_string(static_cast<std::size_t>(problem.value)) + " layers, more than the " +
             std::to_string(Engine::kMaxLayers) + " a wall may have";
    case Engine::ProblemKind::Overflow:
      return describeOverflow(problem, wall);
    case Engine::ProblemKind::OutOfRange:
      return "the period must be from " + Detail::formatNumber(Engine::kShortestPeriod) + " s to " +
             Detail::formatNumber(Engine::kLongestPeriod) +
             " s (one year), where double precision holds the results, got " +
             Detail::formatNumber(problem.value) + " s";
    case Engine::ProblemKind::NotPositive:
    case Engine::ProblemKind::Negative:
      break;
  }
  if (problem.layer == Engine::kWholeWall) return describeRequirement(problem);
  return layerLabel(wall, problem.layer) + ": " + describeRequirement(problem);
}

void requirePeriodHours(double hours, std::string_view option) {
  if (!Engine::checkPeriod(hours * Engine::kSecondsPerHour)) return;
  throw Error(std::string(option) + " must be a number of hours from " +
                  Detail::formatNumber(Engine::kShortestPeriod) + "/" +
                  Detail::formatNumber(Engine::kSecondsPerHour) + " (one second) to " +
                  Detail::formatNumber(Engine::kLongestPeriod / Engine::kSecondsPerHour) +
                  " (one year), where double precision holds the results, got " +
                  Detail::formatNumber(hours),
              "/period");
}

std::string problemPointer(const Engine::WallProblem& problem, const Wall* wall) {
  if (problem.field == Engine::WallField::Layers) return "/layers";
  const std::string key(Schema::keyOf(problem.field));
  if (problem.layer == Engine::kWholeWall) return "/" + key;
  const std::size_t place = wall != nullptr ? wall->fileLayerOf(problem.layer) : problem.layer;
  return "/layers/" + std::to_string(place) + "/" + key;
}

Engine::WallResult computeWall(const Wall& wall) {
  // Parts, air gaps or corrections: the ISO 6946 element; plain layers exactly as ever.
  if (!wall.element.empty()) return computeElementWall(wall).wall;
  Engine::WallResult result;
  if (auto problem = Engine::computeInto(wall.request, result)) {
    throw Error(describeProblem(*problem, wall), problemPointer(*problem, &wall));
  }
  return result;
}

}  // namespace Brusk::Frontend
