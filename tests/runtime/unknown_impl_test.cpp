// A user's own objects on UnknownImpl, and references that convert to the
// interfaces their objects implement.
#include "runtime/unknown_impl.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <utility>

#include "runtime/ref.h"
#include "runtime/unknown.h"
#include "tests/support/reference_count.h"

namespace hb::test {

// Interfaces of the user's own, known by their identifiers.
class IShape : public IUnknown {
 public:
  virtual int32_t Corners() = 0;

 protected:
  ~IShape() = default;
};
class IColoured : public IUnknown {
 public:
  virtual int32_t Colour() = 0;

 protected:
  ~IColoured() = default;
};
inline constexpr Guid kIidShape = ParseGuid("{5A0E0C61-0B7D-4C38-9E0A-6D1F0F2D7A01}");
inline constexpr Guid kIidColoured = ParseGuid("{5A0E0C61-0B7D-4C38-9E0A-6D1F0F2D7A02}");
inline constexpr Guid kIidNobodys = ParseGuid("{5A0E0C61-0B7D-4C38-9E0A-6D1F0F2D7A03}");

}  // namespace hb::test

template <>
struct hb::InterfaceId<hb::test::IShape> {
  static constexpr Guid value = hb::test::kIidShape;
};
template <>
struct hb::InterfaceId<hb::test::IColoured> {
  static constexpr Guid value = hb::test::kIidColoured;
};

namespace hb::test {
namespace {

// Counts its own destruction.
class Square final : public UnknownImpl<Square, IShape, IColoured> {
 public:
  explicit Square(int* destroyed) : destroyed_(destroyed) {}
  ~Square() { ++*destroyed_; }
  int32_t Corners() override { return 4; }
  int32_t Colour() override { return 7; }

 private:
  int* destroyed_;
};

class Plain final : public UnknownImpl<Plain> {};

static_assert(std::is_convertible_v<Ref<Square>, Ref<IShape>> && std::is_convertible_v<Ref<Square>, Ref<IColoured>>);
static_assert(std::is_convertible_v<Ref<IShape>, Ref<IUnknown>> && std::is_convertible_v<Ref<Plain>, Ref<IUnknown>>);
// No conversion down, across, or to an ambiguous base (Square has two IUnknowns).
static_assert(!std::is_convertible_v<Ref<IUnknown>, Ref<IShape>> && !std::is_convertible_v<Ref<IShape>, Ref<IColoured>>);
static_assert(!std::is_convertible_v<Ref<Square>, Ref<IUnknown>>);

TEST(UnknownImpl, MakeObjectGivesTheOnlyReferenceAndTheLastReleaseDeletes) {
  int destroyed = 0;
  {
    Ref<Square> square = MakeObject<Square>(&destroyed);
    EXPECT_EQ(ReferenceCount(*square), 1u);
    Ref<IShape> shape = square;
    EXPECT_EQ(ReferenceCount(*square), 2u) << "a converted copy is counted";
    Ref<IColoured> coloured = std::move(square);
    EXPECT_FALSE(square);
    EXPECT_EQ(ReferenceCount(*coloured), 2u) << "a converted move is not";
    EXPECT_EQ(coloured->Colour(), 7);
    EXPECT_EQ(shape->Corners(), 4);
    shape = nullptr;
    EXPECT_EQ(destroyed, 0) << "the converted move still holds it";
  }
  EXPECT_EQ(destroyed, 1);
}

TEST(UnknownImpl, QueryInterfaceOffersTheListedInterfacesAndIUnknownOnly) {
  int destroyed = 0;
  Ref<Square> square = MakeObject<Square>(&destroyed);
  void* const asShape = static_cast<IShape*>(square.Get());
  void* const asColoured = static_cast<IColoured*>(square.Get());
  struct Case { Guid iid; void* expected; };
  const Case kCases[] = {
      {kIidShape, asShape}, {kIidColoured, asColoured}, {kIidIUnknown, static_cast<IUnknown*>(static_cast<IShape*>(square.Get()))},
      {kIidNobodys, nullptr}, {kIidIClassFactory, nullptr},
  };
  for (const Case& c : kCases) {
    void* object = &destroyed;
    const HResult result = square->QueryInterface(c.iid, &object);
    EXPECT_EQ(result, c.expected == nullptr ? kNoInterface : kOk);
    EXPECT_EQ(object, c.expected);
    if (object != nullptr) {
      EXPECT_EQ(ReferenceCount(*square), 2u) << "an answer is counted";
      Ref<IShape>().Attach(square.Get());
    }
  }
  EXPECT_EQ(square->QueryInterface(kIidShape, nullptr), kInvalidPointer);
  EXPECT_EQ(ReferenceCount(*square), 1u);
  EXPECT_EQ(square->Identity().Get(), static_cast<IUnknown*>(static_cast<IShape*>(square.Get())));
}

TEST(UnknownImpl, AnObjectWithoutInterfacesOffersIUnknown) {
  Ref<IUnknown> plain = MakeObject<Plain>();
  Ref<IUnknown> again;
  EXPECT_EQ(plain->QueryInterface(kIidIUnknown, again.PutVoid()), kOk);
  EXPECT_EQ(again, plain);
  EXPECT_EQ(plain->QueryInterface(kIidShape, again.PutVoid()), kNoInterface);
  EXPECT_FALSE(again);
}

}  // namespace
}  // namespace hb::test
