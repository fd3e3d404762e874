// `brusk batch --outdoor`: the profiles analysed once, then per wall its harmonics through the
// many-wall kernel and its series by an inverse FFT (Engine::computeProfileSeries), written as
// one summary row or as the series' rows.
#include "response_block.h"

#include <algorithm>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

#include "brusk/engine/constants.h"
#include "brusk/engine/wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/line_wall_name.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/profile_response.h"
#include "brusk/frontend/response_summary.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/wall_schema.h"
#include "fast_wall_line.h"

namespace Brusk::Batch {

using Frontend::Error;

bool readBatchWall(std::string_view text, std::size_t lineNumber,
                   const Frontend::Catalogue& catalogue, const std::string& sourceName,
                   Frontend::Wall& wall, std::string& error) {
  if (readPlainWallLine(text, catalogue, lineNumber, wall)) return true;
  const std::string source = sourceName + ":" + std::to_string(lineNumber);
  try {
    wall = Frontend::parseWallLine(text, catalogue, source,
                                   Frontend::Schema::defaultLineWallName(lineNumber));
  } catch (const Error& wallError) {
    error = wallError.what();
    return false;
  }
  return true;
}

std::string responseHeader(const ResponseBatchProfiles& profiles, bool csv) {
  std::string header;
  if (!csv) return header;
  if (profiles.series) {
    Frontend::appendSeriesCsvHeader(header);
  } else {
    Frontend::appendSummaryCsvHeader(header);
  }
  return header;
}

void appendResponseError(const ResponseBatchProfiles& profiles, bool csv, std::size_t lineNumber,
                         const std::string& name, const std::string& reason, std::string& out) {
  if (!csv) {
    out += "{\"line\":" + std::to_string(lineNumber) + ",\"name\":";
    Frontend::appendJsonString(name, out);
    out += ",\"error\":";
    Frontend::appendJsonString(reason, out);
    out += "}\n";
    return;
  }
  // The line number and the name, then empty cells up to the error column.
  const std::size_t emptyCells = profiles.series ? 3 : Frontend::responseSummaryQuantities().size();
  out += std::to_string(lineNumber);
  out += ',';
  Frontend::appendCsvText(name, out);
  out.append(emptyCells, ',');
  out += ',';
  Frontend::appendCsvText(reason, out);
  out += '\n';
}

/// What every worker shares, read only.
struct ResponseRun::Shared {
  const ResponseBatchProfiles& profiles;
  const Frontend::Catalogue& catalogue;
  std::string sourceName;
  bool csv;
  double period = 0.0;             ///< T [s]
  Engine::AnalysedProfiles plain;  ///< the profiles without sun (or all there is)
};

namespace {

/// Sol-air profiles analysed per external surface resistance, the part of theta_sa =
/// theta_e + alpha I Rse - epsilon Delta R Rse that differs between walls; a few per thread.
class SolAirCache {
public:
  const Engine::AnalysedProfiles& forResistance(const ResponseRun::Shared& shared, double rse) {
    for (const auto& [resistance, profiles] : _entries) {
      if (resistance == rse) return profiles;
    }
    if (_entries.size() == kEntries) _entries.pop_back();
    Engine::SolAirSurface surface = shared.profiles.surface;
    surface.externalSurfaceResistance = rse;
    Engine::ProfileRequest request;
    request.indoor = shared.profiles.indoor;
    // The outdoor samples and irradiances were checked with the run; Rse is the wall's own,
    // checked with it.
    request.outdoor = std::get<std::vector<double>>(
        Engine::solAirProfile(shared.profiles.outdoor, shared.profiles.irradiance, surface));
    _entries.emplace(
        _entries.begin(), rse,
        std::get<Engine::AnalysedProfiles>(Engine::analyseProfiles(request, shared.period)));
    return _entries.front().second;
  }

private:
  static constexpr std::size_t kEntries = 8;
  std::vector<std::pair<double, Engine::AnalysedProfiles>> _entries;
};

class ResponseBlock final : public BlockProcessor {
public:
  explicit ResponseBlock(const ResponseRun::Shared& shared) : _shared(shared) {}

  void prepare(const InputLine* lines, std::size_t count) override {
    _lines = lines;
    if (_results.size() < count) _results.resize(count);
    for (std::size_t i = 0; i < count; ++i) respond(lines[i], _results[i]);
  }

