#pragma once

// Requirement files (TOML, docs/requirements.md) and the built-in sets embedded from
// data/requirements/; checking walls against a set (with a climate for the moisture results);
// the JSON, CSV and table of the verdicts.

#include <string>
#include <string_view>
#include <vector>

#include "brusk/engine/requirements.h"
#include "brusk/frontend/junction.h"
#include "brusk/frontend/moisture.h"
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

/// Computes `wall` (at its request's period; as an element where it is one) and checks it
/// against `set`. Where a rule tests a moisture result, the wall is assessed under `climate`
/// (ISO 13788; `source` names the wall in the assessment's words); without a climate, or where
/// the assessment refuses the wall, those tests are not computable and say why. Throws
/// Frontend::Error as the thermal computation does.
[[nodiscard]] WallCheck checkWall(const Wall& wall, const Engine::RequirementSet& set,
                                  const Climate* climate = nullptr,
                                  const std::string& source = std::string());

/// Checks a computed junction (ISO 10211) against `set`: its rules on psi and f_rsi. A rule that
/// reads only a wall's figures does not apply to a junction, and a junction has none of a wall's
/// descriptors, so a rule with conditions on them does not apply either.
[[nodiscard]] WallCheck checkJunction(const JunctionReport& junction,
                                      const Engine::RequirementSet& set);

/// Throws Frontend::Error when a climate is given (as `option`: "--climate", "climate") to a set
/// that tests no moisture result: the climate would change nothing.
void requireClimateUsed(const Engine::RequirementSet& set, std::string_view option);

/// The verdict of all the checks (Engine::worstVerdict): Passed only when every wall passed.
[[nodiscard]] Engine::Verdict overallVerdict(const std::vector<WallCheck>& checks);

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

/// One outcome as a person reads it: "u_value = 0.280 W/(m2.K) <= 0.3 W/(m2.K)", or ", not <=
/// ..." when it failed; the threshold as the rule wrote it, in its unit, and the value in the same
/// unit with the quantity description's decimals (more where fewer would round it across the
/// threshold); "dries_out is false, not true" for a yes/no.
[[nodiscard]] std::string outcomeText(const Engine::TestOutcome& outcome);

/// What a rule compared, as the table and the report show it: its outcomes (outcomeText), why a
/// value is not computable, its caveats; or the condition that keeps it from applying.
[[nodiscard]] std::string comparedText(const Engine::RuleResult& rule);

/// The set's verdict for one wall in words: "passed", "failed", "nothing checked: no rule of the
/// set applies to this wall" or "not computable: ...".
[[nodiscard]] std::string setVerdictText(const Engine::RequirementsResult& result);

}  // namespace Brusk::Frontend
