#include "brusk/frontend/text_util.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

namespace Brusk::Frontend {

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

/// The code point of the UTF-8 sequence of `length` bytes at text[i] (already validated).
char32_t codePointAt(std::string_view text, std::size_t i, std::size_t length) {
  const auto byte = [&](std::size_t k) {
    return static_cast<char32_t>(static_cast<unsigned char>(text[k]));
  };
  switch (length) {
    case 2:
      return ((byte(i) & 0x1Fu) << 6) | (byte(i + 1) & 0x3Fu);
    case 3:
      return ((byte(i) & 0x0Fu) << 12) | ((byte(i + 1) & 0x3Fu) << 6) | (byte(i + 2) & 0x3Fu);
    case 4:
      return ((byte(i) & 0x07u) << 18) | ((byte(i + 1) & 0x3Fu) << 12) |
             ((byte(i + 2) & 0x3Fu) << 6) | (byte(i + 3) & 0x3Fu);
    default:
      return byte(i);
  }
}

/// Columns of one code point on a terminal, after the East Asian Width property (wide W and
/// fullwidth F take two) and the zero-width general categories (combining marks, joiners).
std::size_t columnsOf(char32_t c) {
  struct Range {
    char32_t first, last;
  };
  static constexpr Range kZeroWidth[] = {{0x0300, 0x036F}, {0x0483, 0x0489}, {0x0591, 0x05BD},
                                         {0x0610, 0x061A}, {0x064B, 0x065F}, {0x200B, 0x200F},
                                         {0x202A, 0x202E}, {0x2060, 0x2064}, {0x20D0, 0x20FF},
                                         {0xFE00, 0xFE0F}, {0xFE20, 0xFE2F}, {0xFEFF, 0xFEFF}};
  static constexpr Range kWide[] = {{0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},
                                    {0x3400, 0x4DBF},   {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},
                                    {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},   {0xFE30, 0xFE4F},
                                    {0xFF00, 0xFF60},   {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F},
                                    {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD}, {0x30000, 0x3FFFD}};
  for (const Range& range : kZeroWidth) {
    if (c >= range.first && c <= range.last) return 0;
  }
  for (const Range& range : kWide) {
    if (c >= range.first && c <= range.last) return 2;
  }
  return 1;
}

bool isC1(std::string_view text, std::size_t i) {
  return static_cast<unsigned char>(text[i]) == 0xC2 && i + 1 < text.size() &&
         static_cast<unsigned char>(text[i + 1]) >= 0x80 &&
         static_cast<unsigned char>(text[i + 1]) <= 0x9F;
}

bool isC0OrDelete(char c) {
  const auto code = static_cast<unsigned char>(c);
  return code < 0x20 || code == 0x7F;
}

}  // namespace

bool hasControlCharacter(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (isC0OrDelete(text[i]) || isC1(text, i)) return true;
  }
  return false;
}

std::string visibleText(std::string_view text) {
  if (!hasControlCharacter(text)) return std::string(text);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(text.size() + 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto code = static_cast<unsigned char>(text[i]);
    if (isC0OrDelete(text[i])) {
      out += "\\x";
      out += kHex[code >> 4];
      out += kHex[code & 0xFu];
    } else if (isC1(text, i)) {
      const auto low = static_cast<unsigned char>(text[++i]);
      out += "\\u00";
      out += kHex[low >> 4];
      out += kHex[low & 0xFu];
    } else {
      out += text[i];
    }
  }
  return out;
}

std::size_t displayWidth(std::string_view text) {
  std::size_t columns = 0;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = utf8SequenceLength(text, i);
    if (length == 0) length = 1;  // a stray byte: one column, as terminals show a replacement
    columns += length == 1 ? 1 : columnsOf(codePointAt(text, i, length));
    i += length;
  }
  return columns;
}

void appendPadded(std::string& out, const std::string& text, std::size_t columns, bool right) {
  const std::size_t padding = columns - std::min(columns, displayWidth(text));
  if (right) out.append(padding, ' ');
  out += text;
  if (!right) out.append(padding, ' ');
}

