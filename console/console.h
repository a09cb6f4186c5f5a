// The text console: a grid of character cells with a cursor, on a thread of
// its own. All functions are called from the program's main thread.
//
// OpenConsoleWindow shows an X11 window when a display can be opened, and
// otherwise falls back to a stream console on standard output and input:
// silently when there is no display, with one line on standard error that
// says why when the window's thread or a usable font cannot be had. When no
// console is open (never opened, or the display refused the window)
// printing does nothing and WaitKey returns the empty text at once.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace hb {

// Opens the console with the given caption, window style (0: default),
// grid size and screen position. Returns once the window is shown (or has
// failed), 40 ms later, with the nonzero surface handle or 0. A second call
// while a console exists returns 0.
uintptr_t OpenConsoleWindow(std::u16string_view caption, uint32_t style, int32_t columns, int32_t rows,
                            int32_t left, int32_t top);

// Writes text at the cursor, one row-sized piece at a time.
void PrintText(std::u16string_view text);

// Moves the cursor to the start of the next row, scrolling on the last row.
void NewLine();

// Waits for one typed character and returns it; the empty text when there is
// no console or at the end of input.
std::u16string WaitKey();

// Writes out what the console still holds: the stream console buffers its
// output into a pipe or a file. For an end of the process that runs no
// destructors; a fatal runtime error calls it too. Nothing for a window.
void FlushConsoleOutput();

// Whether the console's output could not be written: the stream console's
// standard output full or closed (said once on standard error when it
// happened). A reader that went away (a broken pipe) does not count.
bool ConsoleOutputFailed();

// Fills the console's font table (font_table.h); called once at start-up,
// before Main.
void InitializeFontTable();

}  // namespace hb
