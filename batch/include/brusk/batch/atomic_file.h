#pragma once

#include <fstream>
#include <string>

namespace Brusk::Batch {

/// An output file that readers never see half-written. A new or regular file is written under a
/// temporary name beside it and renamed onto it only by `commit`, keeping the permissions of the
/// file it replaces; destroyed uncommitted, it removes the temporary file. A symbolic link is
/// followed, so the file it points to is replaced and the link stays. A pipe or a character
/// device (a terminal, /dev/null) is written directly, as there is no file to replace.
/// Everything about the destination is checked by the constructor, before any work is done:
/// it throws Frontend::Error when the name is empty, names a directory or another kind of file, a
/// symbolic link loop, or a place where no file can be created, and when the final rename fails.
class AtomicOutputFile {
public:
  explicit AtomicOutputFile(std::string destination);
  ~AtomicOutputFile();
  AtomicOutputFile(const AtomicOutputFile&) = delete;
  AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

  /// The stream to write to.
  std::ofstream& stream() { return _stream; }
  /// Path of the temporary file while it is being written; empty when written directly.
  [[nodiscard]] const std::string& temporaryPath() const { return _temporary; }
  /// The file that receives the output: the destination, or where its symbolic link leads.
  [[nodiscard]] const std::string& target() const { return _target; }
  /// Flushes and closes the stream, and renames the temporary file onto the target.
  void commit();
  /// Closes and removes the temporary file.
  void discard() noexcept;

private:
  std::string _destination;
  std::string _target;
  std::string _temporary;
  std::ofstream _stream;
  bool _open = false;
};

/// Throws Frontend::Error when the existing regular file `destination` is the same file as `input`
/// (by device and inode, so through any link or spelling of the name): writing the output would
/// replace the input it is made from. Frontend::refuseToOverwriteInput() under its batch name.
void refuseToReplaceInput(const std::string& destination, const std::string& input);

/// The same, for an input already open as `descriptor`.
void refuseToReplaceInput(const std::string& destination, int descriptor,
                          const std::string& inputName);

}  // namespace Brusk::Batch
