#pragma once

// Walls shared by the front-end tests.

#include <functional>
#include <string>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/wall.h"
#include "brusk/frontend/wall_parser.h"

namespace BruskTest {

/// Reference wall 0: 0.2 m of concrete, external, horizontal heat flow.
inline const char* const kConcreteToml = R"(name = "Concrete"
[[layers]]
thickness = 0.2
conductivity = 1.8
density = 2400
specific_heat = 1000
)";

/// Reference wall 1: the concrete with 0.1 m of insulation and 5 mm of render outside.
inline const char* const kInsulatedToml = R"(name = "Insulated"
[[layers]]
thickness = 0.2
conductivity = 1.8
density = 2400
specific_heat = 1000
[[layers]]
thickness = 0.1
conductivity = 0.04
density = 30
specific_heat = 1400
[[layers]]
thickness = 0.005
conductivity = 1.0
density = 1200
specific_heat = 1500
)";

inline const Brusk::Frontend::Catalogue& catalogue() {
  static const Brusk::Frontend::Catalogue builtIn = Brusk::Frontend::Catalogue::builtIn();
  return builtIn;
}

inline Brusk::Frontend::Wall tomlWall(const std::string& text,
                                      const std::string& source = "wall.toml") {
  return Brusk::Frontend::parseWallText(text, Brusk::Frontend::WallFormat::Toml, catalogue(),
                                        source);
}

inline Brusk::Frontend::Wall jsonWall(const std::string& text,
                                      const std::string& source = "wall.json") {
  return Brusk::Frontend::parseWallText(text, Brusk::Frontend::WallFormat::Json, catalogue(),
                                        source);
}

/// The message of the Frontend::Error `action` throws, or "(accepted)" when it throws none.
inline std::string errorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const Brusk::Frontend::Error& error) {
    return error.what();
  }
  return "(accepted)";
}

}  // namespace BruskTest
