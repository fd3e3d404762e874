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

Engine::Message layerMessage(std::size_t place, const std::string& name) {
  auto number = Engine::MessageValue::plain(std::to_string(place + 1));
  if (name.empty()) return {"layer", {{"layer", std::move(number)}}};
  return {"layer.named",
          {{"layer", std::move(number)}, {"name", Engine::MessageValue::plain(name)}}};
}

Engine::Message layerMessage(const Wall& wall, std::size_t index) {
  return layerMessage(wall.fileLayerOf(index),
                      index < wall.labels.size() ? wall.labels[index].name : std::string());
}

std::string layerLabel(const Wall& wall, std::size_t index) {
  return Engine::englishText(layerMessage(wall, index));
}

Engine::Message requirementMessage(Engine::WallField field, Engine::ProblemKind kind,
                                   Engine::MessageValue got) {
  return {kind == Engine::ProblemKind::Negative ? "value.non_negative" : "value.positive",
          {{"key", Engine::MessageValue::fileKey(std::string(Schema::keyOf(field)))},
           {"unit", Engine::MessageValue::plain(Engine::unitOf(field))},
           {"value", std::move(got)}}};
}

Engine::Message requirementMessage(const Engine::WallProblem& problem) {
  return requirementMessage(problem.field, problem.kind,
                            Engine::MessageValue::number(Detail::formatNumber(problem.value)));
}

std::string requirementPhrase(Engine::WallField field, Engine::ProblemKind kind) {
  const char* const requirement = kind == Engine::ProblemKind::Negative
                                      ? " must be a non-negative number of "
                                      : " must be a positive number of ";
  return std::string(Schema::keyOf(field)) + requirement + Engine::unitOf(field);
}

std::string describeRequirement(const Engine::WallProblem& problem) {
  return Engine::englishText(requirementMessage(problem));
}

std::vector<Engine::Message> problemMessage(const Engine::WallProblem& problem, const Wall& wall) {
  const auto count = [](double value) {
    return Engine::MessageValue::plain(std::to_string(static_cast<std::size_t>(value)));
  };
  switch (problem.kind) {
    case Engine::ProblemKind::NoLayers:
      return {{"wall.no_layers", {}}};
    case Engine::ProblemKind::TooManyLayers:
      return {{"wall.too_many_layers",
               {{"count", count(problem.value)},
                {"most", count(static_cast<double>(Engine::kMaxLayers))}}}};
    case Engine::ProblemKind::Overflow:
      // Worded in English only: its figures explain a limit of double precision.
      return {};
    case Engine::ProblemKind::OutOfRange:
      return {
          {"period.range",
           {{"shortest",
             Engine::MessageValue::number(Detail::formatNumber(Engine::kShortestPeriod))},
            {"longest", Engine::MessageValue::number(Detail::formatNumber(Engine::kLongestPeriod))},
            {"value", Engine::MessageValue::number(Detail::formatNumber(problem.value))}}}};
    case Engine::ProblemKind::NotPositive:
    case Engine::ProblemKind::Negative:
      break;
  }
  if (problem.layer == Engine::kWholeWall) return {requirementMessage(problem)};
  return {layerMessage(wall, problem.layer), requirementMessage(problem)};
}

std::string describeProblem(const Engine::WallProblem& problem, const Wall& wall) {
  if (problem.kind == Engine::ProblemKind::Overflow) return describeOverflow(problem, wall);
  return Engine::englishText(problemMessage(problem, wall));
}

void requirePeriodHours(double hours, std::string_view option) {
  if (!Engine::checkPeriod(hours * Engine::kSecondsPerHour)) return;
  const auto number = [](double value) {
    return Engine::MessageValue::number(Detail::formatNumber(value));
  };
  throw Error({{"period.hours",
                {{"option", Engine::MessageValue::plain(std::string(option))},
                 {"shortest", number(Engine::kShortestPeriod)},
                 {"hour", number(Engine::kSecondsPerHour)},
                 {"longest", number(Engine::kLongestPeriod / Engine::kSecondsPerHour)},
                 {"value", number(hours)}}}},
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
    if (problem->kind == Engine::ProblemKind::Overflow) {
      throw Error(describeProblem(*problem, wall), problemPointer(*problem, &wall));
    }
    throw Error(problemMessage(*problem, wall), problemPointer(*problem, &wall));
  }
  return result;
}

}  // namespace Brusk::Frontend
