#include "brusk/frontend/output.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace Brusk {

namespace {

/// Builds text in a stack buffer and hands it to the string in few large appends: a row is
/// some sixty small pieces.
class StagedText {
public:
  explicit StagedText(std::string& out) : _out(out) {}
  StagedText(const StagedText&) = delete;
  StagedText& operator=(const StagedText&) = delete;

  void put(char c) {
    makeRoom(1);
    *_end++ = c;
  }
  void put(std::string_view text) {
    if (text.size() > kCapacity / 4) {
      flush();
      _out.append(text);
      return;
    }
    makeRoom(text.size());
    std::memcpy(_end, text.data(), text.size());
    _end += text.size();
  }
  void number(double value) {
    makeRoom(kShortestDoubleRoom);
    _end = writeShortestDouble(value, _end);
  }
  /// Must be called once the text is complete.
  void flush() {
    _out.append(_buffer, _end);
    _end = _buffer;
  }

private:
  static constexpr std::size_t kCapacity = 2048;

  void makeRoom(std::size_t bytes) {
    if (bytes > static_cast<std::size_t>(_buffer + kCapacity - _end)) flush();
  }

  std::string& _out;
  char _buffer[kCapacity];
  char* _end = _buffer;
};

/// Walks the fields of a result in output order; JSON and CSV writers share it so their keys
/// and columns cannot drift apart.
template <typename Visitor>
void visitResult(const WallResult& r, Visitor& v) {
  v.text("name", r.name);
  v.number("period", r.period);
  v.number("thickness", r.thickness);
  v.number("surface_mass", r.surfaceMass);
  v.number("thermal_resistance", r.thermalResistance);
  v.number("u_value", r.uValue);
  v.number("decrement_factor", r.decrementFactor);
  v.begin("periodic_thermal_transmittance");
  v.number("modulus", r.periodicThermalTransmittance.modulus);
  v.number("time_shift", r.periodicThermalTransmittance.timeShift);
  v.number("time_lag", r.timeLag);
  v.end();
  v.begin("internal_admittance");
  v.number("modulus", r.internalAdmittance.modulus);
  v.number("time_shift", r.internalAdmittance.timeShift);
  v.end();
  v.begin("external_admittance");
  v.number("modulus", r.externalAdmittance.modulus);
  v.number("time_shift", r.externalAdmittance.timeShift);
  v.end();
  v.number("internal_areal_heat_capacity", r.internalArealHeatCapacity);
  v.number("external_areal_heat_capacity", r.externalArealHeatCapacity);
  v.begin("transfer_matrix");
  v.complex("z11", r.z11);
  v.complex("z12", r.z12);
  v.complex("z21", r.z21);
  v.complex("z22", r.z22);
  v.end();
  v.begin("sequential_heat_capacity");
  v.begin("daily");
  v.number("value", r.dailyCapacity.capacity);
  v.text("method", capacityMethodName(r.dailyCapacity.method));
  v.end();
  v.begin("twelve_day");
  v.number("value", r.twelveDayCapacity.capacity);
  v.text("method", capacityMethodName(r.twelveDayCapacity.method));
  v.end();
  v.end();
}

void appendJsonString(std::string_view text, StagedText& out) {
  out.put('"');
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out.put('\\');
      out.put(c);
    } else if (byte < 0x20) {
      static const char* const kHex = "0123456789abcdef";
      out.put("\\u00");
      out.put(kHex[byte >> 4]);
      out.put(kHex[byte & 0xF]);
    } else {
      out.put(c);
    }
  }
  out.put('"');
}

void appendJsonNumber(double value, StagedText& out) {
  if (std::isfinite(value)) {
    out.number(value);
  } else {
    out.put("null");
  }
}

class JsonWriter {
public:
  JsonWriter(StagedText& out, JsonLayout layout, int depth)
      : _out(out), _indented(layout == JsonLayout::Indented), _depth(depth) {}

