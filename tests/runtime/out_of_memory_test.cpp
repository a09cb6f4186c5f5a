// With every allocation failing, each operation leaves its documented result,
// records error 7 and lets the process go on.
#include <gtest/gtest.h>

#include <functional>

#include "runtime/alloc.h"
#include "runtime/allocation_failure.h"
#include "runtime/array.h"
#include "runtime/errors.h"
#include "runtime/format.h"
#include "runtime/string_ops.h"

namespace hb::test {
namespace {

struct Case {
  const char* name;
  std::function<void()> prepare;  // runs with memory available
  std::function<void()> operate;  // runs with every allocation failing
  std::function<bool()> resultAsDocumented;
  int32_t error;
};

TEST(OutOfMemory, EachOperationLeavesItsDocumentedResult) {
  DynString text, source;
  Array<DynString> words;
  Array<int32_t> numbers;
  const Case kCases[] = {
      {"copy",
       [&] { source = DynString("source text"); },
       [&] { text = DynString(source); },
       [&] { return text.Empty(); },
       kErrorOutOfMemory},
      {"assign another length",
       [&] { text = DynString("old"); },
       [&] { text = source; },
       [&] { return text.Empty(); },
       kErrorOutOfMemory},
      {"assign the same length reuses the buffer",
       [&] { text = DynString("12345678901"); },
       [&] { text = source; },
       [&] { return text.View() == "source text"; },
       0},
      {"Spaces", [] {}, [&] { text = Spaces(20); }, [&] { return text.Empty(); }, kErrorOutOfMemory},
      {"SplitFields",
       [&] {
         words.Erase();
         words.Dimension(0, 2);
         words[1] = DynString("stale");
       },
       [&] { SplitFields(DynString("a b c"), DynString(" "), words); },
       [&] { return words.UpperBound() == 2 && words[0].Empty() && words[1].Empty() && words[2].Empty(); },
       kErrorOutOfMemory},
      {"FormatNumber",
       [] {},
       [&] { text = FormatNumber(1234, DynString()); },
       [&] { return text.Empty(); },
       kErrorOutOfMemory},
      {"NumberText", [] {}, [&] { text = NumberText(12); }, [&] { return text.Empty(); }, kErrorOutOfMemory},
      {"Dimension",
       [&] { numbers.Erase(); },
       [&] { numbers.Dimension(0, 9); },
       [&] { return !numbers.Dimensioned() && numbers.UpperBound() == -1; },
       kErrorOutOfMemory},
      {"DimensionPreserve of an undimensioned array",
       [&] { numbers.Erase(); },
       [&] { numbers.DimensionPreserve(0, 9); },
       [&] { return !numbers.Dimensioned(); },
       kErrorOutOfMemory},
      {"DimensionPreserve growing",
       [&] {
         words.Erase();
         words.Dimension(0, 1);
         words[1] = DynString("kept");
       },
       [&] { words.DimensionPreserve(0, 100); },
       [&] { return words.UpperBound() == 1 && words[1].View() == "kept"; },
       kErrorOutOfMemory},
  };
  for (const Case& c : kCases) {
    c.prepare();
    ClearError();
    {
      ScopedAllocationFailure fail(1 << 20);
      c.operate();
    }
    EXPECT_TRUE(c.resultAsDocumented()) << c.name;
    EXPECT_EQ(LastError(), c.error) << c.name;
    ClearError();
    // And the process goes on: the next allocation works.
    EXPECT_EQ(FormatNumber(1234, DynString("#,##0")).View(), "1,234") << c.name;
    EXPECT_EQ(LastError(), 0) << c.name;
  }
}

}  // namespace
}  // namespace hb::test
