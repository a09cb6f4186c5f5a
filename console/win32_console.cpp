#include "console/win32_console.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "console/font_table.h"
#include "console/grid.h"

namespace hb {
namespace {

constexpr wchar_t kFrameClass[] = L"QUILLTEXT";
constexpr wchar_t kSurfaceClass[] = L"STATIC";

// Default frame style: pop-up, thin border, minimize box, and a caption bar
// when there is a caption. Without a system menu the frame has no buttons
// and no close box, and without a sizing border it cannot be resized.
constexpr DWORD kDefaultStyle = WS_POPUP | WS_BORDER | WS_MINIMIZEBOX;
constexpr DWORD kCaptionStyle = WS_CAPTION;
// The surface: child, visible, owner-drawn, notifying, right-justified.
constexpr DWORD kSurfaceStyle = WS_CHILD | WS_VISIBLE | SS_OWNERDRAW | SS_NOTIFY | SS_RIGHTJUST;
constexpr int kFirstFrameSide = 50;  // pixels, until the font gives the real size

// Sent to the frame by the main thread: repaint what the surface has marked
// invalid, now.
constexpr UINT kRepaintMessage = WM_APP + 1;
// How long a print waits for its repaint; a console thread that takes longer
// leaves it to the next paint.
constexpr UINT kRepaintPatienceMs = 5000;
// How long opening waits for the console thread to create the window.
constexpr DWORD kCreatePatienceMs = 30000;
// Lets the frame come up before it takes the keyboard focus.
constexpr DWORD kShowSettleMs = 20;

constexpr wchar_t kTab = 9;
constexpr intptr_t kCreating = -1;

// The console font, made from the font table's entry. Null when it cannot be
// made.
HFONT MakeConsoleFont() {
  std::optional<FontEntry> entry = UseFontEntry(kConsoleFontId);
  if (!entry) {  // start-up did not fill the table: fill it now
    FillFontTable();
    entry = UseFontEntry(kConsoleFontId);
  }
  if (!entry) return nullptr;
  const FontDescription& description = entry->description;
  LOGFONTW logical{};
  logical.lfHeight = description.height;  // 0: the system's default height for the face
  logical.lfWeight = description.weight;
  logical.lfCharSet = description.charset;
  logical.lfPitchAndFamily = description.pitch == FontPitch::kFixed      ? FIXED_PITCH
                             : description.pitch == FontPitch::kVariable ? VARIABLE_PITCH
                                                                         : DEFAULT_PITCH;
  const std::size_t length = std::min(description.face.size(), std::size_t{LF_FACESIZE - 1});
  description.face.copy(reinterpret_cast<char16_t*>(logical.lfFaceName), length);
  return CreateFontIndirectW(&logical);
}

// Made on first use and kept for the rest of the process.
HFONT ConsoleFont() {
  static const HFONT font = MakeConsoleFont();
  return font;
}

bool RegisterFrameClass(WNDPROC procedure) {
  WNDCLASSEXW frameClass{};
  frameClass.cbSize = sizeof frameClass;
  frameClass.style = CS_HREDRAW | CS_VREDRAW;
  frameClass.lpfnWndProc = procedure;
  frameClass.hInstance = GetModuleHandleW(nullptr);
  frameClass.hIcon = LoadIconW(nullptr, IDI_INFORMATION);
  frameClass.hIconSm = frameClass.hIcon;
  frameClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  frameClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  frameClass.lpszClassName = kFrameClass;
  return RegisterClassExW(&frameClass) != 0;
}

class Win32Console final : public ConsoleBackend, private GridSink {
 public:
  explicit Win32Console(const ConsoleRequest& request)
      : request_(request), grid_(request.columns, request.rows) {}
  // Only once the console thread has ended.
  ~Win32Console() {
    for (HANDLE handle : {thread_, created_, keyTyped_})
      if (handle != nullptr) CloseHandle(handle);
  }
  Win32Console(const Win32Console&) = delete;
  Win32Console& operator=(const Win32Console&) = delete;

