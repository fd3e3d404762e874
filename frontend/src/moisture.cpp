#include "brusk/frontend/moisture.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <optional>
#include <tuple>

#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/text_util.h"

namespace Brusk::Frontend {

namespace {

using Engine::MoistureProblemKind;

constexpr std::string_view kMonthKey = "month";
constexpr std::string_view kOutdoorTemperature = "outdoor_temperature";
constexpr std::string_view kOutdoorHumidity = "outdoor_relative_humidity";
constexpr std::string_view kIndoorTemperature = "indoor_temperature";
constexpr std::string_view kIndoorHumidity = "indoor_relative_humidity";
constexpr std::array<std::string_view, 5> kClimateColumns = {
    kMonthKey, kOutdoorTemperature, kOutdoorHumidity, kIndoorTemperature, kIndoorHumidity};

constexpr std::array<const char*, 12> kMonthNames = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

/// g/m2 from kg/m2.
constexpr double kGramsPerKilogram = 1000.0;

std::string numberText(double value, const char* format = "%g") {
  char text[48];
  std::snprintf(text, sizeof text, format, value);
  return text;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

std::vector<std::string_view> cellsOf(std::string_view line) {
  std::vector<std::string_view> cells;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line.find(',', start);
    cells.push_back(
        trimmed(line.substr(start, comma == std::string_view::npos ? line.npos : comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return cells;
}

std::vector<std::string> columnNames() {
  return std::vector<std::string>(kClimateColumns.begin(), kClimateColumns.end());
}

/// A finite decimal number filling the cell (a leading '+' allowed), or nothing (NaN,
/// infinity, junk).
std::optional<double> finiteNumber(std::string_view cell) {
  if (!cell.empty() && cell.front() == '+') cell.remove_prefix(1);
  if (cell.empty() || cell.front() == '+') return std::nullopt;
  double value = 0.0;
#ifdef __EMSCRIPTEN__
  // Emscripten's libc++ has no floating-point std::from_chars; its C library has only the "C"
  // locale, so strtod reads the same decimal numbers once hexadecimal and blanks, which
  // from_chars refuses, are refused first.
  if (cell.find_first_of("xX \t") != std::string_view::npos) return std::nullopt;
  const std::string text(cell);
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return std::nullopt;
#else
  const auto [stop, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
  if (error != std::errc() || stop != cell.data() + cell.size()) return std::nullopt;
#endif
  if (!std::isfinite(value)) return std::nullopt;
  return value;
}

class ClimateReader {
public:
  ClimateReader(const std::string& source, int humidityClass, const ClimateOptionNames& names)
      : _source(source), _humidityClass(humidityClass), _names(names) {}

  Climate read(std::string_view text, double indoorTemperature) {
    requireUtf8Text(text, _source);
    // As a spreadsheet saves UTF-8 CSV; the profile reader takes it too.
    text = withoutByteOrderMark(text);
    Climate climate;
    climate.source = _source;
    climate.humidityClass = _humidityClass;
    std::array<std::size_t, 12> lineOfMonth{};
    std::size_t rows = 0;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    bool header = false;
    while (start <= text.size()) {
      const std::size_t newline = text.find('\n', start);
      const std::string_view line = trimmed(
          text.substr(start, newline == std::string_view::npos ? text.npos : newline - start));
      start = newline == std::string_view::npos ? text.size() + 1 : newline + 1;
      ++lineNumber;
      _line = lineNumber;
      _month = 0;
      if (line.empty() || line.front() == '#') continue;
      const std::vector<std::string_view> cells = cellsOf(line);
      if (!header) {
        readHeader(cells);
        header = true;
        continue;
      }
      ++rows;
      if (rows > 12) {
        fail("", "more than 12 month rows; a climate has exactly one row per month 1 to 12");
      }
      readRow(cells, climate.months, lineOfMonth);
    }
    _line = 0;
    _month = 0;
    if (!header) fail("", "empty: expected a header row " + joinedColumns() + " and 12 months");
    for (std::size_t m = 0; m < 12; ++m) {
      if (lineOfMonth[m] == 0) {
        fail("", "month " + std::to_string(m + 1) + " is missing; give one row per month 1 to 12");
      }
    }
    if (_humidityClass != 0) {
      climate.months = Engine::withHumidityClass(climate.months, _humidityClass, indoorTemperature);
      for (std::size_t m = 0; m < 12; ++m) {
        const Engine::MonthClimate& month = climate.months[m];
        if (month.indoorRelativeHumidity > 1.0) {
          _line = lineOfMonth[m];
          _month = m + 1;
          const double pressure = month.indoorVapourPressure();
          fail("", "humidity class " + std::to_string(_humidityClass) +
                       " gives an indoor vapour pressure of " + numberText(pressure, "%.0f") +
                       " Pa, above saturation at the indoor temperature " +
                       numberText(month.indoorTemperature) + " degC (" +
                       numberText(Engine::saturationPressure(month.indoorTemperature), "%.0f") +
                       " Pa): the indoor air would be colder than its own dew point (" +
                       numberText(Engine::saturationTemperature(pressure), "%.1f") +
                       " degC); raise " + std::string(_names.indoorTemperature) +
                       " or lower the class");
        }
      }
    }
    return climate;
  }

private:
  void readHeader(const std::vector<std::string_view>& cells) {
    _columns.assign(cells.size(), kClimateColumns.size());
    std::array<bool, 5> present{};
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const auto found = std::find(kClimateColumns.begin(), kClimateColumns.end(), cells[c]);
      if (found == kClimateColumns.end()) {
        std::string message = "unknown column \"" + visibleText(cells[c]) + "\"";
        const std::vector<std::string> close = closestWords(cells[c], columnNames(), 1);
        if (!close.empty()) message += " (did you mean \"" + close.front() + "\"?)";
        fail("", message + "; the columns are " + joinedColumns());
      }
      const auto index = static_cast<std::size_t>(found - kClimateColumns.begin());
      if (present[index]) fail("", "column \"" + std::string(*found) + "\" is given twice");
      present[index] = true;
      _columns[c] = index;
    }
    const std::size_t required = _humidityClass != 0 ? 3 : 5;
    for (std::size_t index = 0; index < required; ++index) {
      if (!present[index]) {
        fail("", "column \"" + std::string(kClimateColumns[index]) + "\" is missing" +
                     (index >= 3 ? " (or give " + std::string(_names.humidityClass) +
                                       " for the indoor side)"
                                 : std::string()));
      }
    }
  }

  void readRow(const std::vector<std::string_view>& cells, Engine::YearClimate& year,
               std::array<std::size_t, 12>& lineOfMonth) {
    if (cells.size() != _columns.size()) {
      fail("", std::to_string(cells.size()) + " cells where the header has " +
                   std::to_string(_columns.size()));
    }
    std::array<double, 5> values{};
    // The month first, so that messages about the other cells can name it.
    for (std::size_t c = 0; c < cells.size(); ++c) {
      if (_columns[c] != 0) continue;
      const auto month = finiteNumber(cells[c]);
      if (!month || *month != std::floor(*month) || *month < 1.0 || *month > 12.0) {
        fail(kMonthKey,
             "month must be a whole number 1 to 12, got \"" + visibleText(cells[c]) + "\"");
      }
      _month = static_cast<std::size_t>(*month);
      if (lineOfMonth[_month - 1] != 0) {
        fail(kMonthKey, "month " + std::to_string(_month) + " is given twice (also on line " +
                            std::to_string(lineOfMonth[_month - 1]) + ")");
      }
      lineOfMonth[_month - 1] = _line;
    }
    for (std::size_t c = 0; c < cells.size(); ++c) {
      const std::size_t index = _columns[c];
      if (index == 0) continue;
      const std::string_view column = kClimateColumns[index];
      // A humidity class gives the indoor side: the file's indoor cells are not read.
      if (_humidityClass != 0 && index >= 3) continue;
      const bool humidity = index == 2 || index == 4;
      const auto value = finiteNumber(cells[c]);
      if (!value) {
        fail(column, std::string(humidity ? "a relative humidity in %" : "a temperature in degC") +
                         " must be a finite number, got \"" + visibleText(cells[c]) + "\"");
      }
      if (humidity && !(*value > 0.0 && *value <= 100.0)) {
        fail(column,
             "relative humidity must be above 0 and at most 100 %, got " + numberText(*value));
      }
      if (!humidity && !(*value >= -100.0 && *value <= 100.0)) {
        fail(column, "a monthly mean temperature must lie within -100 and 100 degC, got " +
                         numberText(*value));
      }
      values[index] = humidity ? *value / 100.0 : *value;
    }
    Engine::MonthClimate& month = year[_month - 1];
    month.outdoorTemperature = values[1];
    month.outdoorRelativeHumidity = values[2];
    month.indoorTemperature = values[3];
    month.indoorRelativeHumidity = values[4];
  }

  static std::string joinedColumns() {
    std::string text;
    for (std::string_view column : kClimateColumns) {
      if (!text.empty()) text += ',';
      text += column;
    }
    return text;
  }

  [[noreturn]] void fail(std::string_view column, const std::string& reason) const {
    std::string message = _source;
    if (_line != 0) message += ":" + std::to_string(_line);
    message += ": ";
    if (_month != 0) message += "month " + std::to_string(_month) + ": ";
    if (!column.empty()) message += std::string(column) + ": ";
    throw Error(message + reason);
  }

  const std::string& _source;
  const int _humidityClass;
  const ClimateOptionNames _names;
  std::vector<std::size_t> _columns;  ///< index into kClimateColumns per cell
  std::size_t _line = 0;
  std::size_t _month = 0;  ///< 1..12 once the row's month is read
};

/// Why a layer or part inside the assessment cannot be taken. A catalogue material lacks mu only
/// when its entry (a project's --materials file, say) gives none: the entry is where it belongs.
Engine::Message noVapourProperty(const std::string& materialKey) {
  if (materialKey.empty()) return {"vapour.missing", {}};
  return {"vapour.missing_in_catalogue", {{"material", Engine::MessageValue::plain(materialKey)}}};
}

/// The refusal of a layer (and part) without a vapour property, the file named first.
[[noreturn]] void refuseNoVapour(const std::string& source, std::vector<Engine::Message> where,
                                 const std::string& materialKey) {
  where.insert(where.begin(),
               Engine::Message{"place", {{"source", Engine::MessageValue::plain(source)}}});
  where.push_back(noVapourProperty(materialKey));
  throw Error(std::move(where), std::string());
}

/// "layer 2 (\"EPS board\")" of a stack whose layers are the file's.
std::string layerText(const Wall& wall, std::size_t layer) {
  std::string text = "layer " + std::to_string(layer + 1);
  if (layer < wall.labels.size() && !wall.labels[layer].name.empty()) {
    text += " (\"" + wall.labels[layer].name + "\")";
  }
  return text;
}

std::string describeMoistureProblem(const Engine::MoistureProblem& problem, const Wall& wall,
                                    const Climate& climate, const std::string& source) {
  std::string where = source + ": ";
  const std::string month =
      problem.month < 12 ? "month " + std::to_string(problem.month + 1) + ": " : "";
  const std::string side = problem.indoor ? "indoor" : "outdoor";
  switch (problem.kind) {
    case MoistureProblemKind::NoLayers:
      return where + "a wall needs at least one layer";
    case MoistureProblemKind::LayerCountMismatch:
      return where + "one s_d per layer is needed";
    case MoistureProblemKind::BadLayer:
      return where + layerText(wall, problem.layer) +
             ": the layer's thermal properties are "
             "not computable";
    case MoistureProblemKind::BadSd:
      return where + layerText(wall, problem.layer) + ": sd must be finite and not negative, got " +
             numberText(problem.value) + " m";
    case MoistureProblemKind::BadSurfaceResistance:
      return where + "surface resistances must be finite and not negative, got " +
             numberText(problem.value) + " m2.K/W";
    case MoistureProblemKind::BadTemperature:
      return climate.source + ": " + month + side +
             " temperature must lie within -100 and 100 degC, got " + numberText(problem.value);
    case MoistureProblemKind::BadHumidity:
      return climate.source + ": " + month + side +
             " relative humidity must be above 0 and at most 100 %, got " +
             numberText(problem.value * 100.0);
    case MoistureProblemKind::IndoorSupersaturated:
      return climate.source + ": " + month +
             "the indoor air is above saturation (relative humidity " +
             numberText(problem.value * 100.0) + " %)";
    case MoistureProblemKind::TooManyPlanes: {
      // The figures of this wall: the planes it needs and the resistance that makes them.
      double resistance = 0.0;
      for (const Engine::LayerProperties& layer : wall.request.layers) {
        resistance += layer.thermalResistance();
      }
      return where + "the wall needs " + numberText(problem.value, "%.0f") +
             " calculation planes (its layer faces, and one every " +
             numberText(Engine::kMaxSublayerResistance) +
             " m2.K/W inside a layer, ISO 13788 6.2), more than the " +
             std::to_string(Engine::kMaxMoisturePlanes) +
             " computed: its layers' thermal resistance of " + numberText(resistance) +
             " m2.K/W is beyond any real element";
    }
    case MoistureProblemKind::CondensationAtZeroSd:
      return where + layerText(wall, problem.layer) + ": " + month + "its outer face (" +
             numberText(problem.value, "%.1f") +
             " degC) is below the dew point of the indoor air with sd = 0 between it and the "
             "room, so the room air would condense there without bound; give the layers on the "
             "room side their sd";
    case MoistureProblemKind::NoVapourResistance:
      return where +
             "every layer has sd = 0: with no resistance to vapour diffusion the "
             "vapour-pressure line through the wall is undefined";
  }
  return where + "cannot be assessed";
}

/// Appends a number as JSON: shortest round-trip text, null when not finite.
void appendNumber(double value, std::string& out) {
  if (!std::isfinite(value)) {
    out += "null";
    return;
  }
  char text[kShortestDoubleRoom];
  out.append(text, writeShortestDouble(value == 0.0 ? 0.0 : value, text));
}

void appendKey(std::string_view key, std::string& out, const std::string& indent) {
  out += indent;
  out += '"';
  out += key;
  out += "\": ";
}

/// A month 1..12 for an index 0..11, or null.
void appendMonth(std::size_t month, std::string& out) {
  if (month < 12) {
    out += std::to_string(month + 1);
  } else {
    out += "null";
  }
}

const char* planeKind(const Engine::MoisturePlane& plane, std::size_t index, std::size_t count) {
  if (index == 0 || index + 1 == count) return "face";
  return plane.interface ? "interface" : "sublayer";
}

/// The paths of a wall with layers of parts, each with its own figures, and the governing one.
void appendPathsJson(const MoistureReport& report, std::string& out, const std::string& indent) {
  const std::string in1 = indent + "  ";
  out += ",\n";
  appendKey("governing_path", out, indent);
  out += std::to_string(report.governingPath) + ",\n";
  appendKey("paths", out, indent);
  out += "[\n";
  for (std::size_t i = 0; i < report.paths.size(); ++i) {
    const MoisturePathReport& path = report.paths[i];
    const Engine::MoistureResult& result = path.result;
    out += in1 + "{\"name\": ";
    appendJsonString(path.path.name, out);
    out += ", \"fraction\": ";
    appendNumber(path.path.fraction, out);
    out += ", \"max_accumulated\": ";
    appendNumber(result.maxAccumulated * kGramsPerKilogram, out);
    out += ", \"max_month\": ";
    appendMonth(result.maxMonth, out);
    out += ", \"end_accumulated\": ";
    appendNumber(result.endAccumulated * kGramsPerKilogram, out);
    out += ", \"dries_out\": ";
    out += result.driesOut ? "true" : "false";
    out += ", \"limit_exceeded\": ";
    out += !path.limitExceeded ? "null" : *path.limitExceeded ? "true" : "false";
    out += ", \"surface\": {\"f_rsi\": ";
    appendNumber(result.fRsi, out);
    out += ", \"passes\": ";
    out += result.surfacePasses ? "true" : "false";
    out += "}, \"months\": [";
    for (std::size_t m = 0; m < 12; ++m) {
      out += m == 0 ? "{\"accumulated\": " : ", {\"accumulated\": ";
      appendNumber(result.months[m].accumulated * kGramsPerKilogram, out);
      out += "}";
    }
    out += "]}";
    out += i + 1 < report.paths.size() ? ",\n" : "\n";
  }
  out += indent + "]";
}

void appendWallJson(const MoistureReport& report, std::string& out, const std::string& indent) {
  const Engine::MoistureResult& result = report.result;
  const std::string in1 = indent + "  ";
  const std::string in2 = in1 + "  ";
  const std::string in3 = in2 + "  ";
  const std::string in4 = in3 + "  ";
  out += indent + "{\n";
  appendKey("name", out, in1);
  appendJsonString(report.wall.name, out);
  out += ",\n";
  appendKey("layers", out, in1);
  out += "[\n";
  for (std::size_t k = 0; k < report.wall.labels.size(); ++k) {
    const LayerLabel& label = report.wall.labels[k];
    out += in2 + "{\"name\": ";
    appendJsonString(label.name, out);
    out += ", \"sd\": ";
    appendNumber(label.vapour.sd, out);
    out += ", \"sd_source\": ";
    appendJsonString(vapourSourceName(label.vapour.source), out);
    out += k + 1 < report.wall.labels.size() ? "},\n" : "}\n";
  }
  out += in1 + "],\n";
  appendKey("start_month", out, in1);
  appendMonth(result.condenses ? result.startMonth : 12, out);
  out += ",\n";
  appendKey("months", out, in1);
  out += "[\n";
  for (std::size_t m = 0; m < 12; ++m) {
    const Engine::MoistureMonth& month = result.months[m];
    out += in2 + "{\n";
    appendKey("month", out, in3);
    out += std::to_string(m + 1) + ",\n";
    appendKey("condensation", out, in3);
    appendNumber(month.condensation * kGramsPerKilogram, out);
    out += ",\n";
    appendKey("accumulated", out, in3);
    appendNumber(month.accumulated * kGramsPerKilogram, out);
    out += ",\n";
    appendKey("f_rsi_min", out, in3);
    appendNumber(month.fRsiMinMould, out);
    out += ",\n";
    appendKey("f_rsi_min_condensation", out, in3);
    appendNumber(month.fRsiMinCondensation, out);
    out += ",\n";
    appendKey("interfaces", out, in3);
    out += "[\n";
    for (std::size_t j = 0; j < result.planes.size(); ++j) {
      const Engine::MoisturePlane& plane = result.planes[j];
      out += in4 + "{\"kind\": \"";
      out += planeKind(plane, j, result.planes.size());
      out += "\", \"depth\": ";
      appendNumber(plane.depth, out);
      out += ", \"sd\": ";
      appendNumber(plane.sd, out);
      out += ", \"temperature\": ";
      appendNumber(month.temperature[j], out);
      out += ", \"saturation_pressure\": ";
      appendNumber(month.saturationPressure[j], out);
      out += ", \"vapour_pressure\": ";
      appendNumber(month.vapourPressure[j], out);
      out += ", \"accumulated\": ";
      appendNumber(month.accumulatedAt[j] * kGramsPerKilogram, out);
      out += j + 1 < result.planes.size() ? "},\n" : "}\n";
    }
    out += in3 + "]\n";
    out += in2 + (m + 1 < 12 ? "},\n" : "}\n");
  }
  out += in1 + "],\n";
  appendKey("max_accumulated", out, in1);
  appendNumber(result.maxAccumulated * kGramsPerKilogram, out);
  out += ",\n";
  appendKey("max_month", out, in1);
  appendMonth(result.maxMonth, out);
  out += ",\n";
  appendKey("max_interface", out, in1);
  if (result.maxPlane < result.planes.size()) {
    out += std::to_string(result.maxPlane);
  } else {
    out += "null";
  }
  out += ",\n";
  // The largest amount at one plane is a figure of its own only where several planes hold
  // water; with one it is max_accumulated itself.
  const bool severalWet = result.wetPlaneCount > 1 && result.maxPlane < result.planes.size();
  const double none = std::numeric_limits<double>::quiet_NaN();
  appendKey("max_accumulated_interface", out, in1);
  out += "{\"accumulated\": ";
  appendNumber(severalWet ? result.maxPlaneAccumulated * kGramsPerKilogram : none, out);
  out += ", \"depth\": ";
  appendNumber(severalWet ? result.planes[result.maxPlane].depth : none, out);
  out += ", \"month\": ";
  appendMonth(severalWet ? result.maxPlaneMonth : 12, out);
  out += "},\n";
  appendKey("end_accumulated", out, in1);
  appendNumber(result.endAccumulated * kGramsPerKilogram, out);
  out += ",\n";
  appendKey("dries_out", out, in1);
  out += result.driesOut ? "true" : "false";
  out += ",\n";
  appendKey("limit_exceeded", out, in1);
  out += !report.limitExceeded ? "null" : *report.limitExceeded ? "true" : "false";
  out += ",\n";
  appendKey("surface", out, in1);
  out += "{\"f_rsi\": ";
  appendNumber(result.fRsi, out);
  out += ", \"f_rsi_min\": ";
  appendNumber(result.fRsiMin, out);
  out += ", \"critical_month\": ";
  appendMonth(result.criticalMonth, out);
  out += ", \"passes\": ";
  out += result.surfacePasses ? "true" : "false";
  out += "}";
  if (report.hasParts) appendPathsJson(report, out, in1);
  out += "\n" + indent + "}";
}

/// Text of a factor for the table: three decimals, "-" when it means nothing.
std::string factorText(double value) {
  return std::isfinite(value) ? numberText(value, "%.3f") : "-";
}

}  // namespace

Climate parseClimateCsv(std::string_view text, const std::string& source, int humidityClass,
                        double indoorTemperature, const ClimateOptionNames& names) {
  if (humidityClass < 0 || humidityClass > 5) {
    throw Error(std::string(names.humidityClass) + " must be 1 to 5 (ISO 13788 Annex A), got " +
                std::to_string(humidityClass));
  }
  if (humidityClass != 0 && !(indoorTemperature >= -100.0 && indoorTemperature <= 100.0)) {
    throw Error(std::string(names.indoorTemperature) + " must lie within -100 and 100 degC, got " +
                numberText(indoorTemperature));
  }
  return ClimateReader(source, humidityClass, names).read(text, indoorTemperature);
}

int humidityClassOf(std::optional<double> given, const ClimateOptionNames& names) {
  if (!given) return 0;
  if (*given >= 1.0 && *given <= 5.0 && *given == std::floor(*given)) {
    return static_cast<int>(*given);
  }
  char text[kShortestDoubleRoom];
  const char* end = writeShortestDouble(*given, text);
  throw Error(std::string(names.humidityClass) +
              " must be 1 to 5 (a whole number: ISO 13788 Annex A's humidity classes), got " +
              std::string(text, static_cast<std::size_t>(end - text)));
}

double indoorTemperatureOf(int humidityClass, std::optional<double> temperature,
                           const ClimateOptionNames& names) {
  if (temperature && humidityClass == 0) {
    throw Error(std::string(names.indoorTemperature) + " goes with " +
                std::string(names.humidityClass) +
                "; without a class the climate gives the indoor temperature of every month");
  }
  return temperature.value_or(kDefaultIndoorTemperature);
}

Climate loadClimateFile(const std::string& path, int humidityClass, double indoorTemperature,
                        const ClimateOptionNames& names) {
  return parseClimateCsv(readTextFile(path, kMaxClimateFileBytes, FileKinds::kClimate), path,
                         humidityClass, indoorTemperature, names);
}

Engine::MoistureRequest moistureRequestOf(const Wall& wall, const Climate& climate,
                                          const std::string& source) {
  Engine::MoistureRequest request;
  request.layers = wall.request.layers;
  request.sd.reserve(wall.labels.size());
  for (std::size_t k = 0; k < wall.labels.size(); ++k) {
    const LayerVapour& vapour = wall.labels[k].vapour;
    if (!vapour.known()) {
      refuseNoVapour(
          source, {layerMessage(k, k < wall.labels.size() ? wall.labels[k].name : std::string())},
          wall.labels[k].materialKey);
    }
    request.sd.push_back(vapour.sd);
  }
  const Engine::SurfaceResistances resistances = wall.request.surfaceResistances();
  request.internalSurfaceResistance = resistances.internal;
  request.externalSurfaceResistance = resistances.external;
  request.climate = climate.months;
  return request;
}

std::vector<MoisturePath> moisturePaths(const Wall& wall, const std::string& source) {
  const Engine::ElementDescription& element = wall.element.element;
  // ISO 13788 (4.3 and 6.2) leaves out a well-ventilated air layer and everything outside it,
  // the air there being outdoor air; a slightly ventilated one is taken as unventilated (still
  // air, mu = 1), which keeps the outer layers' resistance to vapour: the safe side.
  std::size_t kept = wall.request.layers.size();
  bool cut = false;
  if (element.ventilated && element.ventilated->ventilation == Engine::AirLayerVentilation::Well) {
    kept = element.ventilated->layer;
    cut = true;
  }
  // Every vapour property the assessment needs is there before any path is built, so that a
  // refusal names the layer and the part as the file has them.
  for (std::size_t k = 0; k < kept; ++k) {
    const auto bridged = std::find_if(element.bridged.begin(), element.bridged.end(),
                                      [k](const Engine::BridgedLayer& b) { return b.layer == k; });
    if (bridged == element.bridged.end()) {
      if (!wall.labels[k].vapour.known()) {
        refuseNoVapour(source, {layerMessage(wall, k)}, wall.labels[k].materialKey);
      }
      continue;
    }
    const std::size_t b = static_cast<std::size_t>(bridged - element.bridged.begin());
    for (std::size_t part = 0; part < wall.element.partLabels[b].size(); ++part) {
      if (!wall.element.partLabels[b][part].vapour.known()) {
        refuseNoVapour(source, {layerMessage(wall, k), partMessage(wall, k, part)},
                       wall.element.partLabels[b][part].materialKey);
      }
    }
  }
  std::vector<MoisturePath> paths;
  for (const Engine::PathParts& parts : Engine::elementPathParts(element)) {
    MoisturePath path;
    path.fraction = parts.fraction;
    path.ventilatedCut = cut;
    Wall& stack = path.wall;
    stack.name = wall.name;
    stack.request.position = wall.request.position;
    stack.request.heatFlow = wall.request.heatFlow;
    stack.request.period = wall.request.period;
    const Engine::SurfaceResistances resistances = wall.request.surfaceResistances();
    stack.request.internalSurfaceResistance = resistances.internal;
    stack.request.externalSurfaceResistance = cut ? resistances.internal : resistances.external;
    std::size_t control = 0;
    const auto addControlsBefore = [&](std::size_t layer) {
      for (; control < wall.vapourControls.size() && wall.vapourControls[control].before <= layer;
           ++control) {
        stack.addLayer(Engine::LayerProperties{}, wall.vapourControls[control].label);
      }
    };
    for (std::size_t k = 0; k < kept; ++k) {
      addControlsBefore(k);
      LayerLabel label = wall.labels[k];
      Engine::LayerProperties layer = wall.request.layers[k];
      for (std::size_t b = 0; b < element.bridged.size(); ++b) {
        if (element.bridged[b].layer != k) continue;
        const std::size_t part = parts.parts[b];
        const Engine::LayerPart& chosen = element.bridged[b].parts[part];
        const PartLabel& partLabel = wall.element.partLabels[b][part];
        layer = Engine::LayerProperties::slab(layer.thickness, chosen.conductivity, chosen.density,
                                              chosen.specificHeat);
        const std::optional<double> limit = label.vapour.condensationLimit;
        label =
            LayerLabel{partLabel.name, partLabel.materialKey, partLabel.family, partLabel.vapour};
        label.vapour.condensationLimit = limit;
        if (!path.name.empty()) path.name += " / ";
        path.name += partLabel.name;
      }
      stack.addLayer(layer, std::move(label));
    }
    // The vapour control layers outside the last layer kept, unless a ventilated layer ends
    // the stack before them.
    if (!cut) addControlsBefore(kept);
    paths.push_back(std::move(path));
  }
  return paths;
}

namespace {

/// Whether a path's water ever exceeds the condensation_limit of a layer its planes touch.
void checkLimits(MoisturePathReport& report) {
  // A plane touches the layer it closes and, at an interface, the next one; the smaller of
  // their limits holds. A sub-layer plane touches its own layer only.
  const Engine::MoistureResult& result = report.result;
  const std::vector<LayerLabel>& labels = report.path.wall.labels;
  for (std::size_t j = 1; j + 1 < result.planes.size(); ++j) {
    const Engine::MoisturePlane& plane = result.planes[j];
    std::optional<double> limit = labels[plane.layer].vapour.condensationLimit;
    if (plane.interface && plane.layer + 1 < labels.size()) {
      const std::optional<double>& next = labels[plane.layer + 1].vapour.condensationLimit;
      if (next && (!limit || *next < *limit)) limit = next;
    }
    if (!limit) continue;
    if (!report.limitExceeded) report.limitExceeded = false;
    for (const Engine::MoistureMonth& month : result.months) {
      if (month.accumulatedAt[j] * kGramsPerKilogram > *limit && !*report.limitExceeded) {
        report.limitExceeded = true;
        report.limitPlane = j;
      }
    }
  }
}

/// True when path `a`'s verdict is worse than `b`'s: it does not dry out, then it exceeds a
/// condensation limit, then it fails the surface check, then it holds more water, then its
/// surface is colder (lower f_Rsi).
bool worseVerdict(const MoisturePathReport& a, const MoisturePathReport& b) {
  const auto rank = [](const MoisturePathReport& path) {
    return std::make_tuple(!path.result.driesOut, path.limitExceeded.value_or(false),
                           !path.result.surfacePasses, path.result.maxAccumulated,
                           -path.result.fRsi);
  };
  return rank(a) > rank(b);
}

}  // namespace

MoistureReport assessMoisture(const Wall& wall, const Climate& climate, const std::string& source) {
  MoistureReport report;
  report.source = source;
  report.hasParts = !wall.element.element.bridged.empty();
  for (MoisturePath& path : moisturePaths(wall, source)) {
    MoisturePathReport assessed;
    assessed.path = std::move(path);
    const Engine::MoistureRequest request = moistureRequestOf(assessed.path.wall, climate, source);
    Engine::computeMoisture(request, assessed.result);
    if (assessed.result.problem) {
      std::string message =
          describeMoistureProblem(*assessed.result.problem, assessed.path.wall, climate, source);
      if (report.hasParts) message += " (in the path through " + assessed.path.name + ")";
      throw Error(message);
    }
    checkLimits(assessed);
    report.paths.push_back(std::move(assessed));
  }
  for (std::size_t i = 1; i < report.paths.size(); ++i) {
    if (worseVerdict(report.paths[i], report.paths[report.governingPath])) report.governingPath = i;
  }
  const MoisturePathReport& governing = report.paths[report.governingPath];
  report.wall = governing.path.wall;
  report.result = governing.result;
  report.limitExceeded = governing.limitExceeded;
  report.limitPlane = governing.limitPlane;
  return report;
}

std::string formatMoistureJson(const std::vector<MoistureReport>& reports, const Climate& climate) {
  (void)climate;
  std::string out;
  if (reports.size() == 1) {
    appendWallJson(reports.front(), out, "");
  } else {
    out += "[\n";
    for (std::size_t w = 0; w < reports.size(); ++w) {
      appendWallJson(reports[w], out, "  ");
      out += w + 1 < reports.size() ? ",\n" : "\n";
    }
    out += "]";
  }
  out += '\n';
  return out;
}

std::string formatMoistureCsv(const std::vector<MoistureReport>& reports) {
  std::string out =
      "name,month,condensation,accumulated,f_rsi_min,max_accumulated,max_month,dries_out,"
      "f_rsi,surface_f_rsi_min,critical_month,passes\n";
  for (const MoistureReport& report : reports) {
    const Engine::MoistureResult& result = report.result;
    for (std::size_t m = 0; m < 12; ++m) {
      appendCsvText(report.wall.name, out);
      out += ',' + std::to_string(m + 1) + ',';
      const auto cell = [&out](double value) {
        if (std::isfinite(value)) {
          char text[kShortestDoubleRoom];
          out.append(text, writeShortestDouble(value == 0.0 ? 0.0 : value, text));
        }
        out += ',';
      };
      cell(result.months[m].condensation * kGramsPerKilogram);
      cell(result.months[m].accumulated * kGramsPerKilogram);
      cell(result.months[m].fRsiMinMould);
      cell(result.maxAccumulated * kGramsPerKilogram);
      out += result.maxMonth < 12 ? std::to_string(result.maxMonth + 1) : "";
      out += ',';
      out += result.driesOut ? "true," : "false,";
      cell(result.fRsi);
      cell(result.fRsiMin);
      out += result.criticalMonth < 12 ? std::to_string(result.criticalMonth + 1) : "";
      out += ',';
      out += result.surfacePasses ? "true\n" : "false\n";
    }
  }
  return out;
}

std::string formatMoistureTable(const std::vector<MoistureReport>& reports,
                                const Climate& climate) {
  std::string out;
  for (std::size_t w = 0; w < reports.size(); ++w) {
    const MoistureReport& report = reports[w];
    const Engine::MoistureResult& result = report.result;
    if (w > 0) out += '\n';
    out += visibleText(report.wall.name) + " (" + visibleText(report.source) + "), climate " +
           visibleText(climate.source);
    if (climate.humidityClass != 0) {
      out += ", indoor humidity class " + std::to_string(climate.humidityClass) +
             " (p_i = p_e + 1.10 dp)";
    }
    if (report.hasParts) {
      out += "\n  paths through the layers of parts (ISO 6946 6.7.2), each assessed on its own:";
      for (std::size_t i = 0; i < report.paths.size(); ++i) {
        const MoisturePathReport& path = report.paths[i];
        out += "\n    " + visibleText(path.path.name) + " (" +
               numberText(path.path.fraction * 100.0, "%.4g") + " % of the area): largest " +
               numberText(path.result.maxAccumulated * kGramsPerKilogram, "%.1f") + " g/m2, " +
               (path.result.driesOut ? "dries out" : "does NOT dry out") + ", f_Rsi " +
               factorText(path.result.fRsi) +
               (i == report.governingPath ? "  <- governing: the figures below are its" : "");
      }
      out += '\n';
    }
    out += "\n  layers (inner face first), s_d [m]:";
    for (const LayerLabel& label : report.wall.labels) {
      out += "\n    " + visibleText(label.name) + ": " + numberText(label.vapour.sd, "%.4g");
      if (label.vapour.source == VapourSource::DefaultZero) out += " (default for a resistance)";
    }
    out += "\n\n  Month  theta_e  phi_e  theta_i  phi_i   condensed  accumulated  f_Rsi,min\n";
    out += "          [degC]    [%]   [degC]    [%]    [g/m2]       [g/m2]\n";
    for (std::size_t m = 0; m < 12; ++m) {
      const Engine::MonthClimate& month = climate.months[m];
      const Engine::MoistureMonth& state = result.months[m];
      char row[160];
      std::snprintf(
          row, sizeof row, "  %-5s %8.1f %6.1f %8.1f %6.1f %11.1f %12.1f %10s%s\n", kMonthNames[m],
          month.outdoorTemperature, month.outdoorRelativeHumidity * 100.0, month.indoorTemperature,
          month.indoorRelativeHumidity * 100.0, state.condensation * kGramsPerKilogram + 0.0,
          state.accumulated * kGramsPerKilogram + 0.0, factorText(state.fRsiMinMould).c_str(),
          result.condenses && m == result.startMonth ? "  <- start" : "");
      out += row;
    }
    out += '\n';
    if (!result.condenses) {
      out += "  Interstitial condensation: none in any month\n";
    } else {
      const Engine::MoisturePlane& plane = result.planes[result.maxPlane];
      const std::string where = numberText(plane.depth * 1000.0, "%.0f") +
                                " mm from the inner face (after " +
                                layerText(report.wall, plane.layer) + ")\n";
      out += "  Interstitial condensation: largest " +
             numberText(result.maxAccumulated * kGramsPerKilogram, "%.1f") +
             " g/m2 at the end of " + kMonthNames[result.maxMonth] + ", ";
      if (result.wetPlaneCount <= 1) {
        out += where;
      } else {
        // The total first, as the month column shows it; then the most one plane holds.
        out += "summed over " + std::to_string(result.wetPlaneCount) + " planes\n";
        out += "  Largest at one plane: " +
               numberText(result.maxPlaneAccumulated * kGramsPerKilogram, "%.1f") +
               " g/m2 at the end of " + kMonthNames[result.maxPlaneMonth] + ", " + where;
      }
      out += result.driesOut ? "  Dries out within the year: yes\n"
                             : "  Dries out within the year: NO, " +
                                   numberText(result.endAccumulated * kGramsPerKilogram, "%.1f") +
                                   " g/m2 left after twelve months\n";
    }
    if (report.limitExceeded) {
      out += *report.limitExceeded
                 ? "  Condensation limit: EXCEEDED at " +
                       numberText(result.planes[report.limitPlane].depth * 1000.0, "%.0f") +
                       " mm from the inner face\n"
                 : "  Condensation limit: not exceeded\n";
    }
    out += "  Surface (mould, phi_si <= 0.8): f_Rsi = " + factorText(result.fRsi);
    if (result.criticalMonth < 12) {
      out += ", f_Rsi,min = " + factorText(result.fRsiMin) + " in " +
             kMonthNames[result.criticalMonth] + ": " + (result.surfacePasses ? "pass" : "FAIL") +
             "\n";
    } else {
      out += ": no month is colder outside than inside\n";
    }
  }
  return out;
}

}  // namespace Brusk::Frontend
