#pragma once

// The agreement check of the plain-line fuzzer, shared with the test that replays its findings.

#include <string>
#include <string_view>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall.h"

namespace BruskFuzz {

/// The first field in which `plain` differs from `full` (numbers compared bit for bit), worded
/// with both values, or "" when the walls are identical.
[[nodiscard]] std::string wallDifference(const Brusk::Frontend::Wall& plain,
                                         const Brusk::Frontend::Wall& full);

/// Reads `line` with Brusk::Batch::readPlainWallLine the ways a batch run meets it (into a fresh
/// wall, again into the same wall, into a wall that held other lines, under several line numbers)
/// and each time it is accepted, reads it with the full reader too. Returns the first
/// disagreement, worded with what each reader gave, or "" when there is none.
[[nodiscard]] std::string plainWallLineDisagreement(std::string_view line,
                                                    const Brusk::Frontend::Catalogue& catalogue);

}  // namespace BruskFuzz