  // Starts the console thread and waits until the window is shown or has
  // failed. The surface handle, or 0.
  uintptr_t Open();
  // After a failed Open: whether the console thread has ended, so that the
  // console may go.
  bool Ended() const;

  void Print(std::u16string_view text) override;
  void NewLine() override;
  std::u16string WaitKey() override;

  Win32ConsoleFacts Facts() const;

 private:
  // GridSink, on the main thread under surfaceLock_: draw into the bitmap.
  void Written(int32_t row, int32_t column, std::u16string_view text) override;
  void LineEnded(bool scrolled) override;
  // Main thread: has the rectangles drawn so far repainted, and waits.
  void ShowChanges();

  // Console thread.
  static DWORD WINAPI ThreadMain(void* self);
  HWND Create();
  bool CreateFrame();
  bool CreateSurface();
  bool PrepareBitmap();
  void Publish(HWND surface);
  void Loop();
  static LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK SurfaceProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnSurfaceMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool PaintItem(const DRAWITEMSTRUCT& item);
  void StoreKey(wchar_t key);
  void StoreClick(LPARAM lParam, uint32_t state);
  std::u16string ShownText(std::size_t limit);
  void ReleaseDrawing();

  const ConsoleRequest request_;

  // Main thread only.
  HANDLE thread_ = nullptr;
  std::vector<RECT> changed_;  // drawn, not yet repainted

  // Creation hand-over: kCreating until the console thread has finished (the
  // surface handle, or 0 on failure) or the main thread has given up (0).
  std::atomic<intptr_t> result_{kCreating};
  HANDLE created_ = nullptr;  // set once result_ is final

  // The surface: bitmap, font, metrics and grid, under surfaceLock_.
  std::mutex surfaceLock_;
  bool drawable_ = false;  // from creation until the frame is destroyed
  Grid grid_;
  HDC memory_ = nullptr;  // off-screen context with the bitmap and the font selected
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previousBitmap_ = nullptr;
  HGDIOBJ previousFont_ = nullptr;
  HBRUSH background_ = nullptr;  // system brush: never deleted
  int32_t cellWidth_ = 0;
  int32_t lineHeight_ = 0;
  int32_t width_ = 0;
  int32_t height_ = 0;
  std::vector<INT> advances_;  // one cell width per column, for ExtTextOutW

  // Written by the console thread during creation, read-only afterwards.
  HWND frame_ = nullptr;
  HWND surface_ = nullptr;
  WNDPROC previousProcedure_ = nullptr;  // the STATIC control's own

