#pragma once

// Internal to brusk batch: a fast reader for the common shape of a JSON Lines wall.

#include <cstddef>
#include <string>
#include <string_view>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Batch {

/// Reads one line holding a plain, valid wall object (known keys once each, ASCII strings without
/// escapes, numbers without sign) into `wall`, giving exactly what parseWall gives for it. Returns
/// false, with `wall` unspecified, for anything else, valid or not: the caller then reads the line
/// with parseWall, which accepts every valid wall and words the errors.
/// A wall without a name is named after its line, "line N"; the name is made only then.
[[nodiscard]] bool readPlainWallLine(std::string_view line, const Catalogue& catalogue,
                                     std::size_t lineNumber, Wall& wall);

/// The name of a wall whose line gives none: "line N".
[[nodiscard]] std::string defaultWallName(std::size_t lineNumber);

}  // namespace Brusk::Batch
