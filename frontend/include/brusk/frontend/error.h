#pragma once

#include <stdexcept>
#include <string>

namespace Brusk::Frontend {

/// The one error type of the front ends: a message a user can act on, naming the file, the line
/// where known, the layer and the physical reason. The engine itself throws nothing.
class Error : public std::runtime_error {
public:
  explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace Brusk::Frontend
