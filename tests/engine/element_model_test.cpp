#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>
#include <memory>
#include <new>
#include <vector>

#include "brusk/engine/layer.h"
#include "brusk/engine/surface.h"

// Records the pointers freed while tracking is on, to see each owned layer deleted exactly once.
namespace {
bool& trackDeletions() {
  static bool enabled = false;
  return enabled;
}
std::vector<void*>& deletions() {
  static std::vector<void*> freed = [] {
    std::vector<void*> v;
    v.reserve(64);
    return v;
  }();
  return freed;
}
void recordDeletion(void* pointer) {
  if (trackDeletions() && deletions().size() < deletions().capacity()) {
    deletions().push_back(pointer);
  }
}
}  // namespace

// The replacements pair malloc with free by design.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
  if (void* pointer = std::malloc(size == 0 ? 1 : size)) return pointer;
  throw std::bad_alloc();
}
void operator delete(void* pointer) noexcept {
  recordDeletion(pointer);
  std::free(pointer);
}
void operator delete(void* pointer, std::size_t) noexcept {
  recordDeletion(pointer);
  std::free(pointer);
}
#pragma GCC diagnostic pop

namespace {

using namespace Brusk::Engine;

Material material(double conductivity, double density, double specificHeat) {
  Material m;
  m.setConductivity(conductivity);
  m.setDensity(density);
  m.setSpecificHeat(specificHeat);
  return m;
}

Layer* newLayer(const Material& m, double thickness) {
  auto layer = new Layer;
  layer->setMaterial(m);
  layer->setThickness(thickness);
  return layer;
}

const Material kConcrete = material(1.8, 2400, 1000);

struct MaterialCase {
  double conductivity, density, specificHeat;
  bool valid;
};

class MaterialValidityTest : public ::testing::TestWithParam<MaterialCase> {};

TEST_P(MaterialValidityTest, EveryPropertyMustBeStrictlyPositive) {
  const MaterialCase& c = GetParam();
  EXPECT_EQ(material(c.conductivity, c.density, c.specificHeat).isValid(), c.valid)
      << c.conductivity << ", " << c.density << ", " << c.specificHeat;
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
INSTANTIATE_TEST_SUITE_P(
    Table, MaterialValidityTest,
    ::testing::Values(MaterialCase{0, 0, 0, false}, MaterialCase{1.8, 2400, 1000, true},
                      MaterialCase{0, 2400, 1000, false}, MaterialCase{1.8, 0, 1000, false},
                      MaterialCase{1.8, 2400, 0, false}, MaterialCase{-0.5, 2400, 1000, false},
                      MaterialCase{1.8, -1, 1000, false}, MaterialCase{1.8, 2400, -1, false},
                      MaterialCase{kNaN, 2400, 1000, false}, MaterialCase{1.8, kNaN, 1000, false}));

TEST(Layer, ResistanceIsThicknessOverConductivityOnlyWhenValid) {
  std::unique_ptr<Layer> concrete(newLayer(kConcrete, 0.2));
  EXPECT_TRUE(concrete->isValid());
  EXPECT_DOUBLE_EQ(concrete->getThermalResistance(), 0.2 / 1.8);

  std::unique_ptr<Layer> insulation(newLayer(material(0.04, 30, 1400), 0.1));
  EXPECT_DOUBLE_EQ(insulation->getThermalResistance(), 2.5);

  std::unique_ptr<Layer> zeroThick(newLayer(kConcrete, 0.0));
  EXPECT_FALSE(zeroThick->isValid());
  EXPECT_EQ(zeroThick->getThermalResistance(), 0.0);

  std::unique_ptr<Layer> noMaterial(newLayer(Material{}, 0.2));
  EXPECT_FALSE(noMaterial->isValid());
  EXPECT_EQ(noMaterial->getThermalResistance(), 0.0);
}

TEST(Layer, HoldsItsOwnCopyOfTheMaterial) {
  Material m = kConcrete;
  m.setName("concrete");
  Layer layer;
  layer.setMaterial(m);
  m.setConductivity(99);
  m.setName("changed");
  EXPECT_EQ(layer.getMaterial().getConductivity(), 1.8);
  EXPECT_EQ(layer.getMaterial().getName(), "concrete");
}

struct ResistanceCase {
  int position, heatFlow;
  double rsi, rse;
};

class SurfaceResistanceTest : public ::testing::TestWithParam<ResistanceCase> {};

TEST_P(SurfaceResistanceTest, FollowsPositionAndHeatFlow) {
  const ResistanceCase& c = GetParam();
  Surface surface;
  surface.setPosition(c.position);
  surface.setHeatFlow(c.heatFlow);
  EXPECT_DOUBLE_EQ(surface.getInternalSurfaceResistance(), c.rsi)
      << "position " << c.position << ", heat flow " << c.heatFlow;
  EXPECT_DOUBLE_EQ(surface.getExternalSurfaceResistance(), c.rse)
      << "position " << c.position << ", heat flow " << c.heatFlow;
}

// Undefined heat-flow values keep what the previous setting gave (here the horizontal one).
INSTANTIATE_TEST_SUITE_P(
    Table, SurfaceResistanceTest,
    ::testing::Values(ResistanceCase{0, 0, 0.13, 0.04}, ResistanceCase{0, 1, 0.10, 0.04},
                      ResistanceCase{0, 2, 0.17, 0.04}, ResistanceCase{0, 7, 0.13, 0.04},
                      ResistanceCase{1, 0, 0.13, 0.13}, ResistanceCase{1, 1, 0.10, 0.17},
                      ResistanceCase{1, 2, 0.17, 0.10}, ResistanceCase{1, -1, 0.13, 0.13},
                      ResistanceCase{2, 1, 0.10, 0.17}, ResistanceCase{-3, 2, 0.17, 0.10}));

TEST(Surface, UndefinedHeatFlowKeepsThePreviousInternalResistance) {
  Surface surface;
  surface.setHeatFlow(Upward);
  surface.setPosition(Internal);  // 0.10 / 0.17
  surface.setPosition(External);
  surface.setHeatFlow(5);
  EXPECT_DOUBLE_EQ(surface.getInternalSurfaceResistance(), 0.10);
  EXPECT_DOUBLE_EQ(surface.getExternalSurfaceResistance(), 0.04);
}

TEST(Surface, ValidityNeedsLayersValidLayersAndPositiveArea) {
  Surface fresh;
  EXPECT_DOUBLE_EQ(fresh.getInternalSurfaceResistance(), 0.13);
  EXPECT_DOUBLE_EQ(fresh.getExternalSurfaceResistance(), 0.04);
  EXPECT_FALSE(fresh.isValid());

  Surface surface;
  surface.addLayer(newLayer(kConcrete, 0.2));
  EXPECT_FALSE(surface.isValid()) << "area 0";
  surface.setArea(43);
  EXPECT_TRUE(surface.isValid());
  surface.addLayer(newLayer(kConcrete, 0.0));
  EXPECT_FALSE(surface.isValid()) << "a layer of thickness 0";
}

TEST(Surface, TotalThicknessSumsInStackOrder) {
  Surface surface;
  surface.addLayer(newLayer(kConcrete, 0.2));
  surface.addLayer(newLayer(material(0.04, 30, 1400), 0.1));
  surface.addLayer(newLayer(material(1.0, 1200, 1500), 0.005));
  EXPECT_EQ(surface.getTotalThickness(), (0.0 + 0.2 + 0.1) + 0.005);
  EXPECT_EQ(surface.getLayerCount(), 3u);
  EXPECT_THROW((void)surface.getLayer(3), std::out_of_range);
}

TEST(Surface, ClearResetsAllButTheArea) {
  Surface surface;
  surface.setName("wall");
  surface.setArea(10);
  surface.setPosition(Internal);
  surface.setHeatFlow(Downward);
  surface.addLayer(newLayer(kConcrete, 0.2));
  surface.clear();
  EXPECT_EQ(surface.getLayerCount(), 0u);
  EXPECT_EQ(surface.getInternalSurfaceResistance(), 0.0);
  EXPECT_EQ(surface.getExternalSurfaceResistance(), 0.0);
  EXPECT_EQ(surface.getPosition(), External);
  EXPECT_EQ(surface.getHeatFlow(), Horizontal);
  EXPECT_EQ(surface.getName(), "");
  EXPECT_EQ(surface.getArea(), 10.0);
}

TEST(Surface, DeletesEachLayerExactlyOnce) {
  std::array<Layer*, 3> layers{};
  {
    Surface surface;
    for (Layer*& layer : layers) {
      layer = newLayer(kConcrete, 0.1);
      surface.addLayer(layer);
    }
    deletions().clear();
    trackDeletions() = true;
  }
  trackDeletions() = false;
  for (Layer* layer : layers) {
    EXPECT_EQ(std::count(deletions().begin(), deletions().end(), layer), 1);
  }
}

static_assert(!std::is_copy_constructible_v<Surface> && !std::is_copy_assignable_v<Surface>,
              "a copied Surface would delete its layers twice");
static_assert(std::has_virtual_destructor_v<Surface>);

}  // namespace
