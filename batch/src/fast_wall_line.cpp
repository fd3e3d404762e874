#include "fast_wall_line.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

#include "brusk/engine/surface.h"
#include "brusk/frontend/wall_parser.h"

namespace Brusk::Batch {

namespace {

/// The powers of ten that are exact doubles.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

/// A cursor over the line that recognises the JSON subset of plain walls.
class Scanner {
public:
  explicit Scanner(std::string_view text) : _at(text.data()), _end(text.data() + text.size()) {}

  void skipSpace() {
    while (_at != _end && isSpace(*_at)) ++_at;
  }
  bool consume(char expected) {
    // Generated and machine-written lines rarely have blanks between tokens: test first.
    if (_at != _end && *_at == expected) {
      ++_at;
      return true;
    }
    skipSpace();
    if (_at != _end && *_at == expected) {
      ++_at;
      return true;
    }
    return false;
  }
  [[nodiscard]] bool atEnd() {
    skipSpace();
    return _at == _end;
  }
  [[nodiscard]] bool peek(char expected) {
    skipSpace();
    return _at != _end && *_at == expected;
  }

  /// A string of printable ASCII without escapes.
  /// A string into an empty slot; false when the slot is taken (a repeated key) or no string.
  bool stringOnce(std::optional<std::string_view>& slot) {
    std::string_view value;
    if (slot || !string(value)) return false;
    slot = value;
    return true;
  }

  /// A number that `accept` approves into an empty slot; false for a repeated key or else.
  bool numberOnce(std::optional<double>& slot, bool (*accept)(double)) {
    double value = 0.0;
    if (slot || !number(value) || !accept(value)) return false;
    slot = value;
    return true;
  }

  bool string(std::string_view& out) {
    if (!consume('"')) return false;
    const char* const start = _at;
    while (_at != _end && *_at != '"') {
      const auto c = static_cast<unsigned char>(*_at);
      if (c < 0x20 || c > 0x7e || c == '\\') return false;
      ++_at;
    }
    if (_at == _end) return false;
    out = std::string_view(start, static_cast<std::size_t>(_at - start));
    ++_at;
    return true;
  }

  /// A JSON number without sign: int [frac] [exp], converted with correct rounding.
  bool number(double& out) {
    skipSpace();
    const char* const start = _at;
    // Clinger's exact case: at most 19 digits read as an integer, scaled by a power of ten a
    // double holds exactly; both operands exact, one correctly rounded operation. Leading zeros
    // count as digits here, which only sends a few more numbers to the general conversion.
    std::uint64_t significand = 0;
    if (_at != _end && *_at == '0') {
      ++_at;
    } else {
      const char* const first = _at;
      while (_at != _end && isDigit(*_at)) significand = significand * 10u + digitOf(*_at++);
      if (_at == first) return false;
    }
    const char* const integerEnd = _at;
    std::ptrdiff_t fractionDigits = 0;
    if (_at != _end && *_at == '.') {
      ++_at;
      const char* const first = _at;
      while (_at != _end && isDigit(*_at)) significand = significand * 10u + digitOf(*_at++);
      fractionDigits = _at - first;
      if (fractionDigits == 0) return false;
    }
    const std::ptrdiff_t digitCount = (integerEnd - start) + fractionDigits;
    if (_at != _end && (*_at == 'e' || *_at == 'E')) {
      ++_at;
      if (_at != _end && (*_at == '+' || *_at == '-')) ++_at;
      if (!digits()) return false;
    } else if (digitCount <= 19 && fractionDigits <= 22) {
      constexpr std::uint64_t kExactIntegers = std::uint64_t{1} << 53;
      if (significand <= kExactIntegers) {
        out = static_cast<double>(significand);
        if (fractionDigits != 0) out /= kExactPowersOfTen[static_cast<std::size_t>(fractionDigits)];
        return true;
      }
    }
    const auto [end, error] = std::from_chars(start, _at, out);
    return error == std::errc() && end == _at;
  }

private:
  static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10u; }
  static std::uint64_t digitOf(char c) { return static_cast<std::uint64_t>(c - '0'); }

  bool digits() {
    const char* const start = _at;
    while (_at != _end && isDigit(*_at)) ++_at;
    return _at != start;
  }

