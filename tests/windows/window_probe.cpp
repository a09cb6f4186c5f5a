// Looks at the program's windows from another process, as the Windows tools
// of a user would, for tests/windows/end_to_end.sh. One command per run:
//
//   console <seconds>  waits for the console frame and for "Done" on its
//                      surface; checks the frame and prints its rows, each as
//                      "row:<text>"; one "problem: ..." line per check failed
//   close              sends the frame the system close command; fails when
//                      the frame is gone afterwards
//   shown              fails when the frame is not there and visible
//   message <seconds>  waits for the message box and prints "text:<its text>"
//
// Exits 0 when every check passed, 1 otherwise.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kColumns = 80;
constexpr int kRows = 50;
constexpr UINT kPatienceMs = 5000;

int g_problems = 0;

void Problem(const std::string& what) {
  std::printf("problem: %s\n", what.c_str());
  ++g_problems;
}

std::string Narrow(const std::wstring& text) {
  std::string out;
  for (wchar_t c : text) out += c < 0x80 ? static_cast<char>(c) : '?';
  return out;
}

HWND Frame() { return FindWindowW(L"QUILLTEXT", L"Test"); }

// The window's text through WM_GETTEXT, which a window of another process
// answers itself; empty when it does not answer in time.
std::wstring SentText(HWND window) {
  DWORD_PTR length = 0;
  if (SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kPatienceMs, &length) == 0) return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  if (SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL,
                          kPatienceMs, &copied) == 0)
    return {};
  text.resize(copied);
  return text;
}

std::vector<std::wstring> Rows(HWND surface) {
  std::vector<std::wstring> rows;
  const std::wstring text = SentText(surface);
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = text.find(L"\r\n", start);
    rows.push_back(text.substr(start, end - start));
    if (end == std::wstring::npos) return rows;
    start = end + 2;
  }
}

template <class Found>
bool WaitFor(double seconds, Found found) {
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(seconds * 1000);
  while (!found()) {
    if (GetTickCount64() > deadline) return false;
    Sleep(50);
  }
  return true;
}

// The cell of the console's font as this system delivers it: the face the
// console asks for, fixed pitch, regular weight, the default height.
SIZE ConsoleCell() {
  LOGFONTW logical{};
  logical.lfWeight = FW_NORMAL;
  logical.lfPitchAndFamily = FIXED_PITCH;
  wcscpy(logical.lfFaceName, L"Lucida Console");
  const HFONT font = CreateFontIndirectW(&logical);
  const HDC screen = GetDC(nullptr);
  const HGDIOBJ previous = SelectObject(screen, font);
  TEXTMETRICW metrics{};
  GetTextMetricsW(screen, &metrics);
  SelectObject(screen, previous);
  ReleaseDC(nullptr, screen);
  DeleteObject(font);
  return SIZE{metrics.tmAveCharWidth, metrics.tmHeight + metrics.tmExternalLeading};
}

void CheckFrame(HWND frame, HWND surface) {
  RECT outer{}, client{}, shown{};
  GetWindowRect(frame, &outer);
  GetClientRect(frame, &client);
  if (outer.left != 0 || outer.top != 0)
    Problem("frame at " + std::to_string(outer.left) + "," + std::to_string(outer.top) + ", not 0,0");

  const SIZE cell = ConsoleCell();
  const LONG width = client.right - client.left, height = client.bottom - client.top;
  if (cell.cx <= 0 || width != kColumns * cell.cx || height != kRows * cell.cy)
    Problem("client area " + std::to_string(width) + " x " + std::to_string(height) + ", not 80 x 50 cells of " +
            std::to_string(cell.cx) + " x " + std::to_string(cell.cy));

  wchar_t className[32] = {};
  GetClassNameW(surface, className, 32);
  GetWindowRect(surface, &shown);
  MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&shown), 2);
  if (_wcsicmp(className, L"Static") != 0 || !EqualRect(&shown, &client))
    Problem("the surface is no STATIC control covering the client area");

  const LONG_PTR style = GetWindowLongPtrW(frame, GWL_STYLE);
  if ((style & WS_CAPTION) != WS_CAPTION) Problem("the frame has no caption bar");
  if ((style & WS_SYSMENU) != 0) Problem("the frame has a system menu and so a close box");
  if ((style & WS_THICKFRAME) != 0) Problem("the frame can be resized");
}

int Console(double seconds) {
  HWND frame = nullptr, surface = nullptr;
  const bool done = WaitFor(seconds, [&] {
    frame = Frame();
    surface = frame == nullptr ? nullptr : GetWindow(frame, GW_CHILD);
    if (surface == nullptr) return false;
    const std::vector<std::wstring> rows = Rows(surface);
    return rows.size() == kRows && rows[kRows - 2] == L"Done";
  });
  if (frame == nullptr) {
    Problem("no window of the class QUILLTEXT titled Test");
    return 1;
  }
  if (!done) Problem("no \"Done\" in the last row but one");
  CheckFrame(frame, surface);
  for (const std::wstring& row : Rows(surface)) std::printf("row:%s\n", Narrow(row).c_str());
  return g_problems == 0 ? 0 : 1;
}

bool Shown() {
  const HWND frame = Frame();
  return frame != nullptr && IsWindowVisible(frame);
}

int Close() {
  const HWND frame = Frame();
  if (frame == nullptr) {
    Problem("no console frame");
    return 1;
  }
  PostMessageW(frame, WM_SYSCOMMAND, SC_CLOSE, 0);
  Sleep(500);
  if (!Shown()) Problem("the frame went away on the close command");
  return g_problems == 0 ? 0 : 1;
}

int Message(double seconds) {
  HWND box = nullptr;
  if (!WaitFor(seconds, [&] { return (box = FindWindowW(L"#32770", L"Error")) != nullptr; })) {
    Problem("no message box titled Error");
    return 1;
  }
  constexpr int kMessageTextId = 0xFFFF;  // the text control of the system's message box
  HWND text = nullptr;
  WaitFor(seconds, [&] { return (text = GetDlgItem(box, kMessageTextId)) != nullptr; });
  std::printf("text:%s\n", text == nullptr ? "" : Narrow(SentText(text)).c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  const double seconds = argc > 2 ? std::atof(argv[2]) : 30;
  int code = 2;
  if (command == "console") code = Console(seconds);
  if (command == "close") code = Close();
  if (command == "shown") code = Shown() ? 0 : 1;
  if (command == "message") code = Message(seconds);
  if (code == 2) std::printf("problem: unknown command '%s'\n", command.c_str());
  std::fflush(stdout);
  return code;
}
