#include "brusk/engine/surface.h"

#include <array>
#include <utility>

#include "brusk/engine/periodic_response.h"
#include "brusk/engine/wall.h"

namespace Brusk::Engine {

namespace {

/// The layers' properties for the kernels, side 1 first, into `properties` (one per layer).
void copyLayerProperties(const std::vector<std::unique_ptr<Layer>>& layers,
                         LayerProperties* properties) {
  for (const auto& layer : layers) {
    const Material material = layer->getMaterial();
    *properties++ = LayerProperties::slab(layer->getThickness(), material.getConductivity(),
                                          material.getDensity(), material.getSpecificHeat());
  }
}

/// The layers' properties for one kernel call: on the stack for the usual walls, so that a
/// calculation does not allocate, and on the heap past `kStackLayers` layers.
class LayerPropertiesBuffer {
public:
  explicit LayerPropertiesBuffer(const std::vector<std::unique_ptr<Layer>>& layers)
      : _count(layers.size()) {
    if (_count > kStackLayers) {
      _heap.resize(_count);
      _data = _heap.data();
    }
    copyLayerProperties(layers, _data);
  }
  LayerPropertiesBuffer(const LayerPropertiesBuffer&) = delete;
  LayerPropertiesBuffer& operator=(const LayerPropertiesBuffer&) = delete;

  [[nodiscard]] const LayerProperties* data() const { return _data; }
  [[nodiscard]] std::size_t size() const { return _count; }

private:
  // Far more layers than any real wall has; the array is 640 bytes.
  static constexpr std::size_t kStackLayers = 16;

  std::array<LayerProperties, kStackLayers> _stack{};
  std::vector<LayerProperties> _heap;
  LayerProperties* _data = _stack.data();
  std::size_t _count;
};

}  // namespace

void lookupSurfaceResistances(int position, int heatFlow, double& internalSurfaceResistance,
                              double& externalSurfaceResistance) {
  // Any non-zero position is a partition. A direction outside the table defines only what does
  // not depend on it: the outdoor face's 0.04.
  const ElementPosition where =
      position == External ? ElementPosition::External : ElementPosition::Internal;
  if (heatFlow < Horizontal || heatFlow > Downward) {
    if (where == ElementPosition::External) {
      externalSurfaceResistance =
          conventionalSurfaceResistances(where, HeatFlowDirection::Horizontal).external;
    }
    return;
  }
  const SurfaceResistances resistances =
      conventionalSurfaceResistances(where, static_cast<HeatFlowDirection>(heatFlow));
  internalSurfaceResistance = resistances.internal;
  externalSurfaceResistance = resistances.external;
}

Surface::Surface() { updateSurfaceResistances(); }

Surface::~Surface() { clear(); }

void Surface::addLayer(Layer* layer) {
  // Owned before the vector may reallocate, so a failed allocation cannot leak the layer.
  std::unique_ptr<Layer> owned(layer);
  _layers.push_back(std::move(owned));
}

void Surface::setHeatFlow(int heatFlow) {
  _heatFlow = heatFlow;
  updateSurfaceResistances();
}

void Surface::setPosition(int position) {
  _position = position;
  updateSurfaceResistances();
}

void Surface::updateSurfaceResistances() {
  lookupSurfaceResistances(_position, _heatFlow, _internalSurfaceResistance,
                           _externalSurfaceResistance);
}

double Surface::getTotalThickness() const {
  double total = 0.0;
  for (const auto& layer : _layers) total += layer->getThickness();
  return total;
}

bool Surface::isValid() const {
  if (_layers.empty()) return false;
  for (const auto& layer : _layers) {
    if (!layer->isValid()) return false;
  }
  if (_internalSurfaceResistance < 0.0) return false;
  if (_externalSurfaceResistance < 0.0) return false;
  return _area > 0.0;
}

void Surface::clear() {
  _layers.clear();
  _internalSurfaceResistance = 0.0;
  _externalSurfaceResistance = 0.0;
  _heatFlow = Horizontal;
  _position = External;
  _name.clear();
}

void Surface::computeInertia(Inertia& inertia) const {
  if (!isValid()) return;
  const LayerPropertiesBuffer layers(_layers);
  // Only position 1 corrects the admittances for a partition; the resistance table treats every
  // non-zero position as one.
  const ElementBoundary boundary{_internalSurfaceResistance, _externalSurfaceResistance,
                                 _position == Internal};
  PeriodicResponse response;
  if (!computePeriodicResponse(layers.data(), layers.size(), boundary, kDailyPeriod, response)) {
    return;
  }
  inertia._dampingFactor = response.decrementFactor;
  inertia._conductance = response.uValue;
  inertia._internalThermalCapacity = response.internalArealHeatCapacity;
  inertia._externalThermalCapacity = response.externalArealHeatCapacity;
  inertia._z11 = response.z11;
  inertia._z12 = response.z12;
  inertia._z21 = response.z21;
  inertia._z22 = response.z22;
  inertia._internalAdmittance = response.internalAdmittance;
  inertia._externalAdmittance = response.externalAdmittance;
  inertia._periodicThermalTransmittance = response.periodicThermalTransmittance;
}

void Surface::computeSequentialCapacity(int period, double& capacity, int& method) const {
  capacity = 0.0;
  method = None;
  if (!isValid()) return;
  const LayerPropertiesBuffer layers(_layers);
  Engine::computeSequentialCapacity(layers.data(), layers.size(), _internalSurfaceResistance,
                                    period, capacity, method);
}

void Surface::computeSequentialInertia(SequentialInertia& inertia) const {
  computeSequentialCapacity(Daily, inertia._dailySequentialThermalCapacity,
                            inertia._dailyCapacityMethod);
  computeSequentialCapacity(Extended, inertia._internalSequentialThermalCapacity,
                            inertia._sequentialCapacityMethod);
}

}  // namespace Brusk::Engine
