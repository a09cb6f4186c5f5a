// The stream console: stands in for the window when no X display can be
// opened (over SSH, in scripts, in CI). It keeps the same grid and cursor
// rules; what the grid shows is written to standard output as UTF-8 as it is
// printed, one output line per grid line, flushed at each line end and
// before a key wait. Scrolling is the terminal's business.
#pragma once

#include <string>
#include <string_view>

#include "console/backend.h"
#include "console/grid.h"

namespace hb {

class StreamConsole final : public ConsoleBackend, private GridSink {
 public:
  StreamConsole(int32_t columns, int32_t rows) : grid_(columns, rows) {}
  ~StreamConsole() { Flush(); }  // the last line may lack its line end
  StreamConsole(const StreamConsole&) = delete;
  StreamConsole& operator=(const StreamConsole&) = delete;

  void Print(std::u16string_view text) override;
  void NewLine() override;
  // One character from standard input (read without echo, unbuffered, when
  // it is a terminal); the empty text at the end of input.
  std::u16string WaitKey() override;

 private:
  void Written(int32_t row, int32_t column, std::u16string_view text) override;
  void LineEnded(bool scrolled) override;
  void Flush();

  Grid grid_;
  std::string pending_;  // UTF-8 not yet written to standard output
};

}  // namespace hb
