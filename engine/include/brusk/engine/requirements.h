#pragma once

// Requirements as data: a set of rules, each a comparison of quantities Brusk computes with
// thresholds, or an ordered classification, and optional conditions on what the wall is
// (position, heat flow, orientation, the site's irradiance) that decide whether a rule applies.
// A test reads the numbers of the quantity description's compute scope, the corrected U-value of
// ISO 6946 Annex F, and the results of the ISO 13788 moisture assessment when one was made.
// Evaluation is three-valued: a value the wall does not have (a quantity not computed for it, a
// moisture result without a climate) makes its test "not computable", never a pass or a fail by
// a stand-in number; every verdict comes back as a value and nothing here throws.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "brusk/engine/bridged_element.h"
#include "brusk/engine/message.h"
#include "brusk/engine/moisture.h"
#include "brusk/engine/quantities.h"
#include "brusk/engine/thermal_bridge.h"
#include "brusk/engine/wall_result.h"

namespace Brusk::Engine {

/// How a value is compared with its threshold; `Is` compares a yes/no quantity with true or false
/// (threshold 1 or 0).
enum class Comparison { LessThan, AtMost, GreaterThan, AtLeast, Is };

/// "less_than", "at_most", "greater_than", "at_least", "is": the key a requirements file writes.
[[nodiscard]] const char* comparisonKey(Comparison comparison);
/// "<", "<=", ">", ">=", "is".
[[nodiscard]] const char* comparisonSymbol(Comparison comparison);
/// True when `value` passes `comparison` against `threshold`; a NaN value never passes.
[[nodiscard]] bool compare(double value, Comparison comparison, double threshold);

/// One test on one quantity: the value of `quantity` (a testable key, testableQuantity())
/// compared with `threshold` in the quantity's JSON (SI) unit.
struct QuantityTest {
  std::string quantity;
  Comparison comparison = Comparison::AtMost;
  double threshold = 0.0;
  /// The unit the rule wrote the threshold in and the number it wrote, for the words of a
  /// verdict; an empty unit: the threshold was written in the quantity's JSON unit.
  std::string unit;
  double written = 0.0;
};

/// Tests combined: all must pass, or any one. An `All` of no tests always passes; an `Any` of
/// none never does.
enum class Combination { All, Any };
struct TestGroup {
  Combination combination = Combination::All;
  std::vector<QuantityTest> tests;
};

/// Two tests of one group that no value can pass together (greater_than 5 and less_than 3 on
/// the same quantity in an `all`, or is true and is false): their indices, or none.
[[nodiscard]] std::optional<std::pair<std::size_t, std::size_t>> contradictoryTests(
    const TestGroup& group);

/// One condition on a descriptor of the wall: its word is (or, negated, is not) one of `words`,
/// or its number passes `comparison` against `threshold`.
struct Condition {
  std::string descriptor;  ///< "position", "heat_flow", "orientation", "site_irradiance"
  std::vector<std::string> words;
  bool negated = false;
  std::optional<Comparison> comparison;  ///< set for a numeric condition
  double threshold = 0.0;
};

/// A class of a classification rule: the first whose tests pass names the result.
struct RequirementClass {
  std::string name;
  TestGroup tests;
};

/// One rule: tests that must pass, or (with classes) a classification.
struct Rule {
  std::string id;
  std::string source;                     ///< clause of the document
  std::vector<Condition> when;            ///< all must hold for the rule to apply
  TestGroup tests;                        ///< a test rule's tests
  std::vector<RequirementClass> classes;  ///< a classification rule's classes, in order
  [[nodiscard]] bool isClassification() const { return !classes.empty(); }
};

/// A requirement set: a document's (or a project's) rules.
struct RequirementSet {
  std::string name;
  std::string source;  ///< document and clause
  std::vector<Rule> rules;
};

/// The quantity `key` names when a test may compare it: a number of the compute scope with an
/// accessor, u_value_corrected (ISO 6946 Annex F), or one of the moisture assessment's results
/// for the whole wall (max_accumulated, end_accumulated, dries_out, surface.f_rsi,
/// surface.f_rsi_min, surface.passes), or a junction's psi and f_rsi (ISO 10211); null for any
/// other key.
[[nodiscard]] const Quantity* testableQuantity(std::string_view key);

/// Every testable quantity, in the description's order.
[[nodiscard]] const std::vector<const Quantity*>& testableQuantities();

/// True for a quantity of the moisture assessment, which needs a climate.
[[nodiscard]] bool isMoistureQuantity(const Quantity& quantity);

/// True for a figure of a two-dimensional junction (psi, f_rsi), which only a junction has.
[[nodiscard]] bool isJunctionQuantity(const Quantity& quantity);

/// True when some test of `set` (of a rule or of a class) reads a moisture result.
[[nodiscard]] bool testsMoisture(const RequirementSet& set);

/// What a wall is, beyond its layers: words ("position" = "external", "orientation" = "N")
/// and numbers ("site_irradiance" = 290).
struct WallDescriptors {
  std::map<std::string, std::string> words;
  std::map<std::string, double> numbers;
};

/// What the rules read of one wall: its descriptors and its results. The pointers are borrowed
/// for the evaluation.
struct CheckedWall {
  WallDescriptors descriptors;
  const WallResult* wall = nullptr;  ///< the characteristics at the check's cycle length
  /// The element's combined-method result for a wall computed as an element; null for a wall
  /// of plain layers (whose corrected U is its U).
  const ElementResult* element = nullptr;
  /// The ISO 13788 assessment under the check's climate of each one-dimensional path through
  /// the wall (one for a wall without parts), or none; then `withoutMoisture` says why (no
  /// climate given, or the assessment's own refusal) for the verdicts that need it.
  std::vector<const MoistureResult*> moisture;
  /// The paths' names ("Stud"), as many as `moisture`, for a wall with parts; empty otherwise.
  std::vector<std::string> moisturePaths;
  std::string withoutMoisture;
  /// A junction's results (ISO 10211) when a junction is checked rather than a wall; then
  /// `wall` is null and only the junction's figures are computable.
  const BridgeResult* bridge = nullptr;
};

/// The value a test reads, in the quantity's JSON unit (a yes/no as 1 or 0), or why the wall has
/// none; and what a verdict on it must say beside it.
struct TestedValue {
  double value = 0.0;
  std::string notComputable;  ///< empty when `value` holds the wall's value
  std::string caveat;         ///< e.g. the element lies outside the combined method
  std::string path;           ///< the moisture path the value is from, for a wall with parts
  [[nodiscard]] bool computed() const { return notComputable.empty(); }
};

/// The value `test` reads of `wall`. A key that is not testable, a figure the wall's calculation
/// did not produce (no sequential estimate, a NaN) or a moisture result without an assessment is
/// not computable, with the reason. A moisture result of a wall with parts is that of the path
/// worst for the test (the most water against an upper limit, the least against a lower one, a
/// path of the other yes/no against `is`): a requirement holds for the element where it holds
/// along every path (ISO 13788 being one-dimensional), and the value says which path it is.
[[nodiscard]] TestedValue testedValue(const QuantityTest& test, const CheckedWall& wall);

/// A verdict on one test, one rule or one wall's whole set.
enum class Verdict {
  Passed,
  Failed,
  NotApplicable,   ///< a rule whose conditions exclude the wall
  NotComputable,   ///< a value the verdict needs is not computed for the wall
  NothingChecked,  ///< a set none of whose rules applies to the wall
};

/// "passed", "failed", "not applicable", "not computable" or "nothing checked".
[[nodiscard]] const char* verdictName(Verdict verdict);

/// One test as evaluated.
struct TestOutcome {
  QuantityTest test;
  double value = 0.0;                 ///< NaN when not computable
  Verdict verdict = Verdict::Failed;  ///< Passed, Failed or NotComputable
  std::string notComputable;          ///< why, when not computable
  std::string path;                   ///< the moisture path the value is from, if any
};

/// One rule as evaluated for one wall.
struct RuleResult {
  std::string id;
  std::string source;
  Verdict verdict = Verdict::Failed;  ///< Passed, Failed, NotApplicable or NotComputable
  /// The condition that excluded the rule, why a value it needs is not computable, or (a
  /// classification that failed) that no class matches.
  std::string reason;
  /// Why the rule does not apply, as a message by key (`reason` is its English), so that a
  /// page words it in its reader's language; empty for any other verdict.
  Message reasonMessage;
  bool isClassification = false;
  std::string className;  ///< the class found (classification rules that passed only)
  /// Every quantity the rule names, with its value (NaN when not computable), in the order
  /// first named.
  std::vector<std::pair<std::string, double>> values;
  /// The tests that decided: a test rule's tests; a classification's matching class's tests,
  /// or those of the class that could not be decided.
  std::vector<TestOutcome> outcomes;
  /// What the verdict must be read with (each once), e.g. that the element lies outside the
  /// ISO 6946 combined method.
  std::vector<std::string> caveats;

  [[nodiscard]] bool applicable() const { return verdict != Verdict::NotApplicable; }
};

/// A set as evaluated for one wall: Failed when a rule failed; else NotComputable when a rule
/// could not be decided; else Passed when some rule applied; NothingChecked when none did.
struct RequirementsResult {
  std::string name;
  std::string source;
  Verdict verdict = Verdict::NothingChecked;
  std::vector<RuleResult> rules;
};

/// The verdict of several: Failed before NotComputable before NothingChecked before Passed, so
/// that "passed" means every one passed.
[[nodiscard]] Verdict worstVerdict(Verdict a, Verdict b);

/// Whether `condition` holds for `descriptors`; when it does not, why ("orientation is "N"",
/// englishText() of the message) as a message by key.
[[nodiscard]] std::optional<Message> unmetCondition(const Condition& condition,
                                                    const WallDescriptors& descriptors);

/// Evaluates every rule of `set` for `wall`.
[[nodiscard]] RequirementsResult evaluateRequirements(const RequirementSet& set,
                                                      const CheckedWall& wall);

}  // namespace Brusk::Engine
