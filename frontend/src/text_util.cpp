#include "brusk/frontend/text_util.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <tuple>

#include "brusk/frontend/error.h"

namespace Brusk {

namespace {

std::string lowered(std::string_view text) {
  std::string result(text);
  for (char& c : result) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return result;
}

/// Length of the UTF-8 sequence starting at text[i], or 0 when it is malformed (overlong forms,
/// surrogates and code points above U+10FFFF included).
std::size_t utf8SequenceLength(std::string_view text, std::size_t i) {
  const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = byte(i);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
  } else {
    return 0;
  }
  if (i + length > text.size()) return 0;
  if (byte(i + 1) < low || byte(i + 1) > high) return 0;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(i + k) < 0x80 || byte(i + k) > 0xBF) return 0;
  }
  return length;
}

}  // namespace

std::size_t editDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const std::size_t substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
      row[j] = std::min({above + 1, row[j - 1] + 1, substitution});
      diagonal = above;
    }
  }
  return row[b.size()];
}

std::vector<std::string> closestWords(std::string_view word,
                                      const std::vector<std::string>& candidates,
                                      std::size_t count) {
  const std::string needle = lowered(word);
  // Accept a distance up to a third of the word (at least 2): close enough to be a typo.
  const std::size_t limit = std::max<std::size_t>(2, needle.size() / 3);
  // Typos first, by distance; then names that contain the word (or are contained in it),
  // the closest in length first.
  std::vector<std::tuple<bool, std::size_t, std::string>> ranked;
  for (const std::string& candidate : candidates) {
    const std::string hay = lowered(candidate);
    const std::size_t distance = editDistance(needle, hay);
    const bool contains = !needle.empty() && (hay.find(needle) != std::string::npos ||
                                              needle.find(hay) != std::string::npos);
    if (distance > limit && !contains) continue;
    ranked.emplace_back(distance > limit, distance, candidate);
  }
  std::stable_sort(ranked.begin(), ranked.end(), [](const auto& x, const auto& y) {
    return std::tie(std::get<0>(x), std::get<1>(x)) < std::tie(std::get<0>(y), std::get<1>(y));
  });
  std::vector<std::string> result;
  for (std::size_t i = 0; i < ranked.size() && i < count; ++i)
    result.push_back(std::get<2>(ranked[i]));
  return result;
}

std::string quotedAlternatives(const std::vector<std::string>& words) {
  std::string result;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) result += (i + 1 == words.size()) ? " or " : ", ";
    result += '"' + words[i] + '"';
  }
  return result;
}

void requireUtf8Text(std::string_view text, const std::string& source) {
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '\0') {
      throw Error(source + ":" + std::to_string(lineOfOffset(text, i)) +
                  ": not a text file (NUL byte at offset " + std::to_string(i) + ")");
    }
    const std::size_t length = utf8SequenceLength(text, i);
    if (length == 0) {
      std::ostringstream message;
      message << source << ':' << lineOfOffset(text, i) << ": not valid UTF-8 text (byte 0x"
              << std::hex << std::uppercase
              << static_cast<unsigned>(static_cast<unsigned char>(text[i])) << std::dec
              << " at offset " << i << ")";
      throw Error(message.str());
    }
    i += length;
  }
}

std::size_t lineOfOffset(std::string_view text, std::size_t offset) {
  offset = std::min(offset, text.size());
  return 1 + static_cast<std::size_t>(std::count(
                 text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

std::string readTextFile(const std::string& path, std::size_t maxBytes) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error))
    throw Error(path + ": is a directory, not a file");
  errno = 0;
  std::ifstream stream(path, std::ios::binary);
  if (!stream) {
    const int reason = errno;
    throw Error(path + ": cannot open the file" +
                (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string()));
  }
  std::string text;
  char buffer[65536];
  while (stream.read(buffer, sizeof buffer) || stream.gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(stream.gcount()));
    if (text.size() > maxBytes) {
      throw Error(path + ": file larger than " + std::to_string(maxBytes / (1024 * 1024)) +
                  " MiB; a wall or catalogue file is a few kilobytes");
    }
  }
  if (stream.bad()) {
    const int reason = errno;
    throw Error(path + ": cannot read the file" +
                (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string()));
  }
  return text;
}

}  // namespace Brusk
