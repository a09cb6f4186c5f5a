#include "tests/support/terminal_child.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

namespace hb::test {
namespace {

using Clock = std::chrono::steady_clock;

// In the child, before it runs the program: default actions and no blocked
// signal (a test runner may ignore some), no core file for a signal that
// writes one.
void ResetSignalsAndCore() {
  for (int signal = 1; signal < NSIG; ++signal) ::signal(signal, SIG_DFL);
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  const rlimit noCore{0, 0};
  setrlimit(RLIMIT_CORE, &noCore);
}

}  // namespace

TerminalChild::TerminalChild(const std::vector<std::string>& argv, const Environment& environment) {
  if (openpty(&controller_, &terminal_, nullptr, nullptr, nullptr) != 0) return;
  fcntl(controller_, F_SETFD, FD_CLOEXEC);
  fcntl(terminal_, F_SETFD, FD_CLOEXEC);
  fcntl(controller_, F_SETFL, fcntl(controller_, F_GETFL) | O_NONBLOCK);
  tcgetattr(terminal_, &initialMode_);
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);  // no child outlives a test that crashed
    setsid();
    ioctl(terminal_, TIOCSCTTY, 0);
    for (int fd = 0; fd < 3; ++fd) dup2(terminal_, fd);
    ResetSignalsAndCore();
    for (const std::string& name : environment.unset) unsetenv(name.c_str());
    for (const std::string& entry : environment.set) {
      if (entry.find('=') != std::string::npos) putenv(const_cast<char*>(entry.c_str()));
    }
    execvp(args[0], args.data());
    _exit(127);
  }
}

TerminalChild::~TerminalChild() {
  if (pid_ > 0 && !status_) {
    kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
  }
  if (controller_ >= 0) close(controller_);
  if (terminal_ >= 0) close(terminal_);
}

std::optional<termios> TerminalChild::Mode() const {
  termios mode{};
  if (terminal_ < 0 || tcgetattr(terminal_, &mode) != 0) return std::nullopt;
  return mode;
}

void TerminalChild::Drain() {
  char bytes[4096];
  for (ssize_t got; (got = read(controller_, bytes, sizeof bytes)) > 0;) {
    output_.append(bytes, static_cast<std::size_t>(got));
  }
}

bool TerminalChild::WaitForOutput(const std::string& text, std::chrono::milliseconds patience) {
  const auto deadline = Clock::now() + patience;
  for (;;) {
    Drain();
    if (output_.find(text) != std::string::npos) return true;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd ready{controller_, POLLIN, 0};
    poll(&ready, 1, static_cast<int>(left.count()));
  }
}

bool TerminalChild::WaitForMode(const std::function<bool(const termios&)>& wanted,
                                std::chrono::milliseconds patience) {
  const auto deadline = Clock::now() + patience;
  for (;;) {
    const std::optional<termios> mode = Mode();
    if (mode && wanted(*mode)) return true;
    if (Clock::now() >= deadline) return false;
    Drain();  // a child blocked on a full terminal would never switch
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

bool TerminalChild::Signal(int signal) { return pid_ > 0 && !status_ && kill(pid_, signal) == 0; }

std::optional<int> TerminalChild::WaitStatus(std::chrono::milliseconds patience) {
  if (pid_ <= 0) return std::nullopt;
  const auto deadline = Clock::now() + patience;
  while (!status_) {
    Drain();
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      status_ = status;
    } else if (Clock::now() >= deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      status_ = status;
      return std::nullopt;
    } else {
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }
  return status_;
}

}  // namespace hb::test
