#pragma once

// Zone files: a room or zone as the elements that face it, read into the engine's ZoneRequest,
// and the wording of the problems the engine finds in one.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "brusk/engine/zone.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

/// What a person reads about one element; its physics is the matching entry of the request.
struct ZoneElementLabel {
  std::string name;      ///< as written, else the wall's name
  std::string wallFile;  ///< the wall file as the zone file writes it; empty for an inline wall
  std::string wallName;  ///< the wall's name
  std::vector<LayerLabel> layers;  ///< the wall's layer labels, for messages
  std::size_t line = 0;            ///< line of the element in the zone file, 0 when unknown
};

/// A zone as a file describes it.
struct Zone {
  std::string name;
  std::string source;  ///< the zone file, as messages name it
  Engine::ZoneRequest request;
  std::vector<ZoneElementLabel> labels;  ///< one per element of the request, in the same order
  /// Every file read for the zone, as opened: the zone file, then each wall file once. A
  /// command writing a file checks it against these (Frontend::refuseToOverwriteInputs).
  std::vector<std::string> files;
};

/// Keys of a zone file and of its elements (the keys of a wall, but `name`, are also accepted
/// in an element to give its wall inline).
namespace ZoneSchema {
inline constexpr std::string_view kName = "name";
inline constexpr std::string_view kFloorArea = "floor_area";
inline constexpr std::string_view kHeatTransferCoefficient = "heat_transfer_coefficient";
inline constexpr std::string_view kCapacity = "capacity";
inline constexpr std::string_view kElements = "elements";
inline constexpr std::string_view kArea = "area";
inline constexpr std::string_view kWall = "wall";
inline constexpr std::string_view kFaces = "faces";
/// "inner" and "both", in the order of Engine::ZoneFaces.
[[nodiscard]] const std::vector<std::string>& facesNames();
/// "detailed" and "simplified", in the order of Engine::ZoneCapacityBasis.
[[nodiscard]] const std::vector<std::string>& capacityNames();
}  // namespace ZoneSchema

/// Most layers the elements of a zone may have in all, a wall file counting once per element
/// that names it: ten per element of the largest zone, or a hundred walls of the most layers a
/// wall may have. Each layer is kept per element, so this bounds a zone's memory, whatever its
/// files hold.
inline constexpr std::size_t kMaxZoneLayers = 100000;

/// Largest zone file read [bytes].
inline constexpr std::size_t kMaxZoneFileBytes = 4u * 1024u * 1024u;

/// Parses the text of a zone file (TOML or JSON by `format`, as wall files). Wall files named by
/// `wall = "..."` are read relative to `directory`. `source` names the zone file in messages.
/// Throws Frontend::Error naming the zone file, the line where known, the element and the reason.
[[nodiscard]] Zone parseZoneText(std::string_view text, bool json, const Catalogue& catalogue,
                                 const std::string& source, const std::string& directory);

/// Reads and parses a zone file; the format follows the extension (.toml or .json), wall files
/// are found relative to the zone file.
[[nodiscard]] Zone loadZoneFile(const std::string& path, const Catalogue& catalogue);

/// True when the file at `path` (.toml or .json) holds a zone rather than a wall: its top level
/// has `floor_area` or `elements`, keys no wall takes. False for anything it cannot read or
/// parse, which the wall reader then words.
[[nodiscard]] bool isZoneFile(const std::string& path);

/// A problem the engine found in `zone`, worded with the zone file, the element's line, the
/// element and the reason.
[[nodiscard]] std::string describeZoneProblem(const Engine::ZoneProblem& problem, const Zone& zone);

/// "element N" or `element N ("name")` for a message about the element at `index`.
[[nodiscard]] std::string elementLabel(const Zone& zone, std::size_t index);

/// Computes a zone with the engine; throws Frontend::Error with describeZoneProblem()'s message.
[[nodiscard]] Engine::ZoneResult computeZone(const Zone& zone);

}  // namespace Brusk::Frontend
