#include "console/grid.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/utf8.h"

namespace hb::test {
namespace {

// Logs what the grid reports: "W<row>,<column>:<text>" for a write, "N" for
// a line end, "S" for a line end that scrolled.
class LogSink final : public GridSink {
 public:
  void Written(int32_t row, int32_t column, std::u16string_view text) override {
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) inside
    // libstdc++'s operator+ on a literal and a temporary.
    std::string entry(1, 'W');
    entry.append(std::to_string(row)).append(1, ',').append(std::to_string(column)).append(1, ':');
    Add(entry.append(ToUtf8(text)));
  }
  void LineEnded(bool scrolled) override { Add(scrolled ? "S" : "N"); }
  std::string log;

 private:
  void Add(const std::string& entry) { log += (log.empty() ? "" : "|") + entry; }
};

std::string Trimmed(const Grid& grid, int32_t row) {
  std::string text = ToUtf8(grid.Row(row));
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// A step is a text to print, or kNewLine.
const char16_t kNewLine[] = u"\n";

struct Case {
  const char* name;
  std::vector<std::u16string> steps;
  std::vector<std::string> rows;  // of a 10 x 3 grid, trailing blanks trimmed
  int32_t cursorRow, cursorColumn;
  std::string log;
};

TEST(GridTest, PrintAndNewLineFollowTheCellRules) {
  const Case kCases[] = {
      {"empty text does nothing", {u""}, {"", "", ""}, 0, 0, ""},
      {"short text", {u"abc"}, {"abc", "", ""}, 0, 3, "W0,0:abc"},
      {"empty text after text", {u"abc", u""}, {"abc", "", ""}, 0, 3, "W0,0:abc"},
      {"two lines", {u"abc", kNewLine, u"de"}, {"abc", "de", ""}, 1, 2, "W0,0:abc|N|W1,0:de"},
      {"full row leaves the cursor past the edge", {u"0123456789"}, {"0123456789", "", ""}, 0, 10,
       "W0,0:0123456789"},
      {"print past the edge starts a new line", {u"0123456789", u"x"}, {"0123456789", "x", ""}, 1, 1,
       "W0,0:0123456789|N|W1,0:x"},
      {"full row then one line end", {u"0123456789", kNewLine, u"x"}, {"0123456789", "x", ""}, 1, 1,
       "W0,0:0123456789|N|W1,0:x"},
      {"text longer than a row loses nothing", {u"0123456789abcdefghijKL"}, {"0123456789", "abcdefghij", "KL"},
       2, 2, "W0,0:0123456789|N|W1,0:abcdefghij|N|W2,0:KL"},
      {"mid-row piece is cut at the edge", {u"abc", u"0123456789XY"}, {"abc0123456", "XY", ""}, 1, 2,
       "W0,0:abc|W0,3:0123456|N|W1,0:XY"},
      {"cut piece moves the cursor past the edge", {u"abc", u"0123456789", u"z"}, {"abc0123456", "z", ""}, 1, 1,
       "W0,0:abc|W0,3:0123456|N|W1,0:z"},
      {"mid-row piece that just fits", {u"abc", u"defghij"}, {"abcdefghij", "", ""}, 0, 10,
       "W0,0:abc|W0,3:defghij"},
      {"line end on the last row scrolls", {u"a", kNewLine, u"b", kNewLine, u"c", kNewLine}, {"b", "c", ""}, 2, 0,
       "W0,0:a|N|W1,0:b|N|W2,0:c|S"},
      {"every further line end scrolls again", {u"a", kNewLine, u"b", kNewLine, u"c", kNewLine, kNewLine},
       {"c", "", ""}, 2, 0, "W0,0:a|N|W1,0:b|N|W2,0:c|S|S"},
      {"long text on the last row scrolls between pieces",
       {kNewLine, kNewLine, u"0123456789abc"}, {"", "0123456789", "abc"}, 2, 3, "N|N|W2,0:0123456789|S|W2,0:abc"},
  };
  for (const Case& c : kCases) {
    Grid grid(10, 3);
    LogSink sink;
    for (const std::u16string& step : c.steps) {
      if (step == kNewLine) {
        grid.NewLine(sink);
      } else {
        grid.Print(step, sink);
      }
    }
    std::vector<std::string> rows;
    for (int32_t row = 0; row < grid.Rows(); ++row) rows.push_back(Trimmed(grid, row));
    EXPECT_EQ(rows, c.rows) << c.name;
    EXPECT_EQ(grid.CursorRow(), c.cursorRow) << c.name;
    EXPECT_EQ(grid.CursorColumn(), c.cursorColumn) << c.name;
    EXPECT_EQ(sink.log, c.log) << c.name;
  }
}

// The program prints 75 lines into an 80 x 50 grid: the 50th line end is the
// first to scroll, and at the end the top 49 rows show lines 27 to 75.
TEST(GridTest, EightyByFiftyScrollsFromTheFiftiethLineEnd) {
  Grid grid(80, 50);
  LogSink sink;
  const auto printLine = [&](int number) {
    const std::string text = "line " + std::to_string(number);
    grid.Print(std::u16string(text.begin(), text.end()), sink);
    grid.NewLine(sink);
  };
  for (int number = 1; number <= 49; ++number) printLine(number);
  EXPECT_EQ(Trimmed(grid, 0), "line 1");
  EXPECT_EQ(grid.CursorRow(), 49);
  EXPECT_EQ(sink.log.find('S'), std::string::npos);

  printLine(50);
  EXPECT_EQ(Trimmed(grid, 0), "line 2");
  EXPECT_EQ(Trimmed(grid, 48), "line 50");
  EXPECT_EQ(Trimmed(grid, 49), "");
  EXPECT_EQ(sink.log.substr(sink.log.size() - 2), "|S");

  for (int number = 51; number <= 75; ++number) printLine(number);
  for (int32_t row = 0; row < 49; ++row) EXPECT_EQ(Trimmed(grid, row), "line " + std::to_string(27 + row));
  EXPECT_EQ(Trimmed(grid, 49), "");
  EXPECT_EQ(grid.CursorRow(), 49);
  EXPECT_EQ(grid.CursorColumn(), 0);
}

}  // namespace
}  // namespace hb::test
