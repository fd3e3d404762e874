#pragma once

// Internal: the wall reader's part for layers of parts, air layers by their geometry and the
// corrections (ISO 6946:2017), called from the one wall reader so that every door reads them.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "brusk/engine/message.h"
#include "brusk/frontend/catalogue.h"
#include "brusk/frontend/wall.h"

namespace Brusk::Frontend::Detail {

/// What the element reader needs of the wall reader: its catalogue and its way of failing,
/// which locates a JSON pointer of the wall object in the file and names the layer being read.
class WallReadingContext {
public:
  virtual ~WallReadingContext() = default;
  [[nodiscard]] virtual const Catalogue& catalogue() const = 0;
  /// The start of a message about `pointer` of the wall object: file, line, context, layer.
  [[nodiscard]] virtual std::string messagePrefix(const std::string& pointer) const = 0;
  /// messagePrefix() as messages by key; none where the reader words it in English only.
  [[nodiscard]] virtual std::optional<std::vector<Engine::Message>> messagePlace(
      const std::string& pointer) const = 0;
  /// `pointer` of the wall object as a pointer into the whole document ("/elements/2/layers/0"
  /// for a wall inside a zone file).
  [[nodiscard]] virtual std::string documentPointer(const std::string& pointer) const = 0;
  /// Throws Frontend::Error with the prefix of `pointer` and `reason`, carrying the document's
  /// pointer so that a form shows the refusal at that value.
  [[noreturn]] void fail(const std::string& pointer, const std::string& reason) const;
  /// fail() with a reason worded by key (after what it is about within the layer, a part),
  /// so that the error carries its parts for another language.
  [[noreturn]] void failWith(const std::string& pointer, std::vector<Engine::Message> reason) const;
  /// No layer is named before the reasons that follow (the wall's own keys are read).
  virtual void clearLayerLabel() = 0;

protected:
  WallReadingContext() = default;
  WallReadingContext(const WallReadingContext&) = default;
  WallReadingContext& operator=(const WallReadingContext&) = default;
};

/// The refusal of a material key the catalogue lacks, with the closest keys it has.
[[nodiscard]] Engine::Message unknownMaterial(const std::string& key, const Catalogue& catalogue);

/// True when a layer object is read here: it has parts, or one of the air-layer keys.
[[nodiscard]] bool isElementLayer(const nlohmann::json& layer);

/// Reads a layer of parts or an air layer found at `pointer` ("/layers/<place in the file>")
/// into `wall` as its next request layer, with `label` holding the layer's name if the file
/// gave one.
void readElementLayer(WallReadingContext& context, const nlohmann::json& layer,
                      const std::string& pointer, LayerLabel label, Wall& wall);

/// Reads the wall's parts_aligned and corrections keys, once its layers are read, and checks
/// the element as the engine will compute it.
void readElementKeys(WallReadingContext& context, const nlohmann::json& object, Wall& wall);

}  // namespace Brusk::Frontend::Detail
