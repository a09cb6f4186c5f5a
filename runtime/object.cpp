#include "runtime/object.h"

#include <atomic>

#include "runtime/class_registry.h"

namespace hb {
namespace {

// Atomic only so that objects living on different threads keep the total
// exact; each object's own count stays a plain integer.
std::atomic<int32_t> g_liveObjects{0};

bool Offers(const ClassRecord& record, const Guid& iid) noexcept {
  return iid == record.identity.ownInterface || iid == kIidIClassFactory || iid == kIidIUnknown;
}

// Allocates zeroed storage, builds the object in it, stores the reference
// for `iid` in *cell, raises the live count and then runs the creation hook.
// False, with *cell untouched, when memory is exhausted.
bool Build(const ClassRecord& record, const Guid& iid, void** cell) noexcept {
  void* storage = AllocateZeroedSmallBlock(record.size);
  if (storage == nullptr) return false;
  IUnknown* primary = record.construct(storage);
  *cell = record.interfaceFor(primary, iid);
  object_detail::NoteObjectCreated();
  if (record.creationHook != nullptr) record.creationHook(primary);
  return true;
}

}  // namespace

namespace object_detail {
void NoteObjectCreated() noexcept { g_liveObjects.fetch_add(1, std::memory_order_relaxed); }
void NoteObjectsCreated(int32_t count) noexcept { g_liveObjects.fetch_add(count, std::memory_order_relaxed); }
void NoteObjectDestroyed() noexcept { g_liveObjects.fetch_sub(1, std::memory_order_relaxed); }
}  // namespace object_detail

int32_t LiveObjectCount() noexcept { return g_liveObjects.load(std::memory_order_relaxed); }

void CreateObjectInto(void** cell, std::string_view name, const Guid& iid) noexcept {
  *cell = nullptr;
  const ClassRecord* record = FindClassRecord(name);
  if (record == nullptr || !Offers(*record, iid)) return;
  Build(*record, iid, cell);
}

HResult CreateInstanceOf(const ClassRecord& record, IUnknown* outer, const Guid& iid,
                         void** object) noexcept {
  if (outer != nullptr) return kNoAggregation;
  if (object == nullptr) return kInvalidPointer;
  *object = nullptr;
  if (!Offers(record, iid)) return kNoInterface;
  return Build(record, iid, object) ? kOk : kOutOfMemory;
}

}  // namespace hb
