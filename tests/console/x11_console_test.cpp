// The X11 console on a virtual X server: the driver program opens the window
// and prints, the test looks at the window through its own connection and
// types with xdotool.
// gtest first: Xlib defines macros (None, Bool, Status) that clash with it.
#include <gtest/gtest.h>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fontconfig/fontconfig.h>

#include <pthread.h>
#include <sched.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "console/console_thread.h"
#include "console/grid.h"
#include "console/x11_font.h"
#include "tests/support/child_process.h"
#include "tests/support/virtual_display.h"

namespace hb::test {
namespace {

using std::chrono::milliseconds;

constexpr uint32_t kBackground = 0xF0F0F0;
// Under LeakSanitizer the driver ignores what system libraries keep (see the file).
const std::string kLeakSuppressions = "LSAN_OPTIONS=print_suppressions=0:suppressions=" HB_LSAN_SUPPRESSIONS;
constexpr int kColumns = 80;
constexpr int kRows = 50;

int IgnoreXError(Display*, XErrorEvent*) { return 0; }

// Whether fontconfig knows `family` as a fixed-pitch face.
bool FixedPitchFamily(const std::string& family) {
  FcPattern* query = FcPatternCreate();
  FcPatternAddString(query, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
  FcPatternAddInteger(query, FC_SPACING, FC_MONO);
  FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, nullptr);
  FcFontSet* fonts = FcFontList(nullptr, query, objects);
  const bool found = fonts != nullptr && fonts->nfont > 0;
  if (fonts != nullptr) FcFontSetDestroy(fonts);
  FcObjectSetDestroy(objects);
  FcPatternDestroy(query);
  return found;
}

struct Facts {
  int cellWidth = 0;
  int lineHeight = 0;
  unsigned clickState = 0;
  std::string family;
};

class X11ConsoleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (VirtualDisplay::Installed()) server_ = new VirtualDisplay(1280, 1024);
  }
  static void TearDownTestSuite() {
    delete server_;
    server_ = nullptr;
  }

  void SetUp() override {
    if (server_ == nullptr) GTEST_SKIP() << "Xvfb is not installed";
    ASSERT_FALSE(server_->Name().empty()) << server_->Problem();
    XSetErrorHandler(IgnoreXError);  // a window that is gone fails a check, not the test run
    display_ = XOpenDisplay(server_->Name().c_str());
    ASSERT_NE(display_, nullptr);
  }
  void TearDown() override {
    if (display_ != nullptr) XCloseDisplay(display_);
  }

  std::unique_ptr<ChildProcess> StartDriver(std::vector<std::string> commands,
                                            std::vector<std::string> environment = {}) {
    commands.insert(commands.begin(), HB_CONSOLE_DRIVER);
    environment.push_back(kLeakSuppressions);
    return std::make_unique<ChildProcess>(commands, server_->ForChildren(std::move(environment)));
  }

  // The window id from the driver's "open" report; None on failure.
  static Window OpenedWindow(ChildProcess& driver) {
    const std::optional<std::string> line = driver.ReadErrorLine();
    if (!line || line->rfind("open ", 0) != 0) return None;
    return static_cast<Window>(std::stoul(line->substr(5)));
  }

  static Facts ReadFacts(ChildProcess& driver) {
    Facts facts;
    const std::optional<std::string> line = driver.ReadErrorLine();
    std::istringstream fields(line.value_or(""));
    std::string word;
    fields >> word >> facts.cellWidth >> facts.lineHeight >> facts.clickState;
    std::getline(fields >> std::ws, facts.family);
    return facts;
  }

  int Type(const std::vector<std::string>& keys) {
    std::vector<std::string> argv{"xdotool", "key"};
    argv.insert(argv.end(), keys.begin(), keys.end());
    return RunTool(argv, server_->ForChildren());
  }

  std::string WindowProperty(Window window, const char* name, const char* type) {
    Atom actualType = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display_, window, XInternAtom(display_, name, False), 0, 1024, False,
                       XInternAtom(display_, type, False), &actualType, &format, &count, &after, &data);
    // Xlib hands 32-bit items over as longs.
    const std::size_t itemSize = format == 32 ? sizeof(long) : format == 16 ? sizeof(short) : 1;
    std::string value = data == nullptr ? "" : std::string(reinterpret_cast<char*>(data), count * itemSize);
    if (data != nullptr) XFree(data);
    return value;
  }

  bool WindowAlive(Window window) {
    XWindowAttributes attributes{};
    return XGetWindowAttributes(display_, window, &attributes) != 0 && attributes.map_state == IsViewable;
  }

  static VirtualDisplay* server_;
  Display* display_ = nullptr;
};

VirtualDisplay* X11ConsoleTest::server_ = nullptr;

// The cells a window shows: `columns` x `rows` cells from grid row `top`.
// Small fonts draw round letters without a fully black pixel: `blackInk`
// false takes any ink as a character.
struct View {
  int columns = kColumns;
  int rows = kRows;
  int top = 0;
  bool blackInk = true;
};

