// Reference-counted objects made by class name.
//
// Every object offers exactly three interfaces, each a real table of
// operations whose first word is the table address:
//
//   own interface table   <- primary reference: QueryInterface, AddRef, Release, own operations...
//   IClassFactory table      QueryInterface, AddRef, Release, CreateInstance, LockServer
//   IUnknown table           QueryInterface, AddRef, Release (the object's identity)
//   count                    one count shared by the three interfaces, 1 at creation
//   class members            in declaration order, all zero/empty before the creation hook
//
// ComObject<Derived, Own> writes these mechanics once; a class supplies only
// its own operations, its identifiers and, optionally, a CreationHook(). The
// storage comes from AllocateZeroedSmallBlock and goes back with
// FreeSmallBlock on the last Release, after the class's members have released
// what they hold.
//
// Objects are made only through CreateObject (by class name, see
// class_registry.h) or through the factory face of an existing object.
// Reference counts are plain integers: an object belongs to one thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>

#include "runtime/alloc.h"
#include "runtime/ref.h"
#include "runtime/unknown.h"

namespace hb {

inline constexpr Guid kIidIClassFactory = ParseGuid("{00000001-0000-0000-C000-000000000046}");
inline constexpr Guid kIidIConnectionPointContainer = ParseGuid("{B196B284-BAB4-101A-B69C-00AA00341D07}");
inline constexpr Guid kIidIConnectionPoint = ParseGuid("{B196B286-BAB4-101A-B69C-00AA00341D07}");
inline constexpr Guid kIidIDispatch = ParseGuid("{00020400-0000-0000-C000-000000000046}");

inline constexpr HResult kInvalidPointer = static_cast<HResult>(0x80004003u);  // E_POINTER

// Slots 3 and 4 after the three shared ones.
class IClassFactory : public IUnknown {
 public:
  // A new, independent object of the caller's class. CLASS_E_NOAGGREGATION
  // for a non-null outer object (result untouched); otherwise *object is
  // null unless S_OK; E_NOINTERFACE, E_OUTOFMEMORY.
  virtual HResult CreateInstance(IUnknown* outer, const Guid& iid, void** object) = 0;
  // Non-zero: AddRef; zero: Release. Always S_OK.
  virtual HResult LockServer(int32_t lock) = 0;

 protected:
  ~IClassFactory() = default;
};

// Who a class is: what CreateObject and QueryInterface know it by.
struct ClassIdentity {
  std::string_view name;   // as the class spells it; CreateObject matches it in any letter case
  int32_t number;          // the class number
  Guid classId;            // the class identifier
  Guid ownInterface;       // the identifier of the class's own interface
  int32_t interfaceIndex;  // that interface's index in the interface table
};

// What the registry needs to build an object of one class (see
// class_registry.h for how a class makes its record known).
struct ClassRecord {
  ClassIdentity identity;
  std::size_t size;  // bytes of object storage
  // Builds the object (count 1) in zeroed storage; returns its primary reference.
  IUnknown* (*construct)(void* storage) noexcept;
  // The uncounted reference for an interface identifier, null when not offered.
  void* (*interfaceFor)(IUnknown* primary, const Guid& iid) noexcept;
  // Runs the class's creation hook; null when the class has none.
  void (*creationHook)(IUnknown* primary) noexcept;
};

// CreateObject into a cell that the caller has already emptied: finds the
// registered class of `name` (its lower-case ASCII letters matching
// upper-case ones too), checks that it offers `iid`, allocates and builds the
// object, stores the reference to the requested interface in *cell, raises
// the live-object count and only then runs the creation hook. An unknown
// name, an interface the class does not offer or exhausted memory leave the
// cell null and record nothing.
void CreateObjectInto(void** cell, std::string_view name, const Guid& iid) noexcept;

// Releases the target's old object first, then makes the named class (the
// name's lower-case ASCII letters match upper-case ones) and stores the
// reference for `iid`, which must be the identifier of interface T.
template <class T>
void CreateObject(Ref<T>& target, std::string_view name, const Guid& iid) noexcept {
  CreateObjectInto(target.PutVoid(), name, iid);
}

// The factory face's CreateInstance for objects of `record`'s class.
HResult CreateInstanceOf(const ClassRecord& record, IUnknown* outer, const Guid& iid,
                         void** object) noexcept;

// Objects created and not yet destroyed, process-wide.
int32_t LiveObjectCount() noexcept;

namespace object_detail {
void NoteObjectCreated() noexcept;
void NoteObjectsCreated(int32_t count) noexcept;
void NoteObjectDestroyed() noexcept;
}  // namespace object_detail

// The IUnknown that an object offers as its identity. A class of its own so
// that an object can derive from it beside the IUnknown inside its own
// interface.
class IIdentity : public IUnknown {
 protected:
  ~IIdentity() = default;
};

// The three interfaces, the shared count, creation and destruction of one
// class. Derived is final and declares
//   static constexpr ClassIdentity kIdentity;  // its name, number and identifiers
// and may have a public `void CreationHook()` (one this template cannot
// reach would not run). It needs no constructor or destructor of its own:
// it lives in an unnamed namespace of its source file, where nothing but the
// object model makes it.
//
// The three interfaces are base classes, each a table pointer in the object:
// Own first (the primary reference is the object's address), then
// IClassFactory, then the identity. QueryInterface, AddRef and Release are
// written once here and fill slots 0 to 2 of all three tables.
template <class Derived, class Own>
class ComObject : public Own, public IClassFactory, public IIdentity {
 public:
  using Interface = Own;

