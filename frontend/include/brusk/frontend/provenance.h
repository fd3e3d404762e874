#pragma once

// Where a result came from: Brusk's version, the editions of the standards it applies, the date,
// every input file with its SHA-256, the conventions chosen, and the project's own fields, for a
// report a consultant hands in.

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace Brusk::Frontend {

/// Brusk's version, e.g. "0.2.0".
[[nodiscard]] const char* bruskVersion();

/// A standard Brusk applies and the edition it follows.
struct StandardEdition {
  std::string_view edition;  ///< e.g. "ISO 13786:2017"
  std::string_view subject;  ///< what Brusk takes from it
};

/// Every standard Brusk applies, with the edition followed, in the order `brusk --version`
/// lists them.
[[nodiscard]] const std::vector<StandardEdition>& standardEditions();

/// What `brusk --version` prints: "brusk 0.2.0" and a line per standard and edition.
[[nodiscard]] std::string versionText();

/// An input file as the report names it.
struct InputFile {
  std::string name;    ///< as given on the command line
  std::string sha256;  ///< of its bytes, 64 lower-case hexadecimal digits
};

/// Largest input file hashed [bytes]; every reader of this tree reads less.
inline constexpr std::size_t kMaxHashedFileBytes = 64u * 1024u * 1024u;

/// The file's name and the SHA-256 of its contents; throws Frontend::Error when it cannot be read.
[[nodiscard]] InputFile hashInputFile(const std::string& path);

/// The optional fields of a project that a report names.
struct ProjectFields {
  std::string project;  ///< the project's name or number
  std::string element;  ///< the building element assessed
  std::string author;   ///< who ran the calculation
};

/// Largest project file read [bytes].
inline constexpr std::size_t kMaxProjectFileBytes = 64u * 1024u;

/// Parses a project file, TOML with the keys project, element and author (strings, each
/// optional). Throws Frontend::Error naming `source`, the line and the key.
[[nodiscard]] ProjectFields parseProjectText(std::string_view text, const std::string& source);

/// Reads and parses a project file.
[[nodiscard]] ProjectFields loadProjectFile(const std::string& path);

/// Everything a report says about where its results came from.
struct Provenance {
  std::string version = bruskVersion();
  std::string date;  ///< ISO 8601 calendar date of the run, "2025-03-14"
  std::vector<InputFile> inputs;
  std::vector<std::string> standards;  ///< editions applied, e.g. "ISO 13786:2017"
  /// The conventions chosen, as (what, choice) pairs: month length, surface check's Rsi, ...
  std::vector<std::pair<std::string, std::string>> conventions;
  ProjectFields project;
};

/// What a report's results rest on, beyond its input files.
struct ReportBasis {
  double periodHours = 24.0;  ///< cycle length of the results table
  bool zones = false;         ///< zones are assessed (ISO 13790)
  bool catalogue = false;     ///< a layer takes a material of the catalogue (ISO 10456)
  bool moisture = false;      ///< walls are assessed for moisture (ISO 13788)
  int humidityClass = 0;      ///< with moisture: the Annex A class, 0 for the climate's own
};

/// The provenance of a report: today's date (runDate()), each distinct file of `inputFiles` in
/// order with its SHA-256, the editions of the standards `basis` applies and its conventions
/// worded, and `project`. Throws Frontend::Error when a file cannot be read.
[[nodiscard]] Provenance reportProvenance(const std::vector<std::string>& inputFiles,
                                          const ReportBasis& basis, const ProjectFields& project);

/// Today's date in UTC as "YYYY-MM-DD"; SOURCE_DATE_EPOCH (seconds since 1970, UTC), when set to
/// a number, gives the date instead, so that a build or a test can make the output reproducible.
[[nodiscard]] std::string runDate();

}  // namespace Brusk::Frontend
