// ShowMessageBox on Windows: the system's message box, task-modal and brought
// to the foreground, under the system's default caption ("Error"); standard
// error when it cannot be shown.
#include "console/message_box.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace hb {

void ShowMessageBox(std::string_view text) {
  const std::string terminated(text);
  if (MessageBoxA(nullptr, terminated.c_str(), nullptr, MB_TASKMODAL | MB_SETFOREGROUND) != 0) return;
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace hb
