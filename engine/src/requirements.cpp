#include "brusk/engine/requirements.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "brusk/engine/quantities.h"

namespace Brusk::Engine {

namespace {

bool isLowerBound(Comparison comparison) {
  return comparison == Comparison::GreaterThan || comparison == Comparison::AtLeast;
}

bool isStrict(Comparison comparison) {
  return comparison == Comparison::GreaterThan || comparison == Comparison::LessThan;
}

/// True when no value passes both a lower bound `low` and an upper bound `high`.
bool boundsExclude(const QuantityTest& low, const QuantityTest& high) {
  if (low.threshold > high.threshold) return true;
  return low.threshold == high.threshold && (isStrict(low.comparison) || isStrict(high.comparison));
}

/// Shortest "%g"-like text of a threshold for a reason.
std::string numberText(double value) {
  std::string text = std::to_string(value);
  if (text.find('.') != std::string::npos) {
    while (!text.empty() && text.back() == '0') text.pop_back();
    if (!text.empty() && text.back() == '.') text.pop_back();
  }
  return text;
}

void addValue(RuleResult& rule, const std::string& key, double value) {
  for (const auto& known : rule.values) {
    if (known.first == key) return;
  }
  rule.values.emplace_back(key, value);
}

/// Evaluates `group` for `result`, appending its outcomes; true when it passes.
bool evaluateGroup(const TestGroup& group, const WallResult& result, RuleResult& rule,
                   std::vector<TestOutcome>& outcomes) {
  bool all = true;
  bool any = false;
  for (const QuantityTest& test : group.tests) {
    const double value =
        wallQuantityValue(result, test.quantity).value_or(std::numeric_limits<double>::quiet_NaN());
    const bool passed = compare(value, test.comparison, test.threshold);
    addValue(rule, test.quantity, value);
    outcomes.push_back({test, value, passed});
    all = all && passed;
    any = any || passed;
  }
  return group.combination == Combination::All ? all : any;
}

}  // namespace

const char* comparisonKey(Comparison comparison) {
  switch (comparison) {
    case Comparison::LessThan:
      return "less_than";
    case Comparison::AtMost:
      return "at_most";
    case Comparison::GreaterThan:
      return "greater_than";
    case Comparison::AtLeast:
      break;
  }
  return "at_least";
}

const char* comparisonSymbol(Comparison comparison) {
  switch (comparison) {
    case Comparison::LessThan:
      return "<";
    case Comparison::AtMost:
      return "<=";
    case Comparison::GreaterThan:
      return ">";
    case Comparison::AtLeast:
      break;
  }
  return ">=";
}

bool compare(double value, Comparison comparison, double threshold) {
  switch (comparison) {
    case Comparison::LessThan:
      return value < threshold;
    case Comparison::AtMost:
      return value <= threshold;
    case Comparison::GreaterThan:
      return value > threshold;
    case Comparison::AtLeast:
      break;
  }
  return value >= threshold;
}

std::optional<std::pair<std::size_t, std::size_t>> contradictoryTests(const TestGroup& group) {
  if (group.combination != Combination::All) return std::nullopt;
  for (std::size_t i = 0; i < group.tests.size(); ++i) {
    for (std::size_t j = i + 1; j < group.tests.size(); ++j) {
      const QuantityTest& a = group.tests[i];
      const QuantityTest& b = group.tests[j];
      if (a.quantity != b.quantity) continue;
      if (isLowerBound(a.comparison) == isLowerBound(b.comparison)) continue;
      const bool excluded = isLowerBound(a.comparison) ? boundsExclude(a, b) : boundsExclude(b, a);
      if (excluded) return std::make_pair(i, j);
    }
  }
  return std::nullopt;
}

std::optional<double> wallQuantityValue(const WallResult& result, const std::string& key) {
  const Quantity* quantity = findQuantity(QuantityScope::Wall, key);
  if (quantity == nullptr || quantity->type != QuantityType::Number ||
      quantity->wallNumber == nullptr) {
    return std::nullopt;
  }
  return quantity->wallNumber(result);
}

std::optional<Message> unmetCondition(const Condition& condition,
                                      const WallDescriptors& descriptors) {
  const auto descriptor = MessageValue::fileKey(condition.descriptor);
  if (condition.comparison) {
    const auto found = descriptors.numbers.find(condition.descriptor);
    const auto comparison = MessageValue::plain(comparisonSymbol(*condition.comparison));
    const auto threshold = MessageValue::number(numberText(condition.threshold));
    if (found == descriptors.numbers.end()) {
      return Message{
          "requirement.number_not_given",
          {{"descriptor", descriptor}, {"comparison", comparison}, {"threshold", threshold}}};
    }
    if (compare(found->second, *condition.comparison, condition.threshold)) return std::nullopt;
    return Message{"requirement.number_outside",
                   {{"descriptor", descriptor},
                    {"value", MessageValue::number(numberText(found->second))},
                    {"comparison", comparison},
                    {"threshold", threshold}}};
  }
  const auto words = MessageValue::choices(condition.descriptor, condition.words);
  const auto found = descriptors.words.find(condition.descriptor);
  if (found == descriptors.words.end()) {
    return Message{
        condition.negated ? "requirement.other_words_not_given" : "requirement.words_not_given",
        {{"descriptor", descriptor}, {"words", words}}};
  }
  const bool listed = std::find(condition.words.begin(), condition.words.end(), found->second) !=
                      condition.words.end();
  if (listed != condition.negated) return std::nullopt;
  return Message{condition.negated ? "requirement.word_excluded" : "requirement.word_outside",
                 {{"descriptor", descriptor},
                  {"value", MessageValue::word(condition.descriptor, found->second)},
                  {"words", words}}};
}

RequirementsResult evaluateRequirements(const RequirementSet& set,
                                        const WallDescriptors& descriptors,
                                        const WallResult& result) {
  RequirementsResult out;
  out.name = set.name;
  out.source = set.source;
  for (const Rule& rule : set.rules) {
    RuleResult verdict;
    verdict.id = rule.id;
    verdict.source = rule.source;
    verdict.isClassification = rule.isClassification();
    for (const Condition& condition : rule.when) {
      if (auto reason = unmetCondition(condition, descriptors)) {
        verdict.applicable = false;
        verdict.notApplicable = englishText(*reason);
        verdict.notApplicableMessage = std::move(*reason);
        break;
      }
    }
    if (verdict.applicable) {
      if (rule.isClassification()) {
        // Every class is evaluated so that the values of all its quantities are reported; the
        // first class that passes is the result and its tests the outcomes shown.
        bool found = false;
        for (const RequirementClass& candidate : rule.classes) {
          std::vector<TestOutcome> outcomes;
          const bool passed = evaluateGroup(candidate.tests, result, verdict, outcomes);
          if (passed && !found) {
            found = true;
            verdict.className = candidate.name;
            verdict.outcomes = std::move(outcomes);
          }
        }
        verdict.passed = found;
      } else {
        verdict.passed = evaluateGroup(rule.tests, result, verdict, verdict.outcomes);
      }
      out.passed = out.passed && verdict.passed;
    }
    out.rules.push_back(std::move(verdict));
  }
  return out;
}

}  // namespace Brusk::Engine
