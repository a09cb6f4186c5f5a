// A test object that counts its references and never destroys itself, so a
// test can look at its count and the number of Release calls afterwards.
#pragma once

#include <cstdint>
#include <functional>

#include "runtime/unknown.h"

namespace hb::testing_support {

class CountedObject final : public IUnknown {
 public:
  HResult QueryInterface(const Guid& iid, void** object) override {
    if (iid == kIidIUnknown) {
      AddRef();
      *object = static_cast<IUnknown*>(this);
      return kOk;
    }
    *object = nullptr;
    return kNoInterface;
  }
  uint32_t AddRef() override { return ++count; }
  uint32_t Release() override {
    ++releases;
    if (onRelease) onRelease();
    return --count;
  }

  uint32_t count = 0;
  int releases = 0;
  std::function<void()> onRelease;  // runs inside Release, before the count drops
};

}  // namespace hb::testing_support
