#include "brusk/frontend/quantity_output.h"

#include <algorithm>
#include <array>
#include <vector>

#include "brusk/engine/quantities.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/shortest_double.h"
#include "brusk/frontend/text_util.h"

namespace Brusk::Frontend {

namespace {

void appendMember(std::string& out, const char* key, std::string_view text, bool first = false) {
  if (!first) out += ", ";
  out += '"';
  out += key;
  out += "\": ";
  appendJsonString(text, out);
}

std::string shortest(double value) {
  char buffer[kShortestDoubleRoom];
  return std::string(buffer, writeShortestDouble(value, buffer));
}

}  // namespace

std::string formatQuantitiesJson() {
  std::string out = "[";
  bool firstQuantity = true;
  for (const Engine::Quantity& q : Engine::quantities()) {
    out += firstQuantity ? "\n  {" : ",\n  {";
    firstQuantity = false;
    appendMember(out, "scope", Engine::quantityScopeName(q.scope), true);
    appendMember(out, "key", q.key);
    appendMember(out, "type", Engine::quantityTypeName(q.type));
    appendMember(out, "label", q.label);
    appendMember(out, "symbol", q.symbol);
    appendMember(out, "symbol_unicode", q.symbolUnicode);
    appendMember(out, "symbol_html", q.symbolHtml);
    appendMember(out, "unit", q.unit);
    appendMember(out, "display_unit", q.displayUnit);
    appendMember(out, "display_unit_unicode", q.displayUnitUnicode);
    out += ", \"display_scale\": " + shortest(q.displayScale);
    out += ", \"decimals\": " + std::to_string(q.decimals);
    const std::string column = q.csvColumn();
    if (column.empty()) {
      out += ", \"csv_column\": null";
    } else {
      appendMember(out, "csv_column", column);
    }
    appendMember(out, "definition", q.definition);
    appendMember(out, "source", q.source);
    out += '}';
  }
  out += "\n]\n";
  return out;
}

std::string formatQuantitiesTable() {
  const std::array<std::string, 5> header = {"command", "key", "symbol", "unit", "quantity"};
  std::vector<std::array<std::string, 5>> rows;
  for (const Engine::Quantity& q : Engine::quantities()) {
    rows.push_back({Engine::quantityScopeName(q.scope), std::string(q.key),
                    std::string(q.symbolUnicode), std::string(q.displayUnitUnicode),
                    std::string(q.label)});
  }
  std::array<std::size_t, 5> widths{};
  for (std::size_t c = 0; c < header.size(); ++c) {
    widths[c] = displayWidth(header[c]);
    for (const auto& row : rows) widths[c] = std::max(widths[c], displayWidth(row[c]));
  }
  std::string out;
  const auto appendRow = [&](const std::array<std::string, 5>& row) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) line += "  ";
      appendPadded(line, row[c], widths[c], false);
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + '\n';
  };
  appendRow(header);
  std::size_t ruleWidth = 0;
  for (std::size_t width : widths) ruleWidth += width + 2;
  out.append(ruleWidth - 2, '-');
  out += '\n';
  for (const auto& row : rows) appendRow(row);
  return out;
}

}  // namespace Brusk::Frontend
