#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace Brusk::Frontend {

/// Levenshtein distance between two byte strings.
[[nodiscard]] std::size_t editDistance(std::string_view a, std::string_view b);

/// Up to `count` candidates closest to `word`: those within a small edit distance or containing
/// it (case-insensitive), best first. Empty when nothing is plausibly meant.
[[nodiscard]] std::vector<std::string> closestWords(std::string_view word,
                                                    const std::vector<std::string>& candidates,
                                                    std::size_t count);

/// `"a"`, `"a" or "b"`, `"a", "b" or "c"`: a list of quoted words for a message.
[[nodiscard]] std::string quotedAlternatives(const std::vector<std::string>& words);

/// Throws Brusk::Error naming `source` when `text` holds a NUL byte or is not valid UTF-8,
/// so that binary files get one clear message whatever parser reads them next.
void requireUtf8Text(std::string_view text, const std::string& source);

/// 1-based line number of byte `offset` in `text`.
[[nodiscard]] std::size_t lineOfOffset(std::string_view text, std::size_t offset);

/// Reads a whole file; throws Brusk::Error if it cannot be read or exceeds `maxBytes`.
[[nodiscard]] std::string readTextFile(const std::string& path, std::size_t maxBytes);

}  // namespace Brusk::Frontend
