// A message the user has to acknowledge before the program goes on.
#pragma once

#include <string_view>

namespace hb {

// Shows `text` in a small window captioned "Error" (on X11 when a display can
// be opened; on Windows the system's message box) and returns once the user
// has acknowledged it with a key or a click or closed it. Where no window can
// be shown the text goes to standard error instead.
void ShowMessageBox(std::string_view text);

}  // namespace hb
