#pragma once

#include <string>

#include "brusk/frontend/provenance.h"

namespace Brusk::Report {

/// The report's provenance section: the project's fields, Brusk's version, the date, every input
/// file with its SHA-256, the editions of the standards applied and the conventions chosen.
/// Every name is escaped.
[[nodiscard]] std::string renderProvenanceSection(const Frontend::Provenance& provenance);

}  // namespace Brusk::Report
