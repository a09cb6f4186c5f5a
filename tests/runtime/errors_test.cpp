#include "runtime/errors.h"

#include <gtest/gtest.h>

namespace hb::test {
namespace {

TEST(RaiseError, RecordsNonFatalErrors) {
  struct Case {
    int32_t raised, recorded;
  };
  const Case kCases[] = {{7, 7}, {9, 9}, {0, kErrorUnspecified}, {240, 240}};
  for (const Case& c : kCases) {
    ClearError();
    RaiseError(c.raised, "test");
    EXPECT_EQ(LastError(), c.recorded) << "raised " << c.raised;
    EXPECT_STREQ(LastErrorWhere(), "test") << "raised " << c.raised;
  }
  ClearError();
  EXPECT_EQ(LastError(), 0);
  EXPECT_EQ(LastErrorWhere(), nullptr);
}

TEST(RaiseErrorDeathTest, FatalErrorsEndTheProcessWithExitCode255) {
  EXPECT_EXIT(RaiseError(kErrorFreeFailed), testing::ExitedWithCode(kFatalExitCode), "");
  EXPECT_EXIT(RaiseError(1000), testing::ExitedWithCode(kFatalExitCode), "");
}

}  // namespace
}  // namespace hb::test
