// The Python module brusk._brusk: wall files, the catalogue, compute(), the report and the
// registration of the other commands' bindings. It parses, calls, words and prints; every number
// comes from Brusk::Engine, every message from Brusk::Frontend, and the Python layer
// (python/brusk) builds its objects and arrays from what this returns.

#include <pybind11/complex.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <complex>
#include <cstddef>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "bindings.h"
#include "brusk/engine/constants.h"
#include "brusk/engine/quantities.h"
#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/element_output.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/input_files.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/plausibility.h"
#include "brusk/frontend/quantity_output.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall_document.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/wall_schema.h"

#ifdef BRUSK_PYTHON_HAS_REPORT
#include "brusk/batch/atomic_file.h"
#include "brusk/frontend/provenance.h"
#include "brusk/report/html_report.h"
#include "brusk/report/report_limits.h"
#endif

namespace py = pybind11;

namespace {

using Brusk::Engine::Complex;
using Brusk::Engine::LayerProperties;
using Brusk::Engine::WallResult;
using Brusk::Frontend::Catalogue;
using Brusk::Frontend::Error;
using Brusk::Frontend::Wall;

std::complex<double> toPython(const Complex& value) {
  return {value.getRealPart(), value.getImaginaryPart()};
}

/// The built-in catalogue, read once, or a new one with the `--materials` files added.
std::shared_ptr<const Catalogue> catalogueWith(const std::vector<std::string>& materialFiles) {
  static const auto builtIn = std::make_shared<const Catalogue>(Catalogue::builtIn());
  if (materialFiles.empty()) return builtIn;
  return std::make_shared<const Catalogue>(Catalogue::withFiles(materialFiles));
}

/// A wall read from a file or a dict, with what names it in messages (the file, as
/// `brusk compute` names it before the engine's reason).
struct PyWall {
  Wall wall;
  std::string source;
  /// The files the wall was read from (its file, its catalogues), which a writer never replaces.
  std::vector<std::string> inputs;
};

PyWall loadWall(const std::string& path, const std::vector<std::string>& materialFiles) {
  std::vector<std::string> inputs{path};
  inputs.insert(inputs.end(), materialFiles.begin(), materialFiles.end());
  return {Brusk::Frontend::loadWallFile(path, *catalogueWith(materialFiles)), path, inputs};
}

/// A wall object in JSON text with the wall-file keys, read by the file reader's JSON path.
PyWall parseWall(const std::string& json, const std::string& source,
                 const std::vector<std::string>& materialFiles) {
  return {Brusk::Frontend::parseWallLine(json, *catalogueWith(materialFiles), source, "wall"),
          source, materialFiles};
}

struct PyResult {
  std::string name;
  WallResult result;
  /// What an ISO 6946 element adds (R'_T, R''_T, e, the corrections and U_c, its paths); empty
  /// for a plain wall, whose outputs are then exactly as ever.
  Brusk::Frontend::ExtraFields extras;

