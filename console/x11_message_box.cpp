#include "console/x11_message_box.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace hb {
namespace {

constexpr unsigned kWidth = 260;
constexpr unsigned kHeight = 70;

// Centres the text on the window with the server's default font.
void DrawText(Display* display, Window window, GC gc, std::string_view text) {
  XFontStruct* font = XQueryFont(display, XGContextFromGC(gc));
  const int length = static_cast<int>(text.size());
  int x = 20;
  int y = static_cast<int>(kHeight) / 2;
  if (font != nullptr) {
    x = (static_cast<int>(kWidth) - XTextWidth(font, text.data(), length)) / 2;
    y += (font->ascent - font->descent) / 2;
    XFreeFontInfo(nullptr, font, 1);  // one font: with 0 its metrics and properties stay behind
  }
  XDrawString(display, window, gc, x, y, text.data(), length);
}

}  // namespace

bool ShowX11MessageBox(std::string_view text) {
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return false;
  const int screen = DefaultScreen(display);
  const int left = (DisplayWidth(display, screen) - static_cast<int>(kWidth)) / 2;
  const int top = (DisplayHeight(display, screen) - static_cast<int>(kHeight)) / 2;
  const Window window =
      XCreateSimpleWindow(display, RootWindow(display, screen), left, top, kWidth, kHeight, 1,
                          BlackPixel(display, screen), WhitePixel(display, screen));
  XStoreName(display, window, "Error");
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display, window, &deleteWindow, 1);
  XSelectInput(display, window, ExposureMask | KeyPressMask | ButtonPressMask | StructureNotifyMask);
  GC gc = XCreateGC(display, window, 0, nullptr);
  XSetForeground(display, gc, BlackPixel(display, screen));
  XMapRaised(display, window);

  bool destroyed = false;
  for (bool open = true; open;) {
    XEvent event;
    XNextEvent(display, &event);
    switch (event.type) {
      case MapNotify:  // in front and with the keyboard, as a task-modal box would be
        XSetInputFocus(display, window, RevertToParent, CurrentTime);
        break;
      case Expose:
        if (event.xexpose.count == 0) DrawText(display, window, gc, text);
        break;
      case KeyPress:
      case ButtonPress:
        open = false;
        break;
      case ClientMessage:
        open = static_cast<Atom>(event.xclient.data.l[0]) != deleteWindow;
        break;
      case DestroyNotify:
        open = false;
        destroyed = true;
        break;
      default:
        break;
    }
  }
  XFreeGC(display, gc);
  if (!destroyed) XDestroyWindow(display, window);
  XCloseDisplay(display);
  return true;
}

}  // namespace hb
