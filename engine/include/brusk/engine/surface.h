#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "brusk/engine/inertia.h"
#include "brusk/engine/layer.h"
#include "brusk/engine/layer_properties.h"
#include "brusk/engine/sequential_capacity.h"

namespace Brusk::Engine {

/// Direction of the heat flow through the element, which selects the surface resistances.
enum HeatFlow : int {
  Horizontal = 0,  ///< walls
  Upward = 1,      ///< roofs and ceilings in winter
  Downward = 2,    ///< floors
};

/// Kind of element: side 2 outdoors, or a partition with both faces inside.
enum SurfacePosition : int {
  External = 0,
  Internal = 1,
};

/// Conventional surface resistances (ISO 6946) for a position and heat-flow direction.
/// Any non-zero position counts as a partition. A heat-flow value outside the table leaves the
/// resistances it does not define unchanged, so the caller passes the current ones in.
void lookupSurfaceResistances(int position, int heatFlow, double& internalSurfaceResistance,
                              double& externalSurfaceResistance);

/// A plane building element: a stack of layers from side 1 (inner face) to side 2, with the
/// surface resistances of both faces, a name and an area. Owns its layers; cannot be copied.
class Surface {
public:
  Surface();
  virtual ~Surface();
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  Surface(Surface&&) = delete;
  Surface& operator=(Surface&&) = delete;

  void setName(const std::string& name) { _name = name; }
  [[nodiscard]] const std::string& getName() const { return _name; }
  /// Area [m2]; must be positive for the element to be valid, read by no calculation.
  void setArea(double area) { _area = area; }
  [[nodiscard]] double getArea() const { return _area; }

  /// Appends a heap layer at the side-2 end and takes ownership of it.
  void addLayer(Layer* layer);
  [[nodiscard]] std::size_t getLayerCount() const { return _layers.size(); }
  /// The layer at `index` (0 is on side 1); throws std::out_of_range past the end.
  [[nodiscard]] const Layer& getLayer(std::size_t index) const { return *_layers.at(index); }

  /// Stores the HeatFlow value and recomputes the surface resistances.
  void setHeatFlow(int heatFlow);
  /// Stores the SurfacePosition value and recomputes the surface resistances.
  void setPosition(int position);
  [[nodiscard]] int getHeatFlow() const { return _heatFlow; }
  [[nodiscard]] int getPosition() const { return _position; }
  /// Sets both surface resistances from the position and heat-flow direction.
  void updateSurfaceResistances();
  /// Rsi of side 1 [m2.K/W].
  [[nodiscard]] double getInternalSurfaceResistance() const { return _internalSurfaceResistance; }
  /// Rse of side 2 [m2.K/W].
  [[nodiscard]] double getExternalSurfaceResistance() const { return _externalSurfaceResistance; }

  /// Sum of the layers' thicknesses [m], valid or not.
  [[nodiscard]] double getTotalThickness() const;
  /// Layers present and valid, surface resistances not negative, area positive.
  [[nodiscard]] bool isValid() const;
  /// Deletes the layers and resets resistances, heat flow, position and name; keeps the area.
  void clear();

  /// Fills `inertia` with the ISO 13786 characteristics for the daily cycle. Leaves it untouched
  /// when the element is invalid or a result would overflow double precision.
  void computeInertia(Inertia& inertia) const;
  /// One sequential heat capacity estimate [J/(m2.K)] and its CapacityMethod; 0 and `None` for
  /// an invalid element.
  void computeSequentialCapacity(int period, double& capacity, int& method) const;
  /// Both sequential estimates, daily and twelve-day, into every field of `inertia`.
  void computeSequentialInertia(SequentialInertia& inertia) const;

private:
  std::vector<std::unique_ptr<Layer>> _layers;
  double _internalSurfaceResistance = 0.0;
  double _externalSurfaceResistance = 0.0;
  int _heatFlow = Horizontal;
  int _position = External;
  std::string _name;
  double _area = 0.0;
};

}  // namespace Brusk::Engine
