#include "console/grid.h"

#include <algorithm>

namespace hb {

Grid::Grid(int32_t columns, int32_t rows)
    : columns_(columns), rows_(rows), cells_(static_cast<std::size_t>(columns) * rows, kBlank) {}

void Grid::Print(std::u16string_view text, GridSink& sink) {
  if (text.empty()) return;
  if (cursorColumn_ >= columns_) NewLine(sink);
  for (;;) {
    const std::size_t length = std::min(text.size(), static_cast<std::size_t>(columns_));
    WritePiece(text.substr(0, length), sink);
    text.remove_prefix(length);
    if (text.empty()) return;
    NewLine(sink);
  }
}

void Grid::WritePiece(std::u16string_view piece, GridSink& sink) {
  const auto room = static_cast<std::size_t>(columns_ - cursorColumn_);
  const std::u16string_view shown = piece.substr(0, room);
  const std::size_t start = static_cast<std::size_t>(cursorRow_) * columns_ + cursorColumn_;
  std::copy(shown.begin(), shown.end(), cells_.begin() + static_cast<std::ptrdiff_t>(start));
  sink.Written(cursorRow_, cursorColumn_, shown);
  cursorColumn_ += static_cast<int32_t>(piece.size());
}

void Grid::NewLine(GridSink& sink) {
  cursorColumn_ = 0;
  const bool lastRow = cursorRow_ == rows_ - 1;
  if (lastRow) {
    ScrollUp();
  } else {
    ++cursorRow_;
  }
  sink.LineEnded(lastRow);
}

void Grid::ScrollUp() {
  const auto rowCells = static_cast<std::ptrdiff_t>(columns_);
  std::copy(cells_.begin() + rowCells, cells_.end(), cells_.begin());
  std::fill(cells_.end() - rowCells, cells_.end(), kBlank);
}

std::u16string_view Grid::Row(int32_t row) const noexcept {
  return std::u16string_view(cells_).substr(static_cast<std::size_t>(row) * columns_, columns_);
}

}  // namespace hb
