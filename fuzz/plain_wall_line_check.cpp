#include "plain_wall_line_check.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iomanip>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <vector>

#include "brusk/frontend/error.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/wall_schema.h"
#include "fast_wall_line.h"

namespace BruskFuzz {

namespace {

using Brusk::Engine::LayerProperties;
using Brusk::Frontend::Catalogue;
using Brusk::Frontend::LayerLabel;
using Brusk::Frontend::Wall;

/// Plain lines read into the reused wall around the line under test. The first has more layers,
/// longer strings and every kind of layer, so whatever it leaves behind shows in a shorter line;
/// the second has no names at all, so stale names would show in it.
constexpr std::string_view kEarlierLines[] = {
    R"({"name":"An earlier wall, its name longer than three words","position":"internal",)"
    R"("heat_flow":"downward","rsi":0.25,"rse":0.5,"layers":[{"material":)"
    R"("insulation-mineral-wool","thickness":0.12,"name":"Mineral wool batts between studs"},)"
    R"({"thermal_resistance":0.18,"family":"other","name":"Cavity"},{"name":"Clay",)"
    R"("thickness":0.24,"conductivity":0.5,"density":1400,"specific_heat":900,)"
    R"("family":"masonry"},{"material":"plaster-gypsum","thickness":0.015,"family":"plaster"},)"
    R"({"thermal_resistance":0.04},{"material":"concrete-reinforced","thickness":0.2,)"
    R"("conductivity":2.5,"density":2400,"specific_heat":1000}]})",
    R"({"layers":[{"thickness":0.3,"conductivity":0.8,"density":1800,"specific_heat":840}]})",
};
constexpr std::size_t kEarlierLineNumber = 2;

/// Line numbers beyond the first: digit counts around the boundaries of the name's buffer.
constexpr std::size_t kOtherLineNumbers[] = {0, 9, 10, 4294967296u,
                                             std::numeric_limits<std::size_t>::max()};

bool sameBits(double a, double b) {
  std::uint64_t aBits = 0;
  std::uint64_t bBits = 0;
  std::memcpy(&aBits, &a, sizeof a);
  std::memcpy(&bBits, &b, sizeof b);
  return aBits == bBits;
}

std::string numberText(double value) {
  std::ostringstream out;
  out << std::setprecision(17) << value << " (" << std::hexfloat << value << ")";
  return out.str();
}

std::string numberDifference(const std::string& field, double plain, double full) {
  if (sameBits(plain, full)) return "";
  return field + ": plain " + numberText(plain) + ", full " + numberText(full);
}

std::string textDifference(const std::string& field, const std::string& plain,
                           const std::string& full) {
  if (plain == full) return "";
  return field + ": plain \"" + plain + "\", full \"" + full + "\"";
}

std::string optionalDifference(const std::string& field, const std::optional<double>& plain,
                               const std::optional<double>& full) {
  if (plain.has_value() != full.has_value()) {
    return field + ": plain " + (plain ? "given" : "not given") + ", full " +
           (full ? "given" : "not given");
  }
  return plain ? numberDifference(field, *plain, *full) : "";
}

std::string layerDifference(const Wall& plainWall, const Wall& fullWall, std::size_t index) {
  const LayerLabel& plain = plainWall.labels[index];
  const LayerLabel& full = fullWall.labels[index];
  const LayerProperties& plainLayer = plainWall.request.layers[index];
  const LayerProperties& fullLayer = fullWall.request.layers[index];
  const std::string prefix = "layer " + std::to_string(index + 1) + " ";
  for (std::string found :
       {textDifference(prefix + "name", plain.name, full.name),
        textDifference(prefix + "materialKey", plain.materialKey, full.materialKey),
        textDifference(prefix + "family", plain.family, full.family),
        numberDifference(prefix + "thickness", plainLayer.thickness, fullLayer.thickness),
        numberDifference(prefix + "conductivity", plainLayer.conductivity, fullLayer.conductivity),
        numberDifference(prefix + "density", plainLayer.density, fullLayer.density),
        numberDifference(prefix + "specificHeat", plainLayer.specificHeat, fullLayer.specificHeat),
        numberDifference(prefix + "resistance", plainLayer.resistance, fullLayer.resistance)}) {
    if (!found.empty()) return found;
  }
  return "";
}

/// The line as it can be printed on one line of a terminal: other bytes as \xNN, long lines cut.
std::string printable(std::string_view line) {
  constexpr std::size_t kShown = 1000;
  std::string out;
  for (std::size_t i = 0; i < std::min(line.size(), kShown); ++i) {
    const auto code = static_cast<unsigned char>(line[i]);
    if (code >= 0x20 && code < 0x7f && code != '\\') {
      out += line[i];
    } else {
      constexpr char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[code >> 4];
      out += kHex[code & 0xfu];
    }
  }
  if (line.size() > kShown) out += "... (" + std::to_string(line.size()) + " bytes)";
  return out;
}

/// The full reader as brusk batch runs it.
class FullReader {
public:
  FullReader(std::string_view line, const Catalogue& catalogue)
      : _line(line), _catalogue(catalogue) {}

