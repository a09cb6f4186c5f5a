// The registry on records of its own: no class of the container library is
// linked into this test, so only these records are filed.
#include "runtime/class_registry.h"

#include <gtest/gtest.h>

#include <string_view>

namespace hb::test {
namespace {

constexpr ClassRecord Record(std::string_view name, int32_t number, Guid classId, Guid ownInterface,
                             int32_t interfaceIndex) {
  return ClassRecord{{name, number, classId, ownInterface, interfaceIndex}, 0, nullptr, nullptr, nullptr};
}

constexpr Guid kFiledClassId = ParseGuid("{0F11ED00-0000-4000-8000-000000000001}");
constexpr Guid kFiledInterface = ParseGuid("{0F11ED00-0000-4000-8000-000000000002}");
constexpr Guid kOtherClassId = ParseGuid("{0F11ED00-0000-4000-8000-000000000003}");
constexpr Guid kOtherInterface = ParseGuid("{0F11ED00-0000-4000-8000-000000000004}");
constexpr ClassRecord kFiled = Record("cFiledClass", 40, kFiledClassId, kFiledInterface, 40);

void ExpectFiledRecordAnswers() {
  for (const std::string_view name : {"cFiledClass", "CFILEDCLASS", "cfiledclass"}) {
    EXPECT_EQ(FindClassRecord(name), &kFiled) << name;
    EXPECT_EQ(ClassNumberOf(name), 40) << name;
  }
  EXPECT_EQ(FindClassRecord(40), &kFiled);
  EXPECT_EQ(FindClassRecord(kFiledClassId), &kFiled);
  ASSERT_NE(ClassIdOf(40), nullptr);
  EXPECT_EQ(*ClassIdOf(40), kFiledClassId);
  EXPECT_EQ(InterfaceIndexOf(kFiledInterface), 40);
}

TEST(ClassRegistry, FilesARecordUnderItsNameNumberAndIdentifiers) {
  ASSERT_TRUE(RegisterClass(kFiled));
  ExpectFiledRecordAnswers();
  EXPECT_TRUE(RegisterClass(kFiled)) << "the same record again";
  ExpectFiledRecordAnswers();
  for (const std::string_view name : {"cFiledClas", "cFiledClass ", "cFiled_Class", ""}) {
    EXPECT_EQ(FindClassRecord(name), nullptr) << "'" << name << "'";
  }
  EXPECT_EQ(InterfaceIndexOf(kIidIUnknown), kInterfaceIndexIUnknown);
  EXPECT_EQ(InterfaceIndexOf(kIidIDispatch), kLastRuntimeInterfaceIndex);
}

// Each case differs from kFiled in everything but the one field named, or
// breaks a range; none may be filed, and kFiled keeps answering.
TEST(ClassRegistry, RefusesARecordThatClashesOrIsOutOfRange) {
  ASSERT_TRUE(RegisterClass(kFiled));
  struct Case {
    const char* why;
    ClassRecord record;
  };
  const Case kCases[] = {
      {"the name in other letters", Record("CFILEDclass", 41, kOtherClassId, kOtherInterface, 41)},
      {"the class number", Record("cOtherClass", 40, kOtherClassId, kOtherInterface, 41)},
      {"the class identifier", Record("cOtherClass", 41, kFiledClassId, kOtherInterface, 41)},
      {"the own interface", Record("cOtherClass", 41, kOtherClassId, kFiledInterface, 41)},
      {"the interface index", Record("cOtherClass", 41, kOtherClassId, kOtherInterface, 40)},
      {"the runtime's IUnknown", Record("cOtherClass", 41, kOtherClassId, kIidIUnknown, 41)},
      {"an index of the runtime's", Record("cOtherClass", 41, kOtherClassId, kOtherInterface, 5)},
      {"class number 0", Record("cOtherClass", 0, kOtherClassId, kOtherInterface, 41)},
      {"a class number beyond the room",
       Record("cOtherClass", kLargestClassNumber + 1, kOtherClassId, kOtherInterface, 41)},
      {"an index beyond the room",
       Record("cOtherClass", 41, kOtherClassId, kOtherInterface, kLargestInterfaceIndex + 1)},
      {"no name", Record("", 41, kOtherClassId, kOtherInterface, 41)},
  };
  for (const Case& c : kCases) {
    EXPECT_FALSE(RegisterClass(c.record)) << c.why;
    EXPECT_EQ(FindClassRecord("cOtherClass"), nullptr) << c.why;
    EXPECT_EQ(FindClassRecord(41), nullptr) << c.why;
    EXPECT_EQ(FindClassRecord(kOtherClassId), nullptr) << c.why;
    EXPECT_EQ(InterfaceIndexOf(kOtherInterface), 0) << c.why;
  }
  ExpectFiledRecordAnswers();
}

}  // namespace
}  // namespace hb::test
