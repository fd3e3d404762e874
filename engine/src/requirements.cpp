#include "brusk/engine/requirements.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <string>

namespace Brusk::Engine {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

/// The moisture output gives amounts of water in g/m2; the engine holds them in kg/m2.
constexpr double kGramsPerKilogram = 1000.0;

/// The results of the moisture assessment a test may read: one figure for the whole wall each.
constexpr std::string_view kMoistureKeys[] = {"max_accumulated",   "end_accumulated",
                                              "dries_out",         "surface.f_rsi",
                                              "surface.f_rsi_min", "surface.passes"};

/// Quantities of the element scope a test may read.
constexpr std::string_view kElementKeys[] = {"u_value_corrected"};

/// Figures of a two-dimensional junction a test may read.
constexpr std::string_view kJunctionKeys[] = {"psi", "f_rsi"};

/// Wall quantities that do not depend on how heat crosses the element (the combined method and
/// its caveat leave them alone).
constexpr std::string_view kGeometricKeys[] = {"period", "thickness", "surface_mass"};

template <std::size_t N>
bool listed(const std::string_view (&keys)[N], std::string_view key) {
  return std::find(std::begin(keys), std::end(keys), key) != std::end(keys);
}

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

bool excludeEachOther(const QuantityTest& a, const QuantityTest& b) {
  if (a.quantity != b.quantity) return false;
  const bool aIs = a.comparison == Comparison::Is;
  const bool bIs = b.comparison == Comparison::Is;
  if (aIs || bIs) return aIs && bIs && a.threshold != b.threshold;
  if (isLowerBound(a.comparison) == isLowerBound(b.comparison)) return false;
  return isLowerBound(a.comparison) ? boundsExclude(a, b) : boundsExclude(b, a);
}

std::string quoted(const std::string& word) { return "\"" + word + "\""; }

/// Shortest "%g" text of a number for a reason.
std::string numberText(double value) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%g", value);
  return buffer;
}

/// The unit of a numeric descriptor in the words of a condition.
std::string descriptorUnit(const std::string& descriptor) {
  return descriptor == "site_irradiance" ? " W/m2" : "";
}

void addValue(RuleResult& rule, const std::string& key, double value) {
  for (const auto& known : rule.values) {
    if (known.first == key) return;
  }
  rule.values.emplace_back(key, value);
}

void addCaveat(RuleResult& rule, const std::string& caveat) {
  if (caveat.empty()) return;
  if (std::find(rule.caveats.begin(), rule.caveats.end(), caveat) == rule.caveats.end()) {
    rule.caveats.push_back(caveat);
  }
}

/// What a verdict on a heat-transfer figure of an element outside the combined method must say.
std::string beyondMethodCaveat(const ElementResult& element) {
  return "the element lies outside the ISO 6946 combined method (R'T/R''T = " +
         numberText(element.upperResistance / element.lowerResistance) + " > " +
         numberText(kLargestLimitRatio) +
         ", ISO 6946:2017 6.7.2): its values are estimates the standard does not give; a "
         "numerical calculation by ISO 10211 applies";
}

TestedValue notComputable(std::string reason) {
  TestedValue value;
  value.value = kNaN;
  value.notComputable = std::move(reason);
  return value;
}

/// A figure of the thermal calculation: the wall's (or element's) characteristics or Uc.
TestedValue thermalValue(const Quantity& quantity, const CheckedWall& wall) {
  const std::string key(quantity.key);
  if (wall.wall == nullptr) return notComputable(key + " needs the wall's characteristics");
  TestedValue tested;
  if (quantity.scope == QuantityScope::Element) {
    // ISO 6946:2017 F.1: Uc = U + Delta U, which is U itself where no correction applies.
    tested.value = wall.element != nullptr ? wall.element->correctedU : wall.wall->uValue;
  } else {
    tested.value = quantity.wallNumber(*wall.wall);
    const SequentialEstimate* estimate =
        key == "sequential_heat_capacity.daily.value"        ? &wall.wall->daily
        : key == "sequential_heat_capacity.twelve_day.value" ? &wall.wall->twelveDay
                                                             : nullptr;
    if (estimate != nullptr && estimate->method == None) {
      // Capacity 0 with method "none" is the absence of an estimate, not an estimate of 0.
      return notComputable(key +
                           " is not computed for this wall: the simplified method of ISO 13786 "
                           "Annex C gives no estimate for it (method \"none\")");
    }
  }
  if (!std::isfinite(tested.value)) return notComputable(key + " is not defined for this wall");
  if (wall.element != nullptr && wall.element->beyondMethod && !listed(kGeometricKeys, key)) {
    tested.caveat = beyondMethodCaveat(*wall.element);
  }
  return tested;
}

