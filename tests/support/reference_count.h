// The reference count of an object, read as one AddRef and its Release.
#pragma once

#include <cstdint>

namespace hb::test {

// Out of line: inlined, the Release's path to the object's destruction
// would reach the caller's later uses of the object, and the optimiser
// warns about them (use after free) although that path is never taken.
template <class T>
[[gnu::noinline]] uint32_t ReferenceCount(T& object) {
  const uint32_t count = object.AddRef() - 1;
  object.Release();
  return count;
}

}  // namespace hb::test