// Cells whose ink does not match the grid: a cell holds ink (any pixel other
// than the background) exactly when the grid has a character there, and ink
// includes black. Empty when the window shows the grid (the part in `view`).
std::string InkMismatches(Display* display, Window window, const Grid& grid, const Facts& facts, View view = {}) {
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(view.columns * facts.cellWidth),
                            static_cast<unsigned>(view.rows * facts.lineHeight), AllPlanes, ZPixmap);
  if (image == nullptr) return "no image";
  std::ostringstream mismatches;
  for (int row = 0; row < view.rows; ++row) {
    for (int column = 0; column < view.columns; ++column) {
      bool ink = false, black = false;
      for (int y = row * facts.lineHeight; y < (row + 1) * facts.lineHeight; ++y) {
        for (int x = column * facts.cellWidth; x < (column + 1) * facts.cellWidth; ++x) {
          const uint32_t pixel = static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFF;
          ink = ink || pixel != kBackground;
          black = black || pixel == 0;
        }
      }
      const bool printed = grid.Row(view.top + row)[static_cast<std::size_t>(column)] != Grid::kBlank;
      if (ink != printed || (view.blackInk && black != printed)) mismatches << " (" << view.top + row << "," << column << ")";
    }
  }
  XDestroyImage(image);
  return mismatches.str();
}

// Covers the screen area (x, y, width, height) with a white window, takes it
// away and waits (up to kPatience) until `window` shows `grid` again. The
// window has no backing store, so what shows again comes from the surface.
// The mismatches left; empty when the window shows the grid.
std::string MismatchesAfterCovering(Display* display, Window window, const Grid& grid, const Facts& facts, int x,
                                    int y, int width, int height) {
  XSetWindowAttributes cover{};
  cover.override_redirect = True;
  cover.background_pixel = WhitePixel(display, DefaultScreen(display));
  const Window coverWindow =
      XCreateWindow(display, DefaultRootWindow(display), x, y, static_cast<unsigned>(width),
                    static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWOverrideRedirect | CWBackPixel, &cover);
  XMapRaised(display, coverWindow);
  XSync(display, False);
  XDestroyWindow(display, coverWindow);
  XSync(display, False);
  std::string mismatches = "not checked";
  for (auto until = std::chrono::steady_clock::now() + kPatience;
       !mismatches.empty() && std::chrono::steady_clock::now() < until;) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    mismatches = InkMismatches(display, window, grid, facts);
  }
  return mismatches;
}

// Columns of ink within each cell of a row of identical letters: a letter
// drawn wider than its cell, or at another pitch, shows up as too little or
// too much ink per cell.
std::vector<int> InkWidths(Display* display, Window window, int row, const Facts& facts) {
  XImage* image = XGetImage(display, window, 0, row * facts.lineHeight, static_cast<unsigned>(kColumns * facts.cellWidth),
                            static_cast<unsigned>(facts.lineHeight), AllPlanes, ZPixmap);
  std::vector<int> widths;
  if (image == nullptr) return widths;
  for (int column = 0; column < kColumns; ++column) {
    int width = 0;
    for (int x = column * facts.cellWidth; x < (column + 1) * facts.cellWidth; ++x) {
      bool ink = false;
      for (int y = 0; y < facts.lineHeight; ++y) ink = ink || (XGetPixel(image, x, y) & 0xFFFFFF) != kBackground;
      width += ink ? 1 : 0;
    }
    widths.push_back(width);
  }
  XDestroyImage(image);
  return widths;
}

class GridRecorder final : public GridSink {
  void Written(int32_t, int32_t, std::u16string_view) override {}
  void LineEnded(bool) override {}
};

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// What the driver's "lines:<count>" prints, on a grid of the test's own.
void PrintLines(Grid& grid, int count) {
  GridRecorder ignore;
  for (int i = 1; i <= count; ++i) {
    grid.Print(Wide("line " + std::to_string(i)), ignore);
    grid.NewLine(ignore);
  }
}

// The last line of a child's output, without its line end.
std::string LastLine(const std::string& output) {
  std::string text = output;
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text.substr(text.rfind('\n') + 1);
}

