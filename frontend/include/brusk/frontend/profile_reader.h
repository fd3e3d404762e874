#pragma once

// Periodic temperature and irradiance profiles read from CSV files.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace Brusk::Frontend {

/// Largest profile file read: an hourly year with times is some 200 kB.
inline constexpr std::size_t kMaxProfileFileBytes = 4 * 1024 * 1024;

/// One profile: equally spaced samples over one period.
struct Profile {
  std::vector<double> values;        ///< the samples, in file order
  std::optional<double> startHours;  ///< the first time, when the file has a time column [h]
  std::optional<double> stepHours;   ///< their spacing, with a time column and two samples [h]
  /// The period the time column implies, N x step [h], when it has one.
  [[nodiscard]] std::optional<double> periodHours() const;
};

/// Reads a profile from CSV text: one value per line, or two cells `time,value` with times in
/// hours equally spaced (within a millionth of the step) and increasing. Blank lines and lines
/// starting with '#' are skipped; the first other line is a header when its first cell is not
/// a number. Every value must be a finite number. Throws Frontend::Error naming `source`, the
/// line and the cell: an empty profile, a cell that is not a number, a line with another number
/// of cells than the first, unequal spacing, a value that is not finite, more samples than the
/// engine takes (Engine::kMaxProfileSamples).
[[nodiscard]] Profile parseProfileText(std::string_view text, const std::string& source);

/// parseProfileText() of a file (UTF-8 text of at most kMaxProfileFileBytes).
[[nodiscard]] Profile loadProfileFile(const std::string& path);

}  // namespace Brusk::Frontend
