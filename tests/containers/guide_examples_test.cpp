// The examples of the README's "Using the containers", as written there, each
// with the results the guide states: every container through the C++ face
// and the same steps through its interface.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "containers/cpp_containers.h"
#include "runtime/unknown_impl.h"
#include "tests/support/live_object_test.h"

namespace hb::test {
namespace {

using GuideExample = LiveObjectTest;

TEST_F(GuideExample, StringBag) {
  // --- face
  hb::StringBag bag{"pear", "fig"};
  auto [where, added] = bag.insert("plum");     // {position 2, true}
  bool again = bag.insert("fig").second;        // false: "fig" stays at 1
  std::vector<std::string> keys;
  for (std::string_view key : bag) keys.emplace_back(key);  // pear fig plum
  bool has = bag.contains("fig");               // true
  std::size_t gone = bag.erase("pear");         // 1; fig and plum move down
  std::string first = bag.key_copy(0);          // "fig", the caller's own copy
  // --- interface
  hb::Ref<hb::IStringBag> raw = hb::NewStringBag();
  raw->Add(hb::DynString("pear"));
  raw->Add(hb::DynString("fig"));
  int32_t index = raw->Add(hb::DynString("plum"));    // 2
  int32_t present = raw->Contains(hb::DynString("fig"));  // -1 means true
  raw->Remove(hb::DynString("pear"));
  hb::DynString key = raw->KeyAt(0);                  // "fig", a copy
  hb::DynString miss = raw->KeyAt(5);                 // empty: out of range

  EXPECT_EQ(where.index(), 2);
  EXPECT_TRUE(added);
  EXPECT_FALSE(again);
  EXPECT_EQ(keys, (std::vector<std::string>{"pear", "fig", "plum"}));
  EXPECT_TRUE(has);
  EXPECT_EQ(gone, 1u);
  EXPECT_EQ(first, "fig");
  EXPECT_EQ(index, 2);
  EXPECT_EQ(present, -1);
  EXPECT_EQ(key, hb::DynString("fig"));
  EXPECT_TRUE(miss.Empty());
}

TEST_F(GuideExample, StringToStringMap) {
  // --- face
  hb::StringToStringMap colours{{"sky", "blue"}, {"grass", "green"}};
  colours.insert("sky", "grey");                // present: keeps "blue"
  colours.insert_or_assign("grass", "dry");     // replaces, stays at 1
  std::string_view sky = colours.lookup("sky");  // "blue", valid until the next change
  std::string owned = colours.lookup_copy("sea");  // "": a miss is the empty value
  for (auto [name, colour] : colours) {
    EXPECT_FALSE(name.empty() || colour.empty());
  }
  // --- interface
  hb::Ref<hb::IStringToStringMap> raw = hb::NewStringToStringMap();
  raw->Add(hb::DynString("sky"), hb::DynString("blue"));
  raw->Add(hb::DynString("sky"), hb::DynString("grey"));      // Add on a present key replaces too:
  hb::DynString replaced = raw->Item(hb::DynString("sky"));   // "grey"
  raw->SetItem(hb::DynString("sky"), hb::DynString("blue"));  // as SetItem, which returns nothing
  hb::DynString item = raw->Item(hb::DynString("sea"));      // empty on a miss

  EXPECT_EQ(sky, "blue");
  EXPECT_EQ(colours.at(1).second, "dry");
  EXPECT_EQ(owned, "");
  EXPECT_EQ(std::string(replaced), "grey");
  EXPECT_EQ(std::string(raw->Item(hb::DynString("sky"))), "blue");
  EXPECT_EQ(raw->IndexOf(hb::DynString("sky")), 0);
  EXPECT_TRUE(item.Empty());
}

// A user's own object: UnknownImpl writes QueryInterface, AddRef and
// Release; MakeObject returns the one reference.
class Note final : public hb::UnknownImpl<Note> {
 public:
  explicit Note(std::string words) : text(std::move(words)) {}
  std::string text;
};

TEST_F(GuideExample, StringToIUnknownMap) {
  // --- face
  hb::StringToIUnknownMap notes;
  hb::Ref<Note> note = hb::MakeObject<Note>("buy milk");
  notes.insert_or_assign("monday", note);           // the map holds one count more
  hb::IUnknown* seen = notes.lookup("monday");       // not counted, valid until the next change
  hb::Ref<hb::IUnknown> kept = notes.lookup_copy("monday");  // counted: the caller's
  notes.erase("monday");                            // the map's count goes back
  // --- interface
  hb::Ref<hb::IStringToIUnknownMap> raw = hb::NewStringToIUnknownMap();
  raw->Add(hb::DynString("monday"), note);
  hb::Ref<hb::IUnknown> item = raw->Item(hb::DynString("tuesday"));  // null on a miss

  EXPECT_EQ(seen, kept.Get());
  EXPECT_EQ(static_cast<Note*>(kept.Get())->text, "buy milk");
  EXPECT_TRUE(notes.empty());
  EXPECT_FALSE(item);
}

TEST_F(GuideExample, DWordToIUnknownMap) {
  // --- face
  hb::Ref<Note> zero = hb::MakeObject<Note>("zero");
  hb::DWordToIUnknownMap byNumber{{0u, zero}, {4294967295u, nullptr}};
  bool both = byNumber.contains(0) && byNumber.contains(4294967295u);  // 0 is an ordinary key
  auto [number, object] = byNumber.at(0);                           // {0, the note}
  // --- interface
  hb::Ref<hb::IDWordToIUnknownMap> raw = hb::NewDWordToIUnknownMap();
  raw->Add(7, zero);
  uint32_t outside = raw->KeyAt(3);  // 0: tell it from key 0 by Count()

  EXPECT_TRUE(both);
  EXPECT_EQ(number, 0u);
  EXPECT_EQ(object, static_cast<hb::IUnknown*>(zero.Get()));
  EXPECT_EQ(outside, 0u);
  EXPECT_EQ(raw->Count(), 1);
}

}  // namespace
}  // namespace hb::test
