#include "brusk/frontend/output.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <utility>

#include "brusk/engine/constants.h"
#include "brusk/engine/quantities.h"
#include "brusk/engine/sequential_capacity.h"
#include "brusk/frontend/text_util.h"

namespace Brusk::Frontend {

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

/// One field of a wall's result as the writers meet it: the objects to close and to open before
/// it (a dotted key opens the objects of its path: "periodic_thermal_transmittance.modulus" is
/// "modulus" inside "periodic_thermal_transmittance"), then the quantity under its last name.
struct FieldStep {
  const Engine::Quantity* quantity = nullptr;
  std::string_view leaf;
  std::size_t ends = 0;  ///< objects the previous field left open that this one does not share
  std::size_t firstBegin = 0;  ///< into ResultLayout::begins
  std::size_t beginCount = 0;
};

/// The walk over the quantities of `brusk compute`, in output order, worked out once: every row
/// of a batch run takes the same steps, so none splits a key again.
struct ResultLayout {
  std::vector<FieldStep> steps;
  std::vector<std::string_view> begins;
  std::size_t finalEnds = 0;
};

/// "a.b.c" as {"a", "b", "c"}.
std::vector<std::string_view> keyPath(std::string_view key) {
  std::vector<std::string_view> parts;
  for (std::size_t start = 0;;) {
    const std::size_t dot = key.find('.', start);
    parts.push_back(key.substr(start, dot == std::string_view::npos ? dot : dot - start));
    if (dot == std::string_view::npos) return parts;
    start = dot + 1;
  }
}

const ResultLayout& resultLayout() {
  static const ResultLayout layout = [] {
    ResultLayout made;
    std::vector<std::string_view> open;  // the objects the last key left open
    for (const Engine::Quantity& q : Engine::quantities()) {
      if (q.scope != Engine::QuantityScope::Wall) continue;
      std::vector<std::string_view> path = keyPath(q.key);
      FieldStep step;
      step.quantity = &q;
      step.leaf = path.back();
      path.pop_back();
      std::size_t common = 0;
      while (common < open.size() && common < path.size() && open[common] == path[common]) {
        ++common;
      }
      step.ends = open.size() - common;
      step.firstBegin = made.begins.size();
      step.beginCount = path.size() - common;
      made.begins.insert(made.begins.end(), path.begin() + static_cast<std::ptrdiff_t>(common),
                         path.end());
      made.steps.push_back(step);
      open = std::move(path);
    }
    made.finalEnds = open.size();
    return made;
  }();
  return layout;
}

/// Walks the fields of a result in the order of the quantity description; JSON and CSV writers
/// share it so their keys and columns cannot drift apart.
template <typename Visitor>
void visitResult(std::string_view name, const Engine::WallResult& r, Visitor& v) {
  const ResultLayout& layout = resultLayout();
  v.text("name", name);
  for (const FieldStep& step : layout.steps) {
    for (std::size_t i = 0; i < step.ends; ++i) v.end();
    for (std::size_t i = 0; i < step.beginCount; ++i) v.begin(layout.begins[step.firstBegin + i]);
    const Engine::Quantity& q = *step.quantity;
    switch (q.type) {
      case Engine::QuantityType::Number:
        v.number(step.leaf, q.wallNumber(r));
        break;
      case Engine::QuantityType::Complex:
        v.complex(step.leaf, q.wallComplex(r));
        break;
      case Engine::QuantityType::Text:
        v.text(step.leaf, q.wallText(r));
        break;
      case Engine::QuantityType::Flag:
        break;  // a wall's own result has no yes/no quantity; elements add theirs as extras
    }
  }
  for (std::size_t i = 0; i < layout.finalEnds; ++i) v.end();
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
  void begin(std::string_view key) {
    this->key(key);
    open();
  }
  void end() { close(); }
  void number(std::string_view key, double value) {
    this->key(key);
    appendJsonNumber(value, _out);
  }
  void text(std::string_view key, std::string_view value) {
    this->key(key);
    appendJsonString(value, _out);
  }
  void flag(const char* key, bool value) {
    this->key(key);
    _out.put(value ? "true" : "false");
  }
  /// A list of objects: beginList, then item() and close() per object, then endList.
  void beginList(const char* key) {
    this->key(key);
    _out.put('[');
    ++_depth;
    _first = true;
  }
  void item() {
    if (!_first) _out.put(',');
    _first = false;
    newline();
    open();
  }
  void endList() {
    --_depth;
    if (!_first) newline();  // an empty list stays []
    _out.put(']');
    _first = false;
  }
  void complex(std::string_view key, const Engine::Complex& value) {
    this->key(key);
    _out.put('[');
    appendJsonNumber(value.getRealPart(), _out);
    _out.put(_indented ? ", " : ",");
    appendJsonNumber(value.getImaginaryPart(), _out);
    _out.put(']');
  }

private:
  void key(std::string_view name) {
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
  void begin(std::string_view key) { _path.emplace_back(key); }
  void end() { _path.pop_back(); }
  void number(std::string_view key, double) { column(std::string(key)); }
  void text(std::string_view key, std::string_view) { column(std::string(key)); }
  void complex(std::string_view key, const Engine::Complex&) {
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

/// True when a CSV cell of this text needs more than copying: quoting, a control character
/// made visible or a formula defused. A loop, not find_first_of, which would search its set
/// once per character; 0xC2 leads every C1 control (and some harmless letters, which merely take
/// the slow path).
bool needsCsvCare(std::string_view text) {
  // One table lookup per byte: the bytes that need care, as above.
  static constexpr auto kCareful = [] {
    std::array<bool, 256> careful{};
    for (std::size_t code = 0; code < 0x20; ++code) careful[code] = true;
    for (const int code : {int{','}, int{'"'}, 0x7f, 0xc2})
      careful[static_cast<std::size_t>(code)] = true;
    return careful;
  }();
  if (startsLikeFormula(text)) return true;
  bool careful = false;
  for (const char c : text) careful |= kCareful[static_cast<unsigned char>(c)];
  return careful;
}

/// One CSV cell (RFC 4180) of text: control characters written visibly, a leading = + - @ tab
/// or carriage return defused with a single quote (so that a spreadsheet shows the text instead
/// of running it as a formula), and quoted when it holds a comma or a quote.
void appendCsvCell(std::string_view value, StagedText& out) {
  if (!needsCsvCare(value)) {
    out.put(value);
    return;
  }
  std::string cell = visibleText(value);
  if (startsLikeFormula(cell)) cell.insert(0, 1, '\'');
  if (cell.find_first_of(",\"") == std::string::npos) {
    out.put(cell);
    return;
  }
  out.put('"');
  for (char c : cell) {
    if (c == '"') out.put('"');
    out.put(c);
  }
  out.put('"');
}

class CsvRowWriter {
public:
  explicit CsvRowWriter(StagedText& out) : _out(out) {}
  void begin(std::string_view) {}
  void end() {}
  void number(std::string_view, double value) {
    separator();
    if (std::isfinite(value)) _out.number(value);
  }
  void text(std::string_view, std::string_view value) {
    separator();
    appendCsvCell(value, _out);
  }
  void complex(std::string_view key, const Engine::Complex& value) {
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

std::string fixed(double value, int decimals) {
  if (!std::isfinite(value)) return "-";
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*f", decimals, value);
  return buffer;
}

/// The rows of the comparison table: the quantities a person compares, by key, in reading
/// order; each row's label, unit, scale and decimals come from the quantity description.
constexpr std::string_view kTableKeys[] = {
    "period",
    "thickness",
    "surface_mass",
    "thermal_resistance",
    "u_value",
    "decrement_factor",
    "periodic_thermal_transmittance.modulus",
    "periodic_thermal_transmittance.time_lag",
    "periodic_thermal_transmittance.time_shift",
    "internal_admittance.modulus",
    "internal_admittance.time_shift",
    "external_admittance.modulus",
    "external_admittance.time_shift",
    "internal_areal_heat_capacity",
    "external_areal_heat_capacity",
    "sequential_heat_capacity.daily.value",
    "sequential_heat_capacity.daily.method",
    "sequential_heat_capacity.twelve_day.value",
    "sequential_heat_capacity.twelve_day.method",
};

/// A rule of a sequential estimate reads as an indented "rule" line under its value.
std::string tableLabel(const Engine::Quantity& q) {
  return q.type == Engine::QuantityType::Text ? std::string("  rule") : q.tableLabel();
}

std::string tableCell(const Engine::Quantity& q, const Engine::WallResult& r) {
  if (q.type == Engine::QuantityType::Text) return q.wallText(r);
  return fixed(q.displayed(q.wallNumber(r)), q.decimals);
}

/// The levels of an extra field's key: "a.b.c" gives a, b and c.
std::vector<std::string> keyLevels(const std::string& key) {
  std::vector<std::string> levels;
  std::size_t start = 0;
  for (;;) {
    const std::size_t slash = key.find('.', start);
    levels.push_back(key.substr(start, slash - start));
    if (slash == std::string::npos) return levels;
    start = slash + 1;
  }
}

/// Writes extra fields into the open object, opening and closing the objects their keys name.
void writeExtraFields(const std::vector<ExtraField>& fields, JsonWriter& writer) {
  std::vector<std::string> open;
  for (const ExtraField& field : fields) {
    const std::vector<std::string> levels = keyLevels(field.key);
    std::size_t shared = 0;
    while (shared < open.size() && shared + 1 < levels.size() && open[shared] == levels[shared]) {
      ++shared;
    }
    while (open.size() > shared) {
      writer.end();
      open.pop_back();
    }
    for (std::size_t i = shared; i + 1 < levels.size(); ++i) {
      writer.begin(levels[i].c_str());
      open.push_back(levels[i]);
    }
    const char* const leaf = levels.back().c_str();
    switch (field.kind) {
      case ExtraField::Kind::Number:
        writer.number(leaf, field.number);
        break;
      case ExtraField::Kind::Text:
        writer.text(leaf, field.text);
        break;
      case ExtraField::Kind::Flag:
        writer.flag(leaf, field.flag);
        break;
    }
  }
  while (!open.empty()) {
    writer.end();
    open.pop_back();
  }
}

void writeExtras(const ExtraFields& extras, JsonWriter& writer) {
  writeExtraFields(extras.fields, writer);
  for (const ExtraList& list : extras.lists) {
    writer.beginList(list.key.c_str());
    for (const std::vector<ExtraField>& item : list.items) {
      writer.item();
      writeExtraFields(item, writer);
      writer.close();
    }
    writer.endList();
  }
}

/// One result's object, its extras (if any) after its own fields.
void writeResultObject(std::string_view name, const Engine::WallResult& result,
                       const ExtraFields* extras, StagedText& staged, JsonLayout layout,
                       int depth) {
  JsonWriter writer(staged, layout, depth);
  writer.open();
  visitResult(name, result, writer);
  if (extras != nullptr) writeExtras(*extras, writer);
  writer.close();
}

std::string formatJsonWith(const std::vector<NamedResult>& results, JsonLayout layout,
                           const std::vector<ExtraFields>* extras) {
  const auto extrasOf = [&](std::size_t i) -> const ExtraFields* {
    return extras != nullptr && i < extras->size() ? &(*extras)[i] : nullptr;
  };
  std::string out;
  if (results.size() == 1) {
    StagedText staged(out);
    writeResultObject(results.front().name, results.front().result, extrasOf(0), staged, layout, 0);
    staged.flush();
    out += '\n';
    return out;
  }
  const bool indented = layout == JsonLayout::Indented;
  out += '[';
  for (std::size_t i = 0; i < results.size(); ++i) {
    if (i > 0) out += ',';
    if (indented) out += "\n  ";
    StagedText staged(out);
    writeResultObject(results[i].name, results[i].result, extrasOf(i), staged, layout, 1);
    staged.flush();
  }
  if (indented && !results.empty()) out += '\n';
  out += "]\n";
  return out;
}

/// The extras that give an output its extra CSV columns and table rows: the first non-empty.
const ExtraFields* firstExtras(const std::vector<ExtraFields>* extras) {
  if (extras == nullptr) return nullptr;
  for (const ExtraFields& candidate : *extras) {
    if (!candidate.empty()) return &candidate;
  }
  return nullptr;
}

std::string formatTableWith(const std::vector<NamedResult>& results,
                            const std::vector<ExtraFields>* extras);

}  // namespace

void appendJson(std::string_view name, const Engine::WallResult& result, std::string& out,
                JsonLayout layout) {
  StagedText staged(out);
  JsonWriter writer(staged, layout, 0);
  writer.open();
  visitResult(name, result, writer);
  writer.close();
  staged.flush();
}

std::string formatJson(const std::vector<NamedResult>& results, JsonLayout layout) {
  return formatJsonWith(results, layout, nullptr);
}

std::string formatJson(const std::vector<NamedResult>& results, JsonLayout layout,
                       const std::vector<ExtraFields>& extras) {
  return formatJsonWith(results, layout, &extras);
}

void appendJsonString(std::string_view text, std::string& out) {
  StagedText staged(out);
  appendJsonString(text, staged);
  staged.flush();
}

void appendCsvText(std::string_view text, std::string& out) {
  StagedText staged(out);
  appendCsvCell(text, staged);
  staged.flush();
}

void appendCsvHeader(std::string& out) {
  CsvHeaderWriter writer(out);
  visitResult("", Engine::WallResult{}, writer);
  out += '\n';
}

void appendCsvRow(std::string_view name, const Engine::WallResult& result, std::string& out) {
  StagedText staged(out);
  CsvRowWriter writer(staged);
  visitResult(name, result, writer);
  staged.put('\n');
  staged.flush();
}

std::string formatCsv(const std::vector<NamedResult>& results) {
  std::string out;
  appendCsvHeader(out);
  for (const NamedResult& named : results) appendCsvRow(named.name, named.result, out);
  return out;
}

std::string formatCsv(const std::vector<NamedResult>& results,
                      const std::vector<ExtraFields>& extras) {
  const ExtraFields* columns = firstExtras(&extras);
  if (columns == nullptr) return formatCsv(results);
  std::string out;
  appendCsvHeader(out);
  out.pop_back();  // the header's newline, after which the extra columns follow
  for (const ExtraField& field : columns->fields) {
    out += ',';
    for (const char c : field.key) out += c == '.' ? '_' : c;
  }
  out += '\n';
  for (std::size_t i = 0; i < results.size(); ++i) {
    appendCsvRow(results[i].name, results[i].result, out);
    out.pop_back();
    const ExtraFields* own = i < extras.size() && !extras[i].empty() ? &extras[i] : nullptr;
    StagedText staged(out);
    for (std::size_t column = 0; column < columns->fields.size(); ++column) {
      staged.put(',');
      if (own == nullptr || column >= own->fields.size()) continue;
      const ExtraField& field = own->fields[column];
      switch (field.kind) {
        case ExtraField::Kind::Number:
          if (std::isfinite(field.number)) staged.number(field.number);
          break;
        case ExtraField::Kind::Text:
          appendCsvCell(field.text, staged);
          break;
        case ExtraField::Kind::Flag:
          staged.put(field.flag ? "true" : "false");
          break;
      }
    }
    staged.put('\n');
    staged.flush();
  }
  return out;
}

std::string formatTable(const std::vector<NamedResult>& results) {
  return formatTableWith(results, nullptr);
}

std::string formatTable(const std::vector<NamedResult>& results,
                        const std::vector<ExtraFields>& extras) {
  return formatTableWith(results, &extras);
}

namespace {

std::string formatTableWith(const std::vector<NamedResult>& results,
                            const std::vector<ExtraFields>* extras) {
  // The extra rows: the labels of the first wall with extras, each wall's own cell or "-".
  std::vector<std::string> extraLabels;
  if (const ExtraFields* first = firstExtras(extras)) {
    for (const auto& [label, cell] : first->table) extraLabels.push_back(label);
  }
  std::vector<const Engine::Quantity*> rows;
  std::vector<std::string> labels;
  for (const std::string_view key : kTableKeys) {
    rows.push_back(&Engine::quantity(Engine::QuantityScope::Wall, key));
    labels.push_back(tableLabel(*rows.back()));
  }
  std::size_t labelWidth = 0;
  for (const std::string& label : extraLabels) {
    labelWidth = std::max(labelWidth, displayWidth(label));
  }
  for (const std::string& label : labels) labelWidth = std::max(labelWidth, displayWidth(label));

  std::vector<std::vector<std::string>> cells(results.size());
  std::vector<std::string> names(results.size());
  std::vector<std::size_t> widths(results.size());
  for (std::size_t column = 0; column < results.size(); ++column) {
    names[column] = visibleText(results[column].name);
    widths[column] = displayWidth(names[column]);
    for (const Engine::Quantity* row : rows) {
      cells[column].push_back(tableCell(*row, results[column].result));
      widths[column] = std::max(widths[column], displayWidth(cells[column].back()));
    }
    const ExtraFields* own =
        extras != nullptr && column < extras->size() ? &(*extras)[column] : nullptr;
    for (std::size_t row = 0; row < extraLabels.size(); ++row) {
      const bool has = own != nullptr && row < own->table.size();
      cells[column].push_back(has ? visibleText(own->table[row].second) : "-");
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
  appendLine("", [&](std::size_t column) { return names[column]; });
  std::size_t ruleWidth = labelWidth;
  for (std::size_t width : widths) ruleWidth += 2 + width;
  out.append(ruleWidth, '-');
  out += '\n';
  for (std::size_t row = 0; row < rows.size(); ++row) {
    appendLine(labels[row], [&](std::size_t column) { return cells[column][row]; });
  }
  for (std::size_t row = 0; row < extraLabels.size(); ++row) {
    const std::size_t index = rows.size() + row;
    appendLine(extraLabels[row], [&](std::size_t column) { return cells[column][index]; });
  }
  return out;
}

}  // namespace

ExtraField ExtraField::of(std::string key, double value) {
  ExtraField field;
  field.key = std::move(key);
  field.number = value;
  return field;
}

ExtraField ExtraField::of(std::string key, std::string value) {
  ExtraField field;
  field.key = std::move(key);
  field.kind = Kind::Text;
  field.text = std::move(value);
  return field;
}

ExtraField ExtraField::flagOf(std::string key, bool value) {
  ExtraField field;
  field.key = std::move(key);
  field.kind = Kind::Flag;
  field.flag = value;
  return field;
}

}  // namespace Brusk::Frontend
