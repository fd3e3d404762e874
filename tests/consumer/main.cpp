// The engine's wall model from a program of its own: a wall read by the front end from TOML
// text with a catalogue material, and the same wall given to the engine directly.
#include <cmath>
#include <cstdio>
#include <variant>

#include "brusk/engine/wall.h"
#include "brusk/engine/wall_result.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/wall_parser.h"

int main() {
  namespace Engine = Brusk::Engine;
  Engine::WallRequest request;
  request.layers = {Engine::LayerProperties::slab(0.2, 1.8, 2400, 1000)};  // d, lambda, rho, c
  const Engine::WallOutcome outcome = Engine::compute(request);
  if (std::holds_alternative<Engine::WallProblem>(outcome)) return 1;
  const Engine::WallResult& result = std::get<Engine::WallResult>(outcome);

  const auto catalogue = Brusk::Frontend::Catalogue::builtIn();
  const Brusk::Frontend::Wall wall = Brusk::Frontend::parseWallText(
      "[[layers]]\nmaterial = \"concrete-reinforced\"\nthickness = 0.2\n",
      Brusk::Frontend::WallFormat::Toml, catalogue, "wall.toml");
  const bool read = Brusk::Frontend::computeWall(wall).uValue > 0.0;

  std::printf("decrement factor %.4f\ncatalogue %s\n", result.decrementFactor, read ? "yes" : "no");
  return std::fabs(result.decrementFactor - 0.514) < 0.01 && read ? 0 : 1;
}