  HResult QueryInterface(const Guid& iid, void** object) final {
    if (object == nullptr) return kInvalidPointer;
    *object = InterfaceFor(iid);
    if (*object == nullptr) return kNoInterface;
    ++count_;
    return kOk;
  }
  uint32_t AddRef() final { return static_cast<uint32_t>(++count_); }
  uint32_t Release() final {
    if (--count_ != 0) return static_cast<uint32_t>(count_);
    Destroy();
    return 0;
  }

  // IClassFactory, slots 3 and 4.
  HResult CreateInstance(IUnknown* outer, const Guid& iid, void** object) final {
    return CreateInstanceOf(kRecord, outer, iid, object);
  }
  HResult LockServer(int32_t lock) final {
    if (lock != 0) {
      AddRef();
    } else {
      Release();
    }
    return kOk;
  }

  // What CreateObject needs to build this class (see class_registry.h).
  static const ClassRecord kRecord;

  // CreateObject for this class and its own interface, without the lookup
  // by name: for a caller that knows the class, such as a container making
  // one entry object per slot. The target's old object is released first;
  // the live-object count is raised as for any creation; exhausted memory
  // leaves the target null.
  static void CreateInto(Ref<Own>& target) noexcept {
    void** cell = target.PutVoid();
    *cell = nullptr;
    void* storage = AllocateZeroedSmallBlock(sizeof(Derived));
    if (storage == nullptr) return;
    Derived* object = ::new (storage) Derived();
    *cell = static_cast<Own*>(object);
    object_detail::NoteObjectCreated();
    if constexpr (requires(Derived& d) { d.CreationHook(); }) object->CreationHook();
  }

  // CreateInto for every empty cell of [first, last), in order; cells that
  // hold an object keep it. A cell whose object cannot get memory stays
  // null and the next ones are still tried. The live-object count is raised
  // once by the number made (per object, before its hook, when the class
  // has a creation hook).
  static void CreateIntoEmpty(Ref<Own>* first, Ref<Own>* last) noexcept {
    int32_t made = 0;
    for (Ref<Own>* cell = first; cell != last; ++cell) {
      if (*cell) continue;
      void* storage = AllocateZeroedSmallBlock(sizeof(Derived));
      if (storage == nullptr) continue;
      Derived* object = ::new (storage) Derived();
      *cell->Put() = static_cast<Own*>(object);
      if constexpr (requires(Derived& d) { d.CreationHook(); }) {
        object_detail::NoteObjectCreated();
        object->CreationHook();
      } else {
        ++made;
      }
    }
    object_detail::NoteObjectsCreated(made);
  }

  // A new object of this class in place of the one `target` holds, in the
  // same storage when the target's is the only reference: the old object
  // is destroyed (its members release what they hold), the storage zeroed
  // and a new one built there. This is how a container that owns its
  // objects alone turns one it no longer needs into a fresh one without
  // giving its storage back and asking for it again. With other references
  // to the old object, or none in the target, it is CreateInto (the old
  // object released, exhausted memory leaves the target null).
  static void RemakeInto(Ref<Own>& target) noexcept {
    Own* own = target.Get();
    if (own == nullptr || static_cast<ComObject*>(own)->count_ != 1) {
      CreateInto(target);
      return;
    }
    // One object destroyed and one made: the live-object count ends where
    // it was, and nothing can read it in between.
    Derived* object = static_cast<Derived*>(own);
    object->~Derived();
    std::memset(static_cast<void*>(object), 0, sizeof(Derived));
    ::new (static_cast<void*>(object)) Derived();
    if constexpr (requires(Derived& d) { d.CreationHook(); }) object->CreationHook();
  }

 protected:
  ComObject() noexcept = default;
  ~ComObject() = default;
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

 private:
  void* InterfaceFor(const Guid& iid) noexcept {
    if (iid == Derived::kIdentity.ownInterface) return static_cast<Own*>(this);
    if (iid == kIidIClassFactory) return static_cast<IClassFactory*>(this);
    if (iid == kIidIUnknown) return static_cast<IUnknown*>(static_cast<IIdentity*>(this));
    return nullptr;
  }

  static ComObject* FromPrimary(IUnknown* primary) noexcept {
    return static_cast<ComObject*>(static_cast<Own*>(primary));
  }
  static IUnknown* Construct(void* storage) noexcept {
    Derived* object = ::new (storage) Derived();
    return static_cast<Own*>(object);
  }
  static void* InterfaceOf(IUnknown* primary, const Guid& iid) noexcept {
    return FromPrimary(primary)->InterfaceFor(iid);
  }
  static void RunCreationHook(IUnknown* primary) noexcept {
    static_cast<Derived*>(FromPrimary(primary))->CreationHook();
  }
  static constexpr auto HookOf() noexcept {
    using Hook = void (*)(IUnknown*) noexcept;
    if constexpr (requires(Derived& d) { d.CreationHook(); }) {
      return Hook{&RunCreationHook};
    } else {
      return Hook{nullptr};
    }
  }

  // Members release what they hold, then the storage goes back.
  void Destroy() noexcept {
    Derived* self = static_cast<Derived*>(this);
    self->~Derived();
    FreeSmallBlock(self, sizeof(Derived));
    object_detail::NoteObjectDestroyed();
  }

  int32_t count_ = 1;  // shared by the three interfaces
};

template <class Derived, class Own>
const ClassRecord ComObject<Derived, Own>::kRecord{Derived::kIdentity, sizeof(Derived), &Construct, &InterfaceOf,
                                                   HookOf()};

}  // namespace hb
