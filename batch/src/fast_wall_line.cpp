#include "fast_wall_line.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "brusk/engine/wall.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/wall_schema.h"

// The word-at-a-time scans read the first character of the line text from the lowest byte.
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "word scans assume little-endian bytes");

namespace Brusk::Batch {

namespace {

namespace Schema = Frontend::Schema;
using Frontend::Catalogue;
using Frontend::CatalogueEntry;
using Frontend::LayerLabel;
using Frontend::Wall;

/// The powers of ten that are exact doubles.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Byte-lane arithmetic on eight characters at once. Each helper says which lanes it answers
// exactly: a lane that carries or borrows spoils only the lanes above it, and callers read
// only up to the first flagged lane.
constexpr std::uint64_t kOnes = 0x0101010101010101u;
constexpr std::uint64_t kHighBits = kOnes * 0x80u;
constexpr std::uint64_t kLowBits = kOnes * 0x7fu;

std::uint64_t loadWord(const char* at) {
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  return word;
}
/// High bit set in each lane of `word` that is not zero; exact in every lane.
constexpr std::uint64_t nonZeroLanes(std::uint64_t word) {
  return (((word & kLowBits) + kLowBits) | word) & kHighBits;
}
/// High bit set in each lane of `word` that is zero; exact in every lane.
constexpr std::uint64_t zeroLanes(std::uint64_t word) { return ~nonZeroLanes(word) & kHighBits; }
/// Index of the first lane flagged in a non-zero lane mask.
int firstLane(std::uint64_t lanes) { return __builtin_ctzll(lanes) / 8; }

/// Lanes that end a plain string: the quote, a backslash, a control character, DEL or non-ASCII;
/// exact in every lane.
constexpr std::uint64_t stringStops(std::uint64_t word) {
  const std::uint64_t low = word & kLowBits;
  const std::uint64_t control = ~((low + kOnes * (0x80u - 0x20u)) | word) & kHighBits;
  const std::uint64_t beyondAscii = ((low + kOnes) | word) & kHighBits;
  return control | beyondAscii | zeroLanes(word ^ (kOnes * '"')) | zeroLanes(word ^ (kOnes * '\\'));
}

/// Lanes of `values` (characters less '0') that are not digits 0..9: those at 10 and over, and
/// those below '0', which wrapped past 0x80. Exact up to the first flagged lane.
constexpr std::uint64_t nonDigits(std::uint64_t values) {
  return (values | (values + kOnes * (0x80u - 10u))) & kHighBits;
}

/// The value of eight digit lanes (0..9 each), the lowest lane most significant: pairs, then
/// quads, then all eight, each step one multiply instead of a chain of eight.
constexpr std::uint64_t eightDigitValue(std::uint64_t lanes) {
  lanes = (lanes * 10u + (lanes >> 8)) & 0x00ff00ff00ff00ffu;
  lanes = (lanes * 100u + (lanes >> 16)) & 0x0000ffff0000ffffu;
  return (lanes * 10000u + (lanes >> 32)) & 0xffffffffu;
}

constexpr std::uint64_t kZeros = kOnes * '0';
static_assert(nonDigits(0x3938373635343330u - kZeros) == 0, "all ten digits");
static_assert(nonDigits(0x3a3a3a3a3a3a3a3au - kZeros) == kHighBits, "the digit after 9");
static_assert((nonDigits(0x303030303030302fu - kZeros) & 0xff) == 0x80, "the digit before 0");
static_assert(stringStops(0x7e2020207e616141u) == 0, "printable text");
static_assert(stringStops(0x807f1f5c22000000u) == 0x8080808080808080u, "every kind of stop");
static_assert(eightDigitValue(0x0807060504030201u) == 12345678u, "first lane most significant");

/// True when the `length` characters at `at` are those of `text`. The library memcmp is an
/// out-of-line call; overlapping words of known length compare in a few instructions.
template <std::size_t length>
bool sameText(const char* at, const char* text) {
  if constexpr (length < 8) {
    std::uint32_t words[4] = {};
    std::memcpy(&words[0], at, 4);
    std::memcpy(&words[1], text, 4);
    std::memcpy(&words[2], at + length - 4, 4);
    std::memcpy(&words[3], text + length - 4, 4);
    return ((words[0] ^ words[1]) | (words[2] ^ words[3])) == 0;
  } else {
    std::uint64_t differ = loadWord(at) ^ loadWord(text);
    if constexpr (length > 16) differ |= loadWord(at + 8) ^ loadWord(text + 8);
    differ |= loadWord(at + length - 8) ^ loadWord(text + length - 8);
    return differ == 0;
  }
}

/// A cursor over the line that recognises the JSON subset of plain walls.
class Scanner {
public:
  explicit Scanner(std::string_view text) : _at(text.data()), _end(text.data() + text.size()) {}

