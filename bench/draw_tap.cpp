// A tap on what the window console draws, for the suite's program runs under
// Xvfb: preloaded into the program (LD_PRELOAD), it stands in for Xft's
// XftDrawCharSpec, notes the characters of every piece and passes the call on.
// A piece drawn at the left edge starts a new line. When a line "Done" is
// drawn, the lines so far go to the file named by HB_DRAW_TAP_FILE.
//
// The timed passes never draw, and a note is a copy of at most one row into
// memory reserved up front, so the tap adds nothing the passes could see.
//
// With HB_DRAW_TAP_MAIN_CPU=N the program's main thread, which runs the
// passes, is held on processor N, as the suite holds its own samples there,
// while the console thread (the one that opens the display) may run on every
// other processor: the program's two threads cannot be placed that way from
// outside.
#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>
#include <dlfcn.h>
#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace {

using DrawCharSpec = void (*)(XftDraw*, const XftColor*, XftFont*, const XftCharSpec*, int);

std::string& Lines() {
  static std::string lines = [] {
    std::string reserved;
    reserved.reserve(1 << 16);
    return reserved;
  }();
  return lines;
}

void WriteLines(const std::string& lines) {
  const char* path = std::getenv("HB_DRAW_TAP_FILE");
  if (path == nullptr) return;
  const int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;
  std::size_t done = 0;
  while (done < lines.size()) {
    const ssize_t put = write(fd, lines.data() + done, lines.size() - done);
    if (put <= 0) break;
    done += static_cast<std::size_t>(put);
  }
  close(fd);
}

void Note(const XftCharSpec* chars, int length) {
  if (length <= 0) return;
  std::string& lines = Lines();
  if (chars[0].x == 0 && !lines.empty()) lines += '\n';
  const std::size_t start = lines.size();
  for (int i = 0; i < length; ++i) lines += chars[i].ucs4 < 0x80 ? static_cast<char>(chars[i].ucs4) : '?';
  if (chars[0].x == 0 && lines.compare(start, std::string::npos, "Done") == 0) WriteLines(lines + '\n');
}

// The processor named by HB_DRAW_TAP_MAIN_CPU, -1 when none is named.
int MainCpu() {
  const char* named = std::getenv("HB_DRAW_TAP_MAIN_CPU");
  return named == nullptr || *named == '\0' ? -1 : std::atoi(named);
}

// Runs before the program's main, on its main thread.
[[gnu::constructor]] void HoldMainThread() {
  const int cpu = MainCpu();
  if (cpu < 0) return;
  cpu_set_t only;
  CPU_ZERO(&only);
  CPU_SET(cpu, &only);
  sched_setaffinity(0, sizeof only, &only);
}

// The calling thread (the console's) may run anywhere but on the main
// thread's processor, when there is another one.
void FreeConsoleThread() {
  const int cpu = MainCpu();
  const long processors = sysconf(_SC_NPROCESSORS_ONLN);
  if (cpu < 0 || processors < 2) return;
  cpu_set_t others;
  CPU_ZERO(&others);
  for (int i = 0; i < processors && i < CPU_SETSIZE; ++i) {
    if (i != cpu) CPU_SET(i, &others);
  }
  sched_setaffinity(0, sizeof others, &others);
}

}  // namespace

extern "C" Display* XOpenDisplay(const char* name) {
  using OpenDisplay = Display* (*)(const char*);
  static const auto next = reinterpret_cast<OpenDisplay>(dlsym(RTLD_NEXT, "XOpenDisplay"));
  FreeConsoleThread();
  return next == nullptr ? nullptr : next(name);
}

extern "C" void XftDrawCharSpec(XftDraw* draw, const XftColor* color, XftFont* font, const XftCharSpec* chars,
                                int length) {
  static const auto next = reinterpret_cast<DrawCharSpec>(dlsym(RTLD_NEXT, "XftDrawCharSpec"));
  Note(chars, length);
  if (next != nullptr) next(draw, color, font, chars, length);
}
