#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "brusk/engine/message.h"

#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

/// Computes a wall with the engine at its request's period. Throws Frontend::Error with
/// describeProblem()'s message, prefixed by nothing, when the engine refuses it.
[[nodiscard]] Engine::WallResult computeWall(const Wall& wall);

/// A problem the engine found in `wall`, worded for a person: the layer by number and name, the
/// key, the physical requirement and the value given, e.g.
/// `layer 2 ("EPS board"): conductivity must be a positive number of W/(m.K), got -0.035`;
/// for an overflowing stack, its periodic penetration depths and the layer contributing most.
[[nodiscard]] std::string describeProblem(const Engine::WallProblem& problem, const Wall& wall);

/// describeProblem() as a message by key: the layer (where it is about one) and the reason;
/// empty for a problem worded in English only (an overflowing transfer matrix).
[[nodiscard]] std::vector<Engine::Message> problemMessage(const Engine::WallProblem& problem,
                                                          const Wall& wall);

/// "layer N" or `layer N ("name")` for a message about the request's layer at `index`, N its
/// place in the file (which counts vapour control layers too), 1 first.
[[nodiscard]] std::string layerLabel(const Wall& wall, std::size_t index);

/// layerLabel() as a message by key.
[[nodiscard]] Engine::Message layerMessage(const Wall& wall, std::size_t index);

/// The message naming the file's layer at `place` (0 first) and its name (none when empty).
[[nodiscard]] Engine::Message layerMessage(std::size_t place, const std::string& name);

/// The JSON pointer into a wall document of the value a problem is about: "/layers/2/thickness",
/// "/rsi", "/period", or "/layers" for the stack as a whole; the layer is the request's, placed
/// among the file's layers by `wall` when given.
[[nodiscard]] std::string problemPointer(const Engine::WallProblem& problem,
                                         const Wall* wall = nullptr);

/// Throws Frontend::Error worded for the option named `option` (`--period` on the command
/// line) when a cycle length of `hours` is outside what the engine computes (Engine::checkPeriod).
void requirePeriodHours(double hours, std::string_view option = "--period");

/// What a field must be: `conductivity must be a positive number of W/(m.K)`, for a value the
/// engine refused with `kind` (NotPositive or Negative) or a value of the wrong type.
[[nodiscard]] std::string requirementPhrase(Engine::WallField field, Engine::ProblemKind kind);

/// The requirement a problem breaks, as the part of a message after the layer:
/// `conductivity must be a positive number of W/(m.K), got -0.035`.
[[nodiscard]] std::string describeRequirement(const Engine::WallProblem& problem);

/// describeRequirement() as a message by key.
[[nodiscard]] Engine::Message requirementMessage(const Engine::WallProblem& problem);

/// The requirement on `field` (requirementPhrase()) and the value `got` instead, by key.
[[nodiscard]] Engine::Message requirementMessage(Engine::WallField field, Engine::ProblemKind kind,
                                                 Engine::MessageValue got);

}  // namespace Brusk::Frontend
