#include "x_session.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

namespace hb::test {
namespace {

using Clock = std::chrono::steady_clock;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

Clock::time_point Deadline(double seconds) {
  return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

pid_t Spawn(const std::vector<std::string>& command, const std::string& display, int stdoutFd, int stderrFd) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int devNull = open("/dev/null", O_RDWR);
  dup2(devNull, STDIN_FILENO);
  dup2(stdoutFd >= 0 ? stdoutFd : devNull, STDOUT_FILENO);
  dup2(stderrFd >= 0 ? stderrFd : devNull, STDERR_FILENO);
  if (display.empty()) {
    unsetenv("DISPLAY");
  } else {
    setenv("DISPLAY", display.c_str(), 1);
  }
  std::vector<char*> argv;
  for (const std::string& word : command) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

int RunToEnd(const std::vector<std::string>& command, const std::string& display) {
  const pid_t pid = Spawn(command, display, -1, -1);
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Title(Display* display, Window window) {
  char* name = nullptr;
  if (XFetchName(display, window, &name) == 0 || name == nullptr) return {};
  std::string title(name);
  XFree(name);
  return title;
}

int IgnoreErrors(Display*, XErrorEvent*) { return 0; }  // windows may vanish while we look

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& display) {
  std::vector<std::string> command{program};
  command.insert(command.end(), arguments.begin(), arguments.end());
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return;
  pid_ = Spawn(command, display, -1, pipeEnds[1]);
  close(pipeEnds[1]);
  stderrFd_ = pipeEnds[0];
}

ChildProcess::~ChildProcess() {
  if (!ended_ && pid_ > 0) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  if (stderrFd_ >= 0) close(stderrFd_);
}

bool ChildProcess::Running() {
  if (ended_ || pid_ <= 0) return false;
  if (waitpid(pid_, &status_, WNOHANG) == pid_) ended_ = true;
  return !ended_;
}

int ChildProcess::WaitForExit(double seconds) {
  const auto deadline = Deadline(seconds);
  while (Running() && Clock::now() < deadline) SleepMs(10);
  if (!ended_) return -1;
  return WIFEXITED(status_) ? WEXITSTATUS(status_) : -2;
}

std::string ChildProcess::Stderr() {
  std::string text;
  char chunk[1024];
  for (ssize_t got; stderrFd_ >= 0 && (got = read(stderrFd_, chunk, sizeof chunk)) > 0;) text.append(chunk, got);
  return text;
}

XSession::XSession() {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return;
  server_ = Spawn({"Xvfb", "-displayfd", std::to_string(pipeEnds[1]), "-screen", "0", "1280x1024x24",
                   "-nolisten", "tcp"},
                  "", -1, -1);
  close(pipeEnds[1]);
  std::string number;
  char c;
  while (read(pipeEnds[0], &c, 1) == 1 && c != '\n') number += c;  // written once the server listens
  close(pipeEnds[0]);
  if (number.empty()) return;
  name_ = ":" + number;
  display_ = XOpenDisplay(name_.c_str());
  if (display_ != nullptr) XSetErrorHandler(IgnoreErrors);
}

XSession::~XSession() {
  if (display_ != nullptr) XCloseDisplay(display_);
  if (server_ > 0) {
    kill(server_, SIGTERM);
    waitpid(server_, nullptr, 0);
  }
}

Window XSession::WaitForWindow(const std::string& title, double seconds) {
  const auto deadline = Deadline(seconds);
  do {
    Window root = 0, parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (XQueryTree(display_, DefaultRootWindow(display_), &root, &parent, &children, &count) != 0) {
      Window found = 0;
      for (unsigned i = 0; i < count && found == 0; ++i) {
        XWindowAttributes attributes;
        if (Title(display_, children[i]) == title && XGetWindowAttributes(display_, children[i], &attributes) != 0 &&
            attributes.map_state == IsViewable)
          found = children[i];
      }
      if (children != nullptr) XFree(children);
      if (found != 0) return found;
    }
    SleepMs(20);
  } while (Clock::now() < deadline);
  return 0;
}

std::vector<std::string> XSession::InkRows(Window window, int columns, int rows) {
  XWindowAttributes attributes;
  if (XGetWindowAttributes(display_, window, &attributes) == 0) return {};
  const int width = attributes.width, height = attributes.height;
  if (width % columns != 0 || height % rows != 0) return {};
  XImage* image = XGetImage(display_, window, 0, 0, width, height, AllPlanes, ZPixmap);
  if (image == nullptr) return {};

  std::map<unsigned long, int> frequency;  // the background is the commonest colour
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) ++frequency[XGetPixel(image, x, y)];
  unsigned long background = 0;
  int best = -1;
  for (const auto& [pixel, count] : frequency)
    if (count > best) best = count, background = pixel;

  // Only a cell's inner pixels count, so that a glyph's edge touching its
  // neighbour does not mark the neighbour.
  const int cellWidth = width / columns, lineHeight = height / rows;
  std::vector<std::string> ink(rows, std::string(columns, '.'));
  for (int row = 0; row < rows; ++row)
    for (int column = 0; column < columns; ++column)
      for (int y = row * lineHeight + 1; y < (row + 1) * lineHeight - 1 && ink[row][column] == '.'; ++y)
        for (int x = column * cellWidth + 1; x < (column + 1) * cellWidth - 1; ++x)
          if (XGetPixel(image, x, y) != background) {
            ink[row][column] = '#';
            break;
          }
  XDestroyImage(image);
  return ink;
}

bool XSession::TypeKey(Window window, const std::string& key) {
  const std::string id = std::to_string(window);
  // Through the test extension, as a keyboard would: the pointer over the
  // window, then the key, which goes to the window with the focus.
  return RunToEnd({"xdotool", "mousemove", "--window", id, "20", "20"}, name_) == 0 &&
         RunToEnd({"xdotool", "key", "--clearmodifiers", key}, name_) == 0;
}

}  // namespace hb::test
