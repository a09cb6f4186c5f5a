// UnknownImpl: QueryInterface, AddRef and Release written once for a user's
// own class, so that an object of it can be stored in an IUnknown map (or
// handed out through any interface) without a hand-written IUnknown.
//
//   class Sprite final : public hb::UnknownImpl<Sprite> {        // IUnknown only
//    public:
//     explicit Sprite(int pixels) : size(pixels) {}
//     int size;
//   };
//   hb::Ref<Sprite> sprite = hb::MakeObject<Sprite>(7);           // count 1
//   map.insert_or_assign("hero", sprite);                         // the map takes one more
//
// What it takes:
//   - Self is final and derives from UnknownImpl<Self, Interfaces...>; the
//     interfaces (none means IUnknown alone) each have a known identifier
//     (InterfaceId, unknown.h) and derive from IUnknown;
//   - objects are made with MakeObject<Self>(arguments...), which returns the
//     one counted reference: no AdoptRef, no AddRef by hand. A new object's
//     count is 0, so Ref<Self>(new Self(...)) is equally right; a bare `new`
//     that no Ref receives leaks;
//   - the last Release deletes the object (so it must come from `new`, which
//     MakeObject does);
//   - the count is a plain integer: an object belongs to one thread, like the
//     containers.
// QueryInterface offers each listed interface and IUnknown (the identity:
// the IUnknown inside the first listed interface) and answers E_NOINTERFACE
// with null for anything else. Objects made this way are not counted by
// LiveObjectCount, which counts the system's own classes.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

#include "runtime/object.h"
#include "runtime/ref.h"
#include "runtime/unknown.h"

namespace hb {

template <class Self, class First = IUnknown, class... Rest>
class UnknownImpl : public First, public Rest... {
  static_assert(KnownInterface<First> && (... && KnownInterface<Rest>),
                "every interface of UnknownImpl needs an InterfaceId");

 public:
  HResult QueryInterface(const Guid& iid, void** object) final {
    if (object == nullptr) return kInvalidPointer;
    *object = InterfaceFor(iid);
    if (*object == nullptr) return kNoInterface;
    AddRef();
    return kOk;
  }
  uint32_t AddRef() final { return ++count_; }
  uint32_t Release() final {
    static_assert(std::is_final_v<Self>, "a class built on UnknownImpl is final");
    if (--count_ != 0) return count_;
    delete static_cast<Self*>(this);
    return 0;
  }

  // The object's identity as a counted reference, for a class with several
  // interfaces, whose Ref does not convert to Ref<IUnknown> on its own.
  Ref<IUnknown> Identity() noexcept { return Ref<IUnknown>(UnknownOfFirst()); }

 protected:
  UnknownImpl() noexcept = default;
  ~UnknownImpl() = default;
  UnknownImpl(const UnknownImpl&) = delete;
  UnknownImpl& operator=(const UnknownImpl&) = delete;

 private:
  IUnknown* UnknownOfFirst() noexcept { return static_cast<IUnknown*>(static_cast<First*>(this)); }

  void* InterfaceFor(const Guid& iid) noexcept {
    if (iid == kIidIUnknown) return UnknownOfFirst();
    void* found = nullptr;
    (void)(Offer<First>(iid, found) || (... || Offer<Rest>(iid, found)));
    return found;
  }
  template <class Interface>
  bool Offer(const Guid& iid, void*& found) noexcept {
    if (iid != InterfaceId<Interface>::value) return false;
    found = static_cast<Interface*>(this);
    return true;
  }

  uint32_t count_ = 0;
};

// A new Self on the heap and the one counted reference to it.
template <class Self, class... Arguments>
Ref<Self> MakeObject(Arguments&&... arguments) {
  return Ref<Self>(new Self(std::forward<Arguments>(arguments)...));
}

}  // namespace hb
