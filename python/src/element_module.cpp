#include "element_module.h"

#include "brusk/engine/constants.h"
#include "brusk/frontend/bridged_wall.h"
#include "brusk/frontend/compute.h"
#include "brusk/frontend/element_output.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/output.h"

namespace BruskPython {

std::string elementJson(const Brusk::Frontend::Wall& source, const std::string& sourceName,
                        double periodHours) {
  namespace Frontend = Brusk::Frontend;
  Frontend::Wall wall = source;
  wall.request.period = periodHours * Brusk::Engine::kSecondsPerHour;
  try {
    if (!Frontend::isElement(wall)) {
      return Frontend::formatJson({{wall.name, Frontend::computeWall(wall)}},
                                  Frontend::JsonLayout::Indented);
    }
    const Brusk::Engine::ElementResult element = Frontend::computeElementWall(wall);
    return Frontend::formatJson({{wall.name, element.wall}}, Frontend::JsonLayout::Indented,
                                {Frontend::elementExtras(wall, element)});
  } catch (const Frontend::Error& error) {
    throw Frontend::Error(sourceName + ": " + error.what());
  }
}

}  // namespace BruskPython
