// The message window of ShowMessageBox on X11: a small window captioned
// "Error" with the text centred in the server's default font, in front and
// with the keyboard focus.
#pragma once

#include <string_view>

namespace hb {

// Shows `text` and returns true once a key is pressed or the window is
// clicked or closed; false at once when no display could be opened.
bool ShowX11MessageBox(std::string_view text);

}  // namespace hb
