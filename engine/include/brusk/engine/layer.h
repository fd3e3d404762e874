#pragma once

#include <string>

namespace Brusk::Engine {

/// Thermal properties of a homogeneous building material (ISO 10456 design values).
class Material {
public:
  void setConductivity(double conductivity) { _conductivity = conductivity; }
  void setDensity(double density) { _density = density; }
  void setSpecificHeat(double specificHeat) { _specificHeat = specificHeat; }
  void setName(const std::string& name) { _name = name; }

  /// Thermal conductivity lambda [W/(m.K)].
  [[nodiscard]] double getConductivity() const { return _conductivity; }
  /// Density rho [kg/m3].
  [[nodiscard]] double getDensity() const { return _density; }
  /// Specific heat capacity c [J/(kg.K)].
  [[nodiscard]] double getSpecificHeat() const { return _specificHeat; }
  [[nodiscard]] const std::string& getName() const { return _name; }

  /// True when conductivity, density and specific heat are all strictly positive.
  [[nodiscard]] bool isValid() const;

private:
  double _conductivity = 0.0;
  double _density = 0.0;
  double _specificHeat = 0.0;
  std::string _name;
};

/// One plane slab of a material; holds its own copy of the material.
class Layer {
public:
  void setThickness(double thickness) { _thickness = thickness; }
  /// Thickness d [m].
  [[nodiscard]] double getThickness() const { return _thickness; }

  /// Copies all properties of the material, name included.
  void setMaterial(const Material& material) { _material = material; }
  /// A copy of the held material.
  [[nodiscard]] Material getMaterial() const { return _material; }

  /// True when the material is valid and the thickness is strictly positive.
  [[nodiscard]] bool isValid() const;

  /// Steady-state thermal resistance R = d / lambda [m2.K/W] (ISO 6946); 0 for an invalid layer.
  [[nodiscard]] double getThermalResistance() const;

private:
  double _thickness = 0.0;
  Material _material;
};

}  // namespace Brusk::Engine