  /// The character starting the next token, NUL at the end of the line (which no caller
  /// expects); the cursor is left on it.
  [[nodiscard]] char token() {
    // Generated and machine-written lines rarely have blanks between tokens: test first.
    if (_at != _end && !isSpace(*_at)) return *_at;
    while (_at != _end && isSpace(*_at)) ++_at;
    return _at != _end ? *_at : '\0';
  }
  /// Steps over the character token() returned, once the caller found it the one it expects.
  void step() { ++_at; }
  bool consume(char expected) {
    if (token() != expected) return false;
    step();
    return true;
  }
  [[nodiscard]] bool atEnd() { return token() == '\0' && _at == _end; }

  /// Steps over `text` when the line goes on with it. A key and its closing quote are matched
  /// this way, as one compare of known length instead of a scan for the end of the string; a
  /// key that is spelt any other way is not one the plain subset knows.
  template <std::size_t N>
  bool literal(const char (&text)[N]) {
    constexpr std::size_t length = N - 1;
    static_assert(length >= 4 && length <= 24, "keys are compared in up to three words");
    if (static_cast<std::size_t>(_end - _at) < length || !sameText<length>(_at, text)) {
      return false;
    }
    _at += length;
    return true;
  }
  /// The character at the cursor, NUL at the end.
  [[nodiscard]] char current() const { return _at != _end ? *_at : '\0'; }

  /// A string of printable ASCII without escapes.
  bool string(std::string_view& out) {
    if (!consume('"')) return false;
    const char* const start = _at;
    for (; _end - _at >= 8; _at += 8) {
      const std::uint64_t stops = stringStops(loadWord(_at));
      if (stops != 0) {
        _at += firstLane(stops);
        return closeString(start, out);
      }
    }
    while (_at != _end && isPlain(*_at)) ++_at;
    return closeString(start, out);
  }

  /// A JSON number without sign: int [frac] [exp], converted with correct rounding; false also
  /// when it is not finite, or zero and `zeroAllowed` is false.
  /// Inlined into both callers: as a call it would keep the cursor in memory for the whole line.
  [[gnu::always_inline]] bool number(double& out, bool zeroAllowed) {
    if (token() == '\0') return false;
    if (_end - _at >= 8 && shortNumber(out, zeroAllowed)) return true;
    const char* const start = _at;
    // Clinger's exact case: at most 19 digits read as an integer, scaled by a power of ten a
    // double holds exactly; both operands exact, one correctly rounded operation. Leading zeros
    // count as digits here, which only sends a few more numbers to the general conversion.
    std::uint64_t significand = 0;
    if (*_at == '0') {
      ++_at;
    } else if (!digits(significand)) {
      return false;
    }
    const char* const integerEnd = _at;
    std::ptrdiff_t fractionDigits = 0;
    if (_at != _end && *_at == '.') {
      ++_at;
      const char* const first = _at;
      if (!digits(significand)) return false;
      fractionDigits = _at - first;
    }
    const std::ptrdiff_t digitCount = (integerEnd - start) + fractionDigits;
    if (_at != _end && (*_at == 'e' || *_at == 'E')) {
      ++_at;
      if (_at != _end && (*_at == '+' || *_at == '-')) ++_at;
      std::uint64_t ignored = 0;
      if (!digits(ignored)) return false;
    } else if (digitCount <= 19 && fractionDigits <= 22) {
      constexpr std::uint64_t kExactIntegers = std::uint64_t{1} << 53;
      if (significand <= kExactIntegers) {
        if (significand == 0 && !zeroAllowed) return false;
        out = static_cast<double>(significand);
        if (fractionDigits != 0) out /= kExactPowersOfTen[static_cast<std::size_t>(fractionDigits)];
        return true;
      }
    }
    const auto [end, error] = std::from_chars(start, _at, out);
    return error == std::errc() && end == _at && std::isfinite(out) && (zeroAllowed || out > 0.0);
  }

private:
  static bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  static bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10u; }
  static bool isPlain(char c) {
    const auto code = static_cast<unsigned char>(c);
    return code >= 0x20 && code <= 0x7e && c != '"' && c != '\\';
  }

