#include "brusk/batch/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

#include "brusk/frontend/error.h"

namespace Brusk::Batch {

using Frontend::Error;

namespace {

/// A unique name in the destination's directory, so that the final rename stays on one file
/// system and is atomic.
std::string makeTemporaryName(const std::string& destination) {
  const std::size_t slash = destination.rfind('/');
  const std::string directory = slash == std::string::npos ? "" : destination.substr(0, slash + 1);
  const std::string base = slash == std::string::npos ? destination : destination.substr(slash + 1);
  std::string pattern = directory + "." + base + ".partial-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int descriptor = ::mkstemp(buffer.data());
  if (descriptor < 0) {
    throw Error(destination + ": cannot create a file beside it: " + std::strerror(errno));
  }
  // mkstemp makes the file private (0600); the output gets the permissions any new file of the
  // user would get, or those of the file it replaces.
  struct stat existing {};
  mode_t mode = 0;
  if (::stat(destination.c_str(), &existing) == 0) {
    mode = existing.st_mode & 07777;
  } else {
    // umask can only be read by setting it; no other thread is creating files at this point.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    mode = 0666 & ~mask;
  }
  ::fchmod(descriptor, mode);
  ::close(descriptor);
  return std::string(buffer.data());
}

}  // namespace

AtomicOutputFile::AtomicOutputFile(std::string destination)
    : _destination(std::move(destination)), _temporary(makeTemporaryName(_destination)) {
  // Opened without truncation: the file is new and empty, and on ext4 truncating it would
  // make close() start writing the whole output back to disk before it returns.
  _stream.open(_temporary, std::ios::binary | std::ios::in | std::ios::out);
  if (!_stream) {
    std::remove(_temporary.c_str());
    throw Error(_destination + ": cannot write: " + std::strerror(errno));
  }
  _open = true;
}

AtomicOutputFile::~AtomicOutputFile() { discard(); }

void AtomicOutputFile::commit() {
  _stream.flush();
  const bool written = static_cast<bool>(_stream);
  _stream.close();
  if (!written || _stream.fail()) {
    discard();
    throw Error(_destination + ": writing failed (disk full?)");
  }
  if (std::rename(_temporary.c_str(), _destination.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    discard();
    throw Error(_destination + ": cannot rename the finished output onto it: " + reason);
  }
  _open = false;
}

void AtomicOutputFile::discard() noexcept {
  if (!_open) return;
  _stream.close();
  std::remove(_temporary.c_str());
  _open = false;
}

}  // namespace Brusk::Batch
