#include "console/raw_input.h"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>

namespace hb {
namespace {

// The signals whose default action ends the process and which a user sends
// to a program waiting on a terminal.
constexpr int kEndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};
constexpr std::size_t kEndingSignalCount = sizeof kEndingSignals / sizeof kEndingSignals[0];

// What the signal handler puts back, and where; -1: no terminal is raw.
termios g_savedMode{};
volatile sig_atomic_t g_rawFd = -1;
// The actions the guard replaced, put back when it ends.
struct sigaction g_previousActions[kEndingSignalCount];

// Async-signal-safe: tcsetattr and raise only. SA_RESETHAND has put the
// default action back; the signal raised again is held until the handler
// returns and then ends the process as it would have.
extern "C" void RestoreModeAndEnd(int signal) {
  const int fd = g_rawFd;
  if (fd >= 0) tcsetattr(fd, TCSANOW, &g_savedMode);
  raise(signal);
}

// A signal that the process ignores stays ignored.
void GuardMode(int fd, const termios& saved) {
  g_savedMode = saved;
  std::atomic_signal_fence(std::memory_order_seq_cst);  // the mode is complete before a handler can use it
  g_rawFd = fd;
  struct sigaction guard {};
  guard.sa_handler = RestoreModeAndEnd;
  sigemptyset(&guard.sa_mask);
  for (const int signal : kEndingSignals) sigaddset(&guard.sa_mask, signal);  // one restore, undisturbed
  guard.sa_flags = SA_RESETHAND;
  for (std::size_t i = 0; i < kEndingSignalCount; ++i) {
    sigaction(kEndingSignals[i], nullptr, &g_previousActions[i]);
    if (g_previousActions[i].sa_handler != SIG_IGN) sigaction(kEndingSignals[i], &guard, nullptr);
  }
}

void EndGuard() {
  for (std::size_t i = 0; i < kEndingSignalCount; ++i) {
    if (g_previousActions[i].sa_handler != SIG_IGN) sigaction(kEndingSignals[i], &g_previousActions[i], nullptr);
  }
  g_rawFd = -1;
}

}  // namespace

RawInput::RawInput(int fd) : fd_(fd) {
  if (!isatty(fd_) || tcgetattr(fd_, &saved_) != 0) return;
  // Guarded before the switch: a signal at any moment finds the mode to put back.
  GuardMode(fd_, saved_);
  termios raw = saved_;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG | IEXTEN);
  raw.c_iflag &= ~static_cast<tcflag_t>(ICRNL | INLCR | IGNCR | IXON);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  active_ = tcsetattr(fd_, TCSAFLUSH, &raw) == 0;
  if (!active_) EndGuard();
}

RawInput::~RawInput() {
  if (!active_) return;
  tcsetattr(fd_, TCSAFLUSH, &saved_);
  EndGuard();  // after the restore: a signal in between only restores again
}

}  // namespace hb
