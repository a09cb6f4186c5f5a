#include "console/font_table.h"

#include <mutex>
#include <vector>

#include "console/console.h"

namespace hb {
namespace {

struct FontTable {
  std::mutex lock;
  std::vector<FontEntry> entries;  // in id order once filled
};

FontTable& Table() {
  static FontTable table;
  return table;
}

FontEntry MakeEntry(int32_t id, std::u16string face, int32_t weight, FontPitch pitch) {
  FontEntry entry;
  entry.id = id;
  entry.description.face = std::move(face);
  entry.description.weight = weight;
  entry.description.pitch = pitch;
  return entry;
}

FontEntry* Find(std::vector<FontEntry>& entries, int32_t id) {
  for (FontEntry& entry : entries) {
    if (entry.id == id) return &entry;
  }
  return nullptr;
}

}  // namespace

void FillFontTable() {
  FontTable& table = Table();
  std::lock_guard guard(table.lock);
  if (!table.entries.empty()) return;
  table.entries.push_back(MakeEntry(1, u"Sans Serif", 400, FontPitch::kVariable));
  table.entries.push_back(MakeEntry(kConsoleFontId, u"Lucida Console", 400, FontPitch::kFixed));
  table.entries.push_back(MakeEntry(3, u"Sans Serif", 700, FontPitch::kVariable));
}

std::optional<FontEntry> UseFontEntry(int32_t id) {
  FontTable& table = Table();
  std::lock_guard guard(table.lock);
  FontEntry* entry = Find(table.entries, id);
  if (entry == nullptr) return std::nullopt;
  ++entry->useCount;
  return *entry;
}

std::optional<FontEntry> FindFontEntry(int32_t id) {
  FontTable& table = Table();
  std::lock_guard guard(table.lock);
  const FontEntry* entry = Find(table.entries, id);
  if (entry == nullptr) return std::nullopt;
  return *entry;
}

void InitializeFontTable() { FillFontTable(); }

}  // namespace hb
