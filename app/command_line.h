// The process's own command line as one text, and the argument text in it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace hb {

// Joins arguments with single blanks; an argument that contains a blank, or
// is empty, is put in double quotes so that it still reads as one.
std::string JoinCommandLine(const std::vector<std::string>& arguments);

// The process's arguments, program name first, read from /proc/self/cmdline
// and joined. Empty when they cannot be read. (Not on Windows.)
std::string ReadOwnCommandLine();

// The process's own command line, program name first: on Windows the
// system's, elsewhere ReadOwnCommandLine widened.
std::u16string OwnCommandLine();

// What follows the program name: a line that starts with a double quote
// loses everything up to and including the next double quote (all of it when
// there is none); otherwise the leading characters above the blank go. Then
// the blanks that follow go too.
std::u16string_view SkipProgramName(std::u16string_view line) noexcept;

}  // namespace hb
