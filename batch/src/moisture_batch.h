#pragma once

// Internal: `brusk batch --climate`: the ISO 13788 moisture assessment of one wall per line.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "brusk/batch/line_pipeline.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/moisture.h"

namespace Brusk::Batch::Detail {

/// The moisture mode of a batch run: every line read by the full wall reader (which takes the
/// layers' vapour keys and the catalogue's mu), assessed under one climate, written as a CSV row
/// of the year's results or as a JSON line with the object of `brusk moisture --format json`.
class MoistureBatch {
public:
  MoistureBatch(const Frontend::Catalogue& catalogue, const std::string& sourceName,
                Frontend::Climate climate, bool csv);

  /// The CSV header (with its newline), or nothing for JSON Lines.
  [[nodiscard]] const std::string& header() const { return _header; }
  /// A row that keeps a bad line's place under its wall's `name` (Frontend::lineWallName) and
  /// says why it has no result.
  void error(std::size_t lineNumber, const std::string& name, const std::string& reason,
             std::string& out) const;
  /// One worker's processor.
  [[nodiscard]] std::unique_ptr<BlockProcessor> makeBlock() const;

  /// Appends the row or line of an assessed wall.
  void result(const Frontend::MoistureReport& report, std::string& out) const;
  /// Reads line `number` and assesses it; false with the message in `error`.
  bool assess(std::string_view text, std::size_t number, Frontend::MoistureReport& report,
              std::string& error) const;

private:
  const Frontend::Catalogue& _catalogue;
  const std::string& _sourceName;
  const Frontend::Climate _climate;
  const bool _csv;
  std::string _header;
};

}  // namespace Brusk::Batch::Detail
