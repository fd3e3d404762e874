#include "commands.h"
#include "bridge_command.h"
#include "plausibility_warnings.h"
#include "zone_command.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

#include "brusk/batch/atomic_file.h"
#include "brusk/engine/constants.h"
#include "brusk/engine/wall.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/element_output.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/input_files.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/requirements.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall_parser.h"

#ifdef BRUSK_CLI_HAS_REPORT
#include "brusk/report/html_report.h"
#include "brusk/report/report_limits.h"
#endif

namespace Brusk::Cli {

namespace {

using Frontend::Catalogue;
using Frontend::CatalogueEntry;
using Frontend::Error;
using Frontend::NamedResult;
using Frontend::Wall;

}  // namespace

std::string numberText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

namespace {

std::vector<Wall> loadWalls(const std::vector<std::string>& files, const Catalogue& catalogue) {
  std::vector<Wall> walls;
  walls.reserve(files.size());
  for (const std::string& file : files) {
    walls.push_back(Frontend::loadWallFile(file, catalogue));
    warnOfImplausibleValues(walls.back(), file);
  }
  return walls;
}

/// Computes each wall of `files` (one each, in order) at its request's period; a wall the engine
/// refuses fails the command with the file named before the reason.
std::vector<NamedResult> computeWalls(const std::vector<std::string>& files,
                                      const std::vector<Wall>& walls) {
  std::vector<NamedResult> results;
  results.reserve(walls.size());
  for (std::size_t i = 0; i < walls.size(); ++i) {
    try {
      results.push_back({walls[i].name, Frontend::computeWall(walls[i])});
    } catch (const Error& error) {
      throw Error(files[i] + ": " + error.what());
    }
  }
  return results;
}

#ifdef BRUSK_CLI_HAS_REPORT
Report::ReportProfile reportProfile(const ResponseOptions& options) {
  const ProfileInputs inputs = readProfileInputs(options);
  return {inputs.indoor,
          inputs.outdoor,
          inputs.periodHours * Engine::kSecondsPerHour,
          inputs.startHours.value_or(0.0),
          inputs.indoorSource,
          options.outdoorFile};
}
#endif

}  // namespace

std::string runCompute(const ComputeOptions& options) {
  Frontend::requirePeriodHours(options.periodHours);
  const double period = options.periodHours * Engine::kSecondsPerHour;
  const Catalogue catalogue = Catalogue::withFiles(options.materialFiles);
  std::vector<Wall> walls = loadWalls(options.files, catalogue);
  for (Wall& wall : walls) wall.request.period = period;
  // Walls of parts, ventilated air layers or corrections add their element quantities after
  // the usual ones; an output of plain walls only is written exactly as ever.
  std::vector<Frontend::ExtraFields> extras(walls.size());
  bool anyElement = false;
  std::vector<NamedResult> results;
  results.reserve(walls.size());
  for (std::size_t i = 0; i < walls.size(); ++i) {
    Frontend::ComputedWall computed = Frontend::computeWallOrElement(walls[i], options.files[i]);
    results.push_back(std::move(computed.result));
    extras[i] = std::move(computed.extras);
    anyElement = anyElement || Frontend::isElement(walls[i]);
  }
  if (!anyElement) extras.clear();
  if (options.format == "json")
    return Frontend::formatJson(results, Frontend::JsonLayout::Indented, extras);
  if (options.format == "csv") return Frontend::formatCsv(results, extras);
  return Frontend::formatTable(results, extras);
}

std::string runMaterials(const std::string& text, const std::vector<std::string>& materialFiles,
                         bool json) {
  const Catalogue catalogue = Catalogue::withFiles(materialFiles);
  const std::vector<const CatalogueEntry*> entries = catalogue.filter(text);
  if (json) return Frontend::formatCatalogueJson(entries);
  if (entries.empty()) throw Error("no catalogue material matches \"" + text + "\"");

  const std::vector<std::string> headers = {"Key",       "Name",         "Family", "λ [W/(m.K)]",
                                            "ρ [kg/m3]", "c [J/(kg.K)]", "Source"};
  std::vector<std::vector<std::string>> rows;
  for (const CatalogueEntry* entry : entries) {
    rows.push_back({Frontend::visibleText(entry->key), Frontend::visibleText(entry->name),
                    entry->family, numberText(entry->conductivity), numberText(entry->density),
                    numberText(entry->specificHeat), Frontend::visibleText(entry->source)});
  }
  std::vector<std::size_t> widths;
  for (const std::string& header : headers) widths.push_back(Frontend::displayWidth(header));
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      widths[i] = std::max(widths[i], Frontend::displayWidth(row[i]));
    }
  }
  std::string out;
  const auto appendRow = [&](const std::vector<std::string>& row) {
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) out += "  ";
      const bool numeric = i >= 3 && i <= 5;
      if (i + 1 == row.size()) {
        out += row[i];  // last column unpadded: no trailing blanks
      } else {
        Frontend::appendPadded(out, row[i], widths[i], numeric);
      }
    }
    out += '\n';
  };
  appendRow(headers);
  for (const auto& row : rows) appendRow(row);
  return out;
}