  void open() {
    _out.put('{');
    ++_depth;
    _first = true;
  }
  void close() {
    --_depth;
    newline();
    _out.put('}');
    _first = false;
  }
  void begin(const char* key) {
    this->key(key);
    open();
  }
  void end() { close(); }
  void number(const char* key, double value) {
    this->key(key);
    appendJsonNumber(value, _out);
  }
  void text(const char* key, std::string_view value) {
    this->key(key);
    appendJsonString(value, _out);
  }
  void complex(const char* key, const Engine::Complex& value) {
    this->key(key);
    _out.put('[');
    appendJsonNumber(value.getRealPart(), _out);
    _out.put(_indented ? ", " : ",");
    appendJsonNumber(value.getImaginaryPart(), _out);
    _out.put(']');
  }

private:
  void key(const char* name) {
    if (!_first) _out.put(',');
    _first = false;
    newline();
    _out.put('"');
    _out.put(name);
    _out.put(_indented ? "\": " : "\":");
  }
  void newline() {
    if (!_indented) return;
    _out.put('\n');
    for (int i = 0; i < _depth; ++i) _out.put("  ");
  }

  StagedText& _out;
  bool _indented;
  int _depth;
  bool _first = true;
};

class CsvHeaderWriter {
public:
  explicit CsvHeaderWriter(std::string& out) : _out(out) {}
  void begin(const char* key) { _path.emplace_back(key); }
  void end() { _path.pop_back(); }
  void number(const char* key, double) { column(key); }
  void text(const char* key, std::string_view) { column(key); }
  void complex(const char* key, const Engine::Complex&) {
    column(std::string(key) + "_re");
    column(std::string(key) + "_im");
  }

private:
  void column(const std::string& key) {
    if (!_first) _out += ',';
    _first = false;
    for (const std::string& part : _path) _out += part + '_';
    _out += key;
  }
  std::string& _out;
  std::vector<std::string> _path;
  bool _first = true;
};

class CsvRowWriter {
public:
  explicit CsvRowWriter(StagedText& out) : _out(out) {}
  void begin(const char*) {}
  void end() {}
  void number(const char*, double value) {
    separator();
    if (std::isfinite(value)) _out.number(value);
  }
  void text(const char*, std::string_view value) {
    separator();
    // A loop, not find_first_of, which searches the four delimiters once per character.
    const bool plain = std::none_of(value.begin(), value.end(), [](char c) {
      return c == ',' || c == '"' || c == '\r' || c == '\n';
    });
    if (plain) {
      _out.put(value);
      return;
    }
    _out.put('"');
    for (char c : value) {
      if (c == '"') _out.put('"');
      _out.put(c);
    }
    _out.put('"');
  }
  void complex(const char* key, const Engine::Complex& value) {
    number(key, value.getRealPart());
    number(key, value.getImaginaryPart());
  }

private:
  void separator() {
    if (!_first) _out.put(',');
    _first = false;
  }
  StagedText& _out;
  bool _first = true;
};

/// Terminal columns a UTF-8 string takes, one per code point.
std::size_t displayWidth(const std::string& text) {
  std::size_t width = 0;
  for (char c : text) width += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
  return width;
}

std::string fixed(double value, int decimals) {
  if (!std::isfinite(value)) return "-";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

struct TableRow {
  const char* label;
  std::string (*cell)(const WallResult&);
};

const TableRow kTableRows[] = {
    {"Period T [h]", [](const WallResult& r) { return fixed(r.period / 3600.0, 2); }},
    {"Thickness d [m]", [](const WallResult& r) { return fixed(r.thickness, 3); }},
    {"Surface mass m [kg/m2]", [](const WallResult& r) { return fixed(r.surfaceMass, 1); }},
    {"Thermal resistance R [m2.K/W]",
     [](const WallResult& r) { return fixed(r.thermalResistance, 3); }},
    {"Thermal transmittance U [W/(m2.K)]", [](const WallResult& r) { return fixed(r.uValue, 3); }},
    {"Decrement factor f [-]", [](const WallResult& r) { return fixed(r.decrementFactor, 3); }},
    {"Periodic thermal transmittance |Y12| [W/(m2.K)]",
     [](const WallResult& r) { return fixed(r.periodicThermalTransmittance.modulus, 3); }},
    {"Time lag of the inner heat flow [h]",
     [](const WallResult& r) { return fixed(r.timeLag, 2); }},
    {"Time shift of Y12 [h]",
     [](const WallResult& r) { return fixed(r.periodicThermalTransmittance.timeShift, 2); }},
    {"Internal admittance |Y11| [W/(m2.K)]",
     [](const WallResult& r) { return fixed(r.internalAdmittance.modulus, 3); }},
    {"Time shift of Y11 [h]",
     [](const WallResult& r) { return fixed(r.internalAdmittance.timeShift, 2); }},
    {"External admittance |Y22| [W/(m2.K)]",
     [](const WallResult& r) { return fixed(r.externalAdmittance.modulus, 3); }},
    {"Time shift of Y22 [h]",
     [](const WallResult& r) { return fixed(r.externalAdmittance.timeShift, 2); }},
    {"Internal areal heat capacity κ1 [kJ/(m2.K)]",
     [](const WallResult& r) { return fixed(r.internalArealHeatCapacity / 1000.0, 1); }},
    {"External areal heat capacity κ2 [kJ/(m2.K)]",
     [](const WallResult& r) { return fixed(r.externalArealHeatCapacity / 1000.0, 1); }},
    {"Sequential heat capacity, 1 day [kJ/(m2.K)]",
     [](const WallResult& r) { return fixed(r.dailyCapacity.capacity / 1000.0, 1); }},
    {"  rule",
     [](const WallResult& r) { return std::string(capacityMethodName(r.dailyCapacity.method)); }},
    {"Sequential heat capacity, 12 days [kJ/(m2.K)]",
     [](const WallResult& r) { return fixed(r.twelveDayCapacity.capacity / 1000.0, 1); }},
    {"  rule",
     [](const WallResult& r) {
       return std::string(capacityMethodName(r.twelveDayCapacity.method));
     }},
};

void appendPadded(std::string& out, const std::string& text, std::size_t width, bool right) {
  const std::size_t padding = width - std::min(width, displayWidth(text));
  if (right) out.append(padding, ' ');
  out += text;
  if (!right) out.append(padding, ' ');
}

}  // namespace