TEST_F(X11ConsoleTest, FrameHasTitleClassPlaceAndExactSize) {
  auto driver = StartDriver({"open", "facts", "hold"});
  const Window window = OpenedWindow(*driver);
  ASSERT_NE(window, None) << driver->ErrorOutput();
  const Facts facts = ReadFacts(*driver);
  ASSERT_GE(facts.cellWidth, 8);
  ASSERT_GT(facts.lineHeight, facts.cellWidth);
  EXPECT_TRUE(FixedPitchFamily(facts.family)) << facts.family;

  EXPECT_EQ(WindowProperty(window, "WM_NAME", "STRING"), "Test");
  EXPECT_EQ(WindowProperty(window, "_NET_WM_NAME", "UTF8_STRING"), "Test");
  EXPECT_EQ(WindowProperty(window, "WM_CLASS", "STRING"), std::string("QUILLTEXT\0QUILLTEXT\0", 20));

  XWindowAttributes attributes{};
  ASSERT_NE(XGetWindowAttributes(display_, window, &attributes), 0);
  EXPECT_EQ(attributes.map_state, IsViewable);
  EXPECT_EQ(attributes.width, kColumns * facts.cellWidth);
  EXPECT_EQ(attributes.height, kRows * facts.lineHeight);
  int rootX = -1, rootY = -1;
  Window child = None;
  XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &rootX, &rootY, &child);
  EXPECT_EQ(rootX, 0);
  EXPECT_EQ(rootY, 0);

  XSizeHints hints{};
  long supplied = 0;
  ASSERT_NE(XGetWMNormalHints(display_, window, &hints, &supplied), 0);
  EXPECT_EQ(hints.flags & (USPosition | PMinSize | PMaxSize), USPosition | PMinSize | PMaxSize);
  EXPECT_EQ(hints.min_width, attributes.width);
  EXPECT_EQ(hints.max_width, attributes.width);
  EXPECT_EQ(hints.min_height, attributes.height);
  EXPECT_EQ(hints.max_height, attributes.height);

  // Motif hints: a caption bar and a border, no menu, no buttons, and
  // neither resize nor close among the functions.
  const std::string motif = WindowProperty(window, "_MOTIF_WM_HINTS", "_MOTIF_WM_HINTS");
  ASSERT_EQ(motif.size(), 5 * sizeof(long));
  const auto* fields = reinterpret_cast<const long*>(motif.data());
  EXPECT_EQ(fields[2], 2 | 8) << "decorations";
  EXPECT_EQ(fields[1] & (2 | 32), 0) << "functions";

  Atom* protocols = nullptr;
  int count = 0;
  ASSERT_NE(XGetWMProtocols(display_, window, &protocols, &count), 0);
  const std::vector<Atom> registered(protocols, protocols + count);
  XFree(protocols);
  EXPECT_EQ(registered, std::vector<Atom>{XInternAtom(display_, "WM_DELETE_WINDOW", False)});

  driver->Write("\n");
  EXPECT_EQ(driver->Wait(), 0) << driver->ErrorOutput();
}

TEST_F(X11ConsoleTest, SurfaceShowsExactlyThePrintedCellsAndRepaintsFromIt) {
  const std::string letters(kColumns, 'M');
  auto driver = StartDriver({"open", "facts", "print:HELLO", "newline", "print:  #  #", "print: X", "newline",
                             "print:" + letters, "newline", "print:0123456789",
                             "print:" + letters + "tail", "newline", "mark:printed", "hold", "lines:60",
                             "mark:scrolled", "hold"});
  const Window window = OpenedWindow(*driver);
  ASSERT_NE(window, None) << driver->ErrorOutput();
  const Facts facts = ReadFacts(*driver);
  ASSERT_EQ(driver->ReadErrorLine(), "mark printed");

  Grid grid(kColumns, kRows);
  GridRecorder ignore;
  for (const char* text : {"HELLO", "", "  #  #", " X", ""}) {
    text[0] == '\0' ? grid.NewLine(ignore) : grid.Print(Wide(text), ignore);
  }
  grid.Print(Wide(letters), ignore);
  grid.NewLine(ignore);
  grid.Print(u"0123456789", ignore);
  grid.Print(Wide(letters + "tail"), ignore);
  grid.NewLine(ignore);
  EXPECT_EQ(InkMismatches(display_, window, grid, facts), "");
  for (int width : InkWidths(display_, window, 2, facts)) {
    EXPECT_GE(width * 2, facts.cellWidth) << "an M narrower than half its cell";
  }

  // Repaint after being covered.
  EXPECT_EQ(MismatchesAfterCovering(display_, window, grid, facts, 0, 0, 400, 300), "") << "after an expose";

  driver->Write("\n");
  ASSERT_EQ(driver->ReadErrorLine(), "mark scrolled");
  PrintLines(grid, 60);
  EXPECT_EQ(InkMismatches(display_, window, grid, facts), "") << "after scrolling";
  driver->Write("\n");
  EXPECT_EQ(driver->Wait(), 0) << driver->ErrorOutput();
}

