#include "brusk/frontend/profile_reader.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "brusk/engine/periodic_profile.h"
#include "brusk/frontend/error.h"
#include "brusk/frontend/shortest_double.h"
#include "brusk/frontend/text_util.h"

namespace Brusk::Frontend {

namespace {

/// Times may differ from t_0 + n step by rounding in the file; a millionth of the step is far
/// above that and far below any real irregularity.
constexpr double kSpacingTolerance = 1e-6;

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::vector<std::string_view> cellsOf(std::string_view line) {
  std::vector<std::string_view> cells;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = line.find(',', start);
    cells.push_back(trimmed(line.substr(start, comma - start)));
    if (comma == std::string_view::npos) return cells;
    start = comma + 1;
  }
}

/// The number a whole cell holds (a leading '+' allowed), or none.
std::optional<double> numberOf(std::string_view cell) {
  if (!cell.empty() && cell.front() == '+') cell.remove_prefix(1);
  if (cell.empty() || cell.front() == '+') return std::nullopt;
#ifdef __EMSCRIPTEN__
  // Emscripten's libc++ has no floating-point std::from_chars; its C library has only the "C"
  // locale, so strtod reads the same decimal numbers. Hexadecimal and leading blanks, which
  // from_chars refuses and strtod takes, are refused first.
  if (cell.find_first_of("xX \t") != std::string_view::npos) return std::nullopt;
  const std::string text(cell);
  char* end = nullptr;
  errno = 0;
  const double value = std::strtod(text.c_str(), &end);
  if (end != text.c_str() + text.size()) return std::nullopt;
  if (errno == ERANGE) return HUGE_VAL;  // refused as not finite, as from_chars does below
  return value;
#else
  double value = 0.0;
  const auto [end, error] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
  if (end != cell.data() + cell.size()) return std::nullopt;
  if (error == std::errc::result_out_of_range) return HUGE_VAL;  // refused as not finite
  if (error != std::errc()) return std::nullopt;
  return value;
#endif
}

/// A column name that says "time": its first word (up to a blank or a unit in brackets, so
/// "time [h]", "Time_h", "hour_ending"), in any case, is t or h, or starts with time or hour.
/// "t_e" and "theta" name temperatures.
bool namesTime(std::string_view cell) {
  std::string word;
  for (const char c : cell) {
    if (c == ' ' || c == '\t' || c == '[' || c == '(') break;
    word += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  }
  return word == "t" || word == "h" || word.rfind("time", 0) == 0 || word.rfind("hour", 0) == 0;
}

std::string quotedCells(const std::vector<std::string_view>& cells) {
  std::string text;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    if (i > 0) text += ",";
    text += "\"" + std::string(cells[i]) + "\"";
  }
  return text;
}

std::string shortest(double value) {
  char buffer[kShortestDoubleRoom];
  return std::string(buffer, writeShortestDouble(value, buffer));
}

}  // namespace

std::optional<double> Profile::periodHours() const {
  if (!stepHours) return std::nullopt;
  return *stepHours * static_cast<double>(values.size());
}

