#include "brusk/frontend/input_files.h"

#include <filesystem>
#include <system_error>

#include "brusk/frontend/error.h"

namespace Brusk::Frontend {

namespace {

namespace fs = std::filesystem;

/// The absolute path with "." and ".." removed and the symbolic links of its existing part
/// resolved; empty when the file system cannot say.
fs::path normalised(const std::string& path) {
  std::error_code error;
  fs::path full = fs::weakly_canonical(fs::absolute(path, error), error);
  if (error) return {};
  return full.lexically_normal();
}

}  // namespace

void refuseToOverwriteInput(const std::string& destination, const std::string& input) {
  std::error_code error;
  const fs::file_status output = fs::status(destination, error);
  if (fs::exists(output) && !fs::is_regular_file(output)) return;
  bool same = false;
  if (fs::exists(output) && fs::exists(fs::status(input, error))) {
    same = fs::equivalent(destination, input, error) && !error;
  }
  if (!same) {
    const fs::path a = normalised(destination);
    same = !a.empty() && a == normalised(input);
  }
  if (same) {
    throw Error(destination + ": is the input file " + input +
                "; the output would replace it, so write it to another file");
  }
}

void refuseToOverwriteInputs(const std::string& destination,
                             const std::vector<std::string>& inputs) {
  for (const std::string& input : inputs) refuseToOverwriteInput(destination, input);
}

}  // namespace Brusk::Frontend
