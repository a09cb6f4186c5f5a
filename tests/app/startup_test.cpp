#include "app/startup.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/floating_point.h"
#include "app/random_key.h"
#include "runtime/errors.h"

namespace hb::test {
namespace {

// What the fakes below saw; reset by each test.
struct Observed {
  std::vector<std::string> messages;
  std::vector<std::string> steps;
  bool mainRan = false;
  int32_t show = -1;
  uintptr_t previous = 1;
  RandomState random{};
  uint16_t controlWord = 0;
  int32_t errorAtMain = -1;
};
Observed g_observed;

PlatformVersion OtherPlatform() { return MakePlatformVersion("SunOS", "5.11"); }
PlatformVersion ThisPlatform() { return MakePlatformVersion("Linux", "6.1.0-13-amd64"); }
void CaptureMessage(std::string_view text) { g_observed.messages.emplace_back(text); }
void CaptureStep(std::string_view step) { g_observed.steps.emplace_back(step); }

int32_t FakeMain(uintptr_t, uintptr_t previous, std::u16string_view, int32_t show) {
  g_observed.mainRan = true;
  g_observed.show = show;
  g_observed.previous = previous;
  g_observed.random = CurrentRandomState();
  g_observed.controlWord = FloatingPointControlWord();
  g_observed.errorAtMain = LastError();
  return 42;
}

int32_t FatalMain(uintptr_t, uintptr_t, std::u16string_view, int32_t) {
  RaiseError(kErrorFreeFailed, "test");
  return 0;
}

void PrintStep(std::string_view step) {
  std::fprintf(stderr, "[%.*s]\n", static_cast<int>(step.size()), step.data());
}

TEST(PlatformVersion, FromUname) {
  struct Case { const char* system; const char* release; uint32_t platform, major, minor, build; };
  const Case kCases[] = {
      {"Linux", "6.1.0-13-amd64", kSupportedPlatform, 6, 1, 0},
      {"Linux", "5.15", kSupportedPlatform, 5, 15, 0},
      {"Linux", "6.1-rc2", kSupportedPlatform, 6, 1, 0},
      {"FreeBSD", "13.2-RELEASE", kUnknownPlatform, 13, 2, 0},
      {"", "", kUnknownPlatform, 0, 0, 0},
  };
  for (const Case& c : kCases) {
    const PlatformVersion v = MakePlatformVersion(c.system, c.release);
    EXPECT_EQ(v.size, 148u);
    EXPECT_EQ(v.platform, c.platform) << c.system;
    EXPECT_EQ(v.major, c.major) << c.release;
    EXPECT_EQ(v.minor, c.minor) << c.release;
    EXPECT_EQ(v.build, c.build) << c.release;
  }
  EXPECT_EQ(ReadPlatformVersion().platform, kSupportedPlatform);
}

TEST(RunProgram, RefusesAnotherPlatformWithoutRunningMain) {
  g_observed = {};
  StartupSeams seams;
  seams.readPlatformVersion = OtherPlatform;
  seams.showMessage = CaptureMessage;
  seams.mainRoutine = FakeMain;
  seams.reportStep = CaptureStep;
  EXPECT_EQ(RunProgram(seams), 255);
  EXPECT_THAT(g_observed.messages, testing::ElementsAre("Win98 No Support"));
  EXPECT_FALSE(g_observed.mainRan);
  EXPECT_THAT(g_observed.steps, testing::IsEmpty());
}

TEST(RunProgram, PreparesTheProcessCallsMainAndShutsDownInOrder) {
  g_observed = {};
  RandomInRange(1, 6);  // Main must see the start value again
  RaiseError(kErrorOutOfMemory, "earlier");
  StartupSeams seams;
  seams.readPlatformVersion = ThisPlatform;
  seams.showMessage = CaptureMessage;
  seams.mainRoutine = FakeMain;
  seams.reportStep = CaptureStep;

  EXPECT_EQ(RunProgram(seams), 42);  // the main routine's result is the exit code
  EXPECT_TRUE(g_observed.mainRan);
  EXPECT_THAT(g_observed.messages, testing::IsEmpty());
  EXPECT_EQ(g_observed.show, kShowDefault);
  EXPECT_EQ(g_observed.previous, 0u);
  EXPECT_EQ(g_observed.random.seed, 0xFFFFFFFFu);
  EXPECT_EQ(g_observed.random.last, 0xFFFFFFFFu);
  EXPECT_EQ(g_observed.errorAtMain, 0);
  EXPECT_EQ(g_observed.controlWord & ~0x40, kProgramControlWord);  // bit 6 is reserved and reads as 1
  EXPECT_THAT(g_observed.steps,
              testing::ElementsAre("platform checked", "command line read", "settings block made",
                                   "object library initialised", "program state set", "main routine returned",
                                   "settings block released", "object library uninitialised"));
}

TEST(RunProgramDeathTest, FatalErrorEndsWith255AndNoShutdownStep) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  StartupSeams seams;
  seams.readPlatformVersion = ThisPlatform;
  seams.mainRoutine = FatalMain;
  seams.reportStep = PrintStep;
  EXPECT_EXIT(RunProgram(seams), testing::ExitedWithCode(255),
              testing::AllOf(testing::HasSubstr("[program state set]"),
                             testing::Not(testing::HasSubstr("[main routine returned]")),
                             testing::Not(testing::HasSubstr("released]"))));
}

}  // namespace
}  // namespace hb::test
