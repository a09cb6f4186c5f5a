#include "tests/app/x_session.h"

#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <thread>

#include "tests/console/child_process.h"

namespace hb::test {
namespace {

using Clock = std::chrono::steady_clock;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

Clock::time_point Deadline(double seconds) {
  return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
}

// Starts Xvfb with -displayfd: it picks a free display number and writes it
// to that descriptor once it accepts connections.
pid_t StartServer(int numberFd) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int devNull = open("/dev/null", O_RDWR);
  dup2(devNull, STDIN_FILENO);
  dup2(devNull, STDOUT_FILENO);
  dup2(devNull, STDERR_FILENO);
  const std::string fd = std::to_string(numberFd);
  execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
         static_cast<char*>(nullptr));
  _exit(127);
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

XSession::XSession() {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return;
  server_ = StartServer(pipeEnds[1]);
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

bool XSession::Shown(Window window) {
  XWindowAttributes attributes;
  return XGetWindowAttributes(display_, window, &attributes) != 0 && attributes.map_state == IsViewable;
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
  const Environment environment{{"DISPLAY=" + name_}, {}};
  return RunTool({"xdotool", "mousemove", "--window", id, "20", "20"}, environment) == 0 &&
         RunTool({"xdotool", "key", "--clearmodifiers", key}, environment) == 0;
}

}  // namespace hb::test