  bool closeString(const char* start, std::string_view& out) {
    if (_at == _end || *_at != '"') return false;
    out = std::string_view(start, static_cast<std::size_t>(_at - start));
    ++_at;
    return true;
  }

  /// Appends a run of digits to `significand`, false when there is none. Past 19 digits the
  /// value wraps; callers then convert the text instead.
  bool digits(std::uint64_t& significand) {
    const char* const start = _at;
    for (; _at != _end && isDigit(*_at); ++_at) {
      significand = significand * 10u + static_cast<std::uint64_t>(*_at - '0');
    }
    return _at != start;
  }

  /// number() for the common case, read from one word without a loop over the digits: at
  /// most seven characters of digits with one optional point, followed by neither a digit nor
  /// an exponent. False, with the cursor unmoved, for anything else, which number() then reads
  /// on its general path (also to refuse it when it is bad).
  bool shortNumber(double& out, bool zeroAllowed) {
    const std::uint64_t values = loadWord(_at) - kZeros;
    const std::uint64_t stops = nonDigits(values);
    if (stops == 0) return false;
    const int integerDigits = firstLane(stops);
    // JSON has no leading zeros; "0" alone is read by the general path's rule.
    if (integerDigits == 0 || (_at[0] == '0' && integerDigits > 1)) return false;
    int end = integerDigits;
    std::uint64_t lanes = values;
    if (_at[integerDigits] == '.') {
      // The point's lane holds -2 and borrowed from the lanes above: adding 2 there makes it a
      // zero digit and the fraction lanes exact up to the next stop.
      lanes = values + (std::uint64_t{2} << (8 * integerDigits));
      const std::uint64_t rest = nonDigits(lanes);
      if (rest == 0) return false;
      end = firstLane(rest);
      if (end == integerDigits + 1) return false;
      // Close up the point: the fraction digits move down one lane.
      const std::uint64_t below = (std::uint64_t{1} << (8 * integerDigits)) - 1;
      lanes = (lanes & below) | ((lanes >> 8) & ~below);
    }
    if (_at[end] == 'e' || _at[end] == 'E') return false;
    const int digitCount = end == integerDigits ? end : end - 1;
    // Shifting out the lanes past the digits shifts in leading zero digits.
    const std::uint64_t significand = eightDigitValue(lanes << (8 * (8 - digitCount)));
    // A zero, where not allowed, is refused on the integer, before any division.
    if (significand == 0 && !zeroAllowed) return false;
    // Seven digits at most: Clinger's exact case, one correctly rounded division.
    out = static_cast<double>(significand);
    if (end != integerDigits) out /= kExactPowersOfTen[end - integerDigits - 1];
    _at += end;
    return true;
  }

