#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "brusk/engine/message.h"

namespace Brusk::Frontend {

/// The one error type of the front ends: a message a user can act on, naming the file, the line
/// where known, the layer and the physical reason. The engine itself throws nothing.
///
/// Where the message is about one value of a document, `pointer()` names it as a JSON pointer
/// into that document ("/layers/2/conductivity", "/rsi"), so that a form can show the message at
/// the field it names without reading the words back.
///
/// A message worded by key (Engine::messageWordings()) also carries its `parts()`: where it is
/// (file, layer, part) and why, each a key with its values, so that a page words it in its
/// reader's language; what() is their English text joined by ": ". A message not (yet) worded
/// by key has no parts and is English only.
class Error : public std::runtime_error {
public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
  Error(const std::string& message, std::string pointer)
      : std::runtime_error(message), _pointer(std::move(pointer)) {}
  Error(std::vector<Engine::Message> parts, std::string pointer)
      : std::runtime_error(Engine::englishText(parts)),
        _pointer(std::move(pointer)),
        _parts(std::move(parts)) {}

  /// The same error with `place` (the file, "wall.json", or a layer) named before it.
  [[nodiscard]] Error under(Engine::Message place) const {
    if (_parts.empty()) return Error(Engine::englishText(place) + ": " + what(), _pointer);
    std::vector<Engine::Message> parts{std::move(place)};
    parts.insert(parts.end(), _parts.begin(), _parts.end());
    return Error(std::move(parts), _pointer);
  }

  /// The JSON pointer of the value the message is about; empty when it is about no one value.
  [[nodiscard]] const std::string& pointer() const { return _pointer; }

  /// The message by key, place first and reason last; empty for a message in English only.
  [[nodiscard]] const std::vector<Engine::Message>& parts() const { return _parts; }

private:
  std::string _pointer;
  std::vector<Engine::Message> _parts;
};

}  // namespace Brusk::Frontend
