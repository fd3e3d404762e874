#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

/// Largest wall or catalogue file read [bytes].
inline constexpr std::size_t kMaxWallFileBytes = 4u * 1024u * 1024u;

/// Wall file formats, chosen by extension.
enum class WallFormat { Toml, Json };

/// Parses the text of a wall file in either format; TOML is converted into the same JSON path
/// so both formats accept the same walls and give the same messages (TOML ones with a line).
/// `source` names the input in messages ("wall.toml", "walls.jsonl:12"); the wall's name
/// defaults to `defaultName`, or to the stem of `source` when that is empty. The request's
/// period is the daily cycle. Throws Frontend::Error naming the source, the layer and the
/// physical reason.
[[nodiscard]] Wall parseWallText(std::string_view text, WallFormat format,
                                 const Catalogue& catalogue, const std::string& source,
                                 const std::string& defaultName = {});

/// Parses one line of a JSON Lines file holding one wall object, as parseWallText() parses a
/// JSON file; `source` names the line ("walls.jsonl:12") and messages give no other line.
[[nodiscard]] Wall parseWallLine(std::string_view line, const Catalogue& catalogue,
                                 const std::string& source, const std::string& defaultName);

/// The format a file name's extension selects (.toml or .json); throws Frontend::Error otherwise.
[[nodiscard]] WallFormat wallFormatOf(const std::string& path);

/// Reads and parses a wall file; the format follows the extension.
[[nodiscard]] Wall loadWallFile(const std::string& path, const Catalogue& catalogue);

}  // namespace Brusk::Frontend