/// psi or fRsi of a checked junction: psi = L2D - sum U_j l_j (ISO 10211:2017 10.4.2, eq. (12)),
/// fRsi = (theta_si,min - theta_e) / (theta_i - theta_e) (ISO 10211:2017 11.2).
TestedValue junctionValue(const std::string& key, const CheckedWall& wall) {
  if (wall.bridge == nullptr) {
    return notComputable(key +
                         " is a figure of a two-dimensional junction (ISO 10211), not of a wall: "
                         "check the junction file");
  }
  const BridgeResult& bridge = *wall.bridge;
  TestedValue tested;
  if (key == "psi") {
    if (bridge.psi.empty()) {
      return notComputable(
          "psi is not computed for this junction: it has no flanking elements to measure it "
          "against (ISO 10211:2017 10.4.2)");
    }
    if (bridge.psi.size() > 1) {
      // With three or more environments there is one psi per pair; which one a rule means is
      // not for the check to guess.
      return notComputable("psi is given per pair of environments for this junction (" +
                           std::to_string(bridge.psi.size()) +
                           " pairs); a rule reads the psi of a junction between two environments");
    }
    tested.value = bridge.psi.front().psi;
  } else {
    if (!bridge.fRsi) {
      return notComputable(
          "f_rsi is not computed for this junction: it needs environments named indoor and "
          "outdoor at different temperatures (ISO 10211:2017 11.2)");
    }
    tested.value = *bridge.fRsi;
  }
  if (!std::isfinite(tested.value)) return notComputable(key + " is not defined for this junction");
  return tested;
}

/// A result of one path's moisture assessment, in the unit of the moisture output.
TestedValue moistureValue(const std::string& key, const MoistureResult& result) {
  TestedValue tested;
  if (key == "max_accumulated") {
    tested.value = result.maxAccumulated * kGramsPerKilogram;
  } else if (key == "end_accumulated") {
    tested.value = result.endAccumulated * kGramsPerKilogram;
  } else if (key == "dries_out") {
    tested.value = result.driesOut ? 1.0 : 0.0;
  } else if (key == "surface.f_rsi") {
    tested.value = result.fRsi;
  } else if (key == "surface.f_rsi_min") {
    if (!std::isfinite(result.fRsiMin)) {
      return notComputable(
          "surface.f_rsi_min is not defined under this climate: no month is warmer indoors than "
          "outdoors (ISO 13788:2012, 5.2)");
    }
    tested.value = result.fRsiMin;
  } else {
    tested.value = result.surfacePasses ? 1.0 : 0.0;
  }
  if (!std::isfinite(tested.value)) return notComputable(key + " is not defined for this wall");
  return tested;
}

/// True when `a` is worse than `b` for `test`: nearer failing it.
bool worseFor(const QuantityTest& test, double a, double b) {
  switch (test.comparison) {
    case Comparison::LessThan:
    case Comparison::AtMost:
      return a > b;
    case Comparison::GreaterThan:
    case Comparison::AtLeast:
      return a < b;
    case Comparison::Is:
      break;
  }
  return a != test.threshold && b == test.threshold;
}

