#include <cmath>
#include <cstdio>

#include "brusk/frontend/layer_vapour.h"
#include "brusk/frontend/wall_schema.h"
#include "document.h"
#include "layer_vapour_reader.h"

namespace Brusk::Frontend {

namespace {

using Json = nlohmann::json;

/// Largest mu or s_d taken [- or m]: beyond any real material (ISO 10456 gives 10^5 for
/// polyethylene sheet), small enough that mu d and their sums stay finite.
constexpr double kLargestVapourValue = 1e12;

std::string numberText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

/// A fault worded by key: its English text is the message's.
Detail::VapourFault faultOf(std::string key, Engine::Message message) {
  std::string reason = Engine::englishText(message);
  return {std::move(key), std::move(reason), std::move(message)};
}

/// A mu of at least 1 (still air has 1; nothing passes vapour more freely), finite.
std::optional<Engine::Message> factorProblem(double factor) {
  if (!(factor >= 1.0 && factor <= kLargestVapourValue)) {
    return Engine::Message{"vapour.factor_range",
                           {{"value", Engine::MessageValue::number(numberText(factor))}}};
  }
  return std::nullopt;
}

}  // namespace

std::string_view vapourSourceName(VapourSource source) {
  switch (source) {
    case VapourSource::Factor:
      return Schema::kVapourResistanceFactor;
    case VapourSource::Sd:
      return Schema::kSd;
    case VapourSource::Catalogue:
      return "catalogue";
    case VapourSource::DefaultZero:
      return "default (pure resistance: sd = 0)";
    case VapourSource::AirLayer:
      return "air layer (mu = 1)";
    case VapourSource::None:
      break;
  }
  return {};
}

LayerVapour airLayerVapour(double thickness) { return {VapourSource::AirLayer, 1.0, thickness}; }

std::optional<Detail::VapourFault> Detail::readLayerVapour(const Json& layer,
                                                           const CatalogueEntry* material,
                                                           double thickness, LayerVapour& vapour) {
  const std::string factorKey(Schema::kVapourResistanceFactor);
  const std::string sdKey(Schema::kSd);
  const Json* factor = member(layer, Schema::kVapourResistanceFactor);
  const Json* sd = member(layer, Schema::kSd);
  vapour = LayerVapour{};
  if (const Json* limit = member(layer, Schema::kCondensationLimit)) {
    if (!limit->is_number() ||
        !(limit->get<double>() >= 0.0 && limit->get<double>() <= kLargestVapourValue)) {
      return faultOf(std::string(Schema::kCondensationLimit),
                     {"vapour.condensation_limit", {{"value", gotValue(*limit)}}});
    }
    vapour.condensationLimit = limit->get<double>();
  }
  if (factor != nullptr && !factor->is_number()) {
    return VapourFault{
        factorKey,
        "vapour_resistance_factor must be a number (mu, at least 1), got " + describeValue(*factor),
        std::nullopt};
  }
  if (sd != nullptr && !sd->is_number()) {
    return VapourFault{sdKey,
                       "sd must be a number of metres (the equivalent air layer "
                       "thickness, not negative), got " +
                           describeValue(*sd),
                       std::nullopt};
  }
  if (factor != nullptr) {
    if (thickness == 0.0) {
      return VapourFault{factorKey,
                         "a pure thermal resistance has no thickness for a "
                         "vapour_resistance_factor; give its sd in m instead",
                         std::nullopt};
    }
    if (auto problem = factorProblem(factor->get<double>())) return faultOf(factorKey, *problem);
    vapour.source = VapourSource::Factor;
    vapour.factor = factor->get<double>();
    vapour.sd = vapour.factor * thickness;
  }
  if (sd != nullptr) {
    const double value = sd->get<double>();
    if (!(value >= 0.0 && value <= kLargestVapourValue)) {
      return faultOf(
          sdKey, {"vapour.sd_range", {{"value", Engine::MessageValue::number(numberText(value))}}});
    }
    if (factor != nullptr) {
      // Both given: they must say the same, s_d = mu d, to a part in a million.
      if (std::fabs(value - vapour.sd) > 1e-6 * std::fmax(value, vapour.sd)) {
        const auto number = [](double x) { return Engine::MessageValue::number(numberText(x)); };
        return faultOf(sdKey, {"vapour.sd_disagrees",
                               {{"sd", number(value)},
                                {"factor", number(vapour.factor)},
                                {"thickness", number(thickness)},
                                {"product", number(vapour.sd)}}});
      }
      return std::nullopt;
    }
    vapour.source = VapourSource::Sd;
    vapour.sd = value;
    return std::nullopt;
  }
  if (factor != nullptr) return std::nullopt;
  if (thickness == 0.0) {
    vapour.source = VapourSource::DefaultZero;
    return std::nullopt;
  }
  if (material != nullptr && material->vapourResistanceFactor) {
    vapour.source = VapourSource::Catalogue;
    vapour.factor = *material->vapourResistanceFactor;
    vapour.sd = vapour.factor * thickness;
  }
  return std::nullopt;
}

}  // namespace Brusk::Frontend
