// The WebAssembly face of Brusk: the wall reader, the engine, the result writer and the report,
// called from JavaScript with text in and text out. Every function here parses, calls the
// frontend and returns what the command-line tool prints; none computes anything of its own.
//
// Each call returns an object { ok: true, text } or { ok: false, message }, where `message` is the
// one `brusk` prints after "brusk: ", so that the page and the JavaScript API word a refused wall
// exactly as the command line does (C++ exceptions do not cross into JavaScript as Errors).

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <algorithm>
#include <exception>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "brusk/engine/constants.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/element_output.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/moisture.h"
#include "brusk/frontend/output.h"
#include "brusk/frontend/plausibility.h"
#include "brusk/frontend/profile_inputs.h"
#include "brusk/frontend/profile_reader.h"
#include "brusk/frontend/quantity_output.h"
#include "brusk/frontend/text_util.h"
#include "brusk/frontend/wall.h"
#include "brusk/frontend/wall_document.h"
#include "brusk/frontend/wall_parser.h"
#include "brusk/frontend/zone.h"
#include "brusk/frontend/zone_output.h"
#include "brusk/report/html_report.h"
#include "brusk/report/moisture_section.h"
#include "brusk/report/plot_words.h"
#include "brusk/report/plots.h"

namespace {

using Brusk::Frontend::Catalogue;
using Brusk::Frontend::Error;
using Brusk::Frontend::Wall;
using Brusk::Frontend::WallFormat;
using emscripten::val;

const Catalogue& catalogue() {
  static const Catalogue builtIn = Catalogue::builtIn();
  return builtIn;
}

val success(std::string text) {
  val reply = val::object();
  reply.set("ok", true);
  reply.set("text", std::move(text));
  return reply;
}

/// The number at the start of `text` ("2/fraction" gives 2), or none.
std::optional<int> leadingIndex(const std::string& text) {
  const std::size_t digits = std::min(text.find('/'), text.size());
  if (digits == 0 || text.find_first_not_of("0123456789") < digits || digits > 6) {
    return std::nullopt;
  }
  return std::stoi(text.substr(0, digits));
}

/// A message's parts as JSON: [{key, text, values: {name: value}}], each value a string, or
/// {number}, {key}, {word, key} or {choices, key} for what a page words in its language, and
/// `text` the part's English.
std::string messagePartsJson(const std::vector<Brusk::Engine::Message>& parts) {
  using Kind = Brusk::Engine::MessageValue::Kind;
  nlohmann::json list = nlohmann::json::array();
  for (const Brusk::Engine::Message& part : parts) {
    nlohmann::json values = nlohmann::json::object();
    for (const auto& [name, value] : part.values) {
      switch (value.kind) {
        case Kind::Text:
          values[name] = value.text;
          break;
        case Kind::Number:
          values[name] = {{"number", value.text}};
          break;
        case Kind::Key:
          values[name] = {{"key", value.text}};
          break;
        case Kind::Word:
          values[name] = {{"word", value.text}, {"key", value.key}};
          break;
        case Kind::Choices:
          values[name] = {{"choices", value.words}, {"key", value.key}};
          break;
      }
    }
    list.push_back(
        {{"key", part.key}, {"text", Brusk::Engine::englishText(part)}, {"values", values}});
  }
  return list.dump();
}

/// A refusal as data: the message, its parts by key where it is worded so (for the page's
/// languages), and where it names one value of the wall, its JSON pointer, its key
/// ("conductivity"), its layer (0 on side 1) and, in a layer of parts, its part (0 first), so
/// that the page shows it at the field without reading the words back.
val failure(const std::string& message, const std::string& pointer = "",
            const std::vector<Brusk::Engine::Message>& parts = {}) {
  val reply = val::object();
  reply.set("ok", false);
  reply.set("message", message);
  if (!parts.empty()) reply.set("parts", messagePartsJson(parts));
  if (pointer.empty()) return reply;
  reply.set("pointer", pointer);
  reply.set("key", pointer.substr(pointer.rfind('/') + 1));
  constexpr std::string_view kLayers = "/layers/";
  constexpr std::string_view kParts = "/parts/";
  if (pointer.compare(0, kLayers.size(), kLayers) != 0) return reply;
  const std::string inLayers = pointer.substr(kLayers.size());
  const std::optional<int> layer = leadingIndex(inLayers);
  if (!layer) return reply;
  reply.set("layer", *layer);
  const std::size_t afterLayer = inLayers.find('/');
  if (afterLayer != std::string::npos && inLayers.compare(afterLayer, kParts.size(), kParts) == 0) {
    if (const std::optional<int> part = leadingIndex(inLayers.substr(afterLayer + kParts.size()))) {
      reply.set("part", *part);
    }
  }
  return reply;
}

/// Runs `body`, turning the frontend's one error type (and anything unexpected) into a reply.
template <typename Body>
val guarded(Body&& body) {
  try {
    return success(body());
  } catch (const Error& error) {
    return failure(error.what(), error.pointer(), error.parts());
  } catch (const std::exception& error) {
    return failure(std::string("internal error: ") + error.what());
  }
}

WallFormat formatNamed(const std::string& format) {
  if (format == "toml") return WallFormat::Toml;
  if (format == "json") return WallFormat::Json;
  throw Error("unknown wall file format \"" + format + "\" (toml or json)");
}

/// A wall read from `text` as `brusk compute` reads the file `source`, at a cycle length of
/// `periodHours` [h], checked as the command line checks --period.
Wall readWall(const std::string& text, const std::string& format, const std::string& source,
              double periodHours) {
  Brusk::Frontend::requirePeriodHours(periodHours, "periodHours");
  Wall wall = Brusk::Frontend::parseWallText(text, formatNamed(format), catalogue(), source);
  wall.request.period = periodHours * Brusk::Engine::kSecondsPerHour;
  return wall;
}

/// Computes the wall in `text`: the JSON `brusk compute --format json` prints for it, with a
/// refused wall named by `source` as the command line names its file.
val compute(const std::string& text, const std::string& format, const std::string& source,
            double periodHours) {
  return guarded([&] {
    const Wall wall = readWall(text, format, source, periodHours);
    try {
      if (Brusk::Frontend::isElement(wall)) {
        // Layers of parts, a ventilated air layer or corrections: the element's quantities
        // after the usual ones, as the command line writes them.
        const Brusk::Engine::ElementResult element = Brusk::Frontend::computeElementWall(wall);
        return Brusk::Frontend::formatJson({{wall.name, element.wall}},
                                           Brusk::Frontend::JsonLayout::Indented,
                                           {Brusk::Frontend::elementExtras(wall, element)});
      }
      return Brusk::Frontend::formatJson({{wall.name, Brusk::Frontend::computeWall(wall)}},
                                         Brusk::Frontend::JsonLayout::Indented);
    } catch (const Error& error) {
      throw error.under({"place", {{"source", Brusk::Engine::MessageValue::plain(source)}}});
    }
  });
}

/// The wall file `text` as a JSON document with the wall-file keys, after checking that it reads
/// as a wall: every key the file gives, in the wall schema's order, with the name (after the
/// file, as `brusk compute` names it), position and heat flow filled in. What the page loads.
val readWallDocument(const std::string& text, const std::string& format,
                     const std::string& source) {
  return guarded([&] {
    // The limits of `brusk compute`'s reader: the file's size, then its text and its wall.
    Brusk::Frontend::requireFileSize(text.size(), Brusk::Frontend::kMaxWallFileBytes, source);
    const Wall wall =
        Brusk::Frontend::parseWallText(text, formatNamed(format), catalogue(), source);
    return Brusk::Frontend::formatWallJson(wall);
  });
}

/// The values of the wall in `text` that no building material has, each with its likely slip of
/// units, as `brusk` warns of them: a JSON array of messages, empty for building materials.
val unitWarningsJson(const std::string& text, const std::string& format,
                     const std::string& source) {
  return guarded([&] {
    const Wall wall =
        Brusk::Frontend::parseWallText(text, formatNamed(format), catalogue(), source);
    nlohmann::json warnings = nlohmann::json::array();
    for (const std::string& warning : Brusk::Frontend::plausibilityWarnings(wall)) {
      warnings.push_back(source + ": " + warning);
    }
    return warnings.dump();
  });
}

/// The wall document `jsonText` (wall-file keys) written as a TOML wall file, after checking
/// that it reads as a wall: keys in the schema's order, every number in its shortest text, so
/// that `brusk compute` reads the result as the same wall, double for double.
val writeWallToml(const std::string& jsonText, const std::string& source) {
  return guarded([&] {
    const Wall wall =
        Brusk::Frontend::parseWallText(jsonText, WallFormat::Json, catalogue(), source);
    return Brusk::Frontend::formatWallToml(wall);
  });
}

/// The wall schema, as `brusk schema --format json` prints it.
val wallSchemaJson() {
  return guarded([] { return Brusk::Frontend::formatWallSchemaJson(); });
}

/// The built-in catalogue as a JSON array of {key, name, family, conductivity, density,
/// specific_heat, source}, in key order, as `brusk materials` lists it.
val catalogueJson() {
  return guarded([] { return Brusk::Frontend::formatCatalogueJson(catalogue().filter("")); });
}

/// The self-contained page `brusk report` writes for the walls in `wallsJson` (a JSON array of
/// wall documents, each named by the matching entry of `sourcesJson`), at `periodHours` [h].
val reportHtml(const std::string& wallsJson, const std::string& sourcesJson, double periodHours,
               const std::string& title) {
  return guarded([&] {
    const nlohmann::json documents = nlohmann::json::parse(wallsJson);
    const nlohmann::json sources = nlohmann::json::parse(sourcesJson);
    if (!documents.is_array() || !sources.is_array() || sources.size() != documents.size()) {
      throw Error("a report takes an array of walls and one source name each");
    }
    std::vector<Wall> walls;
    for (std::size_t i = 0; i < documents.size(); ++i) {
      const std::string source = sources[i].get<std::string>();
      walls.push_back(readWall(documents[i].dump(), "json", source, periodHours));
      try {
        (void)Brusk::Frontend::computeWall(walls.back());
      } catch (const Error& error) {
        throw Error(source + ": " + error.what());
      }
    }
    Brusk::Report::ReportOptions options;
    if (!title.empty()) options.title = title;
    options.period = periodHours * Brusk::Engine::kSecondsPerHour;
    return Brusk::Report::renderHtmlReport(walls, options);
  });
}

/// The words of the drawings from `localeJson`: {"words": {key: text}, "decimal": "." or ","},
/// either left out for English and a decimal point.
Brusk::Report::PlotWords plotWordsOf(const std::string& localeJson) {
  if (localeJson.empty()) return {};
  const nlohmann::json locale = nlohmann::json::parse(localeJson);
  if (!locale.is_object()) throw Error("the plots' words must be an object {words, decimal}");
  std::map<std::string, std::string, std::less<>> words;
  if (locale.contains("words")) {
    const nlohmann::json& given = locale.at("words");
    if (!given.is_object()) throw Error("the plots' words must map each key to its text");
    for (auto item = given.begin(); item != given.end(); ++item) {
      if (!item.value().is_string()) {
        throw Error("the plots' word \"" + Brusk::Frontend::visibleText(item.key()) +
                    "\" must be a text");
      }
      words[item.key()] = item.value().get<std::string>();
    }
  }
  const std::string decimal = locale.value("decimal", std::string("."));
  if (decimal.size() != 1) {
    throw Error("the plots' decimal separator must be \".\" or \",\", got \"" +
                Brusk::Frontend::visibleText(decimal) + "\"");
  }
  return Brusk::Report::PlotWords(std::move(words), decimal[0]);
}

/// Every word of the drawings with its English text, as a JSON array [{key, text}] in the
/// drawings' order: what a page translates.
val plotWordsJson() {
  return guarded([] {
    nlohmann::json list = nlohmann::json::array();
    for (const Brusk::Report::PlotWord& word : Brusk::Report::englishPlotWords()) {
      list.push_back({{"key", word.key}, {"text", word.english}});
    }
    return list.dump();
  });
}

/// The report's drawings of the walls in `wallsJson` (a JSON array of wall documents, each named
/// by the matching entry of `sourcesJson`) at `periodHours` [h], drawn `width` pixels wide with a
/// plot area `plotHeight` high and the thickest section `sectionWidth` wide, every element id
/// after `idPrefix`, with each section's steady temperature profile between air at
/// `indoorTemperature` and `outdoorTemperature` [degC] when `withProfile`, only the drawings
/// `only` names ("sections responses sweeps", all when empty) and in the words of `localeJson`
/// (see plotWordsOf()): a JSON object {sections: [svg, ...], outdoor_response, indoor_response,
/// decrement_sweep, lag_sweep}, the drawings not made left out.
val plotsSvg(const std::string& wallsJson, const std::string& sourcesJson, double periodHours,
             double width, double plotHeight, double sectionWidth, const std::string& idPrefix,
             bool withProfile, double indoorTemperature, double outdoorTemperature,
             const std::string& only, const std::string& localeJson) {
  return guarded([&] {
    const nlohmann::json documents = nlohmann::json::parse(wallsJson);
    const nlohmann::json sources = nlohmann::json::parse(sourcesJson);
    if (!documents.is_array() || !sources.is_array() || sources.size() != documents.size()) {
      throw Error("plots take an array of walls and one source name each");
    }
    std::vector<Wall> walls;
    for (std::size_t i = 0; i < documents.size(); ++i) {
      walls.push_back(
          readWall(documents[i].dump(), "json", sources[i].get<std::string>(), periodHours));
    }
    Brusk::Report::PlotSelection draw;
    if (!only.empty()) {
      const auto named = [&](const char* name) { return only.find(name) != std::string::npos; };
      draw = {named("sections"), named("responses"), named("sweeps")};
    }
    const Brusk::Report::WallPlots plots = Brusk::Report::renderWallPlots(
        walls, periodHours * Brusk::Engine::kSecondsPerHour,
        {width, plotHeight, sectionWidth, idPrefix, draw},
        withProfile ? std::optional<Brusk::Report::DesignTemperatures>(
                          Brusk::Report::DesignTemperatures{indoorTemperature, outdoorTemperature})
                    : std::nullopt,
        plotWordsOf(localeJson));
    nlohmann::json reply = nlohmann::json::object();
    if (draw.sections) reply["sections"] = plots.sections;
    if (draw.responses) {
      reply["outdoor_response"] = plots.outdoorResponse;
      reply["indoor_response"] = plots.indoorResponse;
    }
    if (draw.sweeps) {
      reply["decrement_sweep"] = plots.decrementSweep;
      reply["lag_sweep"] = plots.lagSweep;
    }
    return reply.dump();
  });
}

/// The zone in `text` (a zone file's JSON, its walls given as inline layers: the module reads no
/// files) computed as `brusk zone` computes it: the JSON `brusk zone --format json` prints, with a
/// refused zone named by `source` as the command line names its file.
val zoneJson(const std::string& text, const std::string& source) {
  return guarded([&] {
    Brusk::Frontend::requireFileSize(text.size(), Brusk::Frontend::kMaxZoneFileBytes, source,
                                     Brusk::Frontend::FileKinds::kZone);
    Brusk::Frontend::Zone zone =
        Brusk::Frontend::parseZoneText(text, true, catalogue(), source, "");
    Brusk::Engine::ZoneResult result = Brusk::Frontend::computeZone(zone);
    return Brusk::Frontend::formatZoneJson({{std::move(zone), std::move(result)}});
  });
}

/// A profile CSV's text, read as `brusk response` reads the file `source` (its size limit too).
Brusk::Frontend::SourcedProfile profileFrom(const nlohmann::json& options, const char* textKey,
                                            const char* sourceKey, const std::string& fallback) {
  const std::string source = options.value(sourceKey, fallback);
  const std::string text = options.at(textKey).get<std::string>();
  Brusk::Frontend::requireFileSize(text.size(), Brusk::Frontend::kMaxProfileFileBytes, source,
                                   Brusk::Frontend::FileKinds::kProfile);
  return {Brusk::Frontend::parseProfileText(text, source), source};
}

/// Refuses a key of the response's options that no run reads, or that the run given does not:
/// an option that changes nothing must not look as if it had (as the command line refuses it).
void refuseIdleProfileOptions(const nlohmann::json& options) {
  static const std::vector<std::string> known = {
      "outdoor", "outdoorSource", "indoor",      "indoorSource", "indoorConstant", "periodHours",
      "solar",   "solarSource",   "absorptance", "emissivity",   "skyRadiation"};
  for (auto item = options.begin(); item != options.end(); ++item) {
    if (std::find(known.begin(), known.end(), item.key()) != known.end()) continue;
    const std::vector<std::string> close = Brusk::Frontend::closestWords(item.key(), known, 1);
    throw Error("unknown profile option \"" + Brusk::Frontend::visibleText(item.key()) + "\"" +
                (close.empty()
                     ? std::string()
                     : " (did you mean " + Brusk::Frontend::quotedAlternatives(close) + "?)") +
                "; response() takes " + Brusk::Frontend::joinedWords(known));
  }
  if (options.contains("indoor") && options.contains("indoorConstant")) {
    throw Error(
        "indoorConstant has no effect with indoor: the indoor profile is the indoor side; leave "
        "one of them out");
  }
  for (const char* key : {"absorptance", "emissivity", "skyRadiation", "solarSource"}) {
    if (options.contains(key) && !options.contains("solar")) {
      throw Error(std::string(key) +
                  " has no effect without solar: it describes the outer surface under the "
                  "sun's irradiance; leave it out");
    }
  }
  if (options.contains("indoorSource") && !options.contains("indoor")) {
    throw Error(
        "indoorSource has no effect without indoor: it names the indoor profile; leave it "
        "out");
  }
}

/// The response of the wall in `text` (read as `brusk response` reads the file `source`) to the
/// profiles in `optionsJson`: {outdoor, outdoorSource, indoor | indoorConstant, indoorSource,
/// periodHours, solar, solarSource, absorptance, emissivity, skyRadiation}, each profile the text
/// of its CSV. The JSON `brusk response --format json` prints.
val responseJson(const std::string& text, const std::string& format, const std::string& source,
                 const std::string& optionsJson) {
  return guarded([&] {
    const nlohmann::json options = nlohmann::json::parse(optionsJson);
    refuseIdleProfileOptions(options);
    const Wall wall =
        Brusk::Frontend::parseWallText(text, formatNamed(format), catalogue(), source);
    Brusk::Frontend::ProfileInputRequest request;
    request.names = {"periodHours", "indoorConstant", "solar"};
    request.outdoor = profileFrom(options, "outdoor", "outdoorSource", "outdoor.csv");
    if (options.contains("indoor")) {
      request.indoor = profileFrom(options, "indoor", "indoorSource", "indoor.csv");
    }
    request.indoorConstant = options.value("indoorConstant", 25.0);
    if (options.contains("periodHours")) {
      request.periodHours = options.at("periodHours").get<double>();
    }
    const Brusk::Frontend::ProfileInputs inputs = Brusk::Frontend::checkProfileInputs(request);
    std::optional<Brusk::Frontend::SolarInput> solar;
    if (options.contains("solar")) {
      solar = Brusk::Frontend::SolarInput{
          profileFrom(options, "solar", "solarSource", "solar.csv"),
          options.contains("absorptance")
              ? std::optional<double>(options.at("absorptance").get<double>())
              : std::nullopt,
          options.value("emissivity", 0.9), options.value("skyRadiation", 0.0)};
    }
    return Brusk::Frontend::formatProfileJson(
        Brusk::Frontend::respondToProfiles(wall, source, inputs, request.outdoor.source, solar));
  });
}

/// Every message worded by key with its English wording, as a JSON array [{key, text}]: what
/// a page translates.
val messageWordingsJson() {
  return guarded([] {
    nlohmann::json list = nlohmann::json::array();
    for (const Brusk::Engine::MessageWording& wording : Brusk::Engine::messageWordings()) {
      list.push_back({{"key", wording.key}, {"text", wording.english}});
    }
    return list.dump();
  });
}

/// The quantity description as `brusk quantities --format json` prints it.
val quantitiesJson() {
  return guarded([] { return Brusk::Frontend::formatQuantitiesJson(); });
}

/// The indoor side a moisture call asks for, as the API's options gave it: a humidity class
/// and an indoor temperature, each with whether it was given at all (a number is passed either
/// way; JavaScript's undefined has no double).
struct IndoorSide {
  bool classGiven = false;
  double humidityClass = 0.0;
  bool temperatureGiven = false;
  double indoorTemperature = 0.0;
};

/// The climate CSV `climateText` (named `climateSource`) with the indoor side `indoor`, read as
/// `brusk moisture` reads it.
Brusk::Frontend::Climate readClimate(const std::string& climateText,
                                     const std::string& climateSource, const IndoorSide& indoor) {
  const Brusk::Frontend::ClimateOptionNames names{"humidityClass", "indoorTemperature"};
  // The class as given, never cast to an int first (2**32 + 3 is no class 3); the temperature
  // refused without a class, as the command line and Python refuse it.
  const int humidityClass = Brusk::Frontend::humidityClassOf(
      indoor.classGiven ? std::optional<double>(indoor.humidityClass) : std::nullopt, names);
  const double indoorTemperature = Brusk::Frontend::indoorTemperatureOf(
      humidityClass,
      indoor.temperatureGiven ? std::optional<double>(indoor.indoorTemperature) : std::nullopt,
      names);
  return Brusk::Frontend::parseClimateCsv(climateText, climateSource, humidityClass,
                                          indoorTemperature, names);
}

/// The climate read from `climateText` and the wall in `text` assessed under it, as
/// `brusk moisture` reads and assesses them (see moisture()).
struct Assessed {
  Brusk::Frontend::Climate climate;
  Brusk::Frontend::MoistureReport report;
};
Assessed assessed(const std::string& text, const std::string& format, const std::string& source,
                  const std::string& climateText, const std::string& climateSource,
                  const IndoorSide& indoor) {
  Brusk::Frontend::Climate climate = readClimate(climateText, climateSource, indoor);
  const Wall wall = Brusk::Frontend::parseWallText(text, formatNamed(format), catalogue(), source);
  Brusk::Frontend::MoistureReport report = Brusk::Frontend::assessMoisture(wall, climate, source);
  return {std::move(climate), std::move(report)};
}

/// The moisture assessment of the wall in `text` under the climate CSV `climateText` (named
/// `climateSource`), as `brusk moisture` makes it: a humidity class (1..5, when `classGiven`)
/// takes the indoor side from ISO 13788 Annex A at `indoorTemperature` [degC] (20 unless
/// `temperatureGiven`); without one, the file's. `html` false: the JSON `brusk moisture --format
/// json` prints; true: the report's moisture section (the Glaser diagram, the accumulation bars,
/// the temperature profile and the month table).
val moisture(const std::string& text, const std::string& format, const std::string& source,
             const std::string& climateText, const std::string& climateSource, bool classGiven,
             double humidityClass, bool temperatureGiven, double indoorTemperature, bool html) {
  return guarded([&] {
    const Assessed run = assessed(text, format, source, climateText, climateSource,
                                  {classGiven, humidityClass, temperatureGiven, indoorTemperature});
    return html ? Brusk::Report::renderMoistureSection(run.report, run.climate, 0)
                : Brusk::Frontend::formatMoistureJson({run.report}, run.climate);
  });
}

/// The report's moisture drawings of the wall in `text` under the climate (as moisture()
/// assesses it), drawn `width` pixels wide with plot areas `plotHeight` high in the words of
/// `localeJson` (see plotWordsOf()): a JSON object {month (1 = January), glaser, accumulation,
/// temperature, table}, each drawing an SVG element and the table the section's month-by-month
/// HTML table.
val moisturePlotsSvg(const std::string& text, const std::string& format, const std::string& source,
                     const std::string& climateText, const std::string& climateSource,
                     bool classGiven, double humidityClass, bool temperatureGiven,
                     double indoorTemperature, double width, double plotHeight,
                     const std::string& localeJson) {
  return guarded([&] {
    const Assessed run = assessed(text, format, source, climateText, climateSource,
                                  {classGiven, humidityClass, temperatureGiven, indoorTemperature});
    const Brusk::Report::PlotWords words = plotWordsOf(localeJson);
    const Brusk::Report::MoisturePlots plots =
        Brusk::Report::renderMoisturePlots(run.report, 0, {width, plotHeight}, words);
    return nlohmann::json{
        {"month", plots.month + 1},
        {"glaser", plots.glaser},
        {"accumulation", plots.accumulation},
        {"temperature", plots.temperature},
        {"table", Brusk::Report::renderMoistureMonthTable(run.report, run.climate, words)}}
        .dump();
  });
}

}  // namespace

