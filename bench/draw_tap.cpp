// A tap on what the window console draws, for the suite's program runs under
// Xvfb: preloaded into the program (LD_PRELOAD), it stands in for Xft's
// XftDrawCharSpec, notes the characters of every piece and passes the call on.
// A piece drawn at the left edge starts a new line. When a line "Done" is
// drawn, the lines so far go to the file named by HB_DRAW_TAP_FILE.
//
// The timed passes never draw, and a note is a copy of at most one row into
// memory reserved up front, so the tap adds nothing the passes could see.
#include <X11/Xft/Xft.h>
#include <dlfcn.h>
#include <fcntl.h>
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

}  // namespace

extern "C" void XftDrawCharSpec(XftDraw* draw, const XftColor* color, XftFont* font, const XftCharSpec* chars,
                                int length) {
  static const auto next = reinterpret_cast<DrawCharSpec>(dlsym(RTLD_NEXT, "XftDrawCharSpec"));
  Note(chars, length);
  if (next != nullptr) next(draw, color, font, chars, length);
}