// Scrolled rows are repainted from the surface as they are shown. After 74
// scrolls grid row 26 is the surface's first row again: exposes of the whole
// window, of rows across that point, of the two rows either side of it and
// of rows below it.
TEST_F(X11ConsoleTest, RepaintAfterScrollingShowsTheScrolledRows) {
  auto driver = StartDriver({"open", "facts", "lines:123", "print:last", "mark:scrolled", "hold"});
  const Window window = OpenedWindow(*driver);
  ASSERT_NE(window, None) << driver->ErrorOutput();
  const Facts facts = ReadFacts(*driver);
  ASSERT_EQ(driver->ReadErrorLine(), "mark scrolled");
  Grid grid(kColumns, kRows);
  GridRecorder ignore;
  PrintLines(grid, 123);
  grid.Print(u"last", ignore);
  ASSERT_EQ(InkMismatches(display_, window, grid, facts), "") << "after scrolling";

  struct Cover {
    int top, rows;
  };
  for (const Cover cover : {Cover{0, kRows}, Cover{10, 20}, Cover{25, 2}, Cover{40, 10}}) {
    EXPECT_EQ(MismatchesAfterCovering(display_, window, grid, facts, 0, cover.top * facts.lineHeight,
                                      kColumns * facts.cellWidth, cover.rows * facts.lineHeight),
              "")
        << "rows " << cover.top << " to " << cover.top + cover.rows - 1 << " exposed";
  }
  driver->Write("\n");
  EXPECT_EQ(driver->Wait(), 0) << driver->ErrorOutput();
}

TEST_F(X11ConsoleTest, TypedCharactersEndTheKeyWait) {
  struct Case {
    const char* key;
    const char* report;
  };
  const Case kCases[] = {{"a", "key 97"},        {"shift+a", "key 65"},  {"Return", "key 13"},
                         {"BackSpace", "key 8"}, {"Escape", "key 27"},   {"ctrl+a", "key 1"},
                         {"eacute", "key 233"}};
  // With the default input method, and with one that is not running.
  for (const char* modifiers : {"", "XMODIFIERS=@im=absent"}) {
    std::vector<std::string> commands{"open"};
    commands.insert(commands.end(), std::size(kCases), "key");
    auto driver = StartDriver(commands, {modifiers});  // "" sets nothing
    ASSERT_NE(OpenedWindow(*driver), None) << driver->ErrorOutput();
    for (const Case& c : kCases) {
      ASSERT_EQ(Type({c.key}), 0);
      EXPECT_EQ(driver->ReadErrorLine(), c.report) << c.key << " " << modifiers;
    }
    EXPECT_EQ(driver->Wait(), 0);
  }
}

TEST_F(X11ConsoleTest, CloseRequestTabAltAndKeysWithoutCharacterChangeNothing) {
  auto driver = StartDriver({"open", "key"});
  const Window window = OpenedWindow(*driver);
  ASSERT_NE(window, None) << driver->ErrorOutput();

  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = window;
  close.xclient.message_type = XInternAtom(display_, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(display_, "WM_DELETE_WINDOW", False));
  close.xclient.data.l[1] = CurrentTime;
  XSendEvent(display_, window, False, NoEventMask, &close);
  XSync(display_, False);
  ASSERT_EQ(Type({"Tab", "alt+x", "Delete", "Left", "F1", "Shift_L", "alt+F4"}), 0);

  // None of these may end the wait; give a wrong delivery time to show.
  EXPECT_EQ(driver->ReadErrorLine(milliseconds(500)), std::nullopt);
  EXPECT_TRUE(WindowAlive(window));
  ASSERT_EQ(Type({"q"}), 0);
  EXPECT_EQ(driver->ReadErrorLine(), "key 113");
  EXPECT_EQ(driver->Wait(), 0);
}

// The key slot is shared by the two threads: a key typed while the main
// thread prints is delivered once, not lost and not twice.
TEST_F(X11ConsoleTest, KeyTypedWhilePrintingArrivesExactlyOnce) {
  auto driver = StartDriver({"open", "mark:printing", "lines:2000", "mark:printed", "key", "key"});
  ASSERT_NE(OpenedWindow(*driver), None) << driver->ErrorOutput();
  ASSERT_EQ(driver->ReadErrorLine(), "mark printing");
  ASSERT_EQ(Type({"x"}), 0);
  ASSERT_EQ(driver->ReadErrorLine(), "mark printed");
  EXPECT_EQ(driver->ReadErrorLine(), "key 120");
  EXPECT_EQ(driver->ReadErrorLine(milliseconds(500)), std::nullopt) << "delivered twice";
  ASSERT_EQ(Type({"y"}), 0);
  EXPECT_EQ(driver->ReadErrorLine(), "key 121");
  EXPECT_EQ(driver->Wait(), 0);
}

