#include "brusk/engine/layer.h"

namespace Brusk::Engine {

bool Material::isValid() const {
  if (!(_conductivity > 0.0)) return false;
  if (!(_density > 0.0)) return false;
  return _specificHeat > 0.0;
}

bool Layer::isValid() const { return _material.isValid() && _thickness > 0.0; }

double Layer::getThermalResistance() const {
  // An invalid layer contributes nothing, so a sum over a stack never divides by zero.
  if (!isValid()) return 0.0;
  return _thickness / _material.getConductivity();
}

}  // namespace Brusk::Engine
