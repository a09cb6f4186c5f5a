#include "tests/app/x_session.h"

#include <X11/Xutil.h>

#include <chrono>
#include <map>
#include <thread>

#include "tests/support/child_process.h"

namespace hb::test {
namespace {

using Clock = std::chrono::steady_clock;

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

Clock::time_point Deadline(double seconds) {
  return Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
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

XSession::XSession() : server_(1280, 1024) {
  if (server_.Name().empty()) return;
  display_ = XOpenDisplay(server_.Name().c_str());
  if (display_ != nullptr) XSetErrorHandler(IgnoreErrors);
}

XSession::~XSession() {
  if (display_ != nullptr) XCloseDisplay(display_);
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

  const int cellWidth = width / columns, lineHeight = height / rows;
  std::vector<std::string> ink(rows, std::string(columns, '.'));
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (XGetPixel(image, x, y) != background) ink[y / lineHeight][x / cellWidth] = '#';
  XDestroyImage(image);
  return ink;
}

bool XSession::TypeKey(Window window, const std::string& key) {
  const std::string id = std::to_string(window);
  // Through the test extension, as a keyboard would: the pointer over the
  // window, then the key, which goes to the window with the focus.
  const Environment environment = server_.ForChildren();
  return RunTool({"xdotool", "mousemove", "--window", id, "20", "20"}, environment) == 0 &&
         RunTool({"xdotool", "key", "--clearmodifiers", key}, environment) == 0;
}

}  // namespace hb::test
