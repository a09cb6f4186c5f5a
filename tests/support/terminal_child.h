// A child process on a pseudo-terminal of its own, as in a terminal window:
// the terminal is its controlling terminal and its standard input, output
// and error. The child starts with the default action for every signal, and
// writes no core file.
#pragma once

#include <sys/types.h>
#include <termios.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/child_process.h"

namespace hb::test {

class TerminalChild {
 public:
  // Starts `argv` (looked up in PATH when it has no slash). Running() is
  // false when it could not be started.
  explicit TerminalChild(const std::vector<std::string>& argv, const Environment& environment = {});
  ~TerminalChild();  // kills a child still running
  TerminalChild(const TerminalChild&) = delete;
  TerminalChild& operator=(const TerminalChild&) = delete;

  bool Running() const { return pid_ > 0; }
  // The terminal's mode before the child started, and as it is now (also
  // after the child has ended).
  const termios& InitialMode() const { return initialMode_; }
  std::optional<termios> Mode() const;
  // Reads what the child wrote to the terminal until it holds `text`.
  bool WaitForOutput(const std::string& text, std::chrono::milliseconds patience = kPatience);
  // Waits until the terminal's mode satisfies `wanted`.
  bool WaitForMode(const std::function<bool(const termios&)>& wanted, std::chrono::milliseconds patience = kPatience);
  bool Signal(int signal);
  // The child's wait status once it has ended; nothing when the deadline
  // passes (the child is then killed).
  std::optional<int> WaitStatus(std::chrono::milliseconds patience = kPatience);

 private:
  void Drain();

  pid_t pid_ = -1;
  int controller_ = -1;  // the pseudo-terminal's controlling side
  int terminal_ = -1;    // the child's side, kept open to read its mode
  termios initialMode_{};
  std::string output_;
  std::optional<int> status_;
};

}  // namespace hb::test
