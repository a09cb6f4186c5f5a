// Peak resident memory of this process, as the kernel counts it.
#pragma once

#include <cstdio>
#include <cstring>

namespace hb::bench {

// VmHWM of /proc/self/status in KiB; 0 when it cannot be read.
inline long PeakResidentKb() {
  std::FILE* status = std::fopen("/proc/self/status", "r");
  if (status == nullptr) return 0;
  char line[256];
  long kb = 0;
  while (std::fgets(line, sizeof line, status) != nullptr) {
    if (std::strncmp(line, "VmHWM:", 6) == 0) {
      std::sscanf(line + 6, "%ld", &kb);
      break;
    }
  }
  std::fclose(status);
  return kb;
}

}  // namespace hb::bench
