// The stream console: stands in for the window when no X display can be
// opened (over SSH, in scripts, in CI). It keeps the same grid and cursor
// rules; what the grid shows is written to standard output as UTF-8, one
// output line per grid line. Scrolling is the terminal's business.
//
// Output is buffered as standard output conventionally is: to a terminal it
// goes out at each line end, into a pipe or a file in blocks of kBlockSize
// bytes; and always before a key wait and at exit (the destructor, and
// Flush for an exit that runs no destructors). Between two blocks nothing
// reaches the system, so a program that prints between timed passes pays
// no write for it.
//
// The first write that fails ends the output: nothing more is written. A
// failure other than a broken pipe (a full disk, a closed standard output)
// is said once on standard error and recorded (OutputFailed); a reader that
// went away ends the output quietly.
#pragma once

#include <string>
#include <string_view>

#include "console/backend.h"
#include "console/grid.h"

namespace hb {

class StreamConsole final : public ConsoleBackend, private GridSink {
 public:
  static constexpr std::size_t kBlockSize = 4096;

  // Line by line when standard output is a terminal, else in blocks.
  StreamConsole(int32_t columns, int32_t rows);
  ~StreamConsole() { Flush(); }  // the last line may lack its line end
  StreamConsole(const StreamConsole&) = delete;
  StreamConsole& operator=(const StreamConsole&) = delete;

  void Print(std::u16string_view text) override;
  void NewLine() override;
  // One character from standard input (read without echo, unbuffered, when
  // it is a terminal); the empty text at the end of input.
  std::u16string WaitKey() override;
  // Writes out what is held.
  void Flush();
  // Whether writing failed for a reason other than a broken pipe.
  bool OutputFailed() const { return failed_; }

 private:
  void Written(int32_t row, int32_t column, std::u16string_view text) override;
  void LineEnded(bool scrolled) override;
  void OutputEnded(int error);

  Grid grid_;
  const bool lineByLine_;
  std::string pending_;  // UTF-8 not yet written to standard output
  bool ended_ = false;   // a write failed: nothing more goes out
  bool failed_ = false;
};

}  // namespace hb
