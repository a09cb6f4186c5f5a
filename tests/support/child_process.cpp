#include "tests/support/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <thread>

namespace hb::test {
namespace {

void CloseFd(int& fd) {
  if (fd >= 0) close(fd);
  fd = -1;
}

int ExitCode(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& argv, const Environment& environment, int input,
                           int output) {
  int inPipe[2], outPipe[2], errPipe[2];
  if (pipe2(inPipe, O_CLOEXEC) != 0) return;
  if (pipe2(outPipe, O_CLOEXEC) != 0) return;
  if (pipe2(errPipe, O_CLOEXEC) != 0) return;
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  pid_ = fork();
  if (pid_ == 0) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);  // no server or driver outlives a test that crashed
    dup2(input >= 0 ? input : inPipe[0], 0);
    dup2(output >= 0 ? output : outPipe[1], 1);
    dup2(errPipe[1], 2);
    for (const std::string& name : environment.unset) unsetenv(name.c_str());
    for (const std::string& entry : environment.set) {
      if (entry.find('=') != std::string::npos) putenv(const_cast<char*>(entry.c_str()));
    }
    execvp(args[0], args.data());
    _exit(127);
  }
  close(inPipe[0]);
  close(outPipe[1]);
  close(errPipe[1]);
  in_ = inPipe[1];
  out_ = outPipe[0];
  err_ = errPipe[0];
  signal(SIGPIPE, SIG_IGN);  // a child that is gone must not end the test
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0 && !exitCode_) Kill();
  CloseFd(in_);
  CloseFd(out_);
  CloseFd(err_);
}

bool ChildProcess::Write(const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = write(in_, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<std::size_t>(put);
  }
  return true;
}

void ChildProcess::CloseInput() { CloseFd(in_); }

bool ChildProcess::Fill(int& fd, std::string& buffer, std::chrono::steady_clock::time_point deadline) {
  if (fd < 0) return false;
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
  if (left.count() <= 0) return false;
  pollfd watched{fd, POLLIN, 0};
  const int ready = poll(&watched, 1, static_cast<int>(left.count()));
  if (ready < 0 && errno == EINTR) return true;
  if (ready <= 0) return false;
  char chunk[4096];
  const ssize_t got = read(fd, chunk, sizeof chunk);
  if (got < 0 && errno == EINTR) return true;
  if (got <= 0) {
    CloseFd(fd);
    return false;
  }
  buffer.append(chunk, static_cast<std::size_t>(got));
  return true;
}

std::optional<std::string> ChildProcess::ReadLine(int& fd, std::string& buffer, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    const std::size_t end = buffer.find('\n');
    if (end != std::string::npos) {
      std::string line = buffer.substr(0, end);
      buffer.erase(0, end + 1);
      return line;
    }
    if (!Fill(fd, buffer, deadline)) return std::nullopt;
  }
}

std::optional<std::string> ChildProcess::ReadErrorLine(std::chrono::milliseconds patience) {
  return ReadLine(err_, errBuffer_, patience);
}

std::optional<std::string> ChildProcess::ReadOutputLine(std::chrono::milliseconds patience) {
  return ReadLine(out_, outBuffer_, patience);
}

bool ChildProcess::WaitForOutput(const std::string& text, std::chrono::milliseconds patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  while (outBuffer_.find(text) == std::string::npos) {
    if (!Fill(out_, outBuffer_, deadline)) return false;
  }
  return true;
}

int ChildProcess::Wait(std::chrono::milliseconds patience) {
  if (pid_ <= 0) return -1;
  if (exitCode_) return *exitCode_;
  const auto deadline = std::chrono::steady_clock::now() + patience;
  DrainOutputs(deadline);
  for (;;) {
    int status = 0;
    const pid_t done = waitpid(pid_, &status, WNOHANG);
    if (done == pid_) {
      exitCode_ = ExitCode(status);
      return *exitCode_;
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      Kill();
      return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// Reads both outputs to their end, so the child never blocks on a full pipe.
void ChildProcess::DrainOutputs(std::chrono::steady_clock::time_point deadline) {
  while (out_ >= 0 || err_ >= 0) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return;
    pollfd watched[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
    const int ready = poll(watched, 2, static_cast<int>(left.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) return;
    if (watched[0].revents != 0) Fill(out_, outBuffer_, deadline);
    if (watched[1].revents != 0) Fill(err_, errBuffer_, deadline);
  }
}

void ChildProcess::Kill() {
  if (pid_ <= 0 || exitCode_) return;
  kill(pid_, SIGKILL);
  int status = 0;
  waitpid(pid_, &status, 0);
  exitCode_ = ExitCode(status);
}

void ChildProcess::Signal(int signal) {
  if (pid_ > 0 && !exitCode_) kill(pid_, signal);
}

int ChildProcess::Terminate() {
  if (pid_ > 0 && !exitCode_) kill(pid_, SIGTERM);
  return Wait();
}

int RunTool(const std::vector<std::string>& argv, const Environment& environment) {
  ChildProcess tool(argv, environment);
  return tool.Running() ? tool.Wait() : -1;
}

}  // namespace hb::test
