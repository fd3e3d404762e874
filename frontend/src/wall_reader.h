#pragma once

// Internal: the wall reader, for documents that hold walls inside them (zone files).

#include <string>

#include <nlohmann/json.hpp>

#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall.h"
#include "document.h"

namespace Brusk::Frontend::Detail {

/// Reads a wall object found at `pointerPrefix` of a document ("/elements/2"), as a wall file's
/// top level is read: the same keys, checks and messages, each message located by `lines`
/// (which may be null) under `source` and naming `context` ("element 3 (\"Floor\")") before
/// the layer. Throws Frontend::Error.
[[nodiscard]] Wall readWallObject(const nlohmann::json& object, const Catalogue& catalogue,
                                  const std::string& source, const LineMap* lines,
                                  const std::string& pointerPrefix, const std::string& context,
                                  const std::string& defaultName);

}  // namespace Brusk::Frontend::Detail