  bool write(std::size_t index, std::string& out, std::string& error) override {
    const Result& result = _results[index];
    const std::size_t lineNumber = _lines[index].number;
    const ResponseBatchProfiles& profiles = _shared.profiles;
    if (!result.error.empty()) {
      error = result.error;
      appendResponseError(profiles, _shared.csv, lineNumber,
                          Frontend::lineWallName(_lines[index].text, lineNumber), error, out);
      return false;
    }
    if (profiles.series) {
      if (_shared.csv) {
        Frontend::appendSeriesCsvRows(lineNumber, result.name, result.series, profiles.periodHours,
                                      profiles.startHours, out);
      } else {
        Frontend::appendSeriesJsonLine(lineNumber, result.name, result.series, profiles.periodHours,
                                       profiles.startHours, out);
      }
    } else if (_shared.csv) {
      Frontend::appendSummaryCsvRow(lineNumber, result.name, result.series.summary,
                                    profiles.startHours, out);
    } else {
      Frontend::appendSummaryJsonLine(lineNumber, result.name, result.series.summary,
                                      profiles.startHours, out);
    }
    return true;
  }

private:
  struct Result {
    std::string name;
    std::string error;  ///< empty: computed
    Engine::ProfileSeries series;
  };

  void respond(const InputLine& line, Result& result) {
    result.error.clear();
    if (!readBatchWall(line.text, line.number, _shared.catalogue, _shared.sourceName, _wall,
                       result.error)) {
      return;
    }
    result.name = _wall.name;
    // Messages show the period the wall is checked at (a leap year's profiles: 365 days).
    _wall.request.period = std::min(_shared.period, Engine::kLongestPeriod);
    const std::string where = _shared.sourceName + ":" + std::to_string(line.number) + ": ";
    const Engine::AnalysedProfiles* profiles = &_shared.plain;
    if (!_shared.profiles.irradiance.empty()) {
      if (_wall.request.position == Engine::ElementPosition::Internal) {
        result.error = where + "--solar is for an external wall; this wall is a partition";
        return;
      }
      if (auto problem = Engine::checkSurfaceResistances(_wall.request)) {
        result.error = where + Frontend::describeProblem(*problem, _wall);
        return;
      }
      profiles = &_solAir.forResistance(_shared, _wall.request.surfaceResistances().external);
    }
    if (auto problem = Engine::computeProfileSeries(_wall.request, *profiles, result.series)) {
      result.error = where + Frontend::describeProblem(*problem, _wall);
    }
  }

  const ResponseRun::Shared& _shared;
  const InputLine* _lines = nullptr;
  Frontend::Wall _wall;
  std::vector<Result> _results;
  SolAirCache _solAir;
};

}  // namespace

ResponseRun::ResponseRun(const ResponseBatchProfiles& profiles,
                         const Frontend::Catalogue& catalogue, std::string sourceName, bool csv)
    : _shared(std::make_unique<Shared>(
          Shared{profiles, catalogue, std::move(sourceName), csv, 0.0, {}})) {
  _shared->period = profiles.periodHours * Engine::kSecondsPerHour;
  Engine::ProfileRequest request;
  request.indoor = profiles.indoor;
  request.outdoor = profiles.outdoor;
  if (!profiles.irradiance.empty()) {
    // The sun's problems once for the run, at the conventional Rse (each wall has its own).
    Engine::SolAirSurface surface = profiles.surface;
    surface.externalSurfaceResistance = 0.04;
    auto solAir = Engine::solAirProfile(profiles.outdoor, profiles.irradiance, surface);
    if (const auto* problem = std::get_if<Engine::ProfileProblem>(&solAir)) {
      throw Error(profiles.outdoorSource + ": " + Frontend::describeProfileProblem(*problem));
    }
    request.outdoor = std::get<std::vector<double>>(std::move(solAir));
  }
  auto analysed = Engine::analyseProfiles(request, _shared->period);
  if (const auto* problem = std::get_if<Engine::ProfileProblem>(&analysed)) {
    throw Error(
        Frontend::describeProfileProblem(*problem, profiles.indoorSource, profiles.outdoorSource));
  }
  _shared->plain = std::get<Engine::AnalysedProfiles>(std::move(analysed));
}

ResponseRun::~ResponseRun() = default;

std::unique_ptr<BlockProcessor> ResponseRun::makeProcessor() const {
  return std::make_unique<ResponseBlock>(*_shared);
}

}  // namespace Brusk::Batch
