// The Win32 console in this process: one window for the whole suite (a
// process has at most one console). The tests print through console.h, read
// the surface's pixels and its text back from the window, and send the
// surface the messages that the keyboard and the mouse would.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/win32_console.h"

namespace hb::test {
namespace {

constexpr int kColumns = 80;
constexpr int kRows = 50;

class Win32ConsoleTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    InitializeFontTable();
    handle_ = OpenConsoleWindow(u"Test", 0, kColumns, kRows, 0, 0);
  }

  void SetUp() override {
    ASSERT_NE(handle_, 0u) << "the console window could not be opened";
    facts_ = *CurrentWin32ConsoleFacts();
    frame_ = reinterpret_cast<HWND>(facts_.frame);
    surface_ = reinterpret_cast<HWND>(facts_.surface);
  }

  // The surface's rows through WM_GETTEXT, as another program reads them.
  std::vector<std::u16string> Rows() const {
    const auto length = static_cast<std::size_t>(SendMessageW(surface_, WM_GETTEXTLENGTH, 0, 0));
    std::u16string text(length + 1, u'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(surface_, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    std::vector<std::u16string> rows;
    for (std::size_t start = 0;;) {
      const std::size_t end = text.find(u"\r\n", start);
      rows.push_back(text.substr(start, end - start));
      if (end == std::u16string::npos) return rows;
      start = end + 2;
    }
  }

  // Cells whose ink does not match the rows: a cell shows a pixel other than
  // the background exactly when its row has a character there. Empty when
  // the window shows the rows.
  std::string InkMismatches(const std::vector<std::u16string>& rows) const {
    const int width = kColumns * facts_.cellWidth, height = kRows * facts_.lineHeight;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC window = GetDC(surface_);
    const HDC copy = CreateCompatibleDC(window);
    const HBITMAP bitmap = CreateDIBSection(window, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ previous = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width, height, window, 0, 0, SRCCOPY);
    GdiFlush();
    const auto* pixels = static_cast<const uint32_t*>(bits);
    const uint32_t background = pixels[static_cast<std::size_t>(height - 1) * width + width - 1];
    std::string mismatches;
    for (int row = 0; row < kRows && mismatches.size() < 400; ++row) {
      for (int column = 0; column < kColumns && mismatches.size() < 400; ++column) {
        bool ink = false;
        for (int y = row * facts_.lineHeight; y < (row + 1) * facts_.lineHeight && !ink; ++y)
          for (int x = column * facts_.cellWidth; x < (column + 1) * facts_.cellWidth && !ink; ++x)
            ink = pixels[static_cast<std::size_t>(y) * width + x] != background;
        const bool character = static_cast<std::size_t>(row) < rows.size() &&
                               static_cast<std::size_t>(column) < rows[row].size() && rows[row][column] != u' ';
        if (ink != character)
          mismatches += "row " + std::to_string(row + 1) + " column " + std::to_string(column + 1) +
                        (ink ? ": ink on a blank\n" : ": no ink\n");
      }
    }
    SelectObject(copy, previous);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(surface_, window);
    return mismatches;
  }

  static uintptr_t handle_;
  Win32ConsoleFacts facts_;
  HWND frame_ = nullptr;
  HWND surface_ = nullptr;
};
uintptr_t Win32ConsoleTest::handle_ = 0;

TEST_F(Win32ConsoleTest, OneConsolePerProcess) {
  EXPECT_EQ(handle_, facts_.surface);
  EXPECT_EQ(GetParent(surface_), frame_);
  EXPECT_EQ(OpenConsoleWindow(u"Second", 0, kColumns, kRows, 100, 100), 0u);
  EXPECT_EQ(CurrentWin32ConsoleFacts()->frame, facts_.frame) << "the first console stays current";
}

TEST_F(Win32ConsoleTest, BitmapShowsTheRowsAfterPiecesAndScrolling) {
  // A cut piece in the middle of a row, then 52 lines: the grid scrolls by 3
  // rows and its first row holds "line 4".
  PrintText(std::u16string(70, u'x'));
  PrintText(u"0123456789abcdef");
  for (int i = 1; i <= 52; ++i) {
    const std::string line = "line " + std::to_string(i);
    PrintText(std::u16string(line.begin(), line.end()));
    NewLine();
  }
  PrintText(u"last");
  const std::vector<std::u16string> rows = Rows();
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kRows));
  EXPECT_EQ(rows[0], u"line 4");
  EXPECT_EQ(rows[kRows - 2], u"line 52");
  EXPECT_EQ(rows[kRows - 1], u"last");
  EXPECT_EQ(InkMismatches(rows), "");

  NewLine();  // the bottom row scrolls away blank
  const std::vector<std::u16string> after = Rows();
  EXPECT_EQ(after[kRows - 2], u"last");
  EXPECT_EQ(after[kRows - 1], u"");
  EXPECT_EQ(InkMismatches(after), "");
}

TEST_F(Win32ConsoleTest, KeySlotTakesTypedCharactersButNotTabOrAltCharacters) {
  SendMessageW(surface_, WM_CHAR, 'a', 0);
  SendMessageW(surface_, WM_CHAR, '\t', 0);
  SendMessageW(surface_, WM_SYSCHAR, 'x', 0x20000000);  // Alt+x
  SendMessageW(surface_, WM_KEYDOWN, VK_F5, 0);
  EXPECT_EQ(WaitKey(), u"a");

  for (const char16_t key : {u'\r', u'\b', u'\x1b', u'\x00e9'}) {
    SendMessageW(surface_, WM_CHAR, key, 0);
    EXPECT_EQ(WaitKey(), std::u16string(1, key)) << "key " << static_cast<int>(key);
  }

  SendMessageW(surface_, WM_CHAR, 'b', 0);
  SendMessageW(surface_, WM_CHAR, 'c', 0);
  EXPECT_EQ(WaitKey(), u"c") << "a character not yet taken is replaced";
}

TEST_F(Win32ConsoleTest, SystemCloseCommandLeavesTheWindowOpen) {
  SendMessageW(frame_, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(IsWindow(frame_));
  EXPECT_TRUE(IsWindowVisible(frame_));
}

TEST_F(Win32ConsoleTest, ClickStoresItsPlaceAndGivesTheSurfaceTheFocus) {
  SendMessageW(surface_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 7));
  Win32ConsoleFacts facts = *CurrentWin32ConsoleFacts();
  EXPECT_EQ(facts.clickState, 1u);
  EXPECT_EQ(facts.clickX, 5);
  EXPECT_EQ(facts.clickY, 7);
  EXPECT_NE(facts.flags & kSurfaceFocused, 0u);

  SendMessageW(surface_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(9, 3));
  facts = *CurrentWin32ConsoleFacts();
  EXPECT_EQ(facts.clickState, 3u);
  EXPECT_EQ(facts.clickX, 9);
  EXPECT_EQ(facts.clickY, 3);
}

}  // namespace
}  // namespace hb::test