  const char* _at;
  const char* _end;
};

/// True when the `size` bytes at `a` and `b` are equal. Names and families are short: two
/// overlapping words compare them without a call to the library memcmp.
bool sameBytes(const char* a, const char* b, std::size_t size) {
  if (size >= 8 && size <= 16) {
    return ((loadWord(a) ^ loadWord(b)) | (loadWord(a + size - 8) ^ loadWord(b + size - 8))) == 0;
  }
  if (size >= 4 && size < 8) {
    std::uint32_t words[4] = {};
    std::memcpy(&words[0], a, 4);
    std::memcpy(&words[1], b, 4);
    std::memcpy(&words[2], a + size - 4, 4);
    std::memcpy(&words[3], b + size - 4, 4);
    return ((words[0] ^ words[1]) | (words[2] ^ words[3])) == 0;
  }
  return std::memcmp(a, b, size) == 0;
}

/// Sets `target` to `value`, leaving it alone when equal: the wall is reused line after line and
/// its layers mostly keep their names and families.
void assignText(std::string& target, std::string_view value) {
  const std::size_t size = value.size();
  if (target.size() != size) {
    target.assign(value.data(), size);
  } else if (!sameBytes(target.data(), value.data(), size)) {
    // Wall names mostly keep their length from line to line: copied in place.
    std::memcpy(&target[0], value.data(), size);
  }
}

/// The keys of a layer, one bit each to catch repeats.
enum LayerKey : unsigned {
  kThickness = 1u << 0,
  kConductivity = 1u << 1,
  kDensity = 1u << 2,
  kSpecificHeat = 1u << 3,
  kResistance = 1u << 4,
  kName = 1u << 5,
  kMaterial = 1u << 6,
  kFamily = 1u << 7,
};

/// The values of one layer object as written.
struct LayerText {
  double thickness = 0.0;
  double conductivity = 0.0;
  double density = 0.0;
  double specificHeat = 0.0;
  double resistance = 0.0;
  std::string_view name, material, family;
};

/// The set of keys of one layer object read into `text`, or 0 when the object is outside the
/// plain subset (no key, a repeated or unknown key, a value of another type, a number not
/// positive). A layer without keys has neither a thickness nor a thermal resistance.
unsigned readLayerObject(Scanner& scanner, LayerText& text) {
  if (!scanner.consume('{')) return 0;
  unsigned seen = 0;
  for (;;) {
    if (!scanner.consume('"')) return 0;
    unsigned key = 0;
    double* numberSlot = nullptr;
    std::string_view* textSlot = nullptr;
    // The first character picks the candidate keys; the likely one is compared first.
    switch (scanner.current()) {
      case 't':
        if (scanner.literal("thickness\"")) {
          key = kThickness;
          numberSlot = &text.thickness;
        } else if (scanner.literal("thermal_resistance\"")) {
          key = kResistance;
          numberSlot = &text.resistance;
        }
        break;
      case 'c':
        if (scanner.literal("conductivity\"")) {
          key = kConductivity;
          numberSlot = &text.conductivity;
        }
        break;
      case 'd':
        if (scanner.literal("density\"")) {
          key = kDensity;
          numberSlot = &text.density;
        }
        break;
      case 's':
        if (scanner.literal("specific_heat\"")) {
          key = kSpecificHeat;
          numberSlot = &text.specificHeat;
        }
        break;
      case 'n':
        if (scanner.literal("name\"")) {
          key = kName;
          textSlot = &text.name;
        }
        break;
      case 'm':
        if (scanner.literal("material\"")) {
          key = kMaterial;
          textSlot = &text.material;
        }
        break;
      case 'f':
        if (scanner.literal("family\"")) {
          key = kFamily;
          textSlot = &text.family;
        }
        break;
      default:
        break;
    }
    if (key == 0 || (seen & key) != 0 || !scanner.consume(':')) return 0;
    seen |= key;
    if (numberSlot != nullptr) {
      // Every layer quantity must be positive; a sign is left to the full reader.
      if (!scanner.number(*numberSlot, false)) return 0;
    } else if (!scanner.string(*textSlot)) {
      return 0;
    }
    const char next = scanner.token();
    if (next != ',') {
      if (next != '}') return 0;
      scanner.step();
      return seen;
    }
    scanner.step();
  }
}

/// Reads one layer into `properties` and, unless `layer` is null, its label.
bool readLayer(Scanner& scanner, const Catalogue& catalogue, std::size_t index, LayerLabel* layer,
               Engine::LayerProperties& properties) {
  LayerText text;
  const unsigned seen = readLayerObject(scanner, text);
  if (seen == 0) return false;
  const bool hasFamily = (seen & kFamily) != 0;
  if (hasFamily && !Schema::isMaterialFamily(text.family)) return false;
  // An empty name counts as none, as in the full reader: the layer is then named below.
  std::string_view name = text.name;

  if ((seen & kResistance) != 0) {
    if ((seen & (kMaterial | kThickness | kConductivity | kDensity | kSpecificHeat)) != 0) {
      return false;
    }
    if (layer != nullptr) {
      assignText(layer->name, name.empty() ? Schema::kPureResistanceName : name);
      layer->materialKey.clear();
      assignText(layer->family, hasFamily ? text.family : Schema::kPureResistanceFamily);
    }
    properties = Engine::LayerProperties::pureResistance(text.resistance);
    return true;
  }
  if ((seen & kThickness) == 0) return false;
  std::string_view family = Schema::kDefaultFamily;
  if ((seen & kMaterial) != 0) {
    const CatalogueEntry* entry = catalogue.find(text.material);
    if (entry == nullptr) return false;
    if (layer != nullptr) assignText(layer->materialKey, entry->key);
    family = entry->family;
    if (name.empty()) name = entry->name;
    if ((seen & kConductivity) == 0) text.conductivity = entry->conductivity;
    if ((seen & kDensity) == 0) text.density = entry->density;
    if ((seen & kSpecificHeat) == 0) text.specificHeat = entry->specificHeat;
  } else {
    constexpr unsigned kProperties = kConductivity | kDensity | kSpecificHeat;
    if ((seen & kProperties) != kProperties) return false;
    if (layer != nullptr) layer->materialKey.clear();
  }
  properties = Engine::LayerProperties::slab(text.thickness, text.conductivity, text.density,
                                             text.specificHeat);
  if (layer == nullptr) return true;
  assignText(layer->family, hasFamily ? text.family : family);
  if (!name.empty()) {
    assignText(layer->name, name);
  } else {
    // The schema's "Layer N", composed on the stack: most layers of a batch keep their default
    // name from line to line, and assignText then copies nothing.
    char fallback[40];
    constexpr std::size_t kPrefix = Schema::kDefaultLayerNamePrefix.size();
    Schema::kDefaultLayerNamePrefix.copy(fallback, kPrefix);
    const auto written = std::to_chars(fallback + kPrefix, fallback + sizeof fallback, index + 1);
    assignText(layer->name,
               std::string_view(fallback, static_cast<std::size_t>(written.ptr - fallback)));
  }
  return true;
}

/// Reads the `[...]` of a wall's layers into the wall, reusing the labels already there; with
/// PlainLabels::Skip the wall is left without labels.
bool readLayers(Scanner& scanner, const Catalogue& catalogue, PlainLabels labelling, Wall& wall) {
  // Labels cut from the end of a wall wait here for a later wall on this thread with more: a
  // label made afresh costs more in allocating and first filling its strings than in reading
  // it, and the layer counts of a batch go up and down from line to line. Kept in order, so a
  // label mostly comes back at the index whose default name it already holds.
  thread_local std::vector<LayerLabel> spareLabels;
  std::vector<LayerLabel>& labels = wall.labels;
  std::vector<Engine::LayerProperties>& layers = wall.request.layers;
  if (!scanner.consume('[')) return false;
  const bool filling = labelling == PlainLabels::Fill;
  // A wall read before with labels, then without (the caller's choice, not the line's).
  if (!filling && !labels.empty()) labels.clear();
  std::size_t count = 0;
  for (;;) {
    if (count == Engine::kMaxLayers) return false;
    if (filling && count == labels.size()) {
      if (spareLabels.empty()) {
        labels.emplace_back();
      } else {
        labels.push_back(std::move(spareLabels.back()));
        spareLabels.pop_back();
      }
    }
    if (count == layers.size()) layers.emplace_back();
    // An empty list fails here too: a wall needs layers.
    if (!readLayer(scanner, catalogue, count, filling ? &labels[count] : nullptr, layers[count])) {
      return false;
    }
    ++count;
    const char next = scanner.token();
    if (next != ',') {
      if (next != ']') return false;
      scanner.step();
      while (labels.size() > count) {
        spareLabels.push_back(std::move(labels.back()));
        labels.pop_back();
      }
      layers.resize(count);
      return true;
    }
    scanner.step();
  }
}

/// The keys of a wall, one bit each to catch repeats.
enum WallKey : unsigned {
  kWallName = 1u << 0,
  kPosition = 1u << 1,
  kHeatFlow = 1u << 2,
  kRsi = 1u << 3,
  kRse = 1u << 4,
  kLayers = 1u << 5,
};

}  // namespace