TEST_F(X11ConsoleTest, ClickGivesTheFocusAndIsRecorded) {
  auto driver = StartDriver({"open", "key", "facts"});
  const Window window = OpenedWindow(*driver);
  ASSERT_NE(window, None) << driver->ErrorOutput();
  XSetInputFocus(display_, PointerRoot, RevertToPointerRoot, CurrentTime);
  XWarpPointer(display_, None, DefaultRootWindow(display_), 0, 0, 0, 0, 1000, 1010);  // off the window
  XSync(display_, False);

  ASSERT_EQ(RunTool({"xdotool", "mousemove", "30", "40", "click", "1"}, server_->ForChildren()), 0);
  Window focus = None;
  int revert = 0;
  for (auto until = std::chrono::steady_clock::now() + kPatience;
       focus != window && std::chrono::steady_clock::now() < until;) {
    std::this_thread::sleep_for(milliseconds(10));
    XGetInputFocus(display_, &focus, &revert);
  }
  ASSERT_EQ(focus, window);
  ASSERT_EQ(Type({"z"}), 0);
  EXPECT_EQ(driver->ReadErrorLine(), "key 122");
  EXPECT_EQ(ReadFacts(*driver).clickState, 1u);
  EXPECT_EQ(driver->Wait(), 0);
}

TEST_F(X11ConsoleTest, SecondOpenAndFailedCreationGiveZeroWithoutStreamFallback) {
  struct Case {
    std::vector<std::string> commands;
    std::vector<std::string> reports;
  };
  const Case kCases[] = {
      {{"open", "open", "print:a", "newline"}, {"open 0"}},
      {{"open:Test:0:50:0:0", "print:a", "newline", "key"}, {"open 0", "key none"}},
      {{"open:Test:5000:50:0:0", "print:a", "key"}, {"open 0", "key none"}},
  };
  for (const Case& c : kCases) {
    auto driver = StartDriver(c.commands);
    driver->CloseInput();
    ASSERT_EQ(driver->Wait(), 0) << driver->ErrorOutput();
    std::string reports = driver->ErrorOutput();
    if (c.commands[1] == "open") reports.erase(0, reports.find('\n') + 1);  // the first open's handle
    std::string expected;
    for (const std::string& line : c.reports) expected += line + "\n";
    EXPECT_EQ(reports, expected) << c.commands[0];
    EXPECT_EQ(driver->Output(), "") << c.commands[0];
  }
}

// The default size is too tall for many screens: the console then takes the
// largest size that fits, down to the smallest legible cell. Below that the
// window shows as many whole cells as fit and keeps the cursor's row in
// view. Either way the window lies on the screen and the last lines of a run
// ("Done", the empty cursor row below it) read back from it.
TEST(X11ConsoleFitTest, WindowFitsTheScreenAndShowsTheCursorRow) {
  if (!VirtualDisplay::Installed()) GTEST_SKIP() << "Xvfb is not installed";
  struct Case {
    int width, height;
    bool gridFits;
  };
  const Case kCases[] = {{1280, 1024, true}, {1280, 900, true}, {1280, 800, true}, {1366, 768, true},
                         {1024, 768, true},  {640, 480, false}, {320, 240, false}};
  Grid grid(kColumns, kRows);
  GridRecorder ignore;
  PrintLines(grid, 74);
  grid.Print(u"Done", ignore);
  grid.NewLine(ignore);
  for (const Case& c : kCases) {
    const std::string where = std::to_string(c.width) + "x" + std::to_string(c.height);
    VirtualDisplay server(c.width, c.height);
    ASSERT_FALSE(server.Name().empty()) << server.Problem();
    ChildProcess driver({HB_CONSOLE_DRIVER, "open", "lines:74", "print:Done", "newline", "facts", "view", "hold"},
                        server.ForChildren({kLeakSuppressions}));
    const std::optional<std::string> opened = driver.ReadErrorLine();
    ASSERT_TRUE(opened && opened->rfind("open ", 0) == 0 && *opened != "open 0") << where << driver.ErrorOutput();
    const Window window = static_cast<Window>(std::stoul(opened->substr(5)));
    std::optional<std::string> line;
    while ((line = driver.ReadErrorLine()) && line->rfind("facts ", 0) != 0) {
    }
    Facts facts;
    std::istringstream(line.value_or("")).ignore(6) >> facts.cellWidth >> facts.lineHeight;
    View view;
    view.blackInk = false;
    std::string word;
    std::istringstream(driver.ReadErrorLine().value_or("")) >> word >> view.columns >> view.rows >> view.top;
    ASSERT_EQ(word, "view") << where;

    if (c.gridFits) {
      EXPECT_EQ(view.columns, kColumns) << where;
      EXPECT_EQ(view.rows, kRows) << where;
    } else {
      EXPECT_EQ(facts.cellWidth, kMinimumCellWidth) << where << ": the smallest legible cell";
      EXPECT_LT(view.rows, kRows) << where;
    }
    Display* display = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(display, nullptr);
    XWindowAttributes attributes{};
    ASSERT_NE(XGetWindowAttributes(display, window, &attributes), 0);
    int rootX = -1, rootY = -1;
    Window child = None;
    XTranslateCoordinates(display, window, DefaultRootWindow(display), 0, 0, &rootX, &rootY, &child);
    EXPECT_EQ(attributes.width, view.columns * facts.cellWidth) << where;
    EXPECT_EQ(attributes.height, view.rows * facts.lineHeight) << where;
    EXPECT_TRUE(rootX >= 0 && rootY >= 0 && rootX + attributes.width <= c.width &&
                rootY + attributes.height <= c.height)
        << where << ": the window is not on the screen";
    EXPECT_TRUE(view.top <= grid.CursorRow() - 1 && grid.CursorRow() < view.top + view.rows)
        << where << ": rows " << view.top << " to " << view.top + view.rows - 1 << " shown";
    EXPECT_EQ(InkMismatches(display, window, grid, facts, view), "") << where;
    XCloseDisplay(display);
    driver.Write("\n");
    EXPECT_EQ(driver.Wait(), 0) << where << driver.ErrorOutput();
  }
}

}  // namespace
}  // namespace hb::test

