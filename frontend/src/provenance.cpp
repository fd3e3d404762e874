#include "brusk/frontend/provenance.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <set>

#include "brusk/frontend/error.h"
#include "brusk/frontend/sha256.h"
#include "brusk/frontend/text_util.h"
#include "document.h"

namespace Brusk::Frontend {

namespace {

constexpr long long kSecondsPerDay = 86400;

/// The proleptic Gregorian date of a day counted from 1970-01-01 (H. Hinnant's days-to-civil
/// algorithm): exact for every day of the 64-bit count, no time zone involved.
std::string civilDate(long long days) {
  days += 719468;
  const long long era = (days >= 0 ? days : days - 146096) / 146097;
  const long long dayOfEra = days - era * 146097;
  const long long yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const long long shiftedMonth = (5 * dayOfYear + 2) / 153;
  const long long day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
  const long long month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  const long long year = yearOfEra + era * 400 + (month <= 2 ? 1 : 0);
  char text[80];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", year, month, day);
  return text;
}

}  // namespace

const std::vector<StandardEdition>& standardEditions() {
  static const std::vector<StandardEdition> editions = {
      {"ISO 13786:2017",
       "dynamic thermal characteristics: transfer matrix, admittances, "
       "decrement factor, areal heat capacities"},
      {"ISO 6946:2017", "surface resistances, air layers, combined method, U-value corrections"},
      {"ISO 13788:2012",
       "interstitial condensation (monthly Glaser method) and surface mould risk"},
      {"ISO 10456:2007", "design values of the material catalogue"},
      {"ISO 13790:2008", "internal heat capacity and mass classes of zones"},
  };
  return editions;
}

std::string versionText() {
  std::string text = std::string("brusk ") + bruskVersion() + "\n";
  for (const StandardEdition& standard : standardEditions()) {
    text += "  " + std::string(standard.edition) + ": " + std::string(standard.subject) + "\n";
  }
  return text;
}

InputFile hashInputFile(const std::string& path) {
  return {path, sha256Hex(readTextFile(path, kMaxHashedFileBytes))};
}

ProjectFields parseProjectText(std::string_view text, const std::string& source) {
  requireUtf8Text(text, source);
  requireFileSize(text.size(), kMaxProjectFileBytes, source);
  Detail::LineMap lines;
  const nlohmann::json document = Detail::parseTomlDocument(text, source, lines);
  static const std::vector<std::string> keys = {"project", "element", "author"};
  if (auto unknown = Detail::firstUnknownKey(document, keys, "a project file")) {
    const std::string pointer = "/" + unknown->key;
    throw Error(Detail::locationPrefix(source, lines.lineOf(pointer)) + unknown->message, pointer);
  }
  ProjectFields fields;
  for (const std::string& key : keys) {
    const nlohmann::json* value = Detail::member(document, key);
    if (value == nullptr) continue;
    const std::string pointer = "/" + key;
    if (auto reason = Detail::notAString(*value, key)) {
      throw Error(Detail::locationPrefix(source, lines.lineOf(pointer)) + *reason, pointer);
    }
    std::string& field = key == "project"   ? fields.project
                         : key == "element" ? fields.element
                                            : fields.author;
    field = value->get<std::string>();
  }
  return fields;
}

ProjectFields loadProjectFile(const std::string& path) {
  return parseProjectText(readTextFile(path, kMaxProjectFileBytes), path);
}

Provenance reportProvenance(const std::vector<std::string>& inputFiles, const ReportBasis& basis,
                            const ProjectFields& project) {
  Provenance provenance;
  provenance.date = runDate();
  provenance.project = project;
  std::set<std::string> seen;
  for (const std::string& file : inputFiles) {
    if (seen.insert(file).second) provenance.inputs.push_back(hashInputFile(file));
  }
  provenance.standards = {"ISO 13786:2017", "ISO 6946:2017"};
  if (basis.catalogue) provenance.standards.emplace_back("ISO 10456:2007");
  if (basis.moisture) provenance.standards.emplace_back("ISO 13788:2012");
  if (basis.zones) provenance.standards.emplace_back("ISO 13790:2008");

  char period[64];
  std::snprintf(period, sizeof period, "T = %g h", basis.periodHours);
  provenance.conventions = {
      {"Cycle length", period},
      {"Surface resistances",
       "ISO 6946:2017, Table 7 for each element's heat flow (Rsi 0.10 upward, 0.13 horizontal, "
       "0.17 downward; Rse 0.04 m2.K/W), unless a wall file gives rsi or rse"},
      {"Dimension system",
       basis.zones ? "per square metre of element, thicknesses normal to the faces; element "
                     "areas as the zone files give them (Brusk converts no dimensions)"
                   : "per square metre of element, thicknesses normal to the faces"},
  };
  if (basis.moisture) {
    provenance.conventions.emplace_back(
        "Month length",
        "calendar months of 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30 and 31 days "
        "(ISO 13788:2012, 6.1)");
    provenance.conventions.emplace_back("Rsi of the surface check",
                                        "0.25 m2.K/W (ISO 13788:2012, 4.2.1)");
    provenance.conventions.emplace_back(
        "Indoor humidity", basis.humidityClass != 0
                               ? "humidity class " + std::to_string(basis.humidityClass) +
                                     " of ISO 13788:2012 Annex A, p_i = p_e + 1.10 dp"
                               : std::string("as the climate file gives it, no margin added"));
  }
  return provenance;
}

std::string runDate() {
  long long seconds = static_cast<long long>(std::time(nullptr));
  if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH")) {
    char* end = nullptr;
    const long long given = std::strtoll(epoch, &end, 10);
    if (end != epoch && *end == '\0' && given >= 0) seconds = given;
  }
  const long long days =
      seconds >= 0 ? seconds / kSecondsPerDay : -((-seconds + kSecondsPerDay - 1) / kSecondsPerDay);
  return civilDate(days);
}

}  // namespace Brusk::Frontend
