#pragma once

#include <string>
#include <string_view>

namespace Brusk::Frontend::Detail {

/// The deepest nesting a TOML text may have: a wall or catalogue file needs three levels.
inline constexpr int kMaxTomlNesting = 32;

/// Throws Frontend::Error naming `source` and the line when `text` nests deeper than
/// kMaxTomlNesting: a dotted key or table header with too many parts, or arrays and inline
/// tables opened too deep. The TOML parser and the conversion of its tree both recurse once per
/// level, so such a text must be refused before either sees it. One pass over the text, strings
/// and comments skipped; conservative, not a syntax check: whatever it lets through is still
/// parsed. `shape` says how deep the reader's kind of file goes, after the refusal ("a wall file
/// is a flat table with a list of layers").
void requireShallowToml(std::string_view text, const std::string& source, std::string_view shape);

}  // namespace Brusk::Frontend::Detail