  // Input, written by the console thread.
  std::atomic<uint32_t> keySlot_{0};  // typed character not yet taken; 0: none
  HANDLE keyTyped_ = nullptr;         // auto-reset; set with every store into the slot
  std::atomic<uint32_t> flags_{0};
  std::atomic<uint32_t> clickState_{0};
  std::atomic<int32_t> clickX_{0};
  std::atomic<int32_t> clickY_{0};
};

// ---- main thread ----------------------------------------------------------

uintptr_t Win32Console::Open() {
  created_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  keyTyped_ = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  if (created_ == nullptr || keyTyped_ == nullptr) return 0;
  thread_ = CreateThread(nullptr, 0, &Win32Console::ThreadMain, this, 0, nullptr);
  if (thread_ == nullptr) return 0;
  const HANDLE ends[] = {created_, thread_};
  WaitForMultipleObjects(2, ends, FALSE, kCreatePatienceMs);
  // A console thread that has not finished by now gives up when it does.
  intptr_t result = kCreating;
  if (result_.compare_exchange_strong(result, 0)) return 0;
  return static_cast<uintptr_t>(result);
}

bool Win32Console::Ended() const {
  return thread_ == nullptr || WaitForSingleObject(thread_, kCreatePatienceMs) == WAIT_OBJECT_0;
}

void Win32Console::Print(std::u16string_view text) {
  {
    std::lock_guard guard(surfaceLock_);
    if (!drawable_) return;
    grid_.Print(text, *this);
    GdiFlush();  // the console thread copies from the bitmap next
  }
  ShowChanges();
}

void Win32Console::NewLine() {
  {
    std::lock_guard guard(surfaceLock_);
    if (!drawable_) return;
    grid_.NewLine(*this);
    GdiFlush();
  }
  ShowChanges();
}

void Win32Console::Written(int32_t row, int32_t column, std::u16string_view text) {
  const int count = static_cast<int>(text.size());
  RECT cells{column * cellWidth_, row * lineHeight_, (column + count) * cellWidth_, (row + 1) * lineHeight_};
  // Each character at its own cell, whatever advance the font gives it.
  ExtTextOutW(memory_, cells.left, cells.top, ETO_OPAQUE | ETO_CLIPPED, &cells,
              reinterpret_cast<const wchar_t*>(text.data()), static_cast<UINT>(count), advances_.data());
  changed_.push_back(cells);
}

void Win32Console::LineEnded(bool scrolled) {
  if (!scrolled) return;
  const int32_t lastRow = height_ - lineHeight_;
  BitBlt(memory_, 0, 0, width_, lastRow, memory_, 0, lineHeight_, SRCCOPY);
  RECT bottom{0, lastRow, width_, height_};
  FillRect(memory_, &bottom, background_);
  changed_.assign(1, RECT{0, 0, width_, height_});
}

void Win32Console::ShowChanges() {
  if (changed_.empty()) return;
  for (const RECT& rect : changed_) InvalidateRect(surface_, &rect, FALSE);
  changed_.clear();
  SendMessageTimeoutW(frame_, kRepaintMessage, 0, 0, SMTO_NORMAL, kRepaintPatienceMs, nullptr);
}

std::u16string Win32Console::WaitKey() {
  const HANDLE wakers[] = {keyTyped_, thread_};
  for (;;) {
    if (keySlot_.load() != 0) {
      const uint32_t key = keySlot_.exchange(0);
      if (key != 0) return std::u16string(1, static_cast<char16_t>(key));
    }
    // The console thread ends only with its window: no key can come then.
    const DWORD woken = WaitForMultipleObjects(2, wakers, FALSE, INFINITE);
    if (woken != WAIT_OBJECT_0) {
      const uint32_t key = keySlot_.exchange(0);
      return key == 0 ? std::u16string() : std::u16string(1, static_cast<char16_t>(key));
    }
  }
}

Win32ConsoleFacts Win32Console::Facts() const {
  Win32ConsoleFacts facts;
  facts.frame = reinterpret_cast<uintptr_t>(frame_);
  facts.surface = reinterpret_cast<uintptr_t>(surface_);
  facts.cellWidth = cellWidth_;
  facts.lineHeight = lineHeight_;
  facts.flags = flags_.load();
  facts.clickState = clickState_.load();
  facts.clickX = clickX_.load();
  facts.clickY = clickY_.load();
  return facts;
}

// ---- console thread: creation ---------------------------------------------

DWORD WINAPI Win32Console::ThreadMain(void* self) {
  auto& console = *static_cast<Win32Console*>(self);
  console.Publish(console.Create());
  if (console.result_.load() == 0) {
    // Failed, or the main thread gave up waiting: nothing stays behind.
    if (console.frame_ != nullptr) DestroyWindow(console.frame_);
    return 0;
  }
  console.Loop();
  return 0;
}

HWND Win32Console::Create() {
  static const bool registered = RegisterFrameClass(&Win32Console::FrameProcedure);  // once per process
  if (!registered || !CreateFrame() || !CreateSurface() || !PrepareBitmap()) return nullptr;
  ShowWindow(frame_, SW_SHOWNORMAL);
  UpdateWindow(frame_);
  Sleep(kShowSettleMs);
  SetFocus(surface_);
  return surface_;
}

bool Win32Console::CreateFrame() {
  DWORD style = request_.style;
  if (style == 0) style = kDefaultStyle | (request_.caption.empty() ? 0 : kCaptionStyle);
  const std::u16string& caption = request_.caption;
  frame_ = CreateWindowExW(0, kFrameClass, reinterpret_cast<const wchar_t*>(caption.c_str()), style, request_.left,
                           request_.top, kFirstFrameSide, kFirstFrameSide, nullptr, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (frame_ == nullptr) return false;
  SetWindowLongPtrW(frame_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return true;
}

bool Win32Console::CreateSurface() {
  surface_ = CreateWindowExW(0, kSurfaceClass, nullptr, kSurfaceStyle, 0, 0, request_.columns, request_.rows, frame_,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
  if (surface_ == nullptr) return false;
  SetWindowLongPtrW(surface_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  previousProcedure_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(surface_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32Console::SurfaceProcedure)));
  return previousProcedure_ != nullptr;
}

// The off-screen context with the console font and a bitmap of exactly
// columns x rows cells, and the frame sized so that its client area is that
// bitmap. Creation fails when the font or any drawing object cannot be made.
bool Win32Console::PrepareBitmap() {
  const HFONT font = ConsoleFont();
  const HDC screen = GetDC(surface_);
  if (screen == nullptr) return false;
  std::lock_guard guard(surfaceLock_);
  memory_ = CreateCompatibleDC(screen);
  TEXTMETRICW metrics{};
  bool ok = memory_ != nullptr && font != nullptr;
  if (ok) {
    previousFont_ = SelectObject(memory_, font);
    ok = GetTextMetricsW(memory_, &metrics) != 0;
  }
  cellWidth_ = metrics.tmAveCharWidth;
  lineHeight_ = metrics.tmHeight + metrics.tmExternalLeading;
  ok = ok && cellWidth_ > 0 && lineHeight_ > 0;
  if (ok) {
    width_ = cellWidth_ * request_.columns;
    height_ = lineHeight_ * request_.rows;
    advances_.assign(static_cast<std::size_t>(request_.columns), cellWidth_);
    RECT outer{}, client{};
    GetWindowRect(frame_, &outer);
    GetClientRect(frame_, &client);
    const int extraWidth = (outer.right - outer.left) - (client.right - client.left);
    const int extraHeight = (outer.bottom - outer.top) - (client.bottom - client.top);
    constexpr UINT kResizeOnly = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
    SetWindowPos(frame_, nullptr, 0, 0, width_ + extraWidth, height_ + extraHeight, kResizeOnly);
    SetWindowPos(surface_, nullptr, 0, 0, width_, height_, kResizeOnly);
    bitmap_ = CreateCompatibleBitmap(screen, width_, height_);
    ok = bitmap_ != nullptr;
  }
  if (ok) {
    previousBitmap_ = SelectObject(memory_, bitmap_);
    background_ = GetSysColorBrush(COLOR_BTNFACE);
    RECT all{0, 0, width_, height_};
    FillRect(memory_, &all, background_);
    SetTextColor(memory_, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(memory_, GetSysColor(COLOR_BTNFACE));
    SetBkMode(memory_, OPAQUE);
    SetTextAlign(memory_, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    GdiFlush();
    drawable_ = true;
  } else {
    ReleaseDrawing();
  }
  ReleaseDC(surface_, screen);
  return ok;
}

// Hands the result to the main thread, unless it has given up waiting.
void Win32Console::Publish(HWND surface) {
  intptr_t expected = kCreating;
  result_.compare_exchange_strong(expected, reinterpret_cast<intptr_t>(surface));
  SetEvent(created_);
}

void Win32Console::Loop() {
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// ---- console thread: window procedures ------------------------------------

LRESULT CALLBACK Win32Console::FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* console = reinterpret_cast<Win32Console*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (console == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  return console->OnFrameMessage(message, wParam, lParam);
}

LRESULT CALLBACK Win32Console::SurfaceProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* console = reinterpret_cast<Win32Console*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  return console->OnSurfaceMessage(message, wParam, lParam);
}

LRESULT Win32Console::OnFrameMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_DRAWITEM:
      return PaintItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
    case kRepaintMessage:
      UpdateWindow(surface_);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE && result_.load() > 0) {
        SetForegroundWindow(frame_);
        SetFocus(surface_);
        return 0;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) return 0;  // the user cannot close the console
      break;
    case WM_DESTROY:
      {
        std::lock_guard guard(surfaceLock_);
        ReleaseDrawing();
      }
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(frame_, message, wParam, lParam);
}

LRESULT Win32Console::OnSurfaceMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CHAR:
      if (wParam == kTab) break;
      StoreKey(static_cast<wchar_t>(wParam));
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(surface_);
      StoreClick(lParam, 1);
      return 0;
    case WM_LBUTTONDBLCLK:
      StoreClick(lParam, clickState_.load() | 2u);
      return 0;
    case WM_SETFOCUS:
      flags_.fetch_or(kSurfaceFocused);
      break;
    case WM_KILLFOCUS:
      flags_.fetch_and(~kSurfaceFocused);
      break;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(ShownText(SIZE_MAX).size());
    case WM_GETTEXT: {
      if (wParam == 0) return 0;
      const std::u16string text = ShownText(wParam - 1);
      auto* buffer = reinterpret_cast<char16_t*>(lParam);
      text.copy(buffer, text.size());
      buffer[text.size()] = u'\0';
      return static_cast<LRESULT>(text.size());
    }
    default:
      break;
  }
  // Keys without a character (and Alt+F4 among them) go on as the control
  // would take them; characters typed with Alt held come as WM_SYSCHAR and
  // never reach the key slot.
  return CallWindowProcW(previousProcedure_, surface_, message, wParam, lParam);
}

bool Win32Console::PaintItem(const DRAWITEMSTRUCT& item) {
  if (item.CtlType != ODT_STATIC || item.hwndItem != surface_ || (item.itemAction & ODA_DRAWENTIRE) == 0)
    return false;
  std::lock_guard guard(surfaceLock_);
  if (drawable_) BitBlt(item.hDC, 0, 0, width_, height_, memory_, 0, 0, SRCCOPY);
  return true;
}

void Win32Console::StoreKey(wchar_t key) {
  keySlot_.store(key);  // replaces a character not yet taken
  SetEvent(keyTyped_);
}

void Win32Console::StoreClick(LPARAM lParam, uint32_t state) {
  clickState_.store(state);
  clickX_.store(static_cast<int16_t>(LOWORD(lParam)));
  clickY_.store(static_cast<int16_t>(HIWORD(lParam)));
}

// The rows on show, each without its trailing blanks, joined by CR LF; at
// most `limit` characters.
std::u16string Win32Console::ShownText(std::size_t limit) {
  std::u16string text;
  {
    std::lock_guard guard(surfaceLock_);
    for (int32_t row = 0; row < grid_.Rows(); ++row) {
      std::u16string_view cells = grid_.Row(row);
      cells = cells.substr(0, cells.find_last_not_of(Grid::kBlank) + 1);
      if (row > 0) text += u"\r\n";
      text += cells;
    }
  }
  if (text.size() > limit) text.resize(limit);
  return text;
}

// Under surfaceLock_.
void Win32Console::ReleaseDrawing() {
  drawable_ = false;
  if (memory_ == nullptr) return;
  if (previousBitmap_ != nullptr) SelectObject(memory_, previousBitmap_);
  if (previousFont_ != nullptr) SelectObject(memory_, previousFont_);  // the font itself is kept
  if (bitmap_ != nullptr) DeleteObject(bitmap_);
  DeleteDC(memory_);
  memory_ = nullptr;
  bitmap_ = nullptr;
}

// The one console of the process. It is never freed: the console thread
// uses it until the process ends.
Win32Console* g_liveConsole = nullptr;

}  // namespace

ConsoleBackend* OpenWin32Console(const ConsoleRequest& request, uintptr_t& surface) {
  auto* console = new Win32Console(request);
  surface = console->Open();
  if (surface == 0) {
    if (console->Ended()) delete console;  // else its thread still uses it
    return nullptr;
  }
  g_liveConsole = console;
  return console;
}

std::optional<Win32ConsoleFacts> CurrentWin32ConsoleFacts() {
  if (g_liveConsole == nullptr) return std::nullopt;
  return g_liveConsole->Facts();
}

}  // namespace hb