  [[nodiscard]] std::string json() const {
    if (!extras.empty()) {
      return Brusk::Frontend::formatJson({{name, result}}, Brusk::Frontend::JsonLayout::Indented,
                                         {extras});
    }
    std::string out;
    Brusk::Frontend::appendJson(name, result, out, Brusk::Frontend::JsonLayout::Indented);
    return out;
  }
  [[nodiscard]] std::string table() const {
    if (!extras.empty()) return Brusk::Frontend::formatTable({{name, result}}, {extras});
    return Brusk::Frontend::formatTable({{name, result}});
  }
  /// Every value of the quantity description by its key, and the complex Y12, Y11 and Y22
  /// (which the JSON output gives by modulus and time shift) under "<key>.value".
  [[nodiscard]] py::dict values() const {
    py::dict values;
    for (const Brusk::Engine::Quantity& q : Brusk::Engine::quantities()) {
      if (q.scope != Brusk::Engine::QuantityScope::Wall) continue;
      const std::string key(q.key);
      if (q.wallNumber) {
        // A figure not computed (the sequential estimate of a wall with none) is None, as the
        // JSON output's null, never a number.
        const double value = q.wallNumber(result);
        values[key.c_str()] = std::isfinite(value) ? py::object(py::float_(value)) : py::none();
      }
      if (q.wallComplex) values[key.c_str()] = toPython(q.wallComplex(result));
      if (q.wallText) values[key.c_str()] = q.wallText(result);
    }
    // An element's own figures, by the keys its JSON gives them (the Element scope).
    for (const Brusk::Frontend::ExtraField& field : extras.fields) {
      switch (field.kind) {
        case Brusk::Frontend::ExtraField::Kind::Number:
          values[field.key.c_str()] = field.number;
          break;
        case Brusk::Frontend::ExtraField::Kind::Text:
          values[field.key.c_str()] = field.text;
          break;
        case Brusk::Frontend::ExtraField::Kind::Flag:
          values[field.key.c_str()] = field.flag;
          break;
      }
    }
    values["periodic_thermal_transmittance.value"] = toPython(result.periodicThermalTransmittance);
    values["internal_admittance.value"] = toPython(result.internalAdmittance);
    values["external_admittance.value"] = toPython(result.externalAdmittance);
    return values;
  }
};

PyResult computeWall(const PyWall& source, double periodHours) {
  Wall wall = source.wall;
  wall.request.period = periodHours * Brusk::Engine::kSecondsPerHour;
  Brusk::Frontend::ComputedWall computed =
      Brusk::Frontend::computeWallOrElement(wall, source.source);
  return {std::move(computed.result.name), computed.result.result, std::move(computed.extras)};
}

#ifdef BRUSK_PYTHON_HAS_REPORT
void writeReport(const std::vector<const PyWall*>& walls, const std::string& path,
                 const std::string& title, double amplitude, double periodHours,
                 const Brusk::Frontend::ProjectFields& project) {
  Brusk::Report::requireTemperatureAmplitude(amplitude, "amplitude");
  // The check of `brusk report -o`: the page never replaces a file a wall was read from.
  for (const PyWall* wall : walls) Brusk::Frontend::refuseToOverwriteInputs(path, wall->inputs);
  std::vector<Wall> reported;
  for (const PyWall* wall : walls) {
    // Refused walls get the words and the source that compute() gives them.
    (void)computeWall(*wall, wall->wall.request.period / Brusk::Engine::kSecondsPerHour);
    reported.push_back(wall->wall);
  }
  Brusk::Frontend::requirePeriodHours(periodHours, "period_hours");
  Brusk::Report::ReportOptions options;
  options.title = title;
  options.temperatureAmplitude = amplitude;
  options.period = periodHours * Brusk::Engine::kSecondsPerHour;
  // The provenance `brusk report` gives: the files the walls were read from, with their hashes.
  std::vector<std::string> files;
  Brusk::Frontend::ReportBasis basis;
  basis.periodHours = periodHours;
  for (const PyWall* wall : walls) {
    files.insert(files.end(), wall->inputs.begin(), wall->inputs.end());
    for (const Brusk::Frontend::LayerLabel& label : wall->wall.labels) {
      basis.catalogue = basis.catalogue || !label.materialKey.empty();
    }
  }
  options.provenance = Brusk::Frontend::reportProvenance(files, basis, project);
  const std::string html = Brusk::Report::renderHtmlReport(reported, options);
  Brusk::Batch::AtomicOutputFile file(path);
  file.stream() << html;
  file.commit();
}
#endif

std::string materialsJson(const std::string& filter,
                          const std::vector<std::string>& materialFiles) {
  return Brusk::Frontend::formatCatalogueJson(catalogueWith(materialFiles)->filter(filter));
}

/// The wall as the Python layer shows it, by its wall-file keys: the overrides, orientation and
/// site irradiance None where not given, the layers as dicts.
py::dict describe(const PyWall& source) {
  const Wall& wall = source.wall;
  py::dict described;
  described["name"] = wall.name;
  described["position"] =
      Brusk::Frontend::Schema::positionNames()[static_cast<std::size_t>(wall.request.position)];
  described["heat_flow"] =
      Brusk::Frontend::Schema::heatFlowNames()[static_cast<std::size_t>(wall.request.heatFlow)];
  described["rsi"] = wall.request.internalSurfaceResistance;
  described["rse"] = wall.request.externalSurfaceResistance;
  described["orientation"] =
      wall.orientation.empty() ? py::object(py::none()) : py::str(wall.orientation);
  described["site_irradiance"] = wall.siteIrradiance;
  described["document"] = wall.document;
  py::list layers;
  for (std::size_t i = 0; i < wall.request.layers.size(); ++i) {
    const LayerProperties& layer = wall.request.layers[i];
    py::dict item;
    item["name"] = wall.labels[i].name;
    if (!wall.labels[i].materialKey.empty()) item["material"] = wall.labels[i].materialKey;
    item["family"] = wall.labels[i].family;
    if (layer.isPureResistance()) {
      item["thermal_resistance"] = layer.resistance;
    } else {
      item["thickness"] = layer.thickness;
      item["conductivity"] = layer.conductivity;
      item["density"] = layer.density;
      item["specific_heat"] = layer.specificHeat;
    }
    layers.append(item);
  }
  described["layers"] = layers;
  return described;
}

}  // namespace