void appendAlignedTable(std::string& out, const std::vector<std::string>& header,
                        const std::vector<std::vector<std::string>>& rows,
                        bool (*rightAligned)(std::size_t column)) {
  std::vector<std::size_t> widths(header.size());
  for (std::size_t c = 0; c < header.size(); ++c) {
    widths[c] = displayWidth(header[c]);
    for (const auto& row : rows) widths[c] = std::max(widths[c], displayWidth(row[c]));
  }
  const auto appendRow = [&](const std::vector<std::string>& row) {
    std::string line;
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) line += "  ";
      appendPadded(line, row[c], widths[c], rightAligned(c));
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out += line + '\n';
  };
  appendRow(header);
  std::size_t ruleWidth = 0;
  for (std::size_t width : widths) ruleWidth += width + 2;
  out.append(ruleWidth - 2, '-');
  out += '\n';
  for (const auto& row : rows) appendRow(row);
}

std::string joinedWords(const std::vector<std::string>& words) {
  std::string result;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) result += (i + 1 == words.size()) ? " and " : ", ";
    result += words[i];
  }
  return result;
}

bool startsLikeFormula(std::string_view text) {
  if (text.empty()) return false;
  const char first = text.front();
  return first == '=' || first == '+' || first == '-' || first == '@' || first == '\t' ||
         first == '\r';
}

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

std::string_view withoutByteOrderMark(std::string_view text) {
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    text.remove_prefix(kByteOrderMark.size());
  }
  return text;
}

std::size_t lineOfOffset(std::string_view text, std::size_t offset) {
  offset = std::min(offset, text.size());
  return 1 + static_cast<std::size_t>(std::count(
                 text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}

void requireFileSize(std::size_t bytes, std::size_t maxBytes, const std::string& path,
                     std::string_view kind) {
  if (bytes <= maxBytes) return;
  constexpr std::size_t kMiB = std::size_t{1} << 20;
  const std::string limit = maxBytes % kMiB == 0 ? std::to_string(maxBytes / kMiB) + " MiB"
                                                 : std::to_string(maxBytes) + " bytes";
  throw Error(path + ": file larger than " + limit + "; " + std::string(kind));
}

void requireNoNulInPath(const std::string& path) {
  const std::size_t nul = path.find('\0');
  if (nul == std::string::npos) return;
  throw Error(visibleText(path) + ": a file name cannot hold a NUL byte (at character " +
              std::to_string(nul + 1) + "); the system would read it as \"" +
              visibleText(path.substr(0, nul)) + "\", another file");
}

std::string readTextFile(const std::string& path, std::size_t maxBytes, std::string_view kind) {
  requireNoNulInPath(path);
  // Opened without blocking, so that a pipe with no writer cannot hang the reader in open(),
  // then refused unless it is a regular file: a pipe or a device could hang it in read() or
  // never end.
  errno = 0;
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (descriptor < 0) {
    const int reason = errno;
    if (reason == EISDIR) throw Error(path + ": is a directory, not a file");
    throw Error(path + ": cannot open the file" +
                (reason != 0 ? std::string(": ") + std::strerror(reason) : std::string()));
  }
  struct Closer {
    int descriptor;
    ~Closer() { ::close(descriptor); }
  } closer{descriptor};
  struct stat status {};
  if (::fstat(descriptor, &status) != 0) {
    throw Error(path + ": cannot read the file: " + std::strerror(errno));
  }
  if (S_ISDIR(status.st_mode)) throw Error(path + ": is a directory, not a file");
  if (!S_ISREG(status.st_mode)) {
    throw Error(path + ": is not a regular file (" +
                (S_ISFIFO(status.st_mode)   ? std::string("a pipe")
                 : S_ISCHR(status.st_mode)  ? std::string("a character device")
                 : S_ISSOCK(status.st_mode) ? std::string("a socket")
                                            : std::string("a device")) +
                "); brusk reads its inputs from files, which it can read to their end");
  }
  std::string text;
  char buffer[65536];
  while (true) {
    const ssize_t got = ::read(descriptor, buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      throw Error(path + ": cannot read the file: " + std::strerror(errno));
    }
    if (got == 0) break;
    text.append(buffer, static_cast<std::size_t>(got));
    requireFileSize(text.size(), maxBytes, path, kind);
  }
  return text;
}

}  // namespace Brusk::Frontend
