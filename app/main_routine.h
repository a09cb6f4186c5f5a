// Main: opens the console, runs the four benchmark procedures, prints "Done"
// and waits for one typed character.
#pragma once

#include <cstdint>
#include <string_view>

namespace hb {

// The window-show value a program gets when it was given none.
inline constexpr int32_t kShowDefault = 10;

// The routine that start-up calls. Takes the instance handle, the previous
// instance (always 0), the argument text and the show command; Main uses none
// of them and returns 0.
using MainRoutine = int32_t (*)(uintptr_t instance, uintptr_t previous, std::u16string_view arguments,
                                int32_t show);

int32_t Main(uintptr_t instance, uintptr_t previous, std::u16string_view arguments, int32_t show);

}  // namespace hb