Profile parseProfileText(std::string_view text, const std::string& source) {
  requireUtf8Text(text, source);
  text = withoutByteOrderMark(text);
  Profile profile;
  std::vector<double> times;
  std::size_t lineNumber = 0;
  std::size_t columns = 0;
  std::size_t timeColumn = 0;  ///< with two columns, which holds the times
  std::size_t headerLine = 0;  ///< the header's line, 0 without one
  bool headerPossible = true;
  std::size_t start = 0;
  while (start <= text.size()) {
    // Lines end with LF, CR LF or a lone CR (as old spreadsheets write).
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = trimmed(text.substr(start, end - start));
    start = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
    ++lineNumber;
    if (line.empty() || line.front() == '#') continue;
    const std::string where = source + ": line " + std::to_string(lineNumber) + ": ";
    const std::vector<std::string_view> cells = cellsOf(line);
    if (headerPossible) {
      headerPossible = false;
      // A header names the columns: its first cell is no number and cannot start one.
      const char first = cells.front().empty() ? ',' : cells.front().front();
      const bool numberLike =
          (first >= '0' && first <= '9') || first == '+' || first == '-' || first == '.';
      if (!numberLike && !numberOf(cells.front())) {
        if (cells.size() > 2) {
          throw Error(where + "a header of " + std::to_string(cells.size()) +
                      " cells; a profile has one column of values, or two: time [h], value");
        }
        // The columns are read by name: the time column may come first or second.
        if (cells.size() == 2 && namesTime(cells[0]) == namesTime(cells[1])) {
          throw Error(where + "the header " + quotedCells(cells) +
                      " must name one of its two columns time (time [h], value)");
        }
        columns = cells.size();
        timeColumn = cells.size() == 2 && namesTime(cells[1]) ? 1 : 0;
        headerLine = lineNumber;
        continue;
      }
    }
    if (cells.size() > 2) {
      throw Error(where + std::to_string(cells.size()) +
                  " cells; a profile has one column of values, or two: time [h], value");
    }
    if (columns == 0) columns = cells.size();
    if (cells.size() != columns) {
      const std::string count =
          std::to_string(cells.size()) + (cells.size() == 1 ? " cell" : " cells");
      if (headerLine == 0 || !profile.values.empty()) {
        throw Error(where + count + " where the first sample had " + std::to_string(columns));
      }
      throw Error(where + count + " where the header (line " + std::to_string(headerLine) +
                  ") has " + std::to_string(columns) +
                  (columns == 1 && cells.size() == 2
                       ? "; is \"" + std::string(line) +
                             "\" a number with a decimal comma? Numbers take a decimal point"
                       : std::string()));
    }
    std::vector<double> numbers;
    for (std::string_view cell : cells) {
      const std::optional<double> number = numberOf(cell);
      if (!number) {
        throw Error(
            where +
            (cell.empty() ? std::string("an empty cell") : "\"" + std::string(cell) + "\"") +
            " is not a number");
      }
      if (!std::isfinite(*number)) {
        throw Error(where + "\"" + std::string(cell) + "\" is not a finite number");
      }
      numbers.push_back(*number);
    }
    if (profile.values.size() == Engine::kMaxProfileSamples) {
      throw Error(where + "more than " + std::to_string(Engine::kMaxProfileSamples) +
                  " samples (an hourly leap year)");
    }
    if (columns == 2) {
      const double time = numbers[timeColumn];
      if (times.size() == 1 && !(time > times[0])) {
        throw Error(where + "time " + shortest(time) + " h does not follow " + shortest(times[0]) +
                    " h; times must increase");
      }
      if (times.size() >= 2) {
        const double step = times[1] - times[0];
        const double expected = times[0] + step * static_cast<double>(times.size());
        if (!(std::abs(time - expected) <= kSpacingTolerance * step)) {
          throw Error(where + "time " + shortest(time) + " h breaks the spacing of " +
                      shortest(step) + " h set by the first two samples (expected " +
                      shortest(expected) + " h)");
        }
      }
      times.push_back(time);
    }
    profile.values.push_back(columns == 2 ? numbers[1 - timeColumn] : numbers[0]);
    profile.lines.push_back(lineNumber);
  }
  if (profile.values.empty()) throw Error(source + ": no samples in the profile");
  if (!times.empty()) profile.startHours = times[0];
  if (times.size() >= 2) profile.stepHours = times[1] - times[0];
  return profile;
}

void requireTemperatures(const Profile& profile, const std::string& source) {
  for (std::size_t i = 0; i < profile.values.size(); ++i) {
    const double value = profile.values[i];
    if (value >= kLowestTemperature && value <= kHighestTemperature) continue;
    // A profile read from a file names the line; one given as numbers (Python, the web API)
    // the sample.
    const std::string where = i < profile.lines.size()
                                  ? ": line " + std::to_string(profile.lines[i])
                                  : ": sample " + std::to_string(i + 1);
    if (!std::isfinite(value)) {
      throw Error(source + where + ": temperature " + shortest(value) + " is not a finite number");
    }
    throw Error(source + where + ": temperature " + shortest(value) + " degC is outside " +
                shortest(kLowestTemperature) + " to " + shortest(kHighestTemperature) +
                " degC, the range of indoor, outdoor and sol-air temperatures taken");
  }
}

Profile loadProfileFile(const std::string& path) {
  return parseProfileText(readTextFile(path, kMaxProfileFileBytes, FileKinds::kProfile), path);
}

}  // namespace Brusk::Frontend
