#pragma once

#include <string>

namespace Brusk::Frontend {

/// The quantity description as a JSON array, one object per quantity with the keys `scope`,
/// `key`, `type`, `label`, `symbol`, `symbol_unicode`, `symbol_html`, `unit`, `display_unit`,
/// `display_unit_unicode`, `display_scale`, `decimals`, `csv_column` (null where the CSV has no
/// such column), `definition` and `source`: what `brusk quantities --format json`, Python's
/// `brusk.quantities()` and the page's `brusk.quantities()` give.
[[nodiscard]] std::string formatQuantitiesJson();

/// The same as a table a person reads: scope, key, symbol, display unit and label.
[[nodiscard]] std::string formatQuantitiesTable();

}  // namespace Brusk::Frontend
