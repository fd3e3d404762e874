#pragma once

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace Brusk::Cli {

/// Options of `brusk check`.
struct CheckOptions {
  std::vector<std::string> files;
  std::string requirements;      ///< a requirements file or a built-in key
  std::string format = "table";  ///< "table", "json" or "csv"
  double periodHours = 24.0;
  std::string output;  ///< empty: standard output
  bool list = false;   ///< list the built-in sets instead
  std::vector<std::string> materialFiles;
  std::string climate;           ///< the monthly climate CSV of the moisture results; empty: none
  int humidityClass = 0;         ///< 1..5: the indoor side from ISO 13788 Annex A; 0: the file's
  double indoorTemperature = 0;  ///< with a humidity class [degC]
  bool indoorTemperatureGiven = false;
};

/// The exit status of `brusk check` for each verdict over all walls: every applicable rule
/// passed; a rule failed; no rule applied to some wall (and none failed); a rule could not be
/// decided for lack of a value (and none failed).
inline constexpr int kCheckPassed = 0;
inline constexpr int kCheckFailed = 1;
inline constexpr int kCheckNothingChecked = 3;
inline constexpr int kCheckNotComputable = 4;

/// What `brusk check` prints and its exit status (kCheckPassed, ...).
struct CheckOutcome {
  std::string text;
  int status = kCheckPassed;
};

/// Declares the options of `brusk check` on its subcommand.
void addCheckOptions(CLI::App& command, CheckOptions& options);

/// Checks every wall against the set; writes the output to -o (atomically) or returns it.
/// Throws Frontend::Error on bad input.
[[nodiscard]] CheckOutcome runCheck(const CheckOptions& options);

}  // namespace Brusk::Cli
