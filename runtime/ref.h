// Ref<T>: an object variable, holding one counted reference or null.
//
// Its layout is a single pointer and all-zero bytes are a valid null Ref, so
// arrays of references can be zero-filled and moved as raw bytes.
#pragma once

#include <type_traits>
#include <utility>

#include "runtime/unknown.h"

namespace hb {

template <class T>
class Ref {
 public:
  Ref() noexcept = default;
  Ref(std::nullptr_t) noexcept {}
  // Copies and AddRef's the pointer.
  explicit Ref(T* object) noexcept : object_(object) { AddRefTo(object_); }
  // Copies and AddRef's the other reference.
  Ref(const Ref& other) noexcept : Ref(other.object_) {}
  // Takes the other reference's count; the other becomes null.
  Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  // A reference to a base: Ref<IStringBag> to Ref<IUnknown>, a user's class
  // to the interface it implements. Only where U* converts to T* without
  // ambiguity; the pointer is the base's, which for IUnknown need not be the
  // object's identity (QueryInterface for kIidIUnknown gives that).
  template <class U>
    requires(!std::is_same_v<U, T> && std::is_convertible_v<U*, T*>)
  Ref(const Ref<U>& other) noexcept : Ref(static_cast<T*>(other.Get())) {}
  template <class U>
    requires(!std::is_same_v<U, T> && std::is_convertible_v<U*, T*>)
  Ref(Ref<U>&& other) noexcept : object_(static_cast<T*>(other.Detach())) {}
  // Releases the reference held.
  ~Ref() { ReleaseFrom(object_); }

  // AssignRef: counts the new object, then releases the old one, so that
  // assigning a variable to itself (or to another holder of the same object)
  // never destroys the object on the way.
  Ref& operator=(const Ref& other) noexcept {
    T* old = std::exchange(object_, other.object_);
    AddRefTo(object_);
    ReleaseFrom(old);
    return *this;
  }
  Ref& operator=(Ref&& other) noexcept {
    if (this != &other) {
      T* old = std::exchange(object_, std::exchange(other.object_, nullptr));
      ReleaseFrom(old);
    }
    return *this;
  }
  Ref& operator=(std::nullptr_t) noexcept {
    Reset();
    return *this;
  }

  // ClearRef: takes the value out, leaves null, releases it.
  void Reset() noexcept { ReleaseFrom(std::exchange(object_, nullptr)); }

  // Adopts a pointer whose count the caller already owns (no AddRef).
  void Attach(T* object) noexcept { ReleaseFrom(std::exchange(object_, object)); }
  // Gives up the pointer without releasing it; the caller owns the count.
  [[nodiscard]] T* Detach() noexcept { return std::exchange(object_, nullptr); }
  // Releases the current object and returns the address of the cell, for an
  // out parameter that stores a counted reference into it.
  T** Put() noexcept {
    Reset();
    return &object_;
  }
  void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

  T* Get() const noexcept { return object_; }
  T* operator->() const noexcept { return object_; }
  T& operator*() const noexcept { return *object_; }
  explicit operator bool() const noexcept { return object_ != nullptr; }

  friend bool operator==(const Ref& a, const Ref& b) noexcept { return a.object_ == b.object_; }
  friend bool operator==(const Ref& a, std::nullptr_t) noexcept { return a.object_ == nullptr; }

 private:
  // Through T itself rather than IUnknown*, so that a class with several
  // interfaces (several IUnknown bases) and one AddRef can be held too.
  static void AddRefTo(T* object) noexcept {
    if (object != nullptr) object->AddRef();
  }
  static void ReleaseFrom(T* object) noexcept {
    if (object != nullptr) object->Release();
  }

  T* object_ = nullptr;
};

// Adopts a counted pointer (no AddRef).
template <class T>
Ref<T> AdoptRef(T* object) noexcept {
  Ref<T> ref;
  ref.Attach(object);
  return ref;
}

}  // namespace hb
