#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace Brusk::Frontend {

/// The name of the wall on line `lineNumber` of a JSON Lines file, for the row of a line that
/// could not be computed: its `name` where the line is a JSON object whose `name` is a string
/// (however the rest of it is wrong), else the name a nameless line's wall gets
/// (Schema::defaultLineWallName). A failed row is thus found by the name it was given.
[[nodiscard]] std::string lineWallName(std::string_view line, std::size_t lineNumber);

}  // namespace Brusk::Frontend
