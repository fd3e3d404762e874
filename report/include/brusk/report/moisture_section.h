#pragma once

#include <cstddef>
#include <string>

#include "brusk/frontend/moisture.h"

namespace Brusk::Report {

/// The month a wall's Glaser diagram shows (0 = January): the month of most condensation, or
/// without condensation the critical month of the surface check, else January.
[[nodiscard]] std::size_t glaserMonth(const Engine::MoistureResult& result);

/// One wall's moisture section of the HTML report (ISO 13788): the Glaser diagram of
/// glaserMonth() (saturation and vapour pressure against s_d, the layer faces at their s_d, the
/// tangent construction's line), the year's accumulation as monthly bars, the temperature and
/// dew-point profile through the wall, and the month-by-month table. `index` numbers the
/// section's element ids.
[[nodiscard]] std::string renderMoistureSection(const Frontend::MoistureReport& report,
                                                const Frontend::Climate& climate,
                                                std::size_t index);

}  // namespace Brusk::Report