// LeakSanitizer: fontconfig keeps some of its parsed configuration for good
// (see lsan_system_libraries.supp, which the driver gets).
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }

namespace hb::test {
namespace {

// When the X server goes away the program ends at once (exit code 255)
// instead of hanging in its key wait.
TEST(X11ConsoleLostDisplayTest, ProgramEndsWhenTheServerGoes) {
  if (!VirtualDisplay::Installed()) GTEST_SKIP() << "Xvfb is not installed";
  auto server = std::make_unique<VirtualDisplay>(1280, 1024);
  ASSERT_FALSE(server->Name().empty()) << server->Problem();
  ChildProcess driver({HB_CONSOLE_DRIVER, "open", "key"}, server->ForChildren({kLeakSuppressions}));
  const std::optional<std::string> opened = driver.ReadErrorLine();
  ASSERT_TRUE(opened.has_value());
  ASSERT_NE(*opened, "open 0");
  server.reset();
  EXPECT_EQ(driver.Wait(), 255) << driver.ErrorOutput();
  EXPECT_EQ(LastLine(driver.ErrorOutput()).rfind("hashbench: lost the connection to the X display", 0), 0u)
      << driver.ErrorOutput();
}

// Another client destroying the window (as `xdotool windowclose` does) ends
// the program as a lost display does: the key wait could never end.
TEST(X11ConsoleLostDisplayTest, ProgramEndsWhenAnotherClientDestroysTheWindow) {
  if (!VirtualDisplay::Installed()) GTEST_SKIP() << "Xvfb is not installed";
  VirtualDisplay server(1280, 1024);
  ASSERT_FALSE(server.Name().empty()) << server.Problem();
  ChildProcess driver({HB_CONSOLE_DRIVER, "open", "key"}, server.ForChildren({kLeakSuppressions}));
  const std::optional<std::string> opened = driver.ReadErrorLine();
  ASSERT_TRUE(opened && opened->rfind("open ", 0) == 0 && *opened != "open 0") << driver.ErrorOutput();
  ASSERT_EQ(RunTool({"xdotool", "windowclose", opened->substr(5)}, server.ForChildren()), 0);
  EXPECT_EQ(driver.Wait(), 255) << driver.ErrorOutput();
  EXPECT_EQ(LastLine(driver.ErrorOutput()), "hashbench: the console window was destroyed");
}

// An X server that stops answering holds the console thread; every wait of
// the main thread on it gives up after the bound (shortened here) and ends
// the program with a message: at start-up, for a print and at the end.
TEST(X11ConsoleLostDisplayTest, StalledServerEndsEveryWaitAfterTheBound) {
  if (!VirtualDisplay::Installed()) GTEST_SKIP() << "Xvfb is not installed";
  struct Case {
    const char* when;
    std::vector<std::string> commands;  // the server stalls at "mark ready"
  };
  // The short bound only once the window is open: opening may take longer
  // than that on a loaded machine.
  const Case kCases[] = {
      {"start-up", {"bound:300", "mark:ready", "hold", "open"}},
      {"a print", {"open", "bound:300", "mark:ready", "hold", "lines:3"}},
      {"the end", {"open", "bound:300", "mark:ready", "hold"}},
  };
  for (const Case& c : kCases) {
    VirtualDisplay server(1280, 1024);
    ASSERT_FALSE(server.Name().empty()) << server.Problem();
    std::vector<std::string> argv{HB_CONSOLE_DRIVER};
    argv.insert(argv.end(), c.commands.begin(), c.commands.end());
    ChildProcess driver(argv, server.ForChildren({kLeakSuppressions}));
    std::optional<std::string> line;
    while ((line = driver.ReadErrorLine()) && *line != "mark ready") {
    }
    ASSERT_EQ(line, "mark ready") << c.when << ": " << driver.ErrorOutput();
    server.Stall(true);
    driver.Write("\n");
    EXPECT_EQ(driver.Wait(), 255) << c.when << ": " << driver.ErrorOutput();
    EXPECT_EQ(LastLine(driver.ErrorOutput()), "hashbench: the X server did not answer within 300 ms") << c.when;
    server.Stall(false);
  }
}

}  // namespace
}  // namespace hb::test

