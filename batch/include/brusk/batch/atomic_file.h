#pragma once

#include <fstream>
#include <string>

namespace Brusk::Batch {

/// An output file written under a temporary name beside its destination and renamed onto it only
/// by `commit`, so that readers never see a partial file. Destroyed uncommitted, it removes the
/// temporary file. Throws Brusk::Error when the file cannot be created or renamed.
class AtomicOutputFile {
public:
  explicit AtomicOutputFile(std::string destination);
  ~AtomicOutputFile();
  AtomicOutputFile(const AtomicOutputFile&) = delete;
  AtomicOutputFile& operator=(const AtomicOutputFile&) = delete;

  /// The stream to write to.
  std::ofstream& stream() { return _stream; }
  /// Path of the temporary file while it is being written.
  [[nodiscard]] const std::string& temporaryPath() const { return _temporary; }
  /// Flushes, closes and renames the temporary file onto the destination.
  void commit();
  /// Closes and removes the temporary file.
  void discard() noexcept;

private:
  std::string _destination;
  std::string _temporary;
  std::ofstream _stream;
  bool _open = false;
};

}  // namespace Brusk::Batch
