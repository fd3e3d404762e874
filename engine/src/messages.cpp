// The one description of the messages worded by key: each key with its English wording. The
// command line words a message with englishText(); the web page words the same key in its
// reader's language, so that a refusal reads the same in every language and no front end
// parses words back. A wording's {name} places are the values the message carries.

#include "brusk/engine/message.h"

#include <algorithm>

namespace Brusk::Engine {

const std::vector<MessageWording>& messageWordings() {
  static const std::vector<MessageWording> wordings = {
      // Where a message is about: the file (and line), the layer, the part. A message names
      // them first, each followed by ": ".
      {"place", "{source}"},
      {"place.line", "{source}:{line}"},
      {"layer", "layer {layer}"},
      {"layer.named", "layer {layer} (\"{name}\")"},
      {"part", "part {part}"},
      {"part.named", "part {part} (\"{name}\")"},

      // A value of a wall the physics cannot take (ISO 13786 needs d, lambda, rho, c > 0).
      {"value.positive", "{key} must be a positive number of {unit}, got {value}"},
      {"value.non_negative", "{key} must be a non-negative number of {unit}, got {value}"},
      {"value.choice", "{key} must be {choices}, got {value}"},
      {"value.number", "{key} must be a number, got {value}"},
      {"value.number_of", "{key} must be a number of {unit}, got {value}"},
      {"wall.no_layers",
       "the wall has no layers; list them from the inner face (side 1) outward as [[layers]] "
       "tables"},
      {"wall.too_many_layers", "{count} layers, more than the {most} a wall may have"},
      {"wall.site_irradiance",
       "site_irradiance must be a solar irradiance of 0 W/m2 or more, got {value}"},
      {"period.range",
       "the period must be from {shortest} s to {longest} s (one year), where double precision "
       "holds the results, got {value} s"},
      {"period.hours",
       "{option} must be a number of hours from {shortest}/{hour} (one second) to {longest} (one "
       "year), where double precision holds the results, got {value}"},

      // A layer the wall reader cannot complete.
      {"layer.thickness_missing", "thickness is missing (in m)"},
      {"layer.property_missing",
       "{key} is missing: give a catalogue material, or conductivity, density and specific_heat, "
       "or a thermal_resistance alone"},
      {"material.unknown",
       "unknown material \"{material}\" (`brusk materials` lists the catalogue)"},
      {"material.unknown_close",
       "unknown material \"{material}\"; did you mean {close}? (`brusk materials` lists the "
       "catalogue)"},

      // Layers of parts (ISO 6946:2017 6.7.2).
      {"parts.sum",
       "the fractions of the parts sum to {sum}, not 1: each part's fraction is its share of the "
       "element's area, and together they cover it (within 1e-9)"},
      {"part.fraction_range",
       "fraction must be a share of the area above 0 and at most 1, got {value}"},
      {"part.fraction_zero",
       "fraction must be a share of the area above 0 and at most 1, got {value}; leave out a part "
       "that is not there"},
      {"part.fraction_missing",
       "fraction is missing: the part's share of the element's area, above 0 and at most 1"},
      {"part.property_missing",
       "{key} is missing: give a catalogue material, or conductivity, density and specific_heat"},

      // Vapour properties for the moisture assessment (ISO 13788).
      {"vapour.factor_range",
       "vapour_resistance_factor must be at least 1 (still air) and finite, got {value}"},
      {"vapour.sd_range", "sd must be finite and not negative (in m), got {value}"},
      {"vapour.sd_disagrees",
       "sd {sd} m disagrees with vapour_resistance_factor x thickness = {factor} x {thickness} = "
       "{product} m; give one of them"},
      {"vapour.condensation_limit",
       "condensation_limit must be a finite number of g/m2, not negative, got {value}"},
      {"vapour.missing",
       "no water-vapour property for the moisture assessment: give vapour_resistance_factor (mu) "
       "or sd (in m), or a catalogue material that has one"},
      {"vapour.missing_in_catalogue",
       "no water-vapour property for the moisture assessment: its catalogue material "
       "\"{material}\" gives no vapour_resistance_factor; add it to the material's entry, or "
       "give vapour_resistance_factor (mu) or sd (in m) in the layer"},

      // The steady profile drawn on a section.
      {"plots.design_temperatures",
       "the design temperatures must be finite numbers of degC, got {indoor} and {outdoor}"},

      // Why a requirement does not apply to a wall: a condition on what the wall is.
      {"requirement.number_not_given",
       "{descriptor} is not given (the rule needs {descriptor} {comparison} {threshold}{unit})"},
      {"requirement.number_outside",
       "{descriptor} is {value}{unit}, not {comparison} {threshold}{unit}"},
      {"requirement.words_not_given", "{descriptor} is not given (the rule needs {words})"},
      {"requirement.other_words_not_given",
       "{descriptor} is not given (the rule needs other than {words})"},
      {"requirement.word_outside", "{descriptor} is \"{value}\", not {words}"},
      {"requirement.word_excluded", "{descriptor} is \"{value}\", not other than {words}"},
      // Why a rule does not apply to what is checked: it reads the other kind's figures.
      {"requirement.reads_junction",
       "the rule reads a junction's figures (ISO 10211); this is a wall"},
      {"requirement.reads_wall", "the rule reads a wall's figures; this is a junction"},
  };
  return wordings;
}

namespace {

std::string textOf(const MessageValue& value) {
  if (value.kind != MessageValue::Kind::Choices) return value.text;
  std::string text;
  for (std::size_t i = 0; i < value.words.size(); ++i) {
    if (i > 0) text += i + 1 == value.words.size() ? " or " : ", ";
    text += "\"" + value.words[i] + "\"";
  }
  return text;
}

}  // namespace

std::string englishText(const Message& message) {
  const std::vector<MessageWording>& wordings = messageWordings();
  const auto found = std::find_if(wordings.begin(), wordings.end(),
                                  [&](const MessageWording& w) { return w.key == message.key; });
  if (found == wordings.end()) return message.key;
  const std::string_view wording = found->english;
  // One pass, so that a value holding braces (a layer's name) is never read as a place.
  std::string out;
  std::size_t at = 0;
  while (at < wording.size()) {
    const std::size_t open = wording.find('{', at);
    const std::size_t close = open == std::string_view::npos ? open : wording.find('}', open);
    if (close == std::string_view::npos) break;
    out.append(wording.substr(at, open - at));
    const std::string_view name = wording.substr(open + 1, close - open - 1);
    const auto value = std::find_if(
        message.values.begin(), message.values.end(),
        [&](const std::pair<std::string, MessageValue>& v) { return v.first == name; });
    if (value != message.values.end()) {
      out += textOf(value->second);
    } else {
      out.append(wording.substr(open, close - open + 1));
    }
    at = close + 1;
  }
  if (at < wording.size()) out.append(wording.substr(at));
  return out;
}

std::string englishText(const std::vector<Message>& parts) {
  std::string text;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) text += ": ";
    text += englishText(parts[i]);
  }
  return text;
}

}  // namespace Brusk::Engine
