#pragma once

// Internal: the wall reader's last step, the wall as its file says it in the schema's order.

#include <string>

#include <nlohmann/json.hpp>

#include "brusk/frontend/wall.h"

namespace Brusk::Frontend::Detail {

/// The wall object the reader took (`object`, every key known to the schema) as compact JSON:
/// the keys in the schema's order at every level, each value as given (integers stay
/// integers), and the name, position and heat flow of `wall` filled in where the object left
/// them to their defaults. Stored in Wall::document for every writer.
[[nodiscard]] std::string canonicalWallDocument(const nlohmann::json& object, const Wall& wall);

}  // namespace Brusk::Frontend::Detail
