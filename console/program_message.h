// The console's word to the user when something keeps it from doing its
// work as asked: one line on standard error that names the program.
#pragma once

#include <string_view>

namespace hb {

inline constexpr std::string_view kProgramName = "hashbench";

// Writes "hashbench: <cause>" and a line end to standard error in one piece;
// a standard error that cannot take it loses the line.
void SayOnStandardError(std::string_view cause);

}  // namespace hb