bool readPlainWallLine(std::string_view line, const Catalogue& catalogue, std::size_t lineNumber,
                       Wall& wall, PlainLabels labelling) {
  Scanner scanner(line);
  std::string_view name, position, heatFlow;
  double rsi = 0.0;
  double rse = 0.0;
  unsigned seen = 0;

  if (!scanner.consume('{')) return false;
  for (;;) {
    // A wall without keys has no layers.
    if (!scanner.consume('"')) return false;
    unsigned key = 0;
    double* numberSlot = nullptr;
    std::string_view* textSlot = nullptr;
    switch (scanner.current()) {
      case 'n':
        if (scanner.literal("name\"")) {
          key = kWallName;
          textSlot = &name;
        }
        break;
      case 'p':
        if (scanner.literal("position\"")) {
          key = kPosition;
          textSlot = &position;
        }
        break;
      case 'h':
        if (scanner.literal("heat_flow\"")) {
          key = kHeatFlow;
          textSlot = &heatFlow;
        }
        break;
      case 'r':
        if (scanner.literal("rsi\"")) {
          key = kRsi;
          numberSlot = &rsi;
        } else if (scanner.literal("rse\"")) {
          key = kRse;
          numberSlot = &rse;
        }
        break;
      case 'l':
        if (scanner.literal("layers\"")) key = kLayers;
        break;
      default:
        break;
    }
    if (key == 0 || (seen & key) != 0 || !scanner.consume(':')) return false;
    seen |= key;
    if (numberSlot != nullptr) {
      // Zero is a valid surface resistance; a sign is left to the full reader.
      if (!scanner.number(*numberSlot, true)) return false;
    } else if (textSlot != nullptr) {
      if (!scanner.string(*textSlot)) return false;
    } else if (!readLayers(scanner, catalogue, labelling, wall)) {
      return false;
    }
    if (scanner.consume(',')) continue;
    if (!scanner.consume('}') || !scanner.atEnd()) return false;
    break;
  }
  if ((seen & kLayers) == 0) return false;

  Engine::WallRequest& request = wall.request;
  request.position = Engine::ElementPosition::External;
  if ((seen & kPosition) != 0) {
    const auto named = Schema::positionNamed(position);
    if (!named) return false;
    request.position = *named;
  }
  request.heatFlow = Engine::HeatFlowDirection::Horizontal;
  if ((seen & kHeatFlow) != 0) {
    const auto named = Schema::heatFlowNamed(heatFlow);
    if (!named) return false;
    request.heatFlow = *named;
  }
  if ((seen & kWallName) != 0) {
    assignText(wall.name, name);
  } else {
    wall.name = Schema::defaultLineWallName(lineNumber);
  }
  request.internalSurfaceResistance.reset();
  request.externalSurfaceResistance.reset();
  if ((seen & kRsi) != 0) request.internalSurfaceResistance = rsi;
  if ((seen & kRse) != 0) request.externalSurfaceResistance = rse;
  // The plain subset has no parts, air gaps or corrections: none left from a reused wall.
  if (!wall.element.empty()) wall.element = Frontend::ElementLayers{};
  return true;
}

}  // namespace Brusk::Batch
