#pragma once

// Requirement files (TOML, docs/requirements.md) and the built-in sets embedded from
// data/requirements/; checking walls against a set; the JSON, CSV and table of the verdicts.

#include <string>
#include <string_view>
#include <vector>

#include "brusk/engine/requirements.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend {

/// Largest requirements file read [bytes].
inline constexpr std::size_t kMaxRequirementsFileBytes = 1024u * 1024u;

/// Parses the TOML text of a requirements file; `source` names it in messages, which give the
/// line ("project.toml:7: unknown quantity ..."). Throws Frontend::Error.
[[nodiscard]] Engine::RequirementSet parseRequirementsText(std::string_view text,
                                                           const std::string& source);

/// A built-in set: the key that names it (`--requirements KEY`), its name, its document and
/// the TOML text it is read from.
struct BuiltInRequirements {
  std::string key;
  std::string name;
  std::string source;
  std::string_view text;
};

/// The built-in sets, in key order.
[[nodiscard]] const std::vector<BuiltInRequirements>& builtInRequirements();

/// True when `fileOrName` is to be read as a file: it is not a built-in key.
[[nodiscard]] bool isRequirementsFile(const std::string& fileOrName);

/// The set a file holds, or the built-in set a key names; throws Frontend::Error naming the
/// nearest built-in key for a word that is neither.
[[nodiscard]] Engine::RequirementSet loadRequirements(const std::string& fileOrName);

/// The set in `text`: TOML of a requirements file, or (a single line naming one) a built-in
/// key; the door for front ends that hold text, not files (Python, the web module).
[[nodiscard]] Engine::RequirementSet requirementsFromText(const std::string& text,
                                                          const std::string& source);

/// A wall's descriptors as the rules' conditions read them: position, heat_flow and, when the
/// file gives them, orientation and site_irradiance.
[[nodiscard]] Engine::WallDescriptors descriptorsOf(const Wall& wall);

/// One wall checked against one set.
struct WallCheck {
  std::string wall;  ///< the wall's name
  Engine::RequirementsResult result;
};

/// Computes `wall` (at its request's period) and checks it against `set`; throws
/// Frontend::Error as the computation does.
[[nodiscard]] WallCheck checkWall(const Wall& wall, const Engine::RequirementSet& set);

/// True when every applicable rule of every check passed.
[[nodiscard]] bool allPassed(const std::vector<WallCheck>& checks);

/// The JSON array of the checks, one object per wall, indented.
[[nodiscard]] std::string formatCheckJson(const std::vector<WallCheck>& checks);
/// The same as one JSON value on one line (for the web module and Python).
[[nodiscard]] std::string formatCheckJsonLine(const std::vector<WallCheck>& checks);
/// One CSV row per wall and rule; cells escaped as every CSV writer does.
[[nodiscard]] std::string formatCheckCsv(const std::vector<WallCheck>& checks);
/// An aligned table, one row per wall and rule, names made safe for terminals.
[[nodiscard]] std::string formatCheckTable(const std::vector<WallCheck>& checks);
/// The listing of `brusk check --list`: each built-in key, name and source.
[[nodiscard]] std::string formatRequirementSetsTable();
/// The same as JSON: [{"key", "name", "source"}].
[[nodiscard]] std::string formatRequirementSetsJson();

/// "u_value = 0.28 W/(m2.K) <= 0.3 W/(m2.K)" (or ", not <= 0.3 ..." when it failed): one
/// outcome as a person reads it, in display units.
[[nodiscard]] std::string outcomeText(const Engine::TestOutcome& outcome);
/// "passed", "failed" or "not applicable".
[[nodiscard]] const char* verdictWord(const Engine::RuleResult& rule);

}  // namespace Brusk::Frontend
