#pragma once

// Counting in generated report text, for the report tests.

#include <cstddef>
#include <string>

namespace Brusk::Testing {

/// How many times `needle` occurs in `text`, without overlaps.
inline std::size_t countOf(const std::string& text, const std::string& needle) {
  std::size_t count = 0;
  for (std::size_t at = text.find(needle); at != std::string::npos;
       at = text.find(needle, at + needle.size())) {
    ++count;
  }
  return count;
}

}  // namespace Brusk::Testing
