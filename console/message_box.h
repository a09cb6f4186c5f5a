// A message the user has to acknowledge before the program goes on.
#pragma once

#include <string_view>

namespace hb {

// Shows `text` in a small window captioned "Error" when an X display can be
// opened, and returns once a key is pressed or the window is clicked or
// closed. Without a display the text goes to standard error instead.
void ShowMessageBox(std::string_view text);

}  // namespace hb