EMSCRIPTEN_BINDINGS(brusk) {
  emscripten::function("quantitiesJson", &quantitiesJson);
  emscripten::function("messageWordingsJson", &messageWordingsJson);
  emscripten::function("moisture", &moisture);
  emscripten::function("moisturePlotsSvg", &moisturePlotsSvg);
  emscripten::function("plotsSvg", &plotsSvg);
  emscripten::function("plotWordsJson", &plotWordsJson);
  emscripten::function("zoneJson", &zoneJson);
  emscripten::function("responseJson", &responseJson);
  emscripten::function("compute", &compute);
  emscripten::function("readWallDocument", &readWallDocument);
  emscripten::function("unitWarningsJson", &unitWarningsJson);
  emscripten::function("writeWallToml", &writeWallToml);
  emscripten::function("wallSchemaJson", &wallSchemaJson);
  emscripten::function("catalogueJson", &catalogueJson);
  emscripten::function("reportHtml", &reportHtml);
}

// Requirement checks: a wall against a built-in set or a requirements file's text, as
// `brusk check --format json` checks it.

#include "brusk/frontend/requirements.h"

namespace {

/// The JSON object `brusk check --format json` prints for the wall (an object with the
/// wall-file keys) checked against `requirementsText`: the TOML of a requirements file, or the
/// key of a built-in set. Cycle length: one day. With `withClimate`, the moisture results a rule
/// tests are assessed under the climate CSV `climateText` (named `climateSource`), its indoor
/// side as moisture() takes it; a climate given to a set that tests none is refused.
val checkJson(const std::string& wallJson, const std::string& requirementsText, bool withClimate,
              const std::string& climateText, const std::string& climateSource, bool classGiven,
              double humidityClass, bool temperatureGiven, double indoorTemperature) {
  return guarded([&] {
    const Wall wall = readWall(wallJson, "json", "wall.json", 24.0);
    const Brusk::Engine::RequirementSet set =
        Brusk::Frontend::requirementsFromText(requirementsText, "requirements.toml");
    std::optional<Brusk::Frontend::Climate> climate;
    if (withClimate) {
      climate = readClimate(climateText, climateSource,
                            {classGiven, humidityClass, temperatureGiven, indoorTemperature});
      Brusk::Frontend::requireClimateUsed(set, "climate");
    }
    const Brusk::Frontend::WallCheck checked =
        Brusk::Frontend::checkWall(wall, set, climate ? &*climate : nullptr, "wall.json");
    nlohmann::ordered_json reply =
        nlohmann::ordered_json::parse(Brusk::Frontend::formatCheckJsonLine({checked})).at(0);
    // Beside `brusk check`'s object: why a rule does not apply, by key, for the page's languages.
    for (std::size_t i = 0; i < checked.result.rules.size(); ++i) {
      const Brusk::Engine::RuleResult& rule = checked.result.rules[i];
      if (rule.applicable() || rule.reasonMessage.key.empty()) continue;
      reply["rules"][i]["not_applicable_parts"] =
          nlohmann::ordered_json::parse(messagePartsJson({rule.reasonMessage}));
    }
    return reply.dump();
  });
}

/// The built-in requirement sets: [{key, name, source}].
val requirementSetsJson() {
  return guarded([] { return Brusk::Frontend::formatRequirementSetsJson(); });
}

}  // namespace

