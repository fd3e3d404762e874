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

/// True when `text` holds a control character: C0 (below U+0020, tab and newline included), DEL
/// or C1 (U+0080 to U+009F), any of which a terminal may act on.
[[nodiscard]] bool hasControlCharacter(std::string_view text);

/// `text` with every control character written as a visible escape, "\x1b" for C0 and DEL,
/// "\u009b" for C1, so that a name shown on a terminal, in a table, a CSV cell or a page cannot
/// move the cursor, retitle the window or clear the screen. A backslash is kept as it is.
[[nodiscard]] std::string visibleText(std::string_view text);

/// Terminal columns that UTF-8 text takes: two for East Asian wide and fullwidth characters,
/// none for combining marks and zero-width characters, one for the rest.
[[nodiscard]] std::size_t displayWidth(std::string_view text);

/// Appends `text` to `out` padded with blanks to `columns` terminal columns (displayWidth), on
/// the left when `right` aligns it right, else on the right.
void appendPadded(std::string& out, const std::string& text, std::size_t columns, bool right);

/// Appends an aligned table: the header, a rule of dashes, then the rows, columns two blanks
/// apart and each as wide as its widest cell (displayWidth), no trailing blanks. Column c is
/// aligned right where `rightAligned(c)` is true.
void appendAlignedTable(std::string& out, const std::vector<std::string>& header,
                        const std::vector<std::vector<std::string>>& rows,
                        bool (*rightAligned)(std::size_t column));

/// "a", "a and b", "a, b and c": a list of words for a message.
[[nodiscard]] std::string joinedWords(const std::vector<std::string>& words);

/// True when a spreadsheet would read a cell starting with this text as a formula: it starts
/// with '=', '+', '-', '@', a tab or a carriage return.
[[nodiscard]] bool startsLikeFormula(std::string_view text);

/// Throws Frontend::Error naming `source` when `text` holds a NUL byte or is not valid UTF-8,
/// so that binary files get one clear message whatever parser reads them next.
void requireUtf8Text(std::string_view text, const std::string& source);

/// `text` without a leading UTF-8 byte order mark, which spreadsheets and some editors write
/// before UTF-8 text: it belongs to no cell, key or value of the text.
[[nodiscard]] std::string_view withoutByteOrderMark(std::string_view text);

/// 1-based line number of byte `offset` in `text`.
[[nodiscard]] std::size_t lineOfOffset(std::string_view text, std::size_t offset);

/// What each kind of input file holds, as the message refusing one too large says it after the
/// limit: the reader names its own kind, never another's.
namespace FileKinds {
inline constexpr std::string_view kWall = "a wall file is a few kilobytes";
inline constexpr std::string_view kCatalogue = "a catalogue file is a few kilobytes of materials";
inline constexpr std::string_view kZone = "a zone file is a few kilobytes";
inline constexpr std::string_view kProfile =
    "a profile of an hourly leap year (8784 samples) is about 200 kB";
inline constexpr std::string_view kClimate =
    "a climate file of twelve monthly rows is a few hundred bytes";
inline constexpr std::string_view kRequirements = "a requirements file is a few kilobytes of rules";
}  // namespace FileKinds

/// Throws Brusk::Frontend::Error naming `path` when `bytes` exceeds `maxBytes`: the limit of
/// readTextFile(), for text that reached a reader another way (a file opened on the web page).
/// `kind` says what such a file holds (one of FileKinds).
void requireFileSize(std::size_t bytes, std::size_t maxBytes, const std::string& path,
                     std::string_view kind = FileKinds::kWall);

/// Reads a whole regular file; throws Brusk::Frontend::Error if it cannot be read, exceeds
/// `maxBytes` (worded with `kind`, one of FileKinds), is not a regular file (a pipe, a device, a
/// socket: refused at once, without waiting for a writer, since a read of one could block or
/// never end), or when `path` holds a NUL byte (which no file name can: the name would be read
/// cut short, another file's).
[[nodiscard]] std::string readTextFile(const std::string& path, std::size_t maxBytes,
                                       std::string_view kind = FileKinds::kWall);

/// Throws Brusk::Frontend::Error when `path` holds a NUL byte: the system reads a file name up to
/// its first NUL, so such a name would open, or replace, another file than the one given.
void requireNoNulInPath(const std::string& path);

}  // namespace Brusk::Frontend
