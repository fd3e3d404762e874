#include "brusk/frontend/quantity_output.h"

#include <algorithm>
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
  const std::vector<std::string> header = {"command", "key", "symbol", "unit", "quantity"};
  std::vector<std::vector<std::string>> rows;
  for (const Engine::Quantity& q : Engine::quantities()) {
    rows.push_back({Engine::quantityScopeName(q.scope), std::string(q.key),
                    std::string(q.symbolUnicode), std::string(q.displayUnitUnicode),
                    std::string(q.label)});
  }
  std::string out;
  appendAlignedTable(out, header, rows, [](std::size_t) { return false; });
  return out;
}

}  // namespace Brusk::Frontend
