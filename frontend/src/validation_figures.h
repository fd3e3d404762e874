#pragma once

// Internal: which quantities a validation case of each kind can compare, and where each is read,
// shared by the reader (which refuses a figure no case can compute) and the runner.

#include <string_view>

#include "brusk/engine/quantities.h"
#include "brusk/frontend/validation.h"

namespace Brusk::Frontend::Detail {

/// The location keys a figure must give.
enum FigureNeed : unsigned {
  kNeedsNothing = 0u,
  kNeedsMonth = 1u << 0,
  kNeedsPath = 1u << 1,
  kNeedsAirLayer = 1u << 2,
  kNeedsLayer = 1u << 3,
  kNeedsTemperature = 1u << 4,
  kNeedsThickness = 1u << 5,
  kNeedsHeatFlow = 1u << 6,
  kNeedsPart = 1u << 7,
};

/// A quantity a kind of case compares: where it is described and what locates it.
struct ComparableFigure {
  Engine::QuantityScope scope = Engine::QuantityScope::Wall;
  unsigned needs = kNeedsNothing;
};

/// The quantity `key` as a case of `kind` compares it, or none when that kind cannot compute it.
/// A wall compares every number and complex of `brusk compute` (a complex needs a part).
[[nodiscard]] bool comparableFigure(ValidationKind kind, std::string_view key,
                                    ComparableFigure& figure);

/// The keys a case of `kind` can compare, for messages.
[[nodiscard]] std::vector<std::string> comparableKeys(ValidationKind kind);

}  // namespace Brusk::Frontend::Detail