  /// The wall the full reader gives for the line as line `lineNumber`, or nullopt with the
  /// reason in refusal(). Exceptions of other kinds are findings and pass through.
  std::optional<Wall> read(std::size_t lineNumber) {
    try {
      return Brusk::Frontend::parseWallLine(
          _line, _catalogue, "fuzz.jsonl:" + std::to_string(lineNumber),
          Brusk::Frontend::Schema::defaultLineWallName(lineNumber));
    } catch (const Brusk::Frontend::Error& error) {
      _refusal = error.what();
    }
    return std::nullopt;
  }
  [[nodiscard]] const std::string& refusal() const { return _refusal; }

private:
  std::string_view _line;
  const Catalogue& _catalogue;
  std::string _refusal;
};

/// "" when the plain reader's `plain`, read as line `lineNumber` `situation`, is what the full
/// reader gives for the line; else the disagreement.
std::string compareWithFullReader(const Wall& plain, FullReader& fullReader, std::size_t lineNumber,
                                  const std::string& situation) {
  const std::optional<Wall> full = fullReader.read(lineNumber);
  const std::string where = "line " + std::to_string(lineNumber) + ", read " + situation;
  if (!full) {
    return "the plain reader accepts (" + where +
           ") what the full reader refuses: " + fullReader.refusal();
  }
  const std::string found = wallDifference(plain, *full);
  return found.empty() ? "" : "the readers disagree (" + where + "): " + found;
}

/// The walls of kEarlierLines, as the full reader gives them.
const std::vector<Wall>& earlierWalls(const Catalogue& catalogue) {
  static const Catalogue* madeWith = nullptr;
  static std::vector<Wall> walls;
  if (madeWith != &catalogue) {
    walls.clear();
    for (std::string_view line : kEarlierLines) {
      walls.push_back(Brusk::Frontend::parseWallLine(
          line, catalogue, "earlier",
          Brusk::Frontend::Schema::defaultLineWallName(kEarlierLineNumber)));
    }
    madeWith = &catalogue;
  }
  return walls;
}

/// Reads earlier line `index` into `wall`, which must then be that line's wall whatever `wall`
/// held before.
std::string readEarlierLine(std::size_t index, const Catalogue& catalogue, Wall& wall) {
  const std::string which = "earlier line " + std::to_string(index + 1) + " ";
  if (!Brusk::Batch::readPlainWallLine(kEarlierLines[index], catalogue, kEarlierLineNumber, wall)) {
    return which + "is refused after the line";
  }
  const std::string found = wallDifference(wall, earlierWalls(catalogue)[index]);
  return found.empty() ? "" : which + "read after the line keeps some of it: " + found;
}

std::string checkLine(std::string_view line, const Catalogue& catalogue) {
  FullReader fullReader(line, catalogue);
  Wall wall;
  const bool accepted = Brusk::Batch::readPlainWallLine(line, catalogue, 1, wall);
  if (accepted) {
    std::string found = compareWithFullReader(wall, fullReader, 1, "into a fresh wall");
    if (!found.empty()) return found;
  }
  // Whether the line is plain depends on its text alone, never on what the wall held.
  const auto readAgain = [&](std::size_t lineNumber, const std::string& situation) -> std::string {
    const bool acceptedNow = Brusk::Batch::readPlainWallLine(line, catalogue, lineNumber, wall);
    if (acceptedNow != accepted) {
      return std::string("the plain reader ") + (accepted ? "accepts" : "refuses") +
             " the line in a fresh wall but " + (acceptedNow ? "accepts" : "refuses") +
             " it as line " + std::to_string(lineNumber) + " read " + situation;
    }
    return acceptedNow ? compareWithFullReader(wall, fullReader, lineNumber, situation) : "";
  };

  std::string found = readAgain(1, "again into the same wall");
  for (std::size_t index = 0; index < std::size(kEarlierLines) && found.empty(); ++index) {
    found = readEarlierLine(index, catalogue, wall);
    if (found.empty()) found = readAgain(3, "after earlier line " + std::to_string(index + 1));
  }
  for (const std::size_t lineNumber : kOtherLineNumbers) {
    if (found.empty()) found = readAgain(lineNumber, "under another line number");
  }
  if (found.empty()) found = readEarlierLine(0, catalogue, wall);
  return found;
}

}  // namespace

std::string wallDifference(const Wall& plain, const Wall& full) {
  const auto code = [](auto value) { return std::to_string(static_cast<int>(value)); };
  const Brusk::Engine::WallRequest& p = plain.request;
  const Brusk::Engine::WallRequest& f = full.request;
  for (std::string found :
       {textDifference("name", plain.name, full.name),
        p.position == f.position
            ? ""
            : "position: plain " + code(p.position) + ", full " + code(f.position),
        p.heatFlow == f.heatFlow
            ? ""
            : "heat flow: plain " + code(p.heatFlow) + ", full " + code(f.heatFlow),
        optionalDifference("rsi", p.internalSurfaceResistance, f.internalSurfaceResistance),
        optionalDifference("rse", p.externalSurfaceResistance, f.externalSurfaceResistance),
        numberDifference("period", p.period, f.period)}) {
    if (!found.empty()) return found;
  }
  if (p.layers.size() != f.layers.size() || plain.labels.size() != full.labels.size() ||
      p.layers.size() != plain.labels.size()) {
    return "layer count: plain " + std::to_string(p.layers.size()) + " (" +
           std::to_string(plain.labels.size()) + " labels), full " +
           std::to_string(f.layers.size()) + " (" + std::to_string(full.labels.size()) + " labels)";
  }
  for (std::size_t i = 0; i < p.layers.size(); ++i) {
    std::string found = layerDifference(plain, full, i);
    if (!found.empty()) return found;
  }
  return "";
}

std::string plainWallLineDisagreement(std::string_view text, const Catalogue& catalogue) {
  // An exactly sized heap copy: AddressSanitizer then reports any read past the end of the line,
  // which a larger buffer or a string's terminator would hide.
  const std::unique_ptr<char[]> copy(new char[text.size()]);
  std::copy(text.begin(), text.end(), copy.get());
  const std::string_view line(copy.get(), text.size());
  const std::string found = checkLine(line, catalogue);
  return found.empty()
             ? ""
             : found + "\n  line (" + std::to_string(line.size()) + " bytes): " + printable(line);
}

}  // namespace BruskFuzz
