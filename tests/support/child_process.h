// A child process for the tests, with pipes to its standard input,
// output and error, and waits that give up after a deadline instead of
// hanging the test run.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace hb::test {

inline constexpr auto kPatience = std::chrono::seconds(30);

struct Environment {
  std::vector<std::string> set;    // "NAME=value"
  std::vector<std::string> unset;  // names
};

class ChildProcess {
 public:
  // Starts `argv` (argv[0] is looked up in PATH when it has no slash), with
  // `input` as its standard input when given (else a pipe, see Write) and
  // `output` as its standard output when given (else a pipe, see Output).
  // Running() is false when it could not be started.
  ChildProcess(const std::vector<std::string>& argv, const Environment& environment = {}, int input = -1,
               int output = -1);
  ~ChildProcess();  // kills a child still running
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Running() const { return pid_ > 0; }
  bool Write(const std::string& bytes);
  void CloseInput();
  // The next line of standard error (without its line end); nothing at its
  // end or when the deadline passes.
  std::optional<std::string> ReadErrorLine(std::chrono::milliseconds patience = kPatience);
  // The next line of standard output, likewise.
  std::optional<std::string> ReadOutputLine(std::chrono::milliseconds patience = kPatience);
  // Reads standard output until it holds `text`; false when the deadline
  // passes or the output ends first.
  bool WaitForOutput(const std::string& text, std::chrono::milliseconds patience = kPatience);
  // Waits for the exit and returns the exit code (128 + signal when killed
  // by one); -1 when the deadline passes (the child is then killed).
  int Wait(std::chrono::milliseconds patience = kPatience);
  // Everything read from standard output (lines taken by ReadOutputLine
  // excluded); complete once Wait has returned.
  const std::string& Output() const { return outBuffer_; }
  const std::string& ErrorOutput() const { return errBuffer_; }
  void Kill();
  // Sends `signal` to a child still running.
  void Signal(int signal);
  // Asks the child to end (SIGTERM) and waits for it.
  int Terminate();

 private:
  std::optional<std::string> ReadLine(int& fd, std::string& buffer, std::chrono::milliseconds patience);
  void DrainOutputs(std::chrono::steady_clock::time_point deadline);
  bool Fill(int& fd, std::string& buffer, std::chrono::steady_clock::time_point deadline);

  pid_t pid_ = -1;
  int in_ = -1;
  int out_ = -1;
  int err_ = -1;
  std::string outBuffer_;
  std::string errBuffer_;
  std::optional<int> exitCode_;
};

// Runs a tool to its end and returns its exit code (-1 when it could not be
// started or did not end in time).
int RunTool(const std::vector<std::string>& argv, const Environment& environment = {});

}  // namespace hb::test
