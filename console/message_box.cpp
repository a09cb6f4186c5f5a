// ShowMessageBox: the message window when there is a display to show it on,
// else a line on standard error.
#include "console/message_box.h"

#include <cstdio>

#ifdef HASHBENCH_HAVE_X11
#include "console/x11_message_box.h"
#endif

namespace hb {

void ShowMessageBox(std::string_view text) {
#ifdef HASHBENCH_HAVE_X11
  if (ShowX11MessageBox(text)) return;
#endif
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace hb