PYBIND11_MODULE(_brusk, m) {
  m.doc() = "Brusk's engine and frontend: ISO 13786 dynamic thermal characteristics.";
  py::register_exception<Error>(m, "WallError", PyExc_ValueError);
  Brusk::Python::registerResponseMany(m);
  Brusk::Python::registerColumns(m);

  py::class_<PyWall>(m, "_Wall")
      .def("_describe", &describe)
      .def(
          "_plausibility",
          [](const PyWall& wall) {
            std::vector<std::string> warnings = Brusk::Frontend::plausibilityWarnings(wall.wall);
            for (std::string& warning : warnings) warning = wall.source + ": " + warning;
            return warnings;
          },
          "values no building material has, with their likely slip of units");

  m.def("_load_wall", &loadWall, py::arg("path"), py::arg("materials"));
  m.def("_parse_wall", &parseWall, py::arg("json"), py::arg("source"), py::arg("materials"));

  py::class_<PyResult>(m, "_Result")
      .def_property_readonly("name", [](const PyResult& r) { return r.name; })
      .def("_values", &PyResult::values)
      .def("_json", &PyResult::json, "the object `brusk compute --format json` prints")
      .def("_table", &PyResult::table, "the table `brusk compute` prints");

  m.def("_compute", &computeWall, py::arg("wall"), py::arg("period_hours"));
  m.def("_wall_schema_json", &Brusk::Frontend::formatWallSchemaJson,
        "the wall schema, as `brusk schema --format json` prints it");
  m.def(
      "_wall_toml", [](const PyWall& wall) { return Brusk::Frontend::formatWallToml(wall.wall); },
      py::arg("wall"));
  m.def(
      "_wall_json", [](const PyWall& wall) { return Brusk::Frontend::formatWallJson(wall.wall); },
      py::arg("wall"));
  m.def("_materials_json", &materialsJson, py::arg("filter"), py::arg("materials"));
#ifdef BRUSK_PYTHON_HAS_REPORT
  m.def(
      "_report",
      [](const std::vector<const PyWall*>& walls, const std::string& path,
         const std::string& title, double amplitude, double periodHours,
         const std::string& project, const std::string& element, const std::string& author) {
        writeReport(walls, path, title, amplitude, periodHours, {project, element, author});
      },
      py::arg("walls"), py::arg("path"), py::arg("title"), py::arg("amplitude"),
      py::arg("period_hours"), py::arg("project"), py::arg("element"), py::arg("author"));
#endif
  m.def("_visible_text", &Brusk::Frontend::visibleText,
        "the text with control characters written visibly, as the CLI prints names");
  m.def("_quantities_json", &Brusk::Frontend::formatQuantitiesJson,
        "the quantity description, as `brusk quantities --format json` prints it");
  const Brusk::Python::WallOf wallOf = [](py::handle wall) {
    const PyWall& native = wall.cast<const PyWall&>();
    return std::make_pair(&native.wall, native.source);
  };
  Brusk::Python::registerCommands(m, wallOf, &catalogueWith);
  Brusk::Python::registerMoisture(m, wallOf);
  Brusk::Python::registerCheck(m, wallOf);
  Brusk::Python::registerValidate(m);
  Brusk::Python::registerBridge(m, &catalogueWith);
}
