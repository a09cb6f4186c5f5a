// WordBagDemo and StringBagBenchmark: the string bag seen from outside,
// through NewStringBag and the bag's public operations only.
#include <cstdint>

#include "app/benchmarks.h"
#include "app/print.h"
#include "app/random_key.h"
#include "app/ticks.h"
#include "console/console.h"
#include "containers/string_bag.h"
#include "runtime/array.h"
#include "runtime/string_ops.h"

namespace hb {
namespace {

// 38 words, 31 of them different: "the" four times; "that", "tuples", "no"
// and "order" twice each.
constexpr const char* kSentence =
    "the relational model specifies that the tuples of a relation have no specific order and that "
    "the tuples in turn impose no order on the attributes applications access data by specifying "
    "queries which use operations such as select";

void ListKeys(IStringBag& bag) {
  const int32_t last = bag.Count() - 1;
  for (int32_t i = 0; i <= last; ++i) {
    PrintString(bag.KeyAt(i));
    NewLine();
  }
}

void BuildPass(IStringBag& bag) {
  const int64_t start = ReadTicks();
  for (int32_t i = 0; i < kBuildKeys; ++i) bag.Add(RandomKey());
  const int64_t ticks = ReadTicks() - start;
  PrintString("Build ");
  PrintCount(kBuildKeys);
  PrintPassLine(" added ", bag.Count(), ticks, " tix");
}

void LookupPass(IStringBag& bag) {
  const int64_t start = ReadTicks();
  const int32_t last = bag.Count() - 1;
  for (int32_t i = 0; i <= last; ++i) {
    const int32_t found = bag.IndexOf(bag.KeyAt(i));
    if (found != i) {
      PrintString("Bleh got ");
      PrintNumber(found);
      PrintString(" for ");
      PrintNumber(i);
      NewLine();
    }
  }
  const int64_t ticks = ReadTicks() - start;
  PrintPassLine("Iterate and lookup ", bag.Count(), ticks, " tix");
}

void RemoveInReverseOrder(IStringBag& bag) {
  const int64_t start = ReadTicks();
  for (int32_t i = bag.Count() - 1; i >= 0; --i) bag.RemoveAt(i);
  const int64_t ticks = ReadTicks() - start;
  PrintPassLine("Remove in reverse order ", bag.Count(), ticks, " tix");
}

// Always removes the first key, so every later key moves down each time.
void RemoveInAscendingOrder(IStringBag& bag) {
  const int64_t start = ReadTicks();
  const int32_t last = bag.Count() - 1;
  for (int32_t i = 0; i <= last; ++i) bag.RemoveAt(0);
  const int64_t ticks = ReadTicks() - start;
  PrintPassLine("Remove in ascending order ", bag.Count(), ticks, " tix...");
}

}  // namespace

void WordBagDemo() {
  Ref<IStringBag> bag = NewStringBag();
  if (!bag) return;  // the bag could not be made: nothing to show
  const DynString sentence(kSentence);
  const DynString separator(" ");
  Array<DynString> words;
  words.Dimension(0, CountFields(sentence, separator) - 1);
  SplitFields(sentence, separator, words);

  const int32_t lastWord = words.UpperBound();
  for (int32_t i = 0; i <= lastWord; ++i) bag->Add(words[i]);
  bag->Remove("the");
  bag->Remove("tuples");
  ListKeys(*bag);
  NewLine();
  bag->Add("the");
  bag->Add("tuples");
  ListKeys(*bag);
}

void StringBagBenchmark() {
  Ref<IStringBag> bag = NewStringBag();
  if (!bag) return;
  BuildPass(*bag);
  LookupPass(*bag);
  RemoveInReverseOrder(*bag);
  BuildPass(*bag);
  RemoveInAscendingOrder(*bag);
}

}  // namespace hb
