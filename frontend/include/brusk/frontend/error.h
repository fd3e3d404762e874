#pragma once

#include <stdexcept>
#include <string>

namespace Brusk::Frontend {

/// The one error type of the front ends: a message a user can act on, naming the file, the line
/// where known, the layer and the physical reason. The engine itself throws nothing.
///
/// Where the message is about one value of a document, `pointer()` names it as a JSON pointer
/// into that document ("/layers/2/conductivity", "/rsi"), so that a form can show the message at
/// the field it names without reading the words back.
class Error : public std::runtime_error {
public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
  Error(const std::string& message, std::string pointer)
      : std::runtime_error(message), _pointer(std::move(pointer)) {}

  /// The JSON pointer of the value the message is about; empty when it is about no one value.
  [[nodiscard]] const std::string& pointer() const { return _pointer; }

private:
  std::string _pointer;
};

}  // namespace Brusk::Frontend
