#include "brusk/batch/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "brusk/frontend/error.h"
#include "brusk/frontend/input_files.h"
#include "brusk/frontend/text_util.h"

namespace Brusk::Batch {

using Frontend::Error;

namespace {

/// As many links as the kernel follows before it reports a loop.
constexpr int kMaxSymbolicLinks = 40;

std::string directoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

/// Where a file created at `path` ends up: `path` itself, or the target of a symbolic link left
/// dangling there (the file it names does not exist yet).
std::string followDanglingLinks(const std::string& destination) {
  std::string path = destination;
  for (int links = 0;; ++links) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    if (links == kMaxSymbolicLinks) throw Error(destination + ": " + std::strerror(ELOOP));
    std::vector<char> target(static_cast<std::size_t>(PATH_MAX) + 1);
    const ssize_t length = ::readlink(path.c_str(), target.data(), target.size() - 1);
    if (length < 0) throw Error(destination + ": " + std::strerror(errno));
    const std::string link(target.data(), static_cast<std::size_t>(length));
    path = link.front() == '/' ? link : directoryOf(path) + link;
  }
}

/// A unique name in the target's directory, so that the final rename stays on one file system
/// and is atomic.
std::string makeTemporaryName(const std::string& target, const std::string& destination) {
  const std::size_t slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string pattern = directoryOf(target) + "." + base + ".partial-XXXXXX";
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
  if (::stat(target.c_str(), &existing) == 0) {
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

void refuseSameFile(const std::string& destination, const struct stat& input,
                    const std::string& inputName) {
  struct stat output {};
  if (::stat(destination.c_str(), &output) != 0 || !S_ISREG(output.st_mode)) return;
  if (output.st_dev == input.st_dev && output.st_ino == input.st_ino) {
    throw Error(destination + ": is the input file " + inputName +
                "; the output would replace it, so write it to another file");
  }
}

}  // namespace

AtomicOutputFile::AtomicOutputFile(std::string destination) : _destination(std::move(destination)) {
  if (_destination.empty()) throw Error("the output file name is empty");
  // A name cut at a NUL by the system would write another file than the one given.
  Frontend::requireNoNulInPath(_destination);
  struct stat status {};
  if (::stat(_destination.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) throw Error(_destination + ": is a directory");
    if (S_ISFIFO(status.st_mode) || S_ISCHR(status.st_mode)) {
      // Nothing to replace: written as it is, through the name given.
      _target = _destination;
      _stream.open(_target, std::ios::binary | std::ios::out);
      if (!_stream) throw Error(_destination + ": cannot write: " + std::strerror(errno));
      _open = true;
      return;
    }
    if (!S_ISREG(status.st_mode)) {
      throw Error(_destination + ": is neither a regular file, a pipe nor a character device");
    }
    const std::unique_ptr<char, decltype(&std::free)> real(
        ::realpath(_destination.c_str(), nullptr), &std::free);
    if (!real) throw Error(_destination + ": " + std::strerror(errno));
    _target = real.get();
  } else if (errno == ENOENT) {
    _target = followDanglingLinks(_destination);
  } else {
    throw Error(_destination + ": " + std::strerror(errno));
  }
  _temporary = makeTemporaryName(_target, _destination);
  // Opened without truncation: the file is new and empty, and on ext4 truncating it would
  // make close() start writing the whole output back to disk before it returns.
  _stream.open(_temporary, std::ios::binary | std::ios::in | std::ios::out);
  if (!_stream) {
    const std::string reason = std::strerror(errno);
    std::remove(_temporary.c_str());
    throw Error(_destination + ": cannot write: " + reason);
  }
  _open = true;
}

AtomicOutputFile::~AtomicOutputFile() { discard(); }

void AtomicOutputFile::commit() {
  errno = 0;
  _stream.flush();
  const bool written = static_cast<bool>(_stream);
  int writeError = errno;
  _stream.close();
  if (!written || _stream.fail()) {
    if (writeError == 0) writeError = errno;
    discard();
    throw Error(_destination + ": writing failed" +
                (writeError != 0 ? std::string(": ") + std::strerror(writeError) : ""));
  }
  if (!_temporary.empty() && std::rename(_temporary.c_str(), _target.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    discard();
    throw Error(_destination + ": cannot rename the finished output onto it: " + reason);
  }
  _open = false;
}

void AtomicOutputFile::discard() noexcept {
  if (!_open) return;
  _stream.close();
  if (!_temporary.empty()) std::remove(_temporary.c_str());
  _open = false;
}

void refuseToReplaceInput(const std::string& destination, const std::string& input) {
  Frontend::refuseToOverwriteInput(destination, input);
}

void refuseToReplaceInput(const std::string& destination, int descriptor,
                          const std::string& inputName) {
  struct stat status {};
  if (::fstat(descriptor, &status) == 0) refuseSameFile(destination, status, inputName);
}

}  // namespace Brusk::Batch
