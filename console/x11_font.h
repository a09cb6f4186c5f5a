// Turns the console's font description into an Xft font with a fixed cell.
//
// The description asks for a fixed-pitch face by name at the system's
// default size. fontconfig substitutes whatever fixed-pitch face is
// installed; asked without the fixed pitch it would hand out a proportional
// one. Two more things matter on a real system:
//   - The matched pattern carries spacing=mono. Xft then forces every glyph
//     to the font's largest advance, and a face with a few wide glyphs draws
//     every letter several cells wide. The spacing is dropped before opening,
//     and the cell width is the advance of a typical glyph.
//   - The default size (12 pt) makes an 80 x 50 grid taller than many
//     screens. When the grid does not fit the area it may take, the largest
//     pixel size that fits is used (a 7 x 15 cell on a 768-pixel screen), but
//     never one whose cell is narrower than kMinimumCellWidth, below which
//     the letters no longer read. A grid that does not fit even then is
//     shown in part (see the console's view).
//   - On a screen with a colour map (8 bits deep, say) Xft's rendering path
//     blends in colour values the screen cannot show and leaves boxes; there
//     the font is drawn by the core protocol without antialiasing (crisp
//     glyphs rather than thresholded grey ones), each glyph's ink in the
//     text colour's own pixel.
#pragma once

#include <X11/Xft/Xft.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <optional>
#include <string>

#include "console/font_table.h"

namespace hb {

inline constexpr int32_t kMinimumCellWidth = 5;

struct ConsoleFont {
  XftFont* font = nullptr;  // owned; see CloseConsoleFont
  int32_t cellWidth = 0;    // advance of a typical glyph
  int32_t lineHeight = 0;   // line spacing, at least ascent + descent
  int32_t ascent = 0;       // baseline offset from the top of a cell
  std::string family;       // the face fontconfig delivered
  double pixelSize = 0;     // the size it was opened at
};

struct PixelArea {
  int32_t width = 0;
  int32_t height = 0;
};

// Opens the font for a grid of columns x rows cells that should fit `area`.
// Nothing when no font at all can be opened.
std::optional<ConsoleFont> OpenConsoleFont(Display* display, int screen, const FontDescription& description,
                                           int32_t columns, int32_t rows, PixelArea area);

void CloseConsoleFont(Display* display, ConsoleFont& font);

}  // namespace hb
