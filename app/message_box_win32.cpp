#include "app/message_box.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace hb {

// Task-modal and brought to the foreground, under the system's default
// caption ("Error").
bool ShowMessageWindow(std::string_view text) {
  const std::string terminated(text);
  return MessageBoxA(nullptr, terminated.c_str(), nullptr, MB_TASKMODAL | MB_SETFOREGROUND) != 0;
}

void ShowMessageBox(std::string_view text) {
  if (ShowMessageWindow(text)) return;
  std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace hb
