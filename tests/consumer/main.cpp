// One concrete slab through the engine, and the front end's built-in catalogue.
#include <cmath>
#include <cstdio>

#include "brusk/engine/inertia.h"
#include "brusk/engine/surface.h"
#include "brusk/frontend/catalogue.h"

int main() {
  Brusk::Engine::Material concrete;
  concrete.setConductivity(1.8);
  concrete.setDensity(2400.0);
  concrete.setSpecificHeat(1000.0);
  auto* layer = new Brusk::Engine::Layer;  // the surface takes ownership
  layer->setMaterial(concrete);
  layer->setThickness(0.2);

  Brusk::Engine::Surface surface;
  surface.setArea(1.0);
  surface.addLayer(layer);
  Brusk::Engine::Inertia inertia;
  surface.computeInertia(inertia);

  const bool catalogue = Brusk::Catalogue::builtIn().size() > 0;
  std::printf("decrement factor %.4f\ncatalogue %s\n", inertia._dampingFactor,
              catalogue ? "yes" : "no");
  return std::fabs(inertia._dampingFactor - 0.514) < 0.01 && catalogue ? 0 : 1;
}