/// The moisture result `test` reads: the path worst for it.
TestedValue moistureValue(const QuantityTest& test, const CheckedWall& wall) {
  if (wall.moisture.empty()) {
    return notComputable(test.quantity + " needs the moisture assessment (ISO 13788): " +
                         (wall.withoutMoisture.empty() ? std::string("no climate was given")
                                                       : wall.withoutMoisture));
  }
  TestedValue worst;
  bool pathsDiffer = false;
  for (std::size_t p = 0; p < wall.moisture.size(); ++p) {
    TestedValue tested = moistureValue(test.quantity, *wall.moisture[p]);
    if (!tested.computed()) return tested;
    if (p < wall.moisturePaths.size()) tested.path = wall.moisturePaths[p];
    pathsDiffer = pathsDiffer || (p > 0 && tested.value != worst.value);
    if (p == 0 || worseFor(test, tested.value, worst.value)) worst = std::move(tested);
  }
  // Where every path gives the same figure (f_Rsi,min depends on the climate alone), no path
  // decides it.
  if (!pathsDiffer) worst.path.clear();
  return worst;
}

/// Three-valued evaluation of `group`, appending its outcomes: a test that cannot be decided
/// leaves the group undecided only where the others do not decide it (one failure decides an
/// `all`, one pass an `any`).
Verdict evaluateGroup(const TestGroup& group, const CheckedWall& wall, RuleResult& rule,
                      std::vector<TestOutcome>& outcomes) {
  bool anyFailed = false;
  bool anyPassed = false;
  bool anyUnknown = false;
  for (const QuantityTest& test : group.tests) {
    const TestedValue tested = testedValue(test, wall);
    TestOutcome outcome;
    outcome.test = test;
    outcome.value = tested.computed() ? tested.value : kNaN;
    outcome.path = tested.path;
    if (!tested.computed()) {
      outcome.verdict = Verdict::NotComputable;
      outcome.notComputable = tested.notComputable;
      anyUnknown = true;
    } else {
      const bool passed = compare(tested.value, test.comparison, test.threshold);
      outcome.verdict = passed ? Verdict::Passed : Verdict::Failed;
      anyPassed = anyPassed || passed;
      anyFailed = anyFailed || !passed;
    }
    addValue(rule, test.quantity, outcome.value);
    addCaveat(rule, tested.caveat);
    outcomes.push_back(std::move(outcome));
  }
  if (group.combination == Combination::All) {
    if (anyFailed) return Verdict::Failed;
    return anyUnknown ? Verdict::NotComputable : Verdict::Passed;
  }
  if (anyPassed) return Verdict::Passed;
  return anyUnknown ? Verdict::NotComputable : Verdict::Failed;
}

/// The reason of the first test of `outcomes` that could not be decided.
std::string firstNotComputable(const std::vector<TestOutcome>& outcomes) {
  for (const TestOutcome& outcome : outcomes) {
    if (outcome.verdict == Verdict::NotComputable) return outcome.notComputable;
  }
  return {};
}

/// Verdicts ranked from the one a set of them reports first.
int severity(Verdict verdict) {
  switch (verdict) {
    case Verdict::Failed:
      return 4;
    case Verdict::NotComputable:
      return 3;
    case Verdict::NothingChecked:
    case Verdict::NotApplicable:
      return 2;
    case Verdict::Passed:
      break;
  }
  return 1;
}

/// What the tests of `rule` (of its classes too) read: junction figures, wall figures, or both.
struct RuleReads {
  bool junction = false;
  bool wall = false;
};

RuleReads readsOf(const Rule& rule) {
  RuleReads reads;
  const auto add = [&reads](const TestGroup& group) {
    for (const QuantityTest& test : group.tests) {
      const Quantity* q = testableQuantity(test.quantity);
      (q != nullptr && isJunctionQuantity(*q) ? reads.junction : reads.wall) = true;
    }
  };
  add(rule.tests);
  for (const RequirementClass& candidate : rule.classes) add(candidate.tests);
  return reads;
}

/// Why a rule does not apply to what is checked: a rule on a junction's figures only does not
/// apply to a wall, nor a rule on a wall's figures only to a junction, so that one project file
/// can give the limits of both. A rule reading both is evaluated (its other figures are not
/// computable).
std::optional<Message> kindMismatch(const Rule& rule, const CheckedWall& wall) {
  const RuleReads reads = readsOf(rule);
  if (wall.bridge == nullptr && reads.junction && !reads.wall) {
    return Message{"requirement.reads_junction", {}};
  }
  if (wall.bridge != nullptr && reads.wall && !reads.junction) {
    return Message{"requirement.reads_wall", {}};
  }
  return std::nullopt;
}

