#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall.h"

namespace Brusk {

/// Most layers a wall may have: far beyond any real element, small enough to refuse junk fast.
inline constexpr std::size_t kMaxLayers = 1000;

/// Largest wall or catalogue file read [bytes].
inline constexpr std::size_t kMaxWallFileBytes = 4u * 1024u * 1024u;

/// Wall file formats, chosen by extension.
enum class WallFormat { Toml, Json };

/// Builds a wall from one JSON object with the keys of a wall file (name, position, heat_flow,
/// rsi, rse, layers). `source` names the input in error messages ("wall.json", "walls.jsonl:12");
/// the wall's name defaults to `defaultName`, or to the stem of `source` when that is empty.
/// Throws Brusk::Error with a message naming the source, the layer and the physical reason.
[[nodiscard]] Wall parseWall(const nlohmann::json& object, const Catalogue& catalogue,
                             const std::string& source, const std::string& defaultName = {});

/// Parses the text of a wall file in either format; TOML is converted into the same JSON path
/// so both formats accept the same walls and give the same messages (TOML ones with a line).
[[nodiscard]] Wall parseWallText(std::string_view text, WallFormat format,
                                 const Catalogue& catalogue, const std::string& source);

/// The format a file name's extension selects (.toml or .json); throws Brusk::Error otherwise.
[[nodiscard]] WallFormat wallFormatOf(const std::string& path);

/// Reads and parses a wall file; the format follows the extension.
[[nodiscard]] Wall loadWallFile(const std::string& path, const Catalogue& catalogue);

}  // namespace Brusk