namespace hb::test {
namespace {

// Pixels of a written blank cell (amid blanks, out of reach of any glyph's
// edge) are the surface's own pixel value at
// every screen depth; on an 8-bit screen with a colour map a second colour
// allocation for the cells showed white cells on the grey surface.
TEST(X11ConsoleDepthTest, WrittenCellsShareTheSurfaceBackground) {
  if (!VirtualDisplay::Installed()) GTEST_SKIP() << "Xvfb is not installed";
  for (int depth : {24, 8}) {
    VirtualDisplay server(640, 900, depth);
    ASSERT_FALSE(server.Name().empty()) << server.Problem();
    ChildProcess driver({HB_CONSOLE_DRIVER, "open", "facts", "print:A   B", "newline", "mark:printed", "hold"},
                        server.ForChildren({kLeakSuppressions}));
    const std::optional<std::string> opened = driver.ReadErrorLine();
    ASSERT_TRUE(opened && opened->rfind("open ", 0) == 0 && *opened != "open 0") << driver.ErrorOutput();
    const Window window = static_cast<Window>(std::stoul(opened->substr(5)));
    std::istringstream facts(driver.ReadErrorLine().value_or(""));
    std::string word;
    int cellWidth = 0, lineHeight = 0;
    facts >> word >> cellWidth >> lineHeight;
    ASSERT_GT(cellWidth, 0) << driver.ErrorOutput();
    ASSERT_EQ(driver.ReadErrorLine(), "mark printed");

    Display* display = XOpenDisplay(server.Name().c_str());
    ASSERT_NE(display, nullptr);
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(5 * cellWidth),
                              static_cast<unsigned>(3 * lineHeight), AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    const unsigned long surface = XGetPixel(image, 0, 2 * lineHeight + 1);  // row 3: never written
    const auto inkInColumn = [&](int column) {
      int ink = 0;
      for (int y = 0; y < lineHeight; ++y)
        for (int x = column * cellWidth; x < (column + 1) * cellWidth; ++x) ink += XGetPixel(image, x, y) != surface;
      return ink;
    };
    const int blankInk = inkInColumn(2);
    const int letterInk = inkInColumn(0);
    XDestroyImage(image);
    XCloseDisplay(display);
    EXPECT_EQ(blankInk, 0) << "pixels of the written blank cell unlike the surface at depth " << depth;
    // The letter shows as a glyph: some ink, not a filled box.
    EXPECT_GT(letterInk, 0) << "depth " << depth;
    EXPECT_LT(letterInk * 2, cellWidth * lineHeight) << "depth " << depth;
    driver.Write("\n");
    EXPECT_EQ(driver.Wait(), 0) << driver.ErrorOutput();
  }
}

}  // namespace
}  // namespace hb::test

