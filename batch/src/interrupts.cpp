#include "interrupts.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <iterator>

namespace Brusk::Batch {

namespace {

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

/// Written by the handler, read by every worker thread. A volatile sig_atomic_t is safe between
/// a handler and the thread it interrupts only; across threads it is a data race. A lock-free
/// atomic is both: no lock a handler could wait on, and ordered between threads.
std::atomic<int> receivedSignal{0};
static_assert(std::atomic<int>::is_always_lock_free,
              "a signal handler may only touch a lock-free atomic");
int wakePipe[2] = {-1, -1};

extern "C" void recordSignal(int signal) {
  const int savedErrno = errno;
  int none = 0;
  receivedSignal.compare_exchange_strong(none, signal);
  if (wakePipe[1] >= 0) {
    const char byte = 1;
    [[maybe_unused]] const ssize_t ignored = ::write(wakePipe[1], &byte, 1);
  }
  errno = savedErrno;
}

}  // namespace

InterruptGuard::InterruptGuard() {
  receivedSignal.store(0);
  if (::pipe2(wakePipe, O_CLOEXEC | O_NONBLOCK) != 0) wakePipe[0] = wakePipe[1] = -1;
  struct sigaction action {};
  action.sa_handler = recordSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a read waiting for input returns with EINTR
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    ::sigaction(kSignals[i], &action, &_previous[i]);
  }
}

InterruptGuard::~InterruptGuard() {
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    ::sigaction(kSignals[i], &_previous[i], nullptr);
  }
  for (int& end : wakePipe) {
    if (end >= 0) ::close(end);
    end = -1;
  }
}

int InterruptGuard::signal() noexcept { return receivedSignal.load(); }

int InterruptGuard::wakeDescriptor() noexcept { return wakePipe[0]; }

const char* signalName(int signal) {
  switch (signal) {
    case SIGINT:
      return "SIGINT";
    case SIGTERM:
      return "SIGTERM";
    case SIGHUP:
      return "SIGHUP";
    case SIGPIPE:
      return "SIGPIPE";
    default:
      return "a signal";
  }
}

}  // namespace Brusk::Batch
