#pragma once

// The one check that an output file never replaces a file the same command reads, shared by
// every front end that writes files (the CLI's -o, the Python package's writers).

#include <string>
#include <vector>

namespace Brusk::Frontend {

/// Throws Frontend::Error, "DESTINATION: is the input file INPUT; the output would replace it,
/// so write it to another file", when writing `destination` would replace `input`:
/// - both exist and are the same file by identity (device and inode, std::filesystem::
///   equivalent), however either is spelled and through any hard or symbolic link; or
/// - their absolute, normalised paths (symbolic links resolved as far as the files exist) are
///   the same.
/// A destination that is not a regular file (a pipe, a terminal, /dev/null) replaces nothing and
/// is never refused. An input that cannot be looked at is left to its reader to word.
void refuseToOverwriteInput(const std::string& destination, const std::string& input);

/// refuseToOverwriteInput() for each of `inputs`, in order.
void refuseToOverwriteInputs(const std::string& destination,
                             const std::vector<std::string>& inputs);

}  // namespace Brusk::Frontend