namespace hb::test {
namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitizedBuild = true;  // the sanitizers reserve far more address space than any limit here
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitizedBuild = true;
#else
constexpr bool kSanitizedBuild = false;
#endif
#else
constexpr bool kSanitizedBuild = false;
#endif

// The driver under `limit` (a shell `ulimit` option and value), with its
// standard input at its end: a stream console's key wait returns at once.
std::unique_ptr<ChildProcess> StartLimitedDriver(const VirtualDisplay& server, const std::string& limit,
                                                 std::vector<std::string> commands) {
  std::vector<std::string> argv{"/bin/sh", "-c", "ulimit " + limit + " && exec \"$0\" \"$@\"", HB_CONSOLE_DRIVER};
  argv.insert(argv.end(), commands.begin(), commands.end());
  auto driver = std::make_unique<ChildProcess>(argv, server.ForChildren({kLeakSuppressions}));
  driver->CloseInput();
  return driver;
}

// The handle of the driver's "open" report (-1 when there is none), and the
// lines of standard error before it.
struct OpenReport {
  long long handle = -1;
  std::string before;
};

OpenReport ReadOpenReport(ChildProcess& driver) {
  OpenReport report;
  while (std::optional<std::string> line = driver.ReadErrorLine()) {
    if (line->rfind("open ", 0) == 0) {
      report.handle = std::stoll(line->substr(5));
      break;
    }
    report.before += *line + "\n";
  }
  return report;
}

// Short of memory with a display: the console either opens its window or
// says on standard error why not; the font libraries never get to fail (and
// crash) inside.
TEST(X11ConsoleMemoryTest, TightAddressSpaceOpensTheWindowOrSaysWhyNot) {
  if (!VirtualDisplay::Installed()) GTEST_SKIP() << "Xvfb is not installed";
  if (kSanitizedBuild) GTEST_SKIP() << "a sanitizer's own reservations exceed these limits";
  VirtualDisplay server(1280, 1024);
  ASSERT_FALSE(server.Name().empty()) << server.Problem();
  for (int kilobytes : {20000, 25000, 30000, 35000, 40000, 45000}) {
    auto driver = StartLimitedDriver(server, "-v " + std::to_string(kilobytes), {"open", "lines:75", "key"});
    const OpenReport opened = ReadOpenReport(*driver);
    if (opened.handle > 1) {  // a window
      ASSERT_EQ(RunTool({"xdotool", "key", "x"}, server.ForChildren()), 0);
    }
    EXPECT_EQ(driver->Wait(), 0) << kilobytes << " KiB: " << opened.before << driver->ErrorOutput();
    if (opened.handle <= 1) {
      EXPECT_EQ(opened.before.rfind("hashbench: ", 0), 0u) << kilobytes << " KiB, no window: " << opened.before;
    }
  }
}

// The headroom the font libraries need is reserved through the runtime's
// allocator first; when that fails the window is not tried.
TEST(X11ConsoleMemoryTest, FailedReservationIsReportedNotCrashedOn) {
  if (!VirtualDisplay::Installed()) GTEST_SKIP() << "Xvfb is not installed";
  VirtualDisplay server(1280, 1024);
  ASSERT_FALSE(server.Name().empty()) << server.Problem();
  ChildProcess driver({HB_CONSOLE_DRIVER, "oom:open", "print:a", "newline", "key"},
                      server.ForChildren({kLeakSuppressions}));
  driver.CloseInput();
  const OpenReport opened = ReadOpenReport(driver);
  EXPECT_EQ(driver.Wait(), 0) << driver.ErrorOutput();
  EXPECT_EQ(opened.before.rfind("hashbench: not enough memory for the console window", 0), 0u) << opened.before;
  // No window: nothing, or the stream console.
  EXPECT_TRUE(opened.handle == 0 || opened.handle == 1) << "a window opened anyway: " << opened.handle;
}

// The console thread's stack does not come from the process's stack limit:
// with 64 KiB the font libraries overflowed it.
TEST(X11ConsoleMemoryTest, SmallProcessStackLimitStillOpensTheWindow) {
  if (!VirtualDisplay::Installed()) GTEST_SKIP() << "Xvfb is not installed";
  VirtualDisplay server(1280, 1024);
  ASSERT_FALSE(server.Name().empty()) << server.Problem();
  auto driver = StartLimitedDriver(server, "-s 64", {"open", "lines:75", "key"});
  EXPECT_GT(ReadOpenReport(*driver).handle, 1) << driver->ErrorOutput();
  ASSERT_EQ(RunTool({"xdotool", "key", "x"}, server.ForChildren()), 0);
  EXPECT_EQ(driver->Wait(), 0) << driver->ErrorOutput();
}

}  // namespace
}  // namespace hb::test

namespace hb::test {
namespace {

cpu_set_t Processors(std::initializer_list<int> numbers) {
  cpu_set_t set;
  CPU_ZERO(&set);
  for (int n : numbers) CPU_SET(n, &set);
  return set;
}

// Whether a print's wait spins rests on this: spinning only helps when the
// console thread can draw on another processor than the waiting one.
TEST(ConsoleThreadTest, RunsBesideTheCallerUnlessBothAreHeldToOneProcessor) {
  cpu_set_t all;
  ASSERT_EQ(pthread_getaffinity_np(pthread_self(), sizeof all, &all), 0);
  if (!CPU_ISSET(0, &all) || !CPU_ISSET(1, &all)) GTEST_SKIP() << "needs processors 0 and 1";
  struct Case {
    const char* name;
    cpu_set_t caller;
    bool threadMovesToOne;  // the thread holds itself to processor 1
    bool expected;
  };
  const Case kCases[] = {
      {"both on processor 0", Processors({0}), false, false},
      {"caller on 0, thread on 1", Processors({0}), true, true},
      {"both free", all, false, true},
  };
  for (const Case& c : kCases) {
    ASSERT_EQ(pthread_setaffinity_np(pthread_self(), sizeof c.caller, &c.caller), 0) << c.name;
    std::atomic<bool> placed{false};
    std::atomic<bool> release{false};
    ConsoleThread thread;
    ASSERT_EQ(thread.Start(
                  [&] {
                    if (c.threadMovesToOne) {
                      const cpu_set_t one = Processors({1});
                      pthread_setaffinity_np(pthread_self(), sizeof one, &one);
                    }
                    placed = true;
                    while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                  },
                  std::size_t{1} << 20),
              0)
        << c.name;
    while (!placed) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(thread.CanRunBesideCaller(), c.expected) << c.name;
    release = true;
    EXPECT_TRUE(thread.JoinWithin(std::chrono::seconds(10))) << c.name;
    EXPECT_FALSE(thread.CanRunBesideCaller()) << c.name << ": after the join";
  }
  ASSERT_EQ(pthread_setaffinity_np(pthread_self(), sizeof all, &all), 0);
}

}  // namespace
}  // namespace hb::test
