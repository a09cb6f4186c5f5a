// The platform version record that start-up checks: on Windows the system's
// own, elsewhere filled from uname(2).
#pragma once

#include <cstdint>

namespace hb {

// The platform family the program runs on; any other identifier is refused.
inline constexpr uint32_t kSupportedPlatform = 2;
inline constexpr uint32_t kUnknownPlatform = 0;

struct PlatformVersion {
  uint32_t size;               // of this record: 148
  uint32_t major;              // kernel release "6.1.0-13" -> 6, 1, 0
  uint32_t minor;
  uint32_t build;
  uint32_t platform;           // kSupportedPlatform on Linux and on the Windows NT family
  char description[128];       // the rest of the release text after the three numbers
};
static_assert(sizeof(PlatformVersion) == 148);

// The running system's record: Linux and the Windows NT family are the
// supported ones (platform_version_posix.cpp, platform_version_win32.cpp).
PlatformVersion ReadPlatformVersion();

// The record for a system name and release as uname reports them.
PlatformVersion MakePlatformVersion(const char* system, const char* release);

}  // namespace hb
