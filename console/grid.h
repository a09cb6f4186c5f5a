// The console's grid model: a fixed grid of character cells with a cursor,
// free of any windowing code. Both console back ends drive their output from
// it, and the tests read it.
//
// The cursor stands on a row and a column. The column may lie past the right
// edge: a piece that starts in the middle of a row and is longer than the rest
// of the row is cut at the edge, and the cursor still advances by the whole
// piece. The next print then starts on a new line.
//
// Print splits a text into pieces of at most one row (`columns` characters):
//   1. If the cursor is at or past the right edge, end the line first.
//   2. Take the next min(remaining, columns) characters as the piece, write
//      the part that fits before the edge and advance the cursor by the whole
//      piece.
//   3. If characters remain, end the line and go to 2.
// Written from the start of a row, no character is lost. The empty text does
// nothing at all.
//
// NewLine moves the cursor to column 0 of the next row; on the last row the
// grid scrolls up by one row instead and the cursor stays on the (now blank)
// last row.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hb {

// Receives what a Print or NewLine changed, in order, so that a back end
// draws exactly that.
class GridSink {
 public:
  // `cells` now hold `text`, starting at (row, column); never empty, never
  // past the right edge.
  virtual void Written(int32_t row, int32_t column, std::u16string_view text) = 0;
  // The cursor went to the start of a new line; when `scrolled`, every row
  // moved up by one and the last row is blank.
  virtual void LineEnded(bool scrolled) = 0;

 protected:
  ~GridSink() = default;
};

class Grid {
 public:
  static constexpr char16_t kBlank = u' ';

  // columns and rows must be positive.
  Grid(int32_t columns, int32_t rows);

  void Print(std::u16string_view text, GridSink& sink);
  void NewLine(GridSink& sink);

  int32_t Columns() const noexcept { return columns_; }
  int32_t Rows() const noexcept { return rows_; }
  int32_t CursorRow() const noexcept { return cursorRow_; }
  // Past the right edge (>= Columns()) after a cut piece or a full row.
  int32_t CursorColumn() const noexcept { return cursorColumn_; }
  // The cells of one row, blanks included.
  std::u16string_view Row(int32_t row) const noexcept;

 private:
  void WritePiece(std::u16string_view piece, GridSink& sink);
  void ScrollUp();

  int32_t columns_;          // cells per row
  int32_t rows_;             // rows in the grid
  int32_t cursorRow_ = 0;    // 0 .. rows_ - 1
  int32_t cursorColumn_ = 0; // 0 .. 2 * columns_ - 1
  std::u16string cells_;     // rows_ * columns_ cells, row after row
};

}  // namespace hb
