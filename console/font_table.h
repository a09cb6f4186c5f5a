// The console's font table: the font descriptions that text-drawing windows
// select, filled once at start-up and shared between the main thread and the
// console thread under one lock.
//
// Entry 2 is the console's fixed-pitch face. Entry 1, a proportional default
// face, and entry 3, its bold form, complete the table; nothing selects them.
// A back end turns a description into a real font (X11: a fontconfig
// pattern) and keeps that font itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace hb {

enum class FontPitch : uint8_t { kDefault = 0, kFixed = 1, kVariable = 2 };

struct FontDescription {
  std::u16string face;   // family name as requested; the font system may substitute
  int32_t height = 0;    // character height in pixels; 0: the system's default size
  int32_t weight = 400;  // 100 (thin) .. 900 (black); 400 regular, 700 bold
  uint8_t charset = 0;   // 0: the default (Western) character set
  FontPitch pitch = FontPitch::kDefault;
};

struct FontEntry {
  int32_t id = 0;         // 1, 2 or 3
  int32_t useCount = 0;   // selections so far
  int32_t pointSize = 0;  // 0: take `description.height`
  FontDescription description;
};

inline constexpr int32_t kConsoleFontId = 2;

// Fills the table with its three entries; later calls leave it as it is.
void FillFontTable();

// Counts one more use of entry `id` and returns a copy of it; nothing when the
// table holds no such entry.
std::optional<FontEntry> UseFontEntry(int32_t id);

// A copy of entry `id` without counting a use.
std::optional<FontEntry> FindFontEntry(int32_t id);

}  // namespace hb
