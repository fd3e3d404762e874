#include "brusk/frontend/line_wall_name.h"

#include <exception>

#include "brusk/frontend/wall_schema.h"
#include "document.h"

namespace Brusk::Frontend {

std::string lineWallName(std::string_view line, std::size_t lineNumber) {
  try {
    // The document reader, whose limits of nesting hold for a line that failed as for any.
    const nlohmann::json document = Detail::parseJsonDocument(line, "", nullptr);
    const nlohmann::json* name = Detail::member(document, Schema::kName);
    if (document.is_object() && name != nullptr && name->is_string()) {
      return name->get<std::string>();
    }
  } catch (const std::exception&) {
    // Not a JSON document the reader takes: the line's own default name.
  }
  return Schema::defaultLineWallName(lineNumber);
}

}  // namespace Brusk::Frontend
