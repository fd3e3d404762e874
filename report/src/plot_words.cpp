#include "brusk/report/plot_words.h"

#include <algorithm>

#include "brusk/frontend/error.h"
#include "brusk/frontend/text_util.h"
#include "text_format.h"

namespace Brusk::Report {

const std::vector<PlotWord>& englishPlotWords() {
  static const std::vector<PlotWord> words = {
      // The swing responses (two cycles of a 1 K swing and the heat flow it drives).
      {"response.time_axis", "time t (h)"},
      {"response.outdoor.title", "Outdoor temperature swing and heat flow at the inner surface"},
      {"response.indoor.title", "Indoor temperature swing and heat flow into the inner surface"},
      {"response.outdoor.temperature_axis", "outdoor temperature θe (K)"},
      {"response.indoor.temperature_axis", "indoor temperature θi (K)"},
      {"response.outdoor.heat_flow_axis", "heat-flow density into the room q (W/m²)"},
      {"response.indoor.heat_flow_axis", "heat-flow density into the wall q1 (W/m²)"},
      {"response.outdoor.heat_flow_axis_short", "heat flow q (W/m²)"},
      {"response.indoor.heat_flow_axis_short", "heat flow q1 (W/m²)"},
      {"response.outdoor.peak", "θe peak"},
      {"response.indoor.peak", "θi peak"},
      {"response.outdoor.temperature", "outdoor temperature θe"},
      {"response.indoor.temperature", "indoor temperature θi"},
      {"response.wall", "{wall} (|{admittance}| = {value} W/(m²·K))"},
      {"response.outdoor.lag", "lag {time}"},
      {"response.indoor.leads", "leads by {time}"},
      {"response.indoor.lags", "lags by {time}"},
      {"response.interval", "{delay} \u2014 {wall}"},
      {"hours", "{value} h"},
      // The sweeps against the cycle length.
      {"sweep.cycle_axis", "cycle length T (h), log scale"},
      {"sweep.decrement.title", "Decrement factor against cycle length"},
      {"sweep.decrement.axis", "decrement factor f (\u2013)"},
      {"sweep.lag.title", "Time lag against cycle length"},
      {"sweep.lag.axis", "time lag φ (h)"},
      {"sweep.daily", "24 h"},
      {"sweep.twelve_days", "12 d"},
      {"sweep.period", "T = {period}"},
      // The section drawing.
      {"section.title", "Section of {wall}"},
      {"section.inside", "INSIDE"},
      {"section.outside", "OUTSIDE"},
      {"section.resistance", "R {value} m\u00B2\u00B7K/W"},
      {"section.millimetres", "{value} mm"},
      {"section.callout", "{name} \u2014 {size}"},
      {"section.temperature", "{value} °C"},
      // The moisture section's drawings and table (ISO 13788).
      {"glaser.title", "Glaser diagram, {month}: vapour pressure over s_d"},
      {"glaser.x_axis", "equivalent air layer thickness s_d from the inner face (m)"},
      {"glaser.x_axis_short", "s_d from the inner face (m)"},
      {"glaser.y_axis", "pressure (Pa)"},
      {"glaser.saturation", "saturation pressure p_sat"},
      {"glaser.vapour", "vapour pressure p (tangent construction)"},
      {"moisture_profile.title", "Temperature through the wall, {month}"},
      {"moisture_profile.x_axis", "depth from the inner face (m)"},
      {"moisture_profile.y_axis", "temperature (°C)"},
      {"moisture_profile.temperature", "temperature θ"},
      {"moisture_profile.dew_point", "dew point of p"},
      {"accumulation.title", "Water accumulated at each month's end in {wall}"},
      {"accumulation.value", "{value} g/m²"},
      {"month_table.month", "Month"},
      {"month_table.condensed", "condensed (g/m²)"},
      {"month_table.accumulated", "accumulated (g/m²)"},
      {"month.1", "Jan"},
      {"month.2", "Feb"},
      {"month.3", "Mar"},
      {"month.4", "Apr"},
      {"month.5", "May"},
      {"month.6", "Jun"},
      {"month.7", "Jul"},
      {"month.8", "Aug"},
      {"month.9", "Sep"},
      {"month.10", "Oct"},
      {"month.11", "Nov"},
      {"month.12", "Dec"},
      // The report's response to periodic profiles.
      {"profile.temperatures.title", "Temperatures over the period"},
      {"profile.temperatures.axis", "temperature θ (°C)"},
      {"profile.outdoor", "outdoor θe"},
      {"profile.indoor", "indoor θi"},
      {"profile.inner_surface", "inner surface θsi \u2014 {wall}"},
      {"profile.heat_flow.title", "Heat flow into the room at the inner surface"},
      {"profile.heat_flow.axis", "heat-flow density into the room q (W/m²)"},
      {"profile.heat_flow.axis_short", "heat flow q (W/m²)"},
      // A junction's section and temperature field (ISO 10211).
      {"junction.section.title", "Section of {junction}: materials and the environments it faces"},
      {"junction.section.heading", "Section"},
      {"junction.environment", "{environment}: {temperature} °C, Rs {resistance} m²·K/W"},
      {"junction.indoor", "indoor"},
      {"junction.outdoor", "outdoor"},
      {"junction.field.title", "Temperature field of {junction} with isotherms every {step} K"},
      {"junction.field.heading", "Temperature field"},
  };
  return words;
}

namespace {

const PlotWord* findWord(std::string_view key) {
  const std::vector<PlotWord>& words = englishPlotWords();
  const auto found = std::find_if(words.begin(), words.end(),
                                  [&](const PlotWord& word) { return word.key == key; });
  return found == words.end() ? nullptr : &*found;
}

}  // namespace

PlotWords::PlotWords(std::map<std::string, std::string, std::less<>> words, char decimalSeparator)
    : _words(std::move(words)), _decimalSeparator(decimalSeparator) {
  if (decimalSeparator != '.' && decimalSeparator != ',') {
    throw Frontend::Error("the plots' decimal separator must be \".\" or \",\", got \"" +
                          Frontend::visibleText(std::string(1, decimalSeparator)) + "\"");
  }
  for (const auto& [key, text] : _words) {
    if (findWord(key) != nullptr) continue;
    std::vector<std::string> known;
    for (const PlotWord& word : englishPlotWords()) known.emplace_back(word.key);
    const std::vector<std::string> close = Frontend::closestWords(key, known, 1);
    throw Frontend::Error("the plots have no word \"" + Frontend::visibleText(key) + "\"" +
                          (close.empty()
                               ? std::string()
                               : " (did you mean " + Frontend::quotedAlternatives(close) + "?)"));
  }
}

std::string PlotWords::operator()(
    std::string_view key,
    std::initializer_list<std::pair<std::string_view, std::string_view>> values) const {
  const auto given = _words.find(key);
  std::string_view text;
  if (given != _words.end()) {
    text = given->second;
  } else {
    const PlotWord* word = findWord(key);
    text = word != nullptr ? word->english : key;
  }
  if (values.size() == 0) return std::string(text);
  // Each {name} is filled in one pass, so that a value holding braces (a wall's name) is not
  // read as a place of its own.
  std::string out;
  out.reserve(text.size() + 32);
  std::size_t at = 0;
  while (at < text.size()) {
    const std::size_t open = text.find('{', at);
    if (open == std::string_view::npos) break;
    const std::size_t close = text.find('}', open);
    if (close == std::string_view::npos) break;
    const std::string_view name = text.substr(open + 1, close - open - 1);
    const auto value = std::find_if(values.begin(), values.end(),
                                    [&](const auto& pair) { return pair.first == name; });
    out.append(text.substr(at, open - at));
    if (value != values.end()) {
      out.append(value->second);
    } else {
      out.append(text.substr(open, close - open + 1));
    }
    at = close + 1;
  }
  out.append(text.substr(std::min(at, text.size())));
  return out;
}

std::string PlotWords::localized(std::string text) const {
  if (_decimalSeparator != '.') std::replace(text.begin(), text.end(), '.', _decimalSeparator);
  return text;
}

std::string PlotWords::number(double value, int decimals) const {
  return localized(formatNumber(value, decimals));
}

std::string PlotWords::month(std::size_t month) const {
  if (month >= 12) return "\u2013";
  return (*this)("month." + std::to_string(month + 1));
}

}  // namespace Brusk::Report
