// Reference validation of the ISO 13786 engine on two walls: 0.2 m of concrete alone
// ("Surface 0"), and the same concrete insulated with 0.1 m and rendered with 5 mm
// ("Surface 1"), both external with horizontal heat flow (Rsi = 0.13, Rse = 0.04 m2.K/W).
// Reference values are given to the printed digits; tolerances are absolute, in the unit of the
// value, and capacities are compared in kJ/(m2.K).
#include "reference_cases.h"

#include <memory>
#include <ostream>

#include "brusk/engine/layer.h"
#include "brusk/engine/surface.h"
#include "check_report.h"

namespace Brusk::Validation {

using Engine::Layer;
using Engine::Material;
using Engine::Surface;

namespace {

Material makeMaterial(double conductivity, double density, double specificHeat) {
  Material material;
  material.setConductivity(conductivity);
  material.setDensity(density);
  material.setSpecificHeat(specificHeat);
  return material;
}

std::unique_ptr<Layer> makeLayer(const Material& material, double thickness) {
  auto layer = std::make_unique<Layer>();
  layer->setMaterial(material);
  layer->setThickness(thickness);
  return layer;
}

ElementResults compute(const Surface& surface) {
  ElementResults results;
  surface.computeInertia(results.inertia);
  surface.computeSequentialInertia(results.sequential);
  return results;
}

void runChecks(std::ostream& out, const ReferenceTable& checks, std::size_t first,
               const ElementResults& results) {
  for (std::size_t row = first; row < first + kChecksPerElement; ++row) {
    const ReferenceCheck& check = checks[row];
    checkClose(out, check.label, check.expectedText, check.toleranceText, check.expected,
               check.tolerance, check.read(results));
  }
}

}  // namespace

const ReferenceTable& referenceChecks() {
  // clang-format off
  static const ReferenceTable table{{
      {"inertia0._z11.getImaginaryPart()", "3.081", "1.0e-3", 3.081, 0.001, [](const ElementResults& r) { return r.inertia._z11.getImaginaryPart(); }},
      {"inertia0._z11.getRealPart()", "- 0.508", "1.0e-3", -0.508, 0.001, [](const ElementResults& r) { return r.inertia._z11.getRealPart(); }},
      {"inertia0._z12.getImaginaryPart()", "- 0.545", "1.0e-3", -0.545, 0.001, [](const ElementResults& r) { return r.inertia._z12.getImaginaryPart(); }},
      {"inertia0._z12.getRealPart()", "- 0.046", "1.0e-3", -0.046, 0.001, [](const ElementResults& r) { return r.inertia._z12.getRealPart(); }},
      {"inertia0._z21.getImaginaryPart()", "- 30.55", "1.0e-2", -30.55, 0.01, [](const ElementResults& r) { return r.inertia._z21.getImaginaryPart(); }},
      {"inertia0._z21.getRealPart()", "22.16", "1.0e-2", 22.16, 0.01, [](const ElementResults& r) { return r.inertia._z21.getRealPart(); }},
      {"inertia0._z22.getImaginaryPart()", "5.830", "1.0e-3", 5.83, 0.001, [](const ElementResults& r) { return r.inertia._z22.getImaginaryPart(); }},
      {"inertia0._z22.getRealPart()", "- 2.502", "1.0e-3", -2.502, 0.001, [](const ElementResults& r) { return r.inertia._z22.getRealPart(); }},
      {"inertia0._internalAdmittance.getModulus()", "5.70", "1.0e-2", 5.7, 0.01, [](const ElementResults& r) { return r.inertia._internalAdmittance.getModulus(); }},
      {"inertia0._externalAdmittance.getModulus()", "11.59", "1.0e-2", 11.59, 0.01, [](const ElementResults& r) { return r.inertia._externalAdmittance.getModulus(); }},
      {"inertia0._internalAdmittance.getLag()", "0.95", "1.0e-2", 0.95, 0.01, [](const ElementResults& r) { return r.inertia._internalAdmittance.getLag(); }},
      {"inertia0._externalAdmittance.getLag()", "1.87", "1.0e-2", 1.87, 0.01, [](const ElementResults& r) { return r.inertia._externalAdmittance.getLag(); }},
      {"inertia0._conductance", "3.56", "1.0e-2", 3.56, 0.01, [](const ElementResults& r) { return r.inertia._conductance; }},
      {"inertia0._internalThermalCapacity / 1000.0", "86.0", "1.0e-0", 86, 1, [](const ElementResults& r) { return r.inertia._internalThermalCapacity / 1000.0; }},
      {"inertia0._externalThermalCapacity / 1000.0", "171.0", "1.0e-0", 171, 1, [](const ElementResults& r) { return r.inertia._externalThermalCapacity / 1000.0; }},
      {"inertia0._dampingFactor", "0.514", "1.0e-3", 0.514, 0.001, [](const ElementResults& r) { return r.inertia._dampingFactor; }},
      {"inertia0_s._internalSequentialThermalCapacity / 1000.0", "235.822", "1.0e-3", 235.822, 0.001, [](const ElementResults& r) { return r.sequential._internalSequentialThermalCapacity / 1000.0; }},
      {"inertia1._dampingFactor", "0.169", "1.0e-3", 0.169, 0.001, [](const ElementResults& r) { return r.inertia._dampingFactor; }},
      {"inertia1._conductance", "0.359", "1.0e-3", 0.359, 0.001, [](const ElementResults& r) { return r.inertia._conductance; }},
      {"inertia1._internalThermalCapacity / 1000.0", "82.0", "1.0e-0", 82, 1, [](const ElementResults& r) { return r.inertia._internalThermalCapacity / 1000.0; }},
      {"inertia1._externalThermalCapacity / 1000.0", "12.0", "1.0e-0", 12, 1, [](const ElementResults& r) { return r.inertia._externalThermalCapacity / 1000.0; }},
      {"inertia1._internalAdmittance.getModulus()", "5.94", "1.0e-2", 5.94, 0.01, [](const ElementResults& r) { return r.inertia._internalAdmittance.getModulus(); }},
      {"inertia1._internalAdmittance.getLag()", "0.85", "1.0e-2", 0.85, 0.01, [](const ElementResults& r) { return r.inertia._internalAdmittance.getLag(); }},
      {"inertia1._externalAdmittance.getModulus()", "0.85", "1.0e-2", 0.85, 0.01, [](const ElementResults& r) { return r.inertia._externalAdmittance.getModulus(); }},
      {"inertia1._externalAdmittance.getLag()", "4.03", "1.0e-2", 4.03, 0.01, [](const ElementResults& r) { return r.inertia._externalAdmittance.getLag(); }},
      {"inertia1._z11.getModulus()", "98.12", "1.0e-2", 98.12, 0.01, [](const ElementResults& r) { return r.inertia._z11.getModulus(); }},
      {"inertia1._z21.getModulus()", "83.07", "1.0e-2", 83.07, 0.01, [](const ElementResults& r) { return r.inertia._z21.getModulus(); }},
      {"inertia1._z12.getModulus()", "16.51", "1.0e-2", 16.51, 0.01, [](const ElementResults& r) { return r.inertia._z12.getModulus(); }},
      {"inertia1._z22.getModulus()", "13.99", "1.0e-2", 13.99, 0.01, [](const ElementResults& r) { return r.inertia._z22.getModulus(); }},
      {"inertia1._z11.getLag()", "8.96", "1.0e-2", 8.96, 0.01, [](const ElementResults& r) { return r.inertia._z11.getLag(); }},
      {"inertia1._z21.getLag()", "0.99", "1.0e-2", 0.99, 0.01, [](const ElementResults& r) { return r.inertia._z21.getLag(); }},
      {"inertia1._z12.getLag()", "-3.89", "1.0e-2", -3.89, 0.01, [](const ElementResults& r) { return r.inertia._z12.getLag(); }},
      {"inertia1._z22.getLag()", "-11.86", "1.0e-2", -11.86, 0.01, [](const ElementResults& r) { return r.inertia._z22.getLag(); }},
      {"inertia1_s._internalSequentialThermalCapacity / 1000.0", "480.0", "1.0e-3", 480, 0.001, [](const ElementResults& r) { return r.sequential._internalSequentialThermalCapacity / 1000.0; }},
  }};
  // clang-format on
  return table;
}

int runReferenceValidation(std::ostream& out, const ReferenceTable& checks) {
  const Material concrete = makeMaterial(1.8, 2400, 1000);

  // Element 0: concrete alone. Owned here so both elements are destroyed when the run returns.
  auto surface0 = std::make_unique<Surface>();
  surface0->setName("Surface 0");
  surface0->setArea(43);
  surface0->addLayer(makeLayer(concrete, 0.2).release());
  surface0->setPosition(Engine::External);
  surface0->setHeatFlow(Engine::Horizontal);
  runChecks(out, checks, 0, compute(*surface0));

  // Element 1: concrete, insulation, render, from side 1 outward.
  const Material insulation = makeMaterial(0.04, 30, 1400);
  const Material render = makeMaterial(1.0, 1200, 1500);
  auto concreteLayer = makeLayer(concrete, 0.2);
  auto insulationLayer = makeLayer(insulation, 0.1);
  auto renderLayer = makeLayer(render, 0.005);
  auto surface1 = std::make_unique<Surface>();
  surface1->setName("Surface 1");
  surface1->setArea(12.4);
  surface1->addLayer(concreteLayer.release());
  surface1->addLayer(insulationLayer.release());
  surface1->addLayer(renderLayer.release());
  surface1->setPosition(Engine::External);
  surface1->setHeatFlow(Engine::Horizontal);
  runChecks(out, checks, kChecksPerElement, compute(*surface1));

  printSummary(out);
  return 0;
}

}  // namespace Brusk::Validation