void appendJson(const WallResult& result, std::string& out, JsonLayout layout) {
  StagedText staged(out);
  JsonWriter writer(staged, layout, 0);
  writer.open();
  visitResult(result, writer);
  writer.close();
  staged.flush();
}

std::string formatJson(const std::vector<WallResult>& results, JsonLayout layout) {
  std::string out;
  if (results.size() == 1) {
    appendJson(results.front(), out, layout);
    out += '\n';
    return out;
  }
  const bool indented = layout == JsonLayout::Indented;
  out += '[';
  for (std::size_t i = 0; i < results.size(); ++i) {
    if (i > 0) out += ',';
    if (indented) out += "\n  ";
    StagedText staged(out);
    JsonWriter writer(staged, layout, 1);
    writer.open();
    visitResult(results[i], writer);
    writer.close();
    staged.flush();
  }
  if (indented && !results.empty()) out += '\n';
  out += "]\n";
  return out;
}

void appendCsvHeader(std::string& out) {
  CsvHeaderWriter writer(out);
  visitResult(WallResult{}, writer);
  out += '\n';
}

void appendCsvRow(const WallResult& result, std::string& out) {
  StagedText staged(out);
  CsvRowWriter writer(staged);
  visitResult(result, writer);
  staged.put('\n');
  staged.flush();
}

std::string formatCsv(const std::vector<WallResult>& results) {
  std::string out;
  appendCsvHeader(out);
  for (const WallResult& result : results) appendCsvRow(result, out);
  return out;
}

std::string formatTable(const std::vector<WallResult>& results) {
  std::size_t labelWidth = 0;
  for (const TableRow& row : kTableRows) labelWidth = std::max(labelWidth, displayWidth(row.label));

  std::vector<std::vector<std::string>> cells(results.size());
  std::vector<std::size_t> widths(results.size());
  for (std::size_t column = 0; column < results.size(); ++column) {
    widths[column] = displayWidth(results[column].name);
    for (const TableRow& row : kTableRows) {
      cells[column].push_back(row.cell(results[column]));
      widths[column] = std::max(widths[column], displayWidth(cells[column].back()));
    }
  }

  std::string out;
  const auto appendLine = [&](const std::string& label, auto cellOf) {
    appendPadded(out, label, labelWidth, false);
    for (std::size_t column = 0; column < results.size(); ++column) {
      out += "  ";
      appendPadded(out, cellOf(column), widths[column], true);
    }
    // No trailing blanks: a right-aligned last column ends at its text.
    out += '\n';
  };
  appendLine("", [&](std::size_t column) { return results[column].name; });
  std::size_t ruleWidth = labelWidth;
  for (std::size_t width : widths) ruleWidth += 2 + width;
  out.append(ruleWidth, '-');
  out += '\n';
  for (std::size_t row = 0; row < std::size(kTableRows); ++row) {
    appendLine(kTableRows[row].label, [&](std::size_t column) { return cells[column][row]; });
  }
  return out;
}

}  // namespace Brusk
