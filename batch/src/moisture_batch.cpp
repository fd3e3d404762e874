#include "moisture_batch.h"

#include <cmath>
#include <utility>
#include <vector>

#include "brusk/frontend/error.h"
#include "brusk/frontend/line_wall_name.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/shortest_double.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/wall_schema.h"

namespace Brusk::Batch::Detail {

namespace {

constexpr const char* kColumns =
    "name,max_accumulated,max_month,max_depth,end_accumulated,dries_out,f_rsi,f_rsi_min,"
    "critical_month,passes,error";

/// g/m2 from kg/m2.
constexpr double kGramsPerKilogram = 1000.0;

void appendNumber(double value, std::string& out) {
  if (!std::isfinite(value)) return;  // an empty cell, never "nan"
  char text[Frontend::kShortestDoubleRoom];
  out.append(text, Frontend::writeShortestDouble(value == 0.0 ? 0.0 : value, text));
}

void appendMonth(std::size_t month, std::string& out) {
  if (month < 12) out += std::to_string(month + 1);
}

/// The indented JSON of `brusk moisture` on one line: a raw newline only ever ends a line of the
/// layout (strings escape theirs), so it and the indentation after it go.
std::string oneLine(const std::string& json) {
  std::string line;
  line.reserve(json.size());
  for (std::size_t i = 0; i < json.size(); ++i) {
    if (json[i] != '\n') {
      line += json[i];
      continue;
    }
    while (i + 1 < json.size() && json[i + 1] == ' ') ++i;
  }
  return line;
}

/// A block of lines, each read and assessed in prepare() on the worker's thread.
class MoistureBlock final : public BlockProcessor {
public:
  explicit MoistureBlock(const MoistureBatch& batch) : _batch(batch) {}

  void prepare(const InputLine* lines, std::size_t count) override {
    _rows.assign(count, std::string());
    _errors.assign(count, std::string());
    _good.assign(count, false);
    for (std::size_t i = 0; i < count; ++i) {
      if (_batch.assess(lines[i].text, lines[i].number, _report, _errors[i])) {
        _batch.result(_report, _rows[i]);
        _good[i] = true;
      } else {
        _batch.error(lines[i].number, Frontend::lineWallName(lines[i].text, lines[i].number),
                     _errors[i], _rows[i]);
      }
    }
  }

  bool write(std::size_t index, std::string& out, std::string& error) override {
    out += _rows[index];
    if (_good[index]) return true;
    error = _errors[index];
    return false;
  }

private:
  const MoistureBatch& _batch;
  Frontend::MoistureReport _report;
  std::vector<std::string> _rows;
  std::vector<std::string> _errors;
  std::vector<bool> _good;
};

}  // namespace

MoistureBatch::MoistureBatch(const Frontend::Catalogue& catalogue, const std::string& sourceName,
                             Frontend::Climate climate, bool csv)
    : _catalogue(catalogue), _sourceName(sourceName), _climate(std::move(climate)), _csv(csv) {
  if (_csv) _header = std::string(kColumns) + "\n";
}

void MoistureBatch::error(std::size_t lineNumber, const std::string& name,
                          const std::string& reason, std::string& out) const {
  if (_csv) {
    Frontend::appendCsvText(name, out);
    out += std::string(10, ',');
    Frontend::appendCsvText(reason, out);
    out += '\n';
  } else {
    out += "{\"line\":" + std::to_string(lineNumber) + ",\"name\":";
    Frontend::appendJsonString(name, out);
    out += ",\"error\":";
    Frontend::appendJsonString(reason, out);
    out += "}\n";
  }
}

std::unique_ptr<BlockProcessor> MoistureBatch::makeBlock() const {
  return std::make_unique<MoistureBlock>(*this);
}

bool MoistureBatch::assess(std::string_view text, std::size_t number,
                           Frontend::MoistureReport& report, std::string& error) const {
  const std::string source = _sourceName + ":" + std::to_string(number);
  try {
    const Frontend::Wall wall = Frontend::parseWallLine(
        text, _catalogue, source, Frontend::Schema::defaultLineWallName(number));
    report = Frontend::assessMoisture(wall, _climate, source);
  } catch (const Frontend::Error& failure) {
    error = failure.what();
    return false;
  }
  return true;
}

void MoistureBatch::result(const Frontend::MoistureReport& report, std::string& out) const {
  if (!_csv) {
    out += oneLine(Frontend::formatMoistureJson({report}, _climate));
    out += '\n';
    return;
  }
  const Engine::MoistureResult& result = report.result;
  Frontend::appendCsvText(report.wall.name, out);
  out += ',';
  appendNumber(result.maxAccumulated * kGramsPerKilogram, out);
  out += ',';
  appendMonth(result.maxMonth, out);
  out += ',';
  if (result.maxPlane < result.planes.size())
    appendNumber(result.planes[result.maxPlane].depth, out);
  out += ',';
  appendNumber(result.endAccumulated * kGramsPerKilogram, out);
  out += result.driesOut ? ",true," : ",false,";
  appendNumber(result.fRsi, out);
  out += ',';
  appendNumber(result.fRsiMin, out);
  out += ',';
  appendMonth(result.criticalMonth, out);
  out += result.surfacePasses ? ",true,\n" : ",false,\n";
}

}  // namespace Brusk::Batch::Detail