  const char* _at;
  const char* _end;
};

/// Index of `text` in `choices`, or -1.
template <std::size_t N>
int indexOf(std::string_view text, const std::string_view (&choices)[N]) {
  for (std::size_t i = 0; i < N; ++i) {
    if (choices[i] == text) return static_cast<int>(i);
  }
  return -1;
}

constexpr std::string_view kPositions[] = {"external", "internal"};
constexpr std::string_view kHeatFlows[] = {"horizontal", "upward", "downward"};

/// Reads `"key": value, ...` members of one object, calling `member(key)` with the scanner at
/// the value; stops with false on any syntax the plain subset lacks.
template <typename Member>
bool readObject(Scanner& scanner, Member member) {
  if (!scanner.consume('{')) return false;
  if (scanner.consume('}')) return true;
  do {
    std::string_view key;
    if (!scanner.string(key) || !scanner.consume(':') || !member(key)) return false;
  } while (scanner.consume(','));
  return scanner.consume('}');
}

bool positive(double value) { return std::isfinite(value) && value > 0.0; }
bool finite(double value) { return std::isfinite(value); }

bool readLayer(Scanner& scanner, const Catalogue& catalogue, std::size_t index, WallLayer& layer) {
  std::optional<std::string_view> name, material, family;
  std::optional<double> thickness, conductivity, density, specificHeat, resistance;
  const auto number = [&](std::optional<double>& slot) {
    return scanner.numberOnce(slot, positive);
  };
  const auto text = [&](std::optional<std::string_view>& slot) { return scanner.stringOnce(slot); };
  const bool plain = readObject(scanner, [&](std::string_view key) {
    // The keys differ in length, so the length picks the one candidate to compare.
    switch (key.size()) {
      case 9:
        return key == "thickness" && number(thickness);
      case 12:
        return key == "conductivity" && number(conductivity);
      case 7:
        return key == "density" && number(density);
      case 13:
        return key == "specific_heat" && number(specificHeat);
      case 18:
        return key == "thermal_resistance" && number(resistance);
      case 4:
        return key == "name" && text(name);
      case 8:
        return key == "material" && text(material);
      case 6:
        return key == "family" && text(family);
      default:
        return false;
    }
  });
  if (!plain) return false;
  if (family && !isMaterialFamily(*family)) return false;
  if (name) layer.name = std::string(*name);

  if (resistance) {
    if (material || thickness || conductivity || density || specificHeat) return false;
    if (!name) layer.name = "Thermal resistance";
    layer.family = family ? std::string(*family) : "air";
    layer.properties = Engine::LayerProperties::pureResistance(*resistance);
    return true;
  }
  if (!thickness) return false;
  layer.family = "other";
  if (material) {
    const CatalogueEntry* entry = catalogue.find(*material);
    if (entry == nullptr) return false;
    layer.materialKey = entry->key;
    layer.family = entry->family;
    if (!name) layer.name = entry->name;
    if (!conductivity) conductivity = entry->conductivity;
    if (!density) density = entry->density;
    if (!specificHeat) specificHeat = entry->specificHeat;
  }
  if (family) layer.family = std::string(*family);
  if (!conductivity || !density || !specificHeat) return false;
  if (layer.name.empty()) {
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, index + 1);
    layer.name.assign("Layer ");
    layer.name.append(digits, written.ptr);
  }
  layer.properties =
      Engine::LayerProperties::slab(*thickness, *conductivity, *density, *specificHeat);
  return true;
}

}  // namespace

bool readPlainWallLine(std::string_view line, const Catalogue& catalogue,
                       const std::string& defaultName, Wall& wall) {
  Scanner scanner(line);
  std::optional<std::string_view> name, position, heatFlow;
  std::optional<double> rsi, rse;
  bool haveLayers = false;
  wall.layers.clear();

  const auto text = [&](std::optional<std::string_view>& slot) { return scanner.stringOnce(slot); };
  // Zero is a valid surface resistance; a sign is left to the full reader.
  const auto resistance = [&](std::optional<double>& slot) {
    return scanner.numberOnce(slot, finite);
  };
  const bool plain = readObject(scanner, [&](std::string_view key) {
    if (key == "name") return text(name);
    if (key == "position") return text(position);
    if (key == "heat_flow") return text(heatFlow);
    if (key == "rsi") return resistance(rsi);
    if (key == "rse") return resistance(rse);
    if (key != "layers" || haveLayers || !scanner.consume('[') || scanner.peek(']')) return false;
    haveLayers = true;
    do {
      if (wall.layers.size() == kMaxLayers) return false;
      wall.layers.emplace_back();
      if (!readLayer(scanner, catalogue, wall.layers.size() - 1, wall.layers.back())) {
        return false;
      }
    } while (scanner.consume(','));
    return scanner.consume(']');
  });
  if (!plain || !haveLayers || !scanner.atEnd()) return false;

  wall.name = name ? std::string(*name) : defaultName;
  wall.position = position ? indexOf(*position, kPositions) : Engine::External;
  wall.heatFlow = heatFlow ? indexOf(*heatFlow, kHeatFlows) : Engine::Horizontal;
  if (wall.position < 0 || wall.heatFlow < 0) return false;
  double internal = 0.13;
  double external = 0.04;
  Engine::lookupSurfaceResistances(wall.position, wall.heatFlow, internal, external);
  wall.internalSurfaceResistance = rsi ? *rsi : internal;
  wall.externalSurfaceResistance = rse ? *rse : external;
  return true;
}

}  // namespace Brusk::Batch