std::string runReport(const ReportCommandOptions& options) {
#ifdef BRUSK_CLI_HAS_REPORT
  Report::requireTemperatureAmplitude(options.amplitude, "--amplitude");
  // The destination is checked before any wall is read, and never replaces one of the inputs:
  // the files named here first, then those they name (a zone's wall files) once read.
  std::vector<std::string> inputs = options.files;
  inputs.insert(inputs.end(), options.materialFiles.begin(), options.materialFiles.end());
  for (const std::string* profile : {&options.profile.outdoorFile, &options.profile.indoorFile}) {
    if (!profile->empty()) inputs.push_back(*profile);
  }
  std::optional<Batch::AtomicOutputFile> page;
  try {
    if (!options.moisture.climate.empty()) inputs.push_back(options.moisture.climate);
    if (!options.requirements.empty() && Frontend::isRequirementsFile(options.requirements)) {
      inputs.push_back(options.requirements);
    }
    if (!options.projectFile.empty()) inputs.push_back(options.projectFile);
    Frontend::refuseToOverwriteInputs(options.output, inputs);
    page.emplace(options.output);
  } catch (const Error& error) {
    throw Error(std::string("-o: ") + error.what());
  }
  const Catalogue catalogue = Catalogue::withFiles(options.materialFiles);
  std::vector<std::string> wallFiles, zoneOrWallFiles;
  std::vector<Frontend::JunctionReport> junctions =
      loadReportJunctions(options.files, catalogue, zoneOrWallFiles);
  std::vector<Frontend::ZoneReport> zones = loadReportZones(zoneOrWallFiles, catalogue, wallFiles);
  try {
    for (const Frontend::ZoneReport& zone : zones) {
      Frontend::refuseToOverwriteInputs(options.output, zone.zone.files);
    }
    for (const Frontend::JunctionReport& junction : junctions) {
      Frontend::refuseToOverwriteInputs(options.output, junction.junction.files);
    }
  } catch (const Error& error) {
    throw Error(std::string("-o: ") + error.what());
  }
  if (wallFiles.empty() && !options.profile.outdoorFile.empty()) {
    throw Error(
        "--outdoor draws the response of walls, and the report names only zones: give "
        "the walls' own files to plot their response to " +
        options.profile.outdoorFile);
  }
  const std::vector<Wall> walls = loadWalls(wallFiles, catalogue);
  // Refused walls get the words and the file name that `brusk compute` gives them.
  (void)computeWalls(wallFiles, walls);
  Report::ReportOptions reportOptions;
  reportOptions.zones = std::move(zones);
  reportOptions.junctions = std::move(junctions);
  reportOptions.title = options.title;
  reportOptions.temperatureAmplitude = options.amplitude;
  if (!options.profile.outdoorFile.empty()) {
    reportOptions.profile = reportProfile(options.profile);
    reportOptions.period = reportOptions.profile->period;
  } else if (options.profile.periodHours) {
    Frontend::requirePeriodHours(*options.profile.periodHours);
    reportOptions.period = *options.profile.periodHours * Engine::kSecondsPerHour;
  }
  addMoistureToReport(options.moisture, walls, wallFiles, reportOptions);
  if (!options.requirements.empty()) {
    const Engine::RequirementSet set = Frontend::loadRequirements(options.requirements);
    // The report's climate gives the moisture results a rule may test.
    const Frontend::Climate* climate =
        options.moisture.climate.empty() ? nullptr : &reportOptions.moistureClimate;
    for (std::size_t w = 0; w < walls.size(); ++w) {
      Wall wall = walls[w];
      wall.request.period = reportOptions.period;
      try {
        reportOptions.requirements.push_back(
            Frontend::checkWall(wall, set, climate, wallFiles[w]));
      } catch (const Error& error) {
        throw Error(wallFiles[w] + ": " + error.what());
      }
    }
  }
  // Where the results came from: every file read, each once, walls before the files they use.
  Frontend::ProjectFields project;
  if (!options.projectFile.empty()) project = Frontend::loadProjectFile(options.projectFile);
  for (const auto& [field, given] : {std::pair{&project.project, &options.project.project},
                                     std::pair{&project.element, &options.project.element},
                                     std::pair{&project.author, &options.project.author}}) {
    if (!given->empty()) *field = *given;
  }
  std::vector<std::string> provenanceFiles = options.files;
  for (const Frontend::ZoneReport& zone : reportOptions.zones) {
    provenanceFiles.insert(provenanceFiles.end(), zone.zone.files.begin(), zone.zone.files.end());
  }
  provenanceFiles.insert(provenanceFiles.end(),
                         inputs.begin() + static_cast<std::ptrdiff_t>(options.files.size()),
                         inputs.end());
  Frontend::ReportBasis basis;
  basis.periodHours = reportOptions.period / Engine::kSecondsPerHour;
  basis.zones = !reportOptions.zones.empty();
  basis.moisture = !options.moisture.climate.empty();
  basis.humidityClass = options.moisture.humidityClass;
  for (const Wall& wall : walls) {
    for (const Frontend::LayerLabel& label : wall.labels) {
      basis.catalogue = basis.catalogue || !label.materialKey.empty();
    }
  }
  reportOptions.provenance = Frontend::reportProvenance(provenanceFiles, basis, project);
  const std::string html = Report::renderHtmlReport(walls, reportOptions);

  // A reader never sees half a page: the file appears whole, or not at all.
  page->stream() << html;
  page->commit();
  const std::size_t zoneCount = reportOptions.zones.size();
  const std::size_t junctionCount = reportOptions.junctions.size();
  return "wrote " + options.output + " (" + std::to_string(walls.size()) +
         (walls.size() == 1 ? " wall" : " walls") +
         (zoneCount == 0
              ? std::string()
              : ", " + std::to_string(zoneCount) + (zoneCount == 1 ? " zone" : " zones")) +
         (junctionCount == 0 ? std::string()
                             : ", " + std::to_string(junctionCount) +
                                   (junctionCount == 1 ? " junction" : " junctions")) +
         ")\n";
#else
  (void)options;
  throw Error("this brusk was built without the HTML report library");
#endif
}

}  // namespace Brusk::Cli
