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
  std::vector<std::size_t> lines;    ///< the line of each sample in the file, for messages
  /// The period the time column implies, N x step [h], when it has one.
  [[nodiscard]] std::optional<double> periodHours() const;
};

/// Reads a profile from CSV text: one value per line, or two cells, time and value, with times in
/// hours equally spaced (within a millionth of the step) and increasing. Lines end with LF,
/// CR LF or CR; a leading UTF-8 byte order mark is skipped. Blank lines and lines starting with
/// '#' are skipped; the first other line is a header when its first cell is not a number. A
/// header sets the number of cells of every row, and of two cells one must name the time column
/// (its first word t or h, or starting with time or hour), which may come first or second. Every
/// value must be a finite number. Throws Frontend::Error naming `source`, the line and the cell: an
/// empty profile, a cell that is not a number, a line with another number of cells than the header
/// or the first sample, a header naming no time column or two, unequal spacing, a value that is not
/// finite, more samples than the engine takes (Engine::kMaxProfileSamples).
[[nodiscard]] Profile parseProfileText(std::string_view text, const std::string& source);

/// Coldest and warmest temperature a profile may hold [degC]: below the coldest air ever
/// measured (-89.2 degC, Vostok, 1983) and above the sol-air temperature of any sunlit
/// surface (some 90 degC on a dark roof), with room on both sides. Outside them a value is a
/// mistake in the file (kelvins, a missing decimal point), and far outside them the response's
/// heat flows, differences of such values, would overflow.
inline constexpr double kLowestTemperature = -100.0;
inline constexpr double kHighestTemperature = 200.0;

/// Throws Frontend::Error naming `source` and the line of the first value of `profile` outside
/// [kLowestTemperature, kHighestTemperature].
void requireTemperatures(const Profile& profile, const std::string& source);

/// parseProfileText() of a file (UTF-8 text of at most kMaxProfileFileBytes).
[[nodiscard]] Profile loadProfileFile(const std::string& path);

}  // namespace Brusk::Frontend
