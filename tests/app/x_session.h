// A private X server for the window tests, and what the tests do with it:
// start programs on it, find their windows by title, read which character
// cells of a window hold ink, and type keys.
#pragma once

#include <X11/Xlib.h>
#include <sys/types.h>

#include <string>
#include <vector>

namespace hb::test {

// A child process started by the tests; killed when still running at the end.
class ChildProcess {
 public:
  // Runs `program` with `arguments`, standard input from /dev/null and the
  // given DISPLAY (unset when empty). Standard error is kept for Stderr().
  ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
               const std::string& display);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Running();
  // The exit code once the process has ended within `seconds`; -1 when it
  // is still running then, -2 when a signal ended it.
  int WaitForExit(double seconds);
  std::string Stderr();  // after it ended

 private:
  pid_t pid_ = -1;
  int status_ = -1;
  bool ended_ = false;
  int stderrFd_ = -1;
};

class XSession {
 public:
  // Starts Xvfb on a free display number; Ok() tells whether it came up.
  XSession();
  ~XSession();
  XSession(const XSession&) = delete;
  XSession& operator=(const XSession&) = delete;

  bool Ok() const { return display_ != nullptr; }
  const std::string& DisplayName() const { return name_; }

  // The top-level window whose title is `title`, waiting up to `seconds`;
  // 0 when none appears.
  Window WaitForWindow(const std::string& title, double seconds);

  // One string per cell row of the window, one character per cell: '#' when
  // the cell's inner pixels hold anything but the background colour, '.'
  // otherwise. Empty when the window size is not `columns` x `rows` cells.
  std::vector<std::string> InkRows(Window window, int columns, int rows);

  // Types `key` (an xdotool key name) into `window` as the keyboard would.
  bool TypeKey(Window window, const std::string& key);

 private:
  pid_t server_ = -1;
  std::string name_;
  Display* display_ = nullptr;
};

}  // namespace hb::test
