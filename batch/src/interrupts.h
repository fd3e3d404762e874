#pragma once

#include <csignal>

namespace Brusk::Batch {

/// Routes the signals that end a run from outside (SIGINT, SIGTERM, SIGHUP, SIGPIPE) to a flag
/// for the guard's lifetime, so that an interrupted run can remove its partial output and say
/// what happened instead of dying with it. The handlers are installed without SA_RESTART, so a
/// blocking read returns with EINTR, and they write a byte to a pipe that a reader can poll
/// beside its input, since the signal may reach another thread than the one waiting in a read.
/// One guard at a time.
class InterruptGuard {
public:
  InterruptGuard();
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

  /// The first signal received since the guard was installed, or 0.
  [[nodiscard]] static int signal() noexcept;
  /// Readable once a signal has been received; -1 when no pipe could be made.
  [[nodiscard]] static int wakeDescriptor() noexcept;

private:
  struct sigaction _previous[4]{};
};

/// "SIGINT", "SIGTERM", "SIGHUP", "SIGPIPE", or "a signal".
[[nodiscard]] const char* signalName(int signal);

}  // namespace Brusk::Batch
