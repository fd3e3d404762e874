#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>

#include "brusk/batch/line_pipeline.h"

namespace Brusk::Batch {

/// A one-line progress display on a terminal: walls done, walls per second and, when the input's
/// size is known, a bar and the time left. Redraws at most a few times a second.
class ProgressBar {
public:
  /// `totalBytes` is the input's size, or 0 when unknown (a pipe).
  ProgressBar(std::FILE* terminal, std::size_t totalBytes);
  /// Redraws when enough time has passed since the last drawing.
  void update(const Progress& progress);
  /// Draws the final state and ends the line.
  void finish(const Progress& progress);

private:
  void draw(const Progress& progress);

  std::FILE* _terminal;
  std::size_t _totalBytes;
  std::chrono::steady_clock::time_point _start;
  std::chrono::steady_clock::time_point _lastDraw;
};

}  // namespace Brusk::Batch