void evaluateRule(const Rule& rule, const CheckedWall& wall, RuleResult& verdict) {
  if (!rule.isClassification()) {
    verdict.verdict = evaluateGroup(rule.tests, wall, verdict, verdict.outcomes);
    if (verdict.verdict == Verdict::NotComputable) {
      verdict.reason = firstNotComputable(verdict.outcomes);
    }
    return;
  }
  // Every class is evaluated so that the values of all its quantities are reported. The first
  // class that passes is the result, unless a class before it could not be decided: that class
  // might have matched, so the classification is not computable.
  bool decided = false;
  verdict.verdict = Verdict::Failed;
  for (const RequirementClass& candidate : rule.classes) {
    std::vector<TestOutcome> outcomes;
    const Verdict found = evaluateGroup(candidate.tests, wall, verdict, outcomes);
    if (decided || found == Verdict::Failed) continue;
    decided = true;
    verdict.verdict = found;
    verdict.outcomes = std::move(outcomes);
    if (found == Verdict::Passed) {
      verdict.className = candidate.name;
    } else {
      verdict.reason = "class " + quoted(candidate.name) +
                       " cannot be decided: " + firstNotComputable(verdict.outcomes);
    }
  }
  if (!decided) verdict.reason = "no class of the rule matches the wall";
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
    case Comparison::Is:
      return "is";
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
    case Comparison::Is:
      return "is";
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
    case Comparison::Is:
      return value == threshold;
    case Comparison::AtLeast:
      break;
  }
  return value >= threshold;
}

std::optional<std::pair<std::size_t, std::size_t>> contradictoryTests(const TestGroup& group) {
  if (group.combination != Combination::All) return std::nullopt;
  for (std::size_t i = 0; i < group.tests.size(); ++i) {
    for (std::size_t j = i + 1; j < group.tests.size(); ++j) {
      if (excludeEachOther(group.tests[i], group.tests[j])) return std::make_pair(i, j);
    }
  }
  return std::nullopt;
}

const std::vector<const Quantity*>& testableQuantities() {
  static const std::vector<const Quantity*> all = [] {
    std::vector<const Quantity*> found;
    for (const Quantity& q : quantities()) {
      const bool wallNumber = q.scope == QuantityScope::Wall && q.type == QuantityType::Number &&
                              q.wallNumber != nullptr;
      const bool element = q.scope == QuantityScope::Element && listed(kElementKeys, q.key);
      const bool moisture = q.scope == QuantityScope::Moisture && listed(kMoistureKeys, q.key);
      const bool junction = q.scope == QuantityScope::Bridge && listed(kJunctionKeys, q.key);
      if (wallNumber || element || moisture || junction) found.push_back(&q);
    }
    return found;
  }();
  return all;
}

const Quantity* testableQuantity(std::string_view key) {
  for (const Quantity* q : testableQuantities()) {
    if (q->key == key) return q;
  }
  return nullptr;
}

bool isJunctionQuantity(const Quantity& quantity) {
  return quantity.scope == QuantityScope::Bridge;
}

bool isMoistureQuantity(const Quantity& quantity) {
  return quantity.scope == QuantityScope::Moisture;
}

bool testsMoisture(const RequirementSet& set) {
  const auto readsMoisture = [](const TestGroup& group) {
    return std::any_of(group.tests.begin(), group.tests.end(), [](const QuantityTest& test) {
      const Quantity* q = testableQuantity(test.quantity);
      return q != nullptr && isMoistureQuantity(*q);
    });
  };
  return std::any_of(set.rules.begin(), set.rules.end(), [&](const Rule& rule) {
    return readsMoisture(rule.tests) ||
           std::any_of(rule.classes.begin(), rule.classes.end(),
                       [&](const RequirementClass& c) { return readsMoisture(c.tests); });
  });
}

