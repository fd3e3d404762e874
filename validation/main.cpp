// brusk-validation: checks the engine against the reference values of two walls and prints one
// line per check and a summary. Takes no arguments; the exit status is 0 whatever the verdicts.
#include <iostream>

#include "reference_cases.h"

int main() {
  return Brusk::Validation::runReferenceValidation(std::cout, Brusk::Validation::referenceChecks());
}
