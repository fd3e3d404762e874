#include "brusk/batch/progress_bar.h"

#include <string>

namespace Brusk::Batch {

namespace {
constexpr auto kRedrawInterval = std::chrono::milliseconds(200);
constexpr int kBarWidth = 30;
}  // namespace

ProgressBar::ProgressBar(std::FILE* terminal, std::size_t totalBytes)
    : _terminal(terminal),
      _totalBytes(totalBytes),
      _start(std::chrono::steady_clock::now()),
      _lastDraw(_start) {}

void ProgressBar::update(const Progress& progress) {
  const auto now = std::chrono::steady_clock::now();
  if (now - _lastDraw < kRedrawInterval) return;
  _lastDraw = now;
  draw(progress);
}

void ProgressBar::finish(const Progress& progress) {
  draw(progress);
  std::fputc('\n', _terminal);
  std::fflush(_terminal);
}

void ProgressBar::draw(const Progress& progress) {
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - _start).count();
  const double rate = seconds > 0.0 ? static_cast<double>(progress.linesDone) / seconds : 0.0;
  std::string bar;
  std::string timeLeft;
  if (_totalBytes > 0) {
    const double fraction =
        std::min(1.0, static_cast<double>(progress.bytesDone) / static_cast<double>(_totalBytes));
    const int filled = static_cast<int>(fraction * kBarWidth);
    bar = "[" + std::string(static_cast<std::size_t>(filled), '#') +
          std::string(static_cast<std::size_t>(kBarWidth - filled), '.') + "] ";
    if (fraction > 0.0) {
      timeLeft = ", " + std::to_string(static_cast<long>(seconds * (1.0 - fraction) / fraction)) +
                 " s left";
    }
  }
  std::fprintf(
      _terminal, "\r%s%zu walls, %.0f walls/s%s%s\033[K", bar.c_str(), progress.linesDone, rate,
      progress.failedLines ? (", " + std::to_string(progress.failedLines) + " failed").c_str() : "",
      timeLeft.c_str());
  std::fflush(_terminal);
}

}  // namespace Brusk::Batch