TestedValue testedValue(const QuantityTest& test, const CheckedWall& wall) {
  const Quantity* quantity = testableQuantity(test.quantity);
  if (quantity == nullptr) {
    return notComputable(test.quantity + " is not a quantity a test can read");
  }
  if (isJunctionQuantity(*quantity)) return junctionValue(test.quantity, wall);
  if (wall.bridge != nullptr) {
    return notComputable(test.quantity +
                         " is a figure of a wall, not of a junction: a junction gives psi and "
                         "f_rsi (ISO 10211)");
  }
  return isMoistureQuantity(*quantity) ? moistureValue(test, wall) : thermalValue(*quantity, wall);
}

const char* verdictName(Verdict verdict) {
  switch (verdict) {
    case Verdict::Passed:
      return "passed";
    case Verdict::Failed:
      return "failed";
    case Verdict::NotApplicable:
      return "not applicable";
    case Verdict::NotComputable:
      return "not computable";
    case Verdict::NothingChecked:
      break;
  }
  return "nothing checked";
}

Verdict worstVerdict(Verdict a, Verdict b) { return severity(b) > severity(a) ? b : a; }

std::optional<Message> unmetCondition(const Condition& condition,
                                      const WallDescriptors& descriptors) {
  const auto descriptor = MessageValue::fileKey(condition.descriptor);
  if (condition.comparison) {
    const auto unit = MessageValue::plain(descriptorUnit(condition.descriptor));
    const auto comparison = MessageValue::plain(comparisonSymbol(*condition.comparison));
    const auto threshold = MessageValue::number(numberText(condition.threshold));
    const auto found = descriptors.numbers.find(condition.descriptor);
    if (found == descriptors.numbers.end()) {
      return Message{"requirement.number_not_given",
                     {{"descriptor", descriptor},
                      {"comparison", comparison},
                      {"threshold", threshold},
                      {"unit", unit}}};
    }
    if (compare(found->second, *condition.comparison, condition.threshold)) return std::nullopt;
    return Message{"requirement.number_outside",
                   {{"descriptor", descriptor},
                    {"value", MessageValue::number(numberText(found->second))},
                    {"comparison", comparison},
                    {"threshold", threshold},
                    {"unit", unit}}};
  }
  const auto words = MessageValue::choices(condition.descriptor, condition.words);
  const auto found = descriptors.words.find(condition.descriptor);
  if (found == descriptors.words.end()) {
    return Message{
        condition.negated ? "requirement.other_words_not_given" : "requirement.words_not_given",
        {{"descriptor", descriptor}, {"words", words}}};
  }
  const bool isListed = std::find(condition.words.begin(), condition.words.end(), found->second) !=
                        condition.words.end();
  if (isListed != condition.negated) return std::nullopt;
  return Message{condition.negated ? "requirement.word_excluded" : "requirement.word_outside",
                 {{"descriptor", descriptor},
                  {"value", MessageValue::word(condition.descriptor, found->second)},
                  {"words", words}}};
}

RequirementsResult evaluateRequirements(const RequirementSet& set, const CheckedWall& wall) {
  RequirementsResult out;
  out.name = set.name;
  out.source = set.source;
  // A set with no rule that applies has checked nothing: never "passed".
  out.verdict = Verdict::NothingChecked;
  for (const Rule& rule : set.rules) {
    RuleResult verdict;
    verdict.id = rule.id;
    verdict.source = rule.source;
    verdict.isClassification = rule.isClassification();
    if (auto mismatch = kindMismatch(rule, wall)) {
      verdict.verdict = Verdict::NotApplicable;
      verdict.reason = englishText(*mismatch);
      verdict.reasonMessage = std::move(*mismatch);
    }
    for (const Condition& condition : rule.when) {
      if (!verdict.applicable()) break;
      if (auto reason = unmetCondition(condition, wall.descriptors)) {
        verdict.verdict = Verdict::NotApplicable;
        verdict.reason = englishText(*reason);
        verdict.reasonMessage = std::move(*reason);
        break;
      }
    }
    if (verdict.applicable()) {
      evaluateRule(rule, wall, verdict);
      out.verdict = out.verdict == Verdict::NothingChecked
                        ? verdict.verdict
                        : worstVerdict(out.verdict, verdict.verdict);
    }
    out.rules.push_back(std::move(verdict));
  }
  return out;
}

}  // namespace Brusk::Engine
