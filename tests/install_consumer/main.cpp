// A program of a hashbench user, built against an installed hashbench (with
// find_package and with pkg-config, static and shared). It uses the
// containers as a user would and prints one line per observation; the test
// compares the lines with expected_output.txt, so a fault shows as the line
// that differs.
#include <cstdint>
#include <cstdio>
#include <string_view>

#include <hashbench/containers/dword_to_iunknown_map.h>
#include <hashbench/containers/string_bag.h>
#include <hashbench/containers/string_to_iunknown_map.h>
#include <hashbench/containers/string_to_string_map.h>
#include <hashbench/runtime/object.h>

namespace {

void Show(std::string_view what, long long value) {
  std::printf("%.*s = %lld\n", static_cast<int>(what.size()), what.data(), value);
}
void Show(std::string_view what, const hb::DynString& text) {
  const std::string_view view = text.View();
  std::printf("%.*s = \"%.*s\"\n", static_cast<int>(what.size()), what.data(), static_cast<int>(view.size()),
              view.data());
}

// The user's own object for the IUnknown maps: IUnknown written by hand, made
// with a count of one and deleted on its last Release. g_notesAlive tells
// whether the maps hand every count back.
int g_notesAlive = 0;

class Note final : public hb::IUnknown {
 public:
  explicit Note(const char* text) : text_(text) { ++g_notesAlive; }
  Note(const Note&) = delete;
  Note& operator=(const Note&) = delete;

  hb::HResult QueryInterface(const hb::Guid& iid, void** object) override {
    if (iid != hb::kIidIUnknown) {
      *object = nullptr;
      return hb::kNoInterface;
    }
    AddRef();
    *object = static_cast<hb::IUnknown*>(this);
    return hb::kOk;
  }
  uint32_t AddRef() override { return ++count_; }
  uint32_t Release() override {
    const uint32_t left = --count_;
    if (left == 0) delete this;
    return left;
  }
  const char* Text() const { return text_; }

 private:
  ~Note() { --g_notesAlive; }
  uint32_t count_ = 1;
  const char* text_;
};

// A new note in a Ref that owns its one count (AdoptRef: no second AddRef).
hb::Ref<hb::IUnknown> NewNote(const char* text) { return hb::AdoptRef<hb::IUnknown>(new Note(text)); }

const char* NoteText(const hb::Ref<hb::IUnknown>& value) {
  return value ? static_cast<const Note*>(value.Get())->Text() : "(null)";
}

// A bag made by class name (in any letter case), walked by position.
void UseStringBag() {
  hb::Ref<hb::IStringBag> bag;
  hb::CreateObject(bag, "cstringbag", hb::kIidStringBag);
  Show("bag made by name", bag ? 1 : 0);
  if (!bag) return;
  for (const char* word : {"alpha", "beta", "alpha", "gamma"}) Show(word, bag->Add(hb::DynString(word)));
  Show("bag Count", bag->Count());
  Show("bag IndexOf gamma", bag->IndexOf(hb::DynString("gamma")));
  Show("bag IndexOf delta", bag->IndexOf(hb::DynString("delta")));
  Show("bag Contains beta", bag->Contains(hb::DynString("beta")));
  bag->RemoveAt(0);
  for (int32_t i = 0; i < bag->Count(); ++i) Show("bag KeyAt", bag->KeyAt(i));
  Show("bag KeyAt 9", bag->KeyAt(9));
}

void UseStringToStringMap() {
  hb::Ref<hb::IStringToStringMap> map = hb::NewStringToStringMap();
  Show("map Add one", map->Add(hb::DynString("1"), hb::DynString("one")));
  Show("map Add two", map->Add(hb::DynString("2"), hb::DynString("two")));
  map->SetItem(hb::DynString("1"), hb::DynString("uno"));
  Show("map Item 1", map->Item(hb::DynString("1")));
  Show("map Item 3", map->Item(hb::DynString("3")));
  Show("map KeyAt 1", map->KeyAt(1));
}

// The user's objects as values: each map holds one count of its own.
void UseObjectMaps() {
  hb::Ref<hb::IStringToIUnknownMap> byName = hb::NewStringToIUnknownMap();
  hb::Ref<hb::IDWordToIUnknownMap> byNumber = hb::NewDWordToIUnknownMap();
  {
    hb::Ref<hb::IUnknown> first = NewNote("first");
    byName->Add(hb::DynString("first"), first);
    byNumber->Add(4294967295u, first);
    byName->Add(hb::DynString("second"), NewNote("second"));
  }
  Show("notes alive", g_notesAlive);
  std::printf("by name first = %s\n", NoteText(byName->Item(hb::DynString("first"))));
  std::printf("by name ValueAt 1 = %s\n", NoteText(byName->ValueAt(1)));
  std::printf("by number 4294967295 = %s\n", NoteText(byNumber->Item(4294967295u)));
  byName->Remove(hb::DynString("second"));
  Show("notes alive after Remove", g_notesAlive);
  byName = nullptr;
  Show("notes alive, by number only", g_notesAlive);
  byNumber = nullptr;
  Show("notes alive at the end", g_notesAlive);
}

}  // namespace

int main() {
  std::puts("-- interfaces");
  UseStringBag();
  UseStringToStringMap();
  UseObjectMaps();
  Show("library objects alive", hb::LiveObjectCount());
  return 0;
}