EMSCRIPTEN_BINDINGS(brusk_requirements) {
  emscripten::function("checkJson", &checkJson);
  emscripten::function("requirementSetsJson", &requirementSetsJson);
}

// Validation: every built-in case (published worked examples and the standards' tables), as
// `brusk validate --format json` runs it.

#include "brusk/frontend/validation.h"

namespace {

/// The JSON object `brusk validate --format json` prints.
val validationJson() {
  return guarded(
      [] { return Brusk::Frontend::formatValidationJson(Brusk::Frontend::runValidation()); });
}

}  // namespace

// Two-dimensional junctions (ISO 10211): a junction file's text computed as `brusk bridge`
// computes it. The module reads no files, so a template's walls come inline (tables of the wall
// file's keys).

#include <cmath>

#include "brusk/frontend/junction.h"
#include "brusk/report/junction_section.h"

namespace {

Brusk::Frontend::JunctionReport solvedJunction(const std::string& text, const std::string& format,
                                               const std::string& source) {
  Brusk::Frontend::Junction junction = Brusk::Frontend::parseJunctionText(
      text, formatNamed(format) == WallFormat::Json, catalogue(), source, "");
  Brusk::Engine::BridgeResult result = Brusk::Frontend::computeJunction(junction);
  return {std::move(junction), std::move(result)};
}

/// The field as {x, y, temperature}: the node lines [m] and one row of node temperatures [degC]
/// per y, null outside the body (JSON holds no NaN).
nlohmann::json fieldJson(const Brusk::Engine::BridgeField& field) {
  nlohmann::json rows = nlohmann::json::array();
  for (std::size_t j = 0; j < field.ys.size(); ++j) {
    nlohmann::json row = nlohmann::json::array();
    for (std::size_t i = 0; i < field.xs.size(); ++i) {
      const double t = field.temperature[i + j * field.xs.size()];
      row.push_back(std::isfinite(t) ? nlohmann::json(t) : nlohmann::json(nullptr));
    }
    rows.push_back(std::move(row));
  }
  return {{"x", field.xs}, {"y", field.ys}, {"temperature", std::move(rows)}};
}

/// The JSON `brusk bridge --format json` prints for the junction in `text`, with `field`
/// (fieldJson()) added when `withField`.
val bridgeJson(const std::string& text, const std::string& format, const std::string& source,
               bool withField) {
  return guarded([&] {
    const Brusk::Frontend::JunctionReport solved = solvedJunction(text, format, source);
    nlohmann::json out =
        nlohmann::json::parse(Brusk::Frontend::junctionResultJson(solved.junction, solved.result));
    if (withField) out["field"] = fieldJson(solved.result.field);
    return out.dump();
  });
}

/// The junction solved and drawn as `brusk report` draws it, in the words of `localeJson` (see
/// plotWordsOf()): {result (bridgeJson()'s without the field), section, field (the two SVG
/// drawings)}.
val bridgePlotsSvg(const std::string& text, const std::string& format, const std::string& source,
                   const std::string& localeJson) {
  return guarded([&] {
    const Brusk::Report::PlotWords words = plotWordsOf(localeJson);
    const Brusk::Frontend::JunctionReport solved = solvedJunction(text, format, source);
    const Brusk::Report::JunctionDrawings drawings =
        Brusk::Report::renderJunctionDrawings(solved, 0, words);
    return nlohmann::json{{"result", nlohmann::json::parse(Brusk::Frontend::junctionResultJson(
                                         solved.junction, solved.result))},
                          {"section", drawings.section},
                          {"field", drawings.field}}
        .dump();
  });
}

/// The junction as a drawn section in TOML, as `brusk bridge --geometry` writes it.
val bridgeGeometryToml(const std::string& text, const std::string& format,
                       const std::string& source) {
  return guarded([&] {
    const Brusk::Frontend::Junction junction = Brusk::Frontend::parseJunctionText(
        text, formatNamed(format) == WallFormat::Json, catalogue(), source, "");
    return Brusk::Frontend::junctionGeometryToml(junction);
  });
}

}  // namespace

EMSCRIPTEN_BINDINGS(brusk_validation) { emscripten::function("validationJson", &validationJson); }

EMSCRIPTEN_BINDINGS(brusk_bridge) {
  emscripten::function("bridgeJson", &bridgeJson);
  emscripten::function("bridgePlotsSvg", &bridgePlotsSvg);
  emscripten::function("bridgeGeometryToml", &bridgeGeometryToml);
}
