#pragma once

// Internal to brusk batch: a fast reader for the common shape of a JSON Lines wall.

#include <cstddef>
#include <string>
#include <string_view>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Batch {

/// Whether readPlainWallLine fills the wall's layer labels (names, catalogue keys, families).
/// Only messages and drawings read them: a batch that writes results alone skips them, and reads
/// the line again with them when a message needs them.
enum class PlainLabels { Fill, Skip };

/// Reads one line holding a plain wall object (known keys once each, ASCII strings without
/// escapes, numbers without sign) into `wall`, giving exactly what Frontend::parseWallLine gives
/// for it. Returns false, with `wall` unspecified, for anything else, valid or not: the caller
/// then reads the line with parseWallLine, which accepts every valid wall and words the errors.
/// The reader only scans: names, defaults and families come from the wall schema, and the
/// engine's check of the request decides what is computable.
/// A wall without a name is named after its line, "line N"; the name is made only then.
/// With PlainLabels::Skip, `wall` gets the same name and request but no labels: whether a line
/// reads, and what it reads as, does not depend on the choice.
[[nodiscard]] bool readPlainWallLine(std::string_view line, const Frontend::Catalogue& catalogue,
                                     std::size_t lineNumber, Frontend::Wall& wall,
                                     PlainLabels labelling = PlainLabels::Fill);

}  // namespace Brusk::Batch
