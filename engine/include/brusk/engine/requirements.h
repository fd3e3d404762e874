#pragma once

// Requirements as data: a set of rules, each a comparison of quantities of the quantity
// description (quantities.h, scope compute) with thresholds, or an ordered classification, and
// optional conditions on what the wall is (position, heat flow, orientation, the site's
// irradiance) that decide whether a rule applies. Evaluation reads the computed values through
// the description's accessors and returns every verdict as a value; nothing here throws.

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>
#include "brusk/engine/message.h"

#include "brusk/engine/wall_result.h"

namespace Brusk::Engine {

/// How a value is compared with its threshold.
enum class Comparison { LessThan, AtMost, GreaterThan, AtLeast };

/// "less_than", "at_most", "greater_than", "at_least": the key a requirements file writes.
[[nodiscard]] const char* comparisonKey(Comparison comparison);
/// "<", "<=", ">", ">=".
[[nodiscard]] const char* comparisonSymbol(Comparison comparison);
/// True when `value` passes `comparison` against `threshold`; a NaN value never passes.
[[nodiscard]] bool compare(double value, Comparison comparison, double threshold);

/// One test on one quantity: the value of `quantity` (a key of the compute scope, type number)
/// compared with `threshold` in the quantity's JSON (SI) unit.
struct QuantityTest {
  std::string quantity;
  Comparison comparison = Comparison::AtMost;
  double threshold = 0.0;
};

/// Tests combined: all must pass, or any one. An `All` of no tests always passes; an `Any` of
/// none never does.
enum class Combination { All, Any };
struct TestGroup {
  Combination combination = Combination::All;
  std::vector<QuantityTest> tests;
};

/// Two tests of one group that no value can pass together (greater_than 5 and less_than 3 on
/// the same quantity in an `all`): their indices, or none.
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

/// What a wall is, beyond its layers: words ("position" = "external", "orientation" = "N")
/// and numbers ("site_irradiance" = 290).
struct WallDescriptors {
  std::map<std::string, std::string> words;
  std::map<std::string, double> numbers;
};

/// One test as evaluated.
struct TestOutcome {
  QuantityTest test;
  double value = 0.0;
  bool passed = false;
};

/// One rule as evaluated for one wall.
struct RuleResult {
  std::string id;
  std::string source;
  bool applicable = true;
  std::string notApplicable;     ///< the condition that excluded the rule, as English text
  Message notApplicableMessage;  ///< the same as a message by key, for other languages
  bool passed = false;        ///< a classification passes when some class matched
  bool isClassification = false;
  std::string className;  ///< the class found (classification rules only)
  /// Every quantity the rule names, with its value, in the order first named.
  std::vector<std::pair<std::string, double>> values;
  /// The tests that decided: a test rule's tests; a classification's matching class's tests.
  std::vector<TestOutcome> outcomes;
};

/// A set as evaluated for one wall: passed when every applicable rule passed.
struct RequirementsResult {
  std::string name;
  std::string source;
  bool passed = true;
  std::vector<RuleResult> rules;
};

/// The value of the compute-scope number `key` for `result`, or none when the description has
/// no such number.
[[nodiscard]] std::optional<double> wallQuantityValue(const WallResult& result,
                                                      const std::string& key);

/// Whether `condition` holds for `descriptors`; when it does not, why ("orientation is "N"",
/// englishText() of the message) as a message by key.
[[nodiscard]] std::optional<Message> unmetCondition(const Condition& condition,
                                                    const WallDescriptors& descriptors);

/// Evaluates every rule of `set` for a wall described by `descriptors` with results `result`.
/// A quantity key the description lacks gives a NaN value, which fails its test.
[[nodiscard]] RequirementsResult evaluateRequirements(const RequirementSet& set,
                                                      const WallDescriptors& descriptors,
                                                      const WallResult& result);

}  // namespace Brusk::Engine
